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
    return s;
}
