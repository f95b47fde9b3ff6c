#include "SpellingAlgebra.h"

#include "DoublePinyinLayout.h"

#include <algorithm>

namespace
{

// Full-pinyin copies of the syllables are wrapped in these while the
// double-pinyin rules run, so that no rule touches them.
const QString kMarkStart = QStringLiteral("^~");
const QString kMarkEnd = QStringLiteral("~$");

// Uppercase letters stand for keys while the rules run, so a final that
// was already replaced is never matched again; ';' stands in as '1'.
QString placeholder(QChar key)
{
    return key == QLatin1Char(';') ? QStringLiteral("1") : QString(key.toUpper());
}

QStringList fullPinyinBase(const QString &start, const QString &end)
{
    // "nue" for "nve", "jv" for "ju": both spellings are common.
    return {QStringLiteral("derive/%1([nl])ve%2/%3$1ue%4/")
                .arg(start, end, start.mid(1), end.left(end.size() - 1)),
            QStringLiteral("derive/%1([jqxy])u%2/%3$1v%4/")
                .arg(start, end, start.mid(1), end.left(end.size() - 1))};
}

bool byLengthDescending(const QString &a, const QString &b)
{
    return a.size() != b.size() ? a.size() > b.size() : a < b;
}

} // namespace

QStringList SpellingAlgebra::fuzzyRules(const FuzzyFile::Pairs &on, bool smart)
{
    QStringList rules;
    for (int i = 0; i < FuzzyFile::kPairCount; ++i) {
        if (!on[i] && !smart)
            continue;
        const QString op = on[i] ? QStringLiteral("derive") : QStringLiteral("fuzz");
        const QString key = QLatin1String(FuzzyFile::pair(i).key);
        const QString value = QLatin1String(FuzzyFile::pair(i).value);
        const bool initial = key.size() <= 2 && !key.startsWith(QLatin1Char('a'));
        if (initial && key == value + QLatin1Char('h')) {
            rules << QStringLiteral("%1/^%2/%3/").arg(op, key, value)
                  << QStringLiteral("%1/^%2([^h])/%3$1/").arg(op, value, key);
        } else if (initial) {
            rules << QStringLiteral("%1/^%2/%3/").arg(op, key, value)
                  << QStringLiteral("%1/^%2/%3/").arg(op, value, key);
        } else if (key == QLatin1String("ang")) {
            // iang and uang have pairs of their own.
            rules << QStringLiteral("%1/([^iu]|^)ang$/$1an/").arg(op)
                  << QStringLiteral("%1/([^iu]|^)an$/$1ang/").arg(op);
        } else {
            rules << QStringLiteral("%1/%2$/%3/").arg(op, key, value)
                  << QStringLiteral("%1/%2$/%3/").arg(op, value, key);
        }
    }
    return rules;
}

QStringList SpellingAlgebra::correctionRules(const CorrectionFile::Rules &on, const QString &start,
                                             const QString &end)
{
    Q_UNUSED(start);
    QStringList rules;
    const QString endText = end.left(end.size() - 1); // "$" or "~$" without "$"
    for (int i = 0; i < CorrectionFile::kRuleCount; ++i) {
        if (!on[i])
            continue;
        const QString wrong = QLatin1String(CorrectionFile::rule(i).key);
        const QString right = QLatin1String(CorrectionFile::rule(i).value);
        rules << QStringLiteral("derive/%1%2/%3%4/").arg(right, end, wrong, endText);
    }
    return rules;
}

QStringList SpellingAlgebra::doublePinyinRules(const DoublePinyinLayout &layout)
{
    QStringList rules;
    for (auto it = layout.zeroConsonants.cbegin(); it != layout.zeroConsonants.cend(); ++it)
        rules << QStringLiteral("xform/^%1$/%2%3/")
                     .arg(it.key(), placeholder(it.value().at(0)), placeholder(it.value().at(1)));
    for (auto it = layout.consonants.cbegin(); it != layout.consonants.cend(); ++it)
        rules << QStringLiteral("xform/^%1/%2/").arg(it.key(), placeholder(it.value()));
    QStringList finals = layout.finals.keys();
    std::sort(finals.begin(), finals.end(), byLengthDescending);
    for (const QString &final : finals)
        rules
            << QStringLiteral("xform/%1$/%2/").arg(final, placeholder(layout.finals.value(final)));
    rules << QStringLiteral("xlit/ABCDEFGHIJKLMNOPQRSTUVWXYZ1/abcdefghijklmnopqrstuvwxyz;/");
    return rules;
}

QStringList SpellingAlgebra::rules(const Input &input)
{
    QStringList rules{QStringLiteral("erase/^xx$/")};
    rules << fuzzyRules(input.fuzzy, input.fuzzySmart);
    if (!input.doublePinyin) {
        rules << fullPinyinBase(QStringLiteral("^"), QStringLiteral("$"));
        if (input.correction)
            rules << correctionRules(input.corrections, QStringLiteral("^"), QStringLiteral("$"));
        if (input.abbreviateInitials)
            rules << QStringLiteral("abbrev/^([a-z]).+$/$1/")
                  << QStringLiteral("abbrev/^([zcs]h).+$/$1/");
        return rules;
    }
    if (input.doublePinyinAcceptsFull) {
        rules << QStringLiteral("derive/^(.+)$/~$1~/");
        rules << fullPinyinBase(kMarkStart, kMarkEnd);
        if (input.correction)
            rules << correctionRules(input.corrections, kMarkStart, kMarkEnd);
    }
    rules << doublePinyinRules(*input.doublePinyin);
    if (input.doublePinyinAcceptsFull)
        rules << QStringLiteral("xform/^~(.+)~$/$1/");
    rules << QStringLiteral("abbrev/^(.).+$/$1/");
    return rules;
}
