#include "SpaceConversion.h"

namespace
{

const char kDigits[] = "1234567890";
const char kLetters[] = "abcdefghij";

bool plain(unsigned int state)
{
    return !(state &
             (FcitxKeyState_Shift | FcitxKeyState_Ctrl | FcitxKeyState_Alt | FcitxKeyState_Super));
}

} // namespace

void SpaceConversion::configure(bool convertOnSpace, bool chooseByLetter)
{
    mConvertOnSpace = convertOnSpace;
    mChooseByLetter = chooseByLetter;
    mConverted = false;
}

SpaceConversion::Decision SpaceConversion::keyPressed(FcitxKeySym sym, unsigned int state,
                                                      bool composing, int candidates)
{
    // Each composition starts unconverted, however the last one ended.
    if (!mConvertOnSpace || !composing) {
        mConverted = false;
        return {};
    }
    // Shift+Space and the like keep their own meaning.
    if (!plain(state))
        return {};
    if (mConverted)
        return converted(sym, candidates);
    if (sym != FcitxKey_space)
        return {};
    mConverted = true;
    return {Action::Convert, 0};
}

SpaceConversion::Decision SpaceConversion::converted(FcitxKeySym sym, int candidates)
{
    const bool letter = sym >= FcitxKey_a && sym <= FcitxKey_z;
    if (letter && mChooseByLetter && int(sym - FcitxKey_a) < candidates)
        return {Action::Choose, int(sym - FcitxKey_a)};
    // These edit the pinyin, so its candidates are stale until the next Space.
    if (letter || sym == FcitxKey_apostrophe || sym == FcitxKey_BackSpace || sym == FcitxKey_Delete)
        mConverted = false;
    return {};
}

const char *SpaceConversion::labels() const
{
    return mChooseByLetter && mConverted ? kLetters : kDigits;
}
