#include "InputModes.h"

#include "EnglishSchema.h"
#include "RimeSchema.h"
#include "UserDictionaries.h"
#include "WubiSchema.h"

#include <QRegularExpression>
#include <QString>

#include <algorithm>
#include <cstring>

namespace
{

// X key symbols and modifier masks, as fcitx and Rime both use them.
const int kControlL = 0xffe3;
const unsigned int kShift = 1, kControl = 4, kAlt = 8, kSuper = 64;

const char kTraditional[] = "traditional";

} // namespace

void InputModes::configure(const EngineSettings &s)
{
    const bool first = !mConfigured;
    bool english = mEnglish;
    bool wubi = mWubi;
    if (first || s.startEnglishInput != mSettings.startEnglishInput)
        english = s.startEnglishInput;
    if (first || s.startPinyin != mSettings.startPinyin)
        wubi = !s.startPinyin;
    // A mode no key can reach any more has no schema built.
    english = english && s.englishReachable();
    wubi = wubi && s.wubiReachable();
    mSettings = s;
    mConfigured = true;
    if (first || english != mEnglish || wubi != mWubi) {
        mEnglish = english;
        mWubi = wubi;
        mChineseSwitches.clear();
        mRime->selectSchema(english ? EnglishSchema::schemaId()
                            : wubi  ? WubiSchema::schemaId()
                                    : RimeSchema::schemaId());
    }
}

bool InputModes::traditional() const
{
    return mWubi ? mRime->option("traditionalization") : !mRime->option("simplification");
}

void InputModes::select(bool english, bool wubi)
{
    mRime->clear();
    if (!mEnglish)
        mChineseSwitches = {{"ascii_mode", mRime->option("ascii_mode")},
                            {"full_shape", mRime->option("full_shape")},
                            {"ascii_punct", mRime->option("ascii_punct")},
                            {kTraditional, traditional()}};
    mEnglish = english;
    mWubi = wubi;
    mRime->selectSchema(english ? EnglishSchema::schemaId()
                        : wubi  ? WubiSchema::schemaId()
                                : RimeSchema::schemaId());
    if (english)
        return;
    // Back in Chinese as it was left, in whichever of the two schemas.
    for (const auto &value : mChineseSwitches) {
        if (std::strcmp(value.first, kTraditional) != 0)
            mRime->setOption(value.first, value.second);
        else if (wubi)
            mRime->setOption("traditionalization", value.second);
        else
            mRime->setOption("simplification", !value.second);
    }
}

bool InputModes::keyPressed(int keysym, unsigned int modifiers, const RimeEngine::State &before)
{
    mControlAlone = keysym == kControlL;
    const bool controlShift =
        (modifiers & (kShift | kControl | kAlt | kSuper)) == (kShift | kControl);
    if (controlShift && keysym > 0 && keysym < 0x80 && QChar::isLetter(uint(keysym))) {
        const char letter = char(QChar::toUpper(uint(keysym)));
        if (mSettings.englishShortcut && letter == mSettings.englishLetter) {
            select(!mEnglish, mWubi);
            return true;
        }
        if (mSettings.wubiShortcut && letter == mSettings.wubiLetter) {
            select(false, !mWubi);
            return true;
        }
    }
    return wubi() && holdsBackFifthLetter(keysym, modifiers, before);
}

bool InputModes::holdsBackFifthLetter(int keysym, unsigned int modifiers,
                                      const RimeEngine::State &before) const
{
    // Rime commits on the fifth letter (max_code_length); with the rule off
    // the four letters of a code that has words wait for a choice.
    const std::string &code = before.input;
    return !mSettings.wubi.fifthCodeCommits && !(modifiers & (kControl | kAlt | kSuper)) &&
           keysym >= 'a' && keysym <= 'z' && !before.candidates.empty() &&
           int(code.size()) == WubiSchema::maxCodeLength() &&
           std::all_of(code.begin(), code.end(), [](char c) { return c >= 'a' && c <= 'y'; });
}

bool InputModes::keyReleased(int keysym, const RimeEngine::State &before)
{
    const bool alone = keysym == kControlL && mControlAlone;
    mControlAlone = false;
    if (!alone || !wubi() || !mSettings.tempPinyin || before.composing || before.asciiMode)
        return false;
    return mRime->processKey(WubiSchema::tempPinyinPrefix(), 0);
}

void InputModes::committed(const RimeEngine::State &before, const std::string &text)
{
    static const QRegularExpression web(QLatin1String(RimeSchema::webPattern()));
    if (!mSettings.webAddresses || mEnglish || text.empty() || text != before.input)
        return;
    const bool offered =
        std::any_of(before.candidates.begin(), before.candidates.end(),
                    [&text](const RimeEngine::Candidate &c) { return c.text == text; });
    const QString address = QString::fromStdString(text);
    if (!offered && web.match(address).hasMatch())
        mDictionaries->learn(UserDictionaries::Kind::Web, {{address, address}});
}
