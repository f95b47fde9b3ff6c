#include "EngineSettings.h"

#include "config/SettingsStore.h"

#include <QSettings>

namespace
{

EngineSettings::SwitchKey switchKey(int value)
{
    // Any value but 0 and 1 means no switch key, as the Advanced page shows it.
    switch (value) {
    case 0:
        return EngineSettings::SwitchKey::Shift;
    case 1:
        return EngineSettings::SwitchKey::Ctrl;
    default:
        return EngineSettings::SwitchKey::None;
    }
}

char letter(int index, char fallback)
{
    return index >= 0 && index < 26 ? char('A' + index) : fallback;
}

} // namespace

EngineSettings EngineSettings::read(QSettings *settings)
{
    const SettingsReader in(settings);
    EngineSettings s;
    auto flag = [&in](const char *key, bool fallback) {
        return in.intValue(QLatin1String(key), fallback ? 1 : 0) != 0;
    };
    s.startChinese = flag("DefaultNative", s.startChinese);
    s.startTraditional = flag("DefaultTradition", s.startTraditional);
    s.startFullShape = flag("DefaultShape", s.startFullShape);
    s.startPinyin = flag("DefaultPinyin", s.startPinyin);
    s.startEnglishInput = flag("DefaultEnglishInput", s.startEnglishInput);
    s.statusBarShown = flag("StatusAppearance", s.statusBarShown);
    s.pairSymbols = flag("SymbolCompletion", s.pairSymbols);
    s.smartSymbolsAfterDigit = flag("SmartSymbolsAfterNum", s.smartSymbolsAfterDigit);
    s.customPhrases = flag("UserPhrase", s.customPhrases);
    s.builtInPhrases = flag("SystemUserPhrase", s.builtInPhrases);

    s.appearance = AppearanceChoices::read(in);

    s.chineseEnglishKey = switchKey(in.intValue(QStringLiteral("KeyEnCnSwitch"), 0));
    s.commitOnSwitch = !flag("TruncateInputWhnEnOn", !s.commitOnSwitch);
    s.punctuationShortcut = flag("ShortcutPunct", s.punctuationShortcut);
    s.shapeShortcut = flag("ShortCutShape", s.shapeShortcut);
    s.pageKeys = in.intValue(QStringLiteral("KeyPageUpDown"), s.pageKeys) & 15;
    s.keypadHalfSymbols = flag("HalfSymbolOnPad", s.keypadHalfSymbols);
    s.keypadSelects = flag("PadNumAsSelect", s.keypadSelects);
    s.traditionalShortcut = flag("ShortCutFanJian", s.traditionalShortcut);
    s.traditionalLetter = letter(in.intValue(QStringLiteral("KeyFanJianSwitch"), 5), 'F');
    s.englishShortcut = flag("ShortCutEnglishInput", s.englishShortcut);
    s.englishLetter = letter(in.intValue(QStringLiteral("KeyEnglishInputSwitch"), 4), 'E');
    s.wubiShortcut = flag("WBInputStyle", s.wubiShortcut);
    s.wubiLetter = letter(in.intValue(QStringLiteral("ShortcutWBInputStyleNew"), 22), 'W');
    s.tempPinyin = flag("ActiveTempPY", s.tempPinyin);

    // The page sets "全拼" and then "双拼" in one exclusive group, so a file
    // holding both shows double pinyin; the engine follows what it shows.
    s.doublePinyin = flag("ShuangPin", false);
    s.initialsAbbreviate = flag("ZCSForZhChSh", s.initialsAbbreviate);
    s.doublePinyinHints = flag("HintSP", s.doublePinyinHints);
    s.doublePinyinAcceptsFull = flag("AllowQuanPin", s.doublePinyinAcceptsFull);
    s.correction = flag("Correction", s.correction);
    s.dynamicPhrases = in.intValue(QStringLiteral("NoPhrase"), 0) != 1;
    s.editCandidates = flag("EditMode", s.editCandidates);
    s.fuzzySmart = flag("MohuSmart", s.fuzzySmart);
    // The page keeps SelectStyle while it greys the box out; without
    // ConvertStyle every letter is pinyin.
    s.convertOnSpace = flag("ConvertStyle", s.convertOnSpace);
    s.chooseByLetter = s.convertOnSpace && flag("SelectStyle", s.chooseByLetter);
    s.doublePinyinScheme = in.stringValue(QStringLiteral("ShuangPinName"), s.doublePinyinScheme);
    s.englishWords = flag("EngFill", s.englishWords);
    s.webAddresses = flag("MailUrlFill", s.webAddresses);
    // The page checks these boxes for 1 alone.
    s.characterParts = in.intValue(QStringLiteral("SplitZi"), 1) == 1;
    s.personalNames = in.intValue(QStringLiteral("MakeName"), 1) == 1;

    // InputMode is a mode number: only 0 mixes in pinyin, as the page shows it.
    s.wubi.mixedPinyin = in.intValue(QStringLiteral("InputMode"), 1) == 0;
    s.wubi.rareCharacters = flag("ActiveGBK", s.wubi.rareCharacters);
    s.wubi.autoCommitUnique = flag("MergeAutoOnScreen", s.wubi.autoCommitUnique);
    s.wubi.fifthCodeCommits = flag("SubmitForFifth", s.wubi.fifthCodeCommits);
    s.wubi.learnOrder = flag("MergeAdjustRate", s.wubi.learnOrder);
    s.wubi.clearEmptyCode = flag("CancelEmptyCode", s.wubi.clearEmptyCode);
    s.wubi.enterClears = flag("MergeEnterUsage", s.wubi.enterClears);
    s.wubi.learnWords = flag("AutoLearnNewWord", s.wubi.learnWords);
    s.wubi.codeHints = flag("Mix4CodeHint", s.wubi.codeHints);
    s.wubi.singleCharacters = flag("SingleWordMode", s.wubi.singleCharacters);
    s.wubi.phrasesOnFullCode = flag("PhraseOnlyWhenFull", s.wubi.phrasesOnFullCode);
    s.wubi.symbols = flag("QuickInputOnOff", s.wubi.symbols);

    s.english.wildcard = flag("EnglishInput_StarAsWildcard", s.english.wildcard);
    s.english.exactFirst = flag("EnglishInput_ExactMatches", s.english.exactFirst);
    s.english.addSpace = flag("EnglishInput_AddSpace", s.english.addSpace);
    s.english.learnOrder = flag("EnglishInput_LearnFreq", s.english.learnOrder);
    s.english.learnWords = flag("EnglishInput_LearnNewWord", s.english.learnWords);
    s.english.autofillSpace = flag("EnglishInput_Autofill_Space", s.english.autofillSpace);
    s.english.autofillTab = flag("EnglishInput_Autofill_Tab", s.english.autofillTab);
    s.english.autofillEnter = flag("EnglishInput_Autofill_Enter", s.english.autofillEnter);
    return s;
}
