#pragma once

#include "EngineSettings.h"

#include <QByteArray>
#include <QStringList>

// Writes the pinyin schema the engine types with, the patch of Rime's
// default configuration that lists our schemas, and the pieces the Wubi
// and English schemas share with it.
class RimeSchema
{
public:
    static const char *schemaId() { return "kaiwo"; }
    // The schema that builds the cell dictionaries' words for the main one.
    static const char *cellsSchemaId() { return "kaiwo_cells"; }
    static QByteArray cellsSchemaYaml(const QStringList &algebra);
    // The schema that builds the character parts' dictionary (SplitZi),
    // spelled like the main one.
    static QByteArray chaiziSchemaYaml(const QStringList &algebra);

    // namesFile: the surnames and given-name characters the name filter
    // reads (MakeName).
    static QByteArray schemaYaml(const EngineSettings &settings, const QStringList &algebra,
                                 const QString &namesFile);
    static QByteArray defaultPatchYaml(const EngineSettings &settings);
    // Spellings typed with ';' need it in the speller's alphabet.
    static QString alphabet(const QStringList &algebra);
    static QString spellerYaml(const QStringList &algebra);

    static QString yamlString(const QString &text);
    // "schema:" with its id, name and the schemas whose dictionaries it uses.
    static QString header(const char *id, const QString &name, const QStringList &dependencies);
    // The processors and segmentors of pinyin and Wubi, and the first of
    // their translators.
    static QString chineseEngineYaml(const EngineSettings &settings);
    static QString switchYaml(const char *option, bool on, const QString &states);
    // The Chinese/English switch key; leftControlFree leaves left Ctrl to
    // the addon (temporary pinyin).
    static QString asciiComposerYaml(const EngineSettings &settings, bool leftControlFree);
    // Page keys and the shortcuts Rime toggles; traditionalOption is the
    // switch that shows traditional characters in this schema.
    static QStringList keyBindings(const EngineSettings &settings, const char *traditionalOption);
    static QString keyBinderYaml(const QStringList &bindings);
    // "www.", "http:" and the like, or anything with an "@" after a name.
    static const char *webPattern()
    {
        return "^(www[.]|https?:|ftp:|mailto:)[^ ]*$|^[A-Za-z0-9][-_.+0-9A-Za-z]*@[^ ]*$";
    }
    // Capitals start English text; web and e-mail addresses when on.
    static QStringList recognizerPatterns(const EngineSettings &settings);
    static QString recognizerYaml(const QStringList &patterns);
    // English words and learned web addresses beside the Chinese ones.
    static QStringList extraTranslators(const EngineSettings &settings);
    static QString extraTranslatorsYaml(const EngineSettings &settings);

    // The start of a dictionary we make from another file.
    static QByteArray dictionaryHeader(const char *name);

    static const char *englishDictionary() { return "kaiwo_english"; }
    static const char *webDictionary() { return "kaiwo_web"; }
    static bool englishUserDictionary(const EngineSettings &settings);
    // The English words' translator (namespace "english"), in English
    // input and, below the Chinese words, in pinyin.
    static QString englishTranslatorYaml(const EngineSettings &settings, bool belowChinese);

private:
    static QString filtersYaml(const EngineSettings &settings);
    // A schema that is only built, never selected: its dictionary and the
    // prism the main schema's translator of that name reads.
    static QByteArray spelledDictionarySchemaYaml(const char *id, const char *what,
                                                  const QStringList &algebra);
};
