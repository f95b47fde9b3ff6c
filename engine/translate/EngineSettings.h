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
    bool startEnglishInput = false;
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
    // Ctrl+Shift+letter: English input mode on and off, Wubi and pinyin.
    bool englishShortcut = true;
    char englishLetter = 'E';
    bool wubiShortcut = false;
    char wubiLetter = 'W';
    bool tempPinyin = true; // left Ctrl in Wubi

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
    bool englishWords = true;   // English words among the pinyin candidates
    bool webAddresses = true;   // web and e-mail addresses typed whole
    bool characterParts = true; // a character typed by its parts' pinyin
    bool personalNames = true;  // a surname and given name for what reads as one

    struct Wubi {
        bool mixedPinyin = false;
        bool rareCharacters = false;
        bool autoCommitUnique = true; // four codes, one candidate
        bool fifthCodeCommits = true;
        bool learnOrder = true;
        bool clearEmptyCode = false;
        bool enterClears = false;
        bool learnWords = true;
        bool codeHints = true;
        bool singleCharacters = false;
        bool phrasesOnFullCode = false;
        bool symbols = true; // "/" lists of symbols and emoticons
    } wubi;

    struct English {
        bool wildcard = true;
        bool exactFirst = true;
        bool addSpace = true;
        bool learnOrder = true;
        bool learnWords = true;
        bool autofillSpace = true;
        bool autofillTab = true;
        bool autofillEnter = false;
    } english;

    // Whether a key or the start can bring the mode up; Rime builds only
    // the schemas that can be reached.
    bool wubiReachable() const { return !startPinyin || wubiShortcut; }
    bool englishReachable() const { return startEnglishInput || englishShortcut; }

    // Reads every key; absent keys keep the defaults above.
    static EngineSettings read(QSettings *settings);
};
