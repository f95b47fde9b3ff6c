#pragma once

#include "config/LearnedWordList.h"

#include <QPair>
#include <QString>
#include <QVector>

#include <vector>

class RimeEngine;

// The user dictionaries the settings tool exports, imports, clears and
// restores, kept by Rime as it learns words. Exported files are in
// UserDictionaryFile's format, marked with their kind; an import that is
// refused changes nothing.
class UserDictionaries
{
public:
    enum class Kind { Pinyin, Wubi, WubiPinyin, English, Web };

    UserDictionaries(RimeEngine *rime, const QString &rimeDir) : mRime(rime), mRimeDir(rimeDir) {}

    bool exportTo(Kind kind, const QString &path);
    bool importFrom(Kind kind, const QString &path, QString *error);
    bool clear(const std::vector<Kind> &kinds);
    // Adds words Rime could not offer (word, code), so that it offers them
    // next time.
    bool learn(Kind kind, const QVector<QPair<QString, QString>> &entries);

    // The words Rime learned, most used first, and one of them forgotten.
    bool learnedWords(Kind kind, QVector<LearnedWordList::Word> *words);
    // pinyin empty: the word under any pinyin.
    bool forget(Kind kind, const QString &pinyin, const QString &word);
    // Shift+Delete on a pinyin candidate: forgets it if it was learned and
    // gives back what was typed, its candidates without it. False, leaving
    // everything as it was, for a word Rime never learned.
    bool forgetHighlighted();

    static const char *dictionary(Kind kind);
    // The kind an exported file names in its first line.
    static const char *kindName(Kind kind);

private:
    QString scratchFile() const;
    bool importRime(Kind kind, const QByteArray &rime);

    RimeEngine *mRime;
    QString mRimeDir;
};
