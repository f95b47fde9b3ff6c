#include "EnglishSchema.h"

#include "RimeSchema.h"

#include <QSet>
#include <QString>
#include <QTextStream>

namespace
{

const int kMaxWord = 64;
// Twice Debian's list: Rime builds a table this size in a few seconds.
const int kMaxEntries = 300000;

// "Ångström" is typed "angstrom", "don't" "dont".
QString plainLetters(const QString &word)
{
    QString code;
    for (const QChar c : word.normalized(QString::NormalizationForm_D)) {
        if (c.isMark() || c == QLatin1Char('\''))
            continue;
        if (c.unicode() >= 0x80 || !c.isLetter())
            return QString();
        code += c;
    }
    return code;
}

QString capitalised(const QString &text)
{
    return text.left(1).toUpper() + text.mid(1);
}

} // namespace

QByteArray EnglishSchema::wordsSchemaYaml()
{
    // Never in the schema list, so never built by a redeploy: Rime stamps
    // its defaults into every listed schema, and a change of them would
    // rebuild this large spelling index each time. RimeEngine builds it
    // when the word list changes.
    return RimeSchema::header(wordsSchemaId(), QStringLiteral("英文词表"), {}).toUtf8() +
           "translator:\n  dictionary: " + RimeSchema::englishDictionary() +
           "\n  prism: " + wordsSchemaId() + '\n';
}

QByteArray EnglishSchema::schemaYaml(const EngineSettings &s)
{
    QString text;
    QTextStream out(&text);
    // No punctuator: the addon commits what was typed before a mark and
    // lets the mark through as it is.
    out << RimeSchema::header(schemaId(), QStringLiteral("英文"), {}) << "switches:\n"
        << RimeSchema::switchYaml("ascii_mode", false, QStringLiteral("英文输入, 西文"))
        << RimeSchema::switchYaml("full_shape", s.startFullShape, QStringLiteral("半角, 全角"))
        << RimeSchema::switchYaml("ascii_punct", true, QStringLiteral("中文标点, 英文标点"))
        << "engine:\n  processors:\n    - speller\n    - selector\n    - express_editor\n"
           "  segmentors:\n    - abc_segmentor\n    - fallback_segmentor\n"
           "  translators:\n    - table_translator@english\n  filters:\n"
        << (s.english.exactFirst ? "" : "    - kaiwo_learned_first\n")
        << "    - uniquifier\n"
           "speller:\n  alphabet: \"zyxwvutsrqponmlkjihgfedcbaZYXWVUTSRQPONMLKJIHGFEDCBA"
        << (s.english.wildcard ? "*" : "") << "\"\n  delimiter: \" \"\n"
        << RimeSchema::englishTranslatorYaml(s, false);
    out.flush();
    return text.toUtf8();
}

bool EnglishSchema::dictionaryYaml(const QByteArray &wordList, QByteArray *yaml)
{
    QByteArray out = RimeSchema::dictionaryHeader(RimeSchema::englishDictionary());
    QSet<QString> seen;
    for (const QByteArray &line : wordList.split('\n')) {
        const QString word = QString::fromUtf8(line).trimmed();
        if (word.isEmpty() || word.size() > kMaxWord || word.endsWith(QLatin1String("'s")))
            continue;
        const QString code = plainLetters(word).toLower();
        if (code.isEmpty())
            continue;
        // Proper names rank below the common words they share a code with.
        const QByteArray weight = word.at(0).isLower() ? "2" : "1";
        for (const auto &entry :
             {qMakePair(word, code), qMakePair(capitalised(word), capitalised(code))}) {
            const QString key = entry.first + QLatin1Char('\t') + entry.second;
            if (seen.contains(key) || seen.size() >= kMaxEntries)
                continue;
            seen.insert(key);
            out += key.toUtf8() + '\t' + weight + '\n';
        }
    }
    *yaml = out;
    return !seen.isEmpty();
}
