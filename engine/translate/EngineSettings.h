#pragma once

#include "AppearanceChoices.h"

#include <QString>

class QSettings;

// What the input method takes from group "Setting" of the tool's env.ini,
// with the tool's own defaults.
struct EngineSettings {
    // Initial state when the input method is switched on.
    bool startChinese = true;
    bool startTraditional = false;
    bool startFullShape = false;
    bool startPinyin = true;
    bool statusBarShown = true;

    // Punctuation.
    bool pairSymbols = true;
    bool smartSymbolsAfterDigit = true;
    bool customPhrases = true;
    bool builtInPhrases = true;

    // Candidate window.
    AppearanceChoices appearance;

    // Keys.
    enum class SwitchKey { Shift, Ctrl, None };
    SwitchKey chineseEnglishKey = SwitchKey::Shift;
    bool commitOnSwitch = true;
    bool punctuationShortcut = true; // Ctrl+.
    bool shapeShortcut = false;      // Shift+Space
    int pageKeys = 7;                // 1 [ ], 2 - =, 4 , ., 8 Tab
    bool keypadHalfSymbols = false;
    bool keypadSelects = false;
    bool traditionalShortcut = true;
    char traditionalLetter = 'F';

    // Pinyin.
    bool doublePinyin = false;
    bool initialsAbbreviate = true;
    bool doublePinyinHints = false;
    bool doublePinyinAcceptsFull = false;
    bool correction = true;
    bool dynamicPhrases = true;
    bool editCandidates = true;
    bool fuzzySmart = true;
    // Candidates wait for the first Space; then letters may choose them.
    bool convertOnSpace = false;
    bool chooseByLetter = false;
    QString doublePinyinScheme = QStringLiteral("Kaiwo");

    // Reads every key; absent keys keep the defaults above.
    static EngineSettings read(QSettings *settings);
};
