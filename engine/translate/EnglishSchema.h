#pragma once

#include "EngineSettings.h"

#include <QByteArray>

// The English input mode: words of a Debian word list, completed as they
// are typed, learned by use. A capital first letter finds the capitalised
// words; the addon does the rest (the star wildcard, the autofill keys,
// the space after a word).
class EnglishSchema
{
public:
    static const char *schemaId() { return "kaiwo_english"; }
    // Builds the word list's table and spelling index, apart from redeploys.
    static const char *wordsSchemaId() { return "kaiwo_english_words"; }
    static const char *wordListPath() { return "/usr/share/dict/american-english"; }

    static QByteArray schemaYaml(const EngineSettings &settings);
    static QByteArray wordsSchemaYaml();
    // The word list as a Rime dictionary: possessives and words that are
    // not letters (once accents and apostrophes are gone) are left out;
    // the code is the word in small letters, plus a capitalised code for
    // the capitalised word. False when the list holds no word.
    static bool dictionaryYaml(const QByteArray &wordList, QByteArray *yaml);
};
