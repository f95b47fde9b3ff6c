#include "EarlyKeys.h"

#include <cstddef>
#include <utility>

namespace
{

// Far more than anyone types in the seconds of a first start; past it the
// keys go on raw rather than pile up.
const std::size_t kMostHeld = 256;

bool isLetter(FcitxKeySym sym)
{
    return (sym >= FcitxKey_a && sym <= FcitxKey_z) || (sym >= FcitxKey_A && sym <= FcitxKey_Z);
}

// What edits or ends pinyin being typed: marks, digits, Space and the
// editing keys.
bool editsPinyin(FcitxKeySym sym)
{
    switch (sym) {
    case FcitxKey_BackSpace:
    case FcitxKey_Return:
    case FcitxKey_Escape:
    case FcitxKey_Tab:
    case FcitxKey_Delete:
    case FcitxKey_Left:
    case FcitxKey_Right:
        return true;
    default:
        return sym >= FcitxKey_space && sym <= FcitxKey_asciitilde;
    }
}

} // namespace

bool EarlyKeys::hold(FcitxKeySym sym, unsigned int state)
{
    if (state & (FcitxKeyState_Ctrl | FcitxKeyState_Alt | FcitxKeyState_Super) ||
        mKeys.size() >= kMostHeld)
        return false;
    if (!isLetter(sym) && !(holding() && editsPinyin(sym)))
        return false;
    mKeys.push_back({sym, state});
    return true;
}

std::vector<EarlyKeys::Key> EarlyKeys::take()
{
    return std::exchange(mKeys, {});
}
