#include "RimeSchema.h"

#include "ChaiziDictionary.h"
#include "EnglishSchema.h"
#include "WubiSchema.h"

#include <QTextStream>

namespace
{

const char *switchAction(const EngineSettings &s, EngineSettings::SwitchKey key)
{
    if (s.chineseEnglishKey != key)
        return "noop";
    return s.commitOnSwitch ? "commit_code" : "clear";
}

} // namespace

QString RimeSchema::yamlString(const QString &text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    quoted.replace(QLatin1Char('"'), QLatin1String("\\\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString RimeSchema::header(const char *id, const QString &name, const QStringList &dependencies)
{
    QString text =
        QStringLiteral("# Written by the Kaiwo input method from the settings tool's "
                       "files.\nschema:\n  schema_id: %1\n  name: %2\n  version: \"1\"\n")
            .arg(QLatin1String(id), name);
    if (!dependencies.isEmpty())
        text +=
            QStringLiteral("  dependencies: [%1]\n").arg(dependencies.join(QStringLiteral(", ")));
    return text;
}

QByteArray RimeSchema::dictionaryHeader(const char *name)
{
    return QByteArray("# Made by the Kaiwo input method; it is rewritten when its source "
                      "changes.\n---\nname: ") +
           name + "\nversion: \"1\"\nsort: by_weight\n...\n";
}

QString RimeSchema::chineseEngineYaml(const EngineSettings &s)
{
    // Without candidate editing the arrow keys do not move into the code.
    return QStringLiteral("engine:\n  processors:\n    - ascii_composer\n    - recognizer\n"
                          "    - key_binder\n    - speller\n    - punctuator\n    - selector\n") +
           (s.editCandidates ? QStringLiteral("    - navigator\n") : QString()) +
           QStringLiteral("    - express_editor\n"
                          "  segmentors:\n    - ascii_segmentor\n    - matcher\n"
                          "    - abc_segmentor\n    - punct_segmentor\n    - fallback_segmentor\n"
                          "  translators:\n    - punct_translator\n");
}

QString RimeSchema::switchYaml(const char *option, bool on, const QString &states)
{
    return QStringLiteral("  - name: %1\n    reset: %2\n    states: [%3]\n")
        .arg(QLatin1String(option))
        .arg(on ? 1 : 0)
        .arg(states);
}

QString RimeSchema::asciiComposerYaml(const EngineSettings &s, bool leftControlFree)
{
    using Key = EngineSettings::SwitchKey;
    return QStringLiteral("ascii_composer:\n  good_old_caps_lock: true\n  switch_key:\n"
                          "    Shift_L: %1\n    Shift_R: %1\n    Control_L: %2\n"
                          "    Control_R: %3\n    Caps_Lock: clear\n    Eisu_toggle: clear\n")
        .arg(QLatin1String(switchAction(s, Key::Shift)),
             QLatin1String(leftControlFree ? "noop" : switchAction(s, Key::Ctrl)),
             QLatin1String(switchAction(s, Key::Ctrl)));
}

QStringList RimeSchema::keyBindings(const EngineSettings &s, const char *traditionalOption)
{
    struct PageKeys {
        int bit;
        const char *up;
        const char *down;
    };
    static const PageKeys kPageKeys[] = {{1, "bracketleft", "bracketright"},
                                         {2, "minus", "equal"},
                                         {4, "comma", "period"},
                                         {8, "Shift+ISO_Left_Tab", "Tab"}};
    QStringList bindings;
    for (const PageKeys &keys : kPageKeys) {
        if (!(s.pageKeys & keys.bit))
            continue;
        bindings << QStringLiteral("{when: paging, accept: %1, send: Page_Up}")
                        .arg(QLatin1String(keys.up))
                 << QStringLiteral("{when: has_menu, accept: %1, send: Page_Down}")
                        .arg(QLatin1String(keys.down));
    }
    if (s.punctuationShortcut)
        bindings << QStringLiteral("{when: always, accept: Control+period, toggle: ascii_punct}");
    if (s.shapeShortcut)
        bindings << QStringLiteral("{when: always, accept: Shift+space, toggle: full_shape}");
    if (s.traditionalShortcut) {
        // With Shift held X reports the capital letter; some clients the small one.
        const QChar letter = QLatin1Char(s.traditionalLetter);
        for (const QChar key : {letter, letter.toLower()})
            bindings << QStringLiteral("{when: always, accept: Control+Shift+%1, toggle: %2}")
                            .arg(key)
                            .arg(QLatin1String(traditionalOption));
    }
    return bindings;
}

QString RimeSchema::keyBinderYaml(const QStringList &bindings)
{
    QString text = QStringLiteral("key_binder:\n  bindings:\n");
    for (const QString &binding : bindings)
        text += QStringLiteral("    - ") + binding + QLatin1Char('\n');
    if (bindings.isEmpty())
        text += QStringLiteral("    []\n");
    return text;
}

QStringList RimeSchema::recognizerPatterns(const EngineSettings &s)
{
    QStringList patterns{QStringLiteral("uppercase: \"[A-Z][-_+.'0-9A-Za-z]*$\"")};
    if (s.webAddresses)
        patterns << QStringLiteral("web: ") + yamlString(QLatin1String(webPattern()));
    return patterns;
}

QString RimeSchema::recognizerYaml(const QStringList &patterns)
{
    QString text = QStringLiteral("recognizer:\n  patterns:\n");
    for (const QString &pattern : patterns)
        text += QStringLiteral("    ") + pattern + QLatin1Char('\n');
    return text;
}

bool RimeSchema::englishUserDictionary(const EngineSettings &s)
{
    // New words live in the user dictionary, so it is kept for either option.
    return s.english.learnOrder || s.english.learnWords;
}

QStringList RimeSchema::extraTranslators(const EngineSettings &s)
{
    QStringList translators;
    if (s.englishWords)
        translators << QStringLiteral("table_translator@english");
    if (s.webAddresses)
        translators << QStringLiteral("table_translator@web");
    return translators;
}

QString RimeSchema::extraTranslatorsYaml(const EngineSettings &s)
{
    QString text;
    // Below every Chinese word of the same length; without the remaining
    // letters as a comment.
    if (s.englishWords)
        text += englishTranslatorYaml(s, true);
    // Only the addresses typed before, from the user dictionary.
    if (s.webAddresses)
        text += QStringLiteral("web:\n  dictionary: \"\"\n  user_dict: %1\n  tag: web\n"
                               "  enable_completion: true\n  enable_sentence: false\n"
                               "  comment_format:\n    - \"xform/.*//\"\n")
                    .arg(QLatin1String(webDictionary()));
    return text;
}

QString RimeSchema::englishTranslatorYaml(const EngineSettings &s, bool belowChinese)
{
    // The table and its spelling index come from EnglishSchema's words
    // schema (an index named after a listed schema is removed when that
    // schema changes); the user dictionary is the dictionary's name.
    return QStringLiteral("english:\n  dictionary: %1\n  prism: %2\n  enable_completion: true\n"
                          "  enable_sentence: false\n  enable_user_dict: %3\n%4"
                          "  comment_format:\n    - \"xform/.*//\"\n")
        .arg(QLatin1String(englishDictionary()), QLatin1String(EnglishSchema::wordsSchemaId()),
             QLatin1String(englishUserDictionary(s) ? "true" : "false"),
             belowChinese ? QStringLiteral("  initial_quality: -1\n") : QString());
}

QString RimeSchema::alphabet(const QStringList &algebra)
{
    const bool semicolon = algebra.join(QString()).contains(QLatin1Char(';'));
    return QStringLiteral("zyxwvutsrqponmlkjihgfedcba") +
           (semicolon ? QStringLiteral(";") : QString());
}

QString RimeSchema::spellerYaml(const QStringList &algebra)
{
    QString text;
    QTextStream out(&text);
    out << "speller:\n  alphabet: " << yamlString(alphabet(algebra))
        << "\n  delimiter: \" '\"\n  algebra:\n";
    for (const QString &rule : algebra)
        out << "    - " << yamlString(rule) << '\n';
    out.flush();
    return text;
}

QByteArray RimeSchema::spelledDictionarySchemaYaml(const char *id, const char *what,
                                                   const QStringList &algebra)
{
    return ("# Written by the Kaiwo input method: " + QString::fromUtf8(what) +
            ".\nschema:\n  schema_id: " + QLatin1String(id) + "\n  name: " + QLatin1String(id) +
            "\n  version: \"1\"\n" + spellerYaml(algebra) + "translator:\n  dictionary: " +
            QLatin1String(id) + "\n  prism: " + QLatin1String(id) + "\n")
        .toUtf8();
}

QByteArray RimeSchema::cellsSchemaYaml(const QStringList &algebra)
{
    // Only built, and only by Rime's deployer in a child process: not a
    // dependency of the main schema, so fcitx never compiles a user's words
    // itself.
    return spelledDictionarySchemaYaml(cellsSchemaId(), "the cell dictionaries' words", algebra);
}

QByteArray RimeSchema::chaiziSchemaYaml(const QStringList &algebra)
{
    // A dependency of the main schema while SplitZi is on: its table changes
    // only with the data, its small prism with the spelling.
    return spelledDictionarySchemaYaml(ChaiziDictionary::name(), "the parts of characters",
                                       algebra);
}

QString RimeSchema::filtersYaml(const EngineSettings &s)
{
    // The parts' dictionary makes no sentences; names are written in
    // simplified characters, so they come after the simplifier.
    QString text = QStringLiteral("  filters:\n    - kaiwo_sentence\n");
    if (s.characterParts)
        text += QStringLiteral("    - kaiwo_chaizi_filter\n");
    text += QStringLiteral("    - simplifier\n");
    if (s.personalNames)
        text += QStringLiteral("    - kaiwo_name\n");
    return text + QStringLiteral("    - kaiwo_phrase_filter\n    - uniquifier\n");
}

QByteArray RimeSchema::schemaYaml(const EngineSettings &s, const QStringList &algebra,
                                  const QString &namesFile)
{
    const char *chaizi = ChaiziDictionary::name();
    QStringList dependencies;
    if (s.characterParts)
        dependencies << QLatin1String(chaizi);
    QString text;
    QTextStream out(&text);
    out << header(schemaId(), QStringLiteral("凯沃输入法"), dependencies) << "switches:\n"
        << switchYaml("ascii_mode", !s.startChinese, QStringLiteral("中文, 英文"))
        << switchYaml("full_shape", s.startFullShape, QStringLiteral("半角, 全角"))
        << switchYaml("simplification", !s.startTraditional, QStringLiteral("繁体, 简体"))
        << switchYaml("ascii_punct", false, QStringLiteral("中文标点, 英文标点"))
        << chineseEngineYaml(s) << "    - kaiwo_word_translator\n"
        << "    - kaiwo_word_translator@kaiwo_cells\n";
    for (const QString &translator : extraTranslators(s))
        out << "    - " << translator << '\n';
    if (s.characterParts)
        out << "    - kaiwo_chaizi_translator@" << chaizi << '\n';
    out << filtersYaml(s) << spellerYaml(algebra)
        << "translator:\n  dictionary: luna_pinyin\n  prism: " << schemaId()
        << "\n  enable_sentence: false\n  enable_user_dict: true\n";
    if (s.doublePinyin && s.doublePinyinHints)
        out << "  spelling_hints: " << s.appearance.pageSize << '\n';
    // Sentences come from kaiwo_sentence, which scores Rime's words with a
    // language model (or, without one, as Rime itself would).
    out << "kaiwo_sentence:\n  enable: " << (s.dynamicPhrases ? "true" : "false") << '\n';
    // The cell dictionaries' words: a dictionary of their own, rebuilt
    // beside the session when the checked dictionaries change.
    out << "kaiwo_cells:\n  dictionary: kaiwo_cells\n  prism: kaiwo_cells\n"
           "  enable_sentence: false\n  enable_user_dict: false\n  initial_quality: 1\n";
    // Below every word of the same length (English's too), whose
    // qualities reach down to -1.
    if (s.characterParts)
        out << chaizi << ":\n  dictionary: " << chaizi << "\n  prism: " << chaizi
            << "\n  enable_completion: false\n  enable_sentence: false\n"
               "  enable_user_dict: false\n  initial_quality: -2\n";
    if (s.personalNames)
        out << "kaiwo_name:\n  table: " << yamlString(namesFile) << '\n';
    out << extraTranslatorsYaml(s)
        << "simplifier:\n  option_name: simplification\n  opencc_config: t2s.json\n"
           "punctuator:\n  import_preset: symbols\n"
        << recognizerYaml(recognizerPatterns(s)) << asciiComposerYaml(s, false)
        << keyBinderYaml(keyBindings(s, "simplification"));
    out.flush();
    return text.toUtf8();
}

QByteArray RimeSchema::defaultPatchYaml(const EngineSettings &s)
{
    QString text;
    QTextStream out(&text);
    // The first schema is the one a new session starts with; the addon
    // then selects the one in use. Each schema listed costs time at every
    // redeploy, so only those that can be reached are. The page size is
    // given here once for all; Rime stamps this file into every compiled
    // schema, so any change of it rebuilds their spelling indexes (the
    // English words' large one is built apart for that reason).
    out << "# Written by the Kaiwo input method from the settings tool's files.\n"
           "patch:\n  schema_list:\n    - schema: "
        << schemaId() << '\n';
    if (s.wubiReachable())
        out << "    - schema: " << WubiSchema::schemaId() << '\n';
    if (s.englishReachable())
        out << "    - schema: " << EnglishSchema::schemaId() << '\n';
    out << "  menu/page_size: " << s.appearance.pageSize << '\n';
    out.flush();
    return text.toUtf8();
}
