#pragma once

#include "CorrectionFile.h"
#include "FuzzyFile.h"

#include <QStringList>

struct DoublePinyinLayout;

// Rime speller algebra for the tool's pinyin settings. Each rule rewrites
// the full-pinyin spellings of the dictionary's syllables ("zhang") into
// what the user may type for them.
class SpellingAlgebra
{
public:
    struct Input {
        FuzzyFile::Pairs fuzzy{};
        bool fuzzySmart = false;
        CorrectionFile::Rules corrections{};
        bool correction = false;
        bool abbreviateInitials = true;
        const DoublePinyinLayout *doublePinyin = nullptr; // null: full pinyin
        bool doublePinyinAcceptsFull = false;
    };

    static QStringList rules(const Input &input);

    // Pairs that are on become "derive" rules; with smart fuzzy pinyin the
    // others become "fuzz" rules, which Rime ranks below exact matches.
    static QStringList fuzzyRules(const FuzzyFile::Pairs &on, bool smart);
    // A correction "gn=ng" lets "gn" type what ends in "ng". start and end
    // anchor the rules to the spellings they apply to.
    static QStringList correctionRules(const CorrectionFile::Rules &on, const QString &start,
                                       const QString &end);
    static QStringList doublePinyinRules(const DoublePinyinLayout &layout);
};
