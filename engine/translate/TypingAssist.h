#pragma once

#include <QString>
#include <QStringList>

// What the engine adds around Rime while the user types: paired
// punctuation (the closing mark follows the opening one, the caret stays
// between them, typing the closing mark steps over it) and half-width
// punctuation right after a digit ("3.14", "1,000", "10:30").
class TypingAssist
{
public:
    struct Action {
        QString commit;
        int caretLeft = 0;  // Left presses after the commit
        int caretRight = 0; // Right presses instead of a commit
    };

    void setRules(bool pairSymbols, bool halfWidthAfterDigit);
    // Text Rime committed: what to send to the application instead.
    Action committed(const QString &text);
    // A key the application receives untouched (the caret may have moved).
    void passedThrough(char printable);
    // With nothing composed and Chinese punctuation on: the text to commit
    // for this key right after a digit, or an empty string when Rime
    // should handle it.
    QString afterDigit(char key) const;
    void reset();

    static QString closerFor(const QString &opening);

private:
    bool mPair = true;
    bool mAfterDigit = true;
    QChar mLast;
    QStringList mPendingClosers;
};
