#include "RimeSchema.h"

#include <QTextStream>

namespace
{

QString yamlString(const QString &text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    quoted.replace(QLatin1Char('"'), QLatin1String("\\\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

const char *switchAction(const EngineSettings &s, EngineSettings::SwitchKey key)
{
    if (s.chineseEnglishKey != key)
        return "noop";
    return s.commitOnSwitch ? "commit_code" : "clear";
}

QStringList keyBindings(const EngineSettings &s)
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
            bindings << QStringLiteral("{when: always, accept: Control+Shift+%1, toggle: "
                                       "simplification}")
                            .arg(key);
    }
    return bindings;
}

} // namespace

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

QByteArray RimeSchema::cellsSchemaYaml(const QStringList &algebra)
{
    // Only built, and only by Rime's deployer in a child process, never
    // selected: the main schema's cell translator reads the dictionary and
    // the prism this makes, spelled like the main one. Not a dependency of
    // the main schema, so fcitx never compiles a user's words itself.
    const QString id = QLatin1String(cellsSchemaId());
    return ("# Written by the Kaiwo input method: the cell dictionaries' words.\n"
            "schema:\n  schema_id: " +
            id + "\n  name: " + id + "\n  version: \"1\"\n" + spellerYaml(algebra) +
            "translator:\n  dictionary: " + id + "\n  prism: " + id + "\n")
        .toUtf8();
}

QByteArray RimeSchema::schemaYaml(const EngineSettings &s, const QStringList &algebra)
{
    QString text;
    QTextStream out(&text);
    out << "# Written by the Kaiwo input method from the settings tool's files.\n"
           "schema:\n  schema_id: "
        << schemaId()
        << "\n  name: 凯沃输入法\n  version: \"1\"\n"
           "switches:\n"
           "  - name: ascii_mode\n    reset: "
        << (s.startChinese ? 0 : 1)
        << "\n    states: [中文, 英文]\n"
           "  - name: full_shape\n    reset: "
        << (s.startFullShape ? 1 : 0)
        << "\n    states: [半角, 全角]\n"
           "  - name: simplification\n    reset: "
        << (s.startTraditional ? 0 : 1)
        << "\n    states: [繁体, 简体]\n"
           "  - name: ascii_punct\n    reset: 0\n    states: [中文标点, 英文标点]\n"
           "engine:\n  processors:\n    - ascii_composer\n    - recognizer\n"
           "    - key_binder\n    - speller\n    - punctuator\n    - selector\n";
    // Without candidate editing the arrow keys do not move into the code.
    if (s.editCandidates)
        out << "    - navigator\n";
    out << "    - express_editor\n"
           "  segmentors:\n    - ascii_segmentor\n    - matcher\n    - abc_segmentor\n"
           "    - punct_segmentor\n    - fallback_segmentor\n"
           "  translators:\n    - punct_translator\n    - script_translator\n"
           "    - script_translator@kaiwo_cells\n"
           "  filters:\n    - simplifier\n    - kaiwo_phrase_filter\n    - uniquifier\n"
        << spellerYaml(algebra) << "translator:\n  dictionary: luna_pinyin\n  prism: " << schemaId()
        << "\n  enable_sentence: " << (s.dynamicPhrases ? "true" : "false")
        << "\n  enable_user_dict: true\n";
    if (s.doublePinyin && s.doublePinyinHints)
        out << "  spelling_hints: " << s.appearance.pageSize << '\n';
    // The cell dictionaries' words: a dictionary of their own, rebuilt
    // beside the session when the checked dictionaries change.
    out << "kaiwo_cells:\n  dictionary: kaiwo_cells\n  prism: kaiwo_cells\n"
           "  enable_sentence: false\n  enable_user_dict: false\n  initial_quality: 1\n";
    out << "simplifier:\n  option_name: simplification\n  opencc_config: t2s.json\n"
           "punctuator:\n  import_preset: symbols\n"
           "recognizer:\n  import_preset: default\n"
           "menu:\n  page_size: "
        << s.appearance.pageSize
        << "\n"
           "ascii_composer:\n  good_old_caps_lock: true\n  switch_key:\n"
           "    Shift_L: "
        << switchAction(s, EngineSettings::SwitchKey::Shift)
        << "\n    Shift_R: " << switchAction(s, EngineSettings::SwitchKey::Shift)
        << "\n    Control_L: " << switchAction(s, EngineSettings::SwitchKey::Ctrl)
        << "\n    Control_R: " << switchAction(s, EngineSettings::SwitchKey::Ctrl)
        << "\n    Caps_Lock: clear\n    Eisu_toggle: clear\n"
           "key_binder:\n  bindings:\n";
    const QStringList bindings = keyBindings(s);
    for (const QString &binding : bindings)
        out << "    - " << binding << '\n';
    if (bindings.isEmpty())
        out << "    []\n";
    out.flush();
    return text.toUtf8();
}

QByteArray RimeSchema::defaultPatchYaml(const EngineSettings &s)
{
    QString text;
    QTextStream out(&text);
    out << "# Written by the Kaiwo input method from the settings tool's files.\n"
           "patch:\n  schema_list:\n    - schema: "
        << schemaId() << "\n  menu/page_size: " << s.appearance.pageSize << '\n';
    out.flush();
    return text.toUtf8();
}
