#pragma once

#include "EngineSettings.h"

#include <QByteArray>

// The Wubi 86 schema, from the Wubi page's settings and a few of the
// Advanced page: Debian's wubi86 table, temporary pinyin after "z" (or the
// addon's left Ctrl), pinyin_simp mixed in, and a table of the single
// characters for the modes that hide phrases.
class WubiSchema
{
public:
    static const char *schemaId() { return "kaiwo_wubi"; }
    static const char *charactersId() { return "kaiwo_wubi_chars"; }
    static const char *userDictionary() { return "kaiwo_wubi"; }
    static const char *pinyinUserDictionary() { return "kaiwo_wubi_pinyin"; }
    // Typed before pinyin, it makes the rest of the code temporary pinyin.
    static char tempPinyinPrefix() { return 'z'; }
    static int maxCodeLength() { return 4; }

    static QByteArray schemaYaml(const EngineSettings &settings);
    // A schema only so that Rime builds the table of single characters.
    static QByteArray charactersSchemaYaml();
    // The single-character entries of wubi86.dict.yaml as a dictionary of
    // our own; false when the source holds none.
    static bool charactersDictionaryYaml(const QByteArray &wubi86, QByteArray *yaml);
};
