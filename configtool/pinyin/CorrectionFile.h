#pragma once

#include <QByteArray>
#include <QString>

#include <array>

// Correction.ini: the engine's pinyin correction rules; a rule that is on
// has a line under "[Correction]", one that is off has none.
class CorrectionFile
{
public:
    static constexpr int kRuleCount = 5;
    // One flag per rule, in the order of rule().
    using Rules = std::array<bool, kRuleCount>;

    struct Rule {
        const char *key; // the mistyped final; identifies the rule
        const char *value;
        const char *example;
    };
    // The rules in the order they are shown.
    static const Rule &rule(int index);
    // The rule as the user reads it, e.g. "gn==>ng".
    static QString ruleText(int index);

    static QString fileName() { return QStringLiteral("Correction.ini"); }

    // Sets the flag of every rule listed under "[Correction]"; never clears
    // one. False when the file is missing or unreadable.
    static bool read(const QString &path, Rules *on);
    static QByteArray format(const Rules &on);
    // Replaces an existing file whole; false, writing nothing, when it does
    // not exist or cannot be replaced.
    static bool write(const QString &path, const Rules &on);
};
