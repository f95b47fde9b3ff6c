#pragma once

#include <QString>
#include <QVector>

// The words an engine learned, as the IME service hands them to the tool:
// a line each, the pinyin (syllables between spaces), TAB, the word, TAB,
// how often it was chosen.
class LearnedWordList
{
public:
    struct Word {
        QString pinyin;
        QString word;
        quint32 uses = 0;
        bool operator==(const Word &other) const
        {
            return pinyin == other.pinyin && word == other.word && uses == other.uses;
        }
    };

    static QString encode(const QVector<Word> &words);
    // Lines that are no such word (a TAB in the word, no count) are skipped.
    static QVector<Word> decode(const QString &text);
};
