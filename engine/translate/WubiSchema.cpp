#include "WubiSchema.h"

#include "RimeSchema.h"

#include <QRegularExpression>
#include <QTextStream>

namespace
{

const char kWubi86[] = "wubi86";
const char kPinyin[] = "pinyin_simp";

bool onlyCharacters(const EngineSettings::Wubi &w)
{
    return w.singleCharacters;
}

// Phrases are offered on their full code only, while characters still
// complete: a second translator completes from the table of characters.
bool completesCharactersOnly(const EngineSettings::Wubi &w)
{
    return w.codeHints && w.phrasesOnFullCode && !w.singleCharacters;
}

const char *yesNo(bool on)
{
    return on ? "true" : "false";
}

} // namespace

QByteArray WubiSchema::schemaYaml(const EngineSettings &settings)
{
    // English words belong to pinyin (the Pinyin page's key); web
    // addresses are typed here too.
    EngineSettings s = settings;
    s.englishWords = false;
    const EngineSettings::Wubi &w = s.wubi;

    QStringList dependencies{QLatin1String(kPinyin)};
    if (onlyCharacters(w) || completesCharactersOnly(w))
        dependencies << QLatin1String(charactersId());
    QString text;
    QTextStream out(&text);
    out << RimeSchema::header(schemaId(), QStringLiteral("凯沃五笔"), dependencies) << "switches:\n"
        << RimeSchema::switchYaml("ascii_mode", !s.startChinese, QStringLiteral("中文, 英文"))
        << RimeSchema::switchYaml("full_shape", s.startFullShape, QStringLiteral("半角, 全角"))
        << RimeSchema::switchYaml("traditionalization", s.startTraditional,
                                  QStringLiteral("简体, 繁体"))
        << RimeSchema::switchYaml("extended_charset", w.rareCharacters,
                                  QStringLiteral("常用, 生僻"))
        << RimeSchema::switchYaml("ascii_punct", false, QStringLiteral("中文标点, 英文标点"))
        << RimeSchema::chineseEngineYaml(s);
    if (s.tempPinyin)
        out << "    - reverse_lookup_translator\n";
    out << "    - table_translator\n";
    if (completesCharactersOnly(w))
        out << "    - table_translator@completion\n";
    if (w.mixedPinyin)
        out << "    - script_translator@pinyin\n";
    for (const QString &translator : RimeSchema::extraTranslators(s))
        out << "    - " << translator << '\n';
    // Four codes make a Wubi code: a fifth letter commits the first
    // candidate (the addon holds it back when that rule is off), and a
    // unique candidate commits itself when auto_select is on.
    // A user dictionary would bring learned phrases back into single
    // character mode.
    const bool learns = (w.learnOrder || w.learnWords) && !onlyCharacters(w);
    const bool encoder = w.learnWords && learns;
    // The user dictionary that keeps new words would also move chosen ones
    // up; the table order filter undoes that.
    out << "  filters:\n"
        << (learns && !w.learnOrder ? "    - kaiwo_table_order\n" : "")
        << "    - simplifier\n    - kaiwo_phrase_filter\n    - uniquifier\n"
           "speller:\n  alphabet: zyxwvutsrqponmlkjihgfedcba\n  delimiter: \" ;'\"\n"
           "  max_code_length: "
        << maxCodeLength() << "\n  auto_select: " << yesNo(w.autoCommitUnique) << '\n';
    // Without completion a short code may match nothing yet still lead to
    // words, so only a full code counts as empty then.
    if (w.clearEmptyCode)
        out << "  auto_clear: " << (w.codeHints ? "auto" : "max_length") << '\n';
    out << "translator:\n  dictionary: " << (onlyCharacters(w) ? charactersId() : kWubi86)
        << "\n  prism: " << schemaId() << "\n  user_dict: " << userDictionary()
        << "\n  enable_user_dict: " << yesNo(learns) << "\n  enable_encoder: " << yesNo(encoder)
        << "\n  encode_commit_history: " << yesNo(encoder)
        << "\n  max_phrase_length: 4\n  enable_completion: "
        << yesNo(w.codeHints && !completesCharactersOnly(w))
        << "\n  enable_sentence: false\n  enable_charset_filter: true\n"
           "  disable_user_dict_for_patterns:\n    - \"^z.*$\"\n";
    if (completesCharactersOnly(w))
        out << "completion:\n  dictionary: " << charactersId()
            << "\n  enable_completion: true\n  enable_user_dict: false\n"
               "  enable_sentence: false\n  enable_charset_filter: true\n"
               "  initial_quality: -1\n";
    if (w.mixedPinyin)
        out << "pinyin:\n  dictionary: " << kPinyin << "\n  user_dict: " << pinyinUserDictionary()
            << "\n  initial_quality: -1\n";
    if (s.tempPinyin)
        out << "reverse_lookup:\n  dictionary: " << kPinyin << "\n  prefix: \""
            << tempPinyinPrefix() << "\"\n  suffix: \"'\"\n  tips: 〔拼音〕\n";
    QStringList patterns = RimeSchema::recognizerPatterns(s);
    if (s.tempPinyin)
        patterns << QStringLiteral("reverse_lookup: \"^z[a-z]*'?$\"");
    if (w.symbols)
        patterns << QStringLiteral("punct: \"^/([0-9]0?|[A-Za-z]+)$\"");
    QStringList bindings = RimeSchema::keyBindings(s, "traditionalization");
    if (w.enterClears)
        bindings << QStringLiteral("{when: composing, accept: Return, send: Escape}");
    out << RimeSchema::extraTranslatorsYaml(s)
        << "simplifier:\n  option_name: traditionalization\n  opencc_config: s2t.json\n"
           "punctuator:\n  import_preset: "
        << (w.symbols ? "symbols" : "default") << '\n'
        << RimeSchema::recognizerYaml(patterns) << RimeSchema::asciiComposerYaml(s, s.tempPinyin)
        << RimeSchema::keyBinderYaml(bindings);
    out.flush();
    return text.toUtf8();
}

QByteArray WubiSchema::charactersSchemaYaml()
{
    return RimeSchema::header(charactersId(), QStringLiteral("五笔单字"), {}).toUtf8() +
           "translator:\n  dictionary: " + charactersId() + '\n';
}

bool WubiSchema::charactersDictionaryYaml(const QByteArray &wubi86, QByteArray *yaml)
{
    QByteArray out = RimeSchema::dictionaryHeader(charactersId());
    const int headerSize = out.size();
    const int body = wubi86.indexOf("\n...\n");
    if (body < 0)
        return false;
    static const QRegularExpression entry(
        QStringLiteral("^[^\t#]\t[a-z]{1,8}(\t[0-9]{1,12}(\t[a-z]*)?)?$"));
    for (const QByteArray &line : wubi86.mid(body + 5).split('\n')) {
        // One character (a single code point) with its code, weight and stem.
        const QString text = QString::fromUtf8(line);
        if (text.size() < 64 && entry.match(text).hasMatch())
            out += line + '\n';
    }
    *yaml = out;
    return out.size() > headerSize;
}
