#include "WindowPlacement.h"

#include <fcitx/addon.h>
#include <fcitx/frontend.h>

#include <map>

namespace
{

using GetRect = void (*)(void *, FcitxInputContext *, int *, int *, int *, int *);
using SetOffset = void (*)(void *, FcitxInputContext *, int, int);

struct Wrapped {
    FcitxFrontend *frontend;
    GetRect getRect;
    SetOffset setOffset;
};

// Keyed by the frontend's instance, which is what fcitx passes back.
std::map<void *, Wrapped> wrapped;
bool followCursor = true;
bool pinned = false;
int pin[4];

void originalRect(void *frontend, FcitxInputContext *ic, int *x, int *y, int *w, int *h)
{
    const auto found = wrapped.find(frontend);
    if (found != wrapped.end() && found->second.getRect) {
        found->second.getRect(frontend, ic, x, y, w, h);
    } else {
        // What fcitx does for a frontend without the callback.
        *x = ic->offset_x;
        *y = ic->offset_y;
        *w = *h = 0;
    }
}

void pinnedRect(void *frontend, FcitxInputContext *ic, int *x, int *y, int *w, int *h)
{
    originalRect(frontend, ic, x, y, w, h);
    if (followCursor)
        return;
    if (!pinned) {
        pin[0] = *x, pin[1] = *y, pin[2] = *w, pin[3] = *h;
        pinned = true;
    }
    *x = pin[0], *y = pin[1], *w = pin[2], *h = pin[3];
}

// Only the classic interface sets an offset: the user dragged the window.
void draggedTo(void *frontend, FcitxInputContext *ic, int x, int y)
{
    const auto found = wrapped.find(frontend);
    if (found != wrapped.end() && found->second.setOffset)
        found->second.setOffset(frontend, ic, x, y);
    pin[0] = x, pin[1] = y, pin[2] = pin[3] = 0;
    pinned = true;
}

} // namespace

void WindowPlacement::install(FcitxInstance *instance)
{
    // fcitx loads its frontends once, after the input methods.
    if (!wrapped.empty())
        return;
    UT_array *addons = FcitxInstanceGetAddons(instance);
    for (auto *a = reinterpret_cast<FcitxAddon *>(utarray_front(addons)); a;
         a = reinterpret_cast<FcitxAddon *>(utarray_next(addons, a))) {
        if (a->category != AC_FRONTEND || !a->frontend || !a->addonInstance)
            continue;
        wrapped[a->addonInstance] = {a->frontend, a->frontend->GetWindowRect,
                                     a->frontend->SetWindowOffset};
        a->frontend->GetWindowRect = pinnedRect;
        a->frontend->SetWindowOffset = draggedTo;
    }
}

void WindowPlacement::uninstall()
{
    for (const auto &[instance, original] : wrapped) {
        original.frontend->GetWindowRect = original.getRect;
        original.frontend->SetWindowOffset = original.setOffset;
    }
    wrapped.clear();
}

void WindowPlacement::setFollowCursor(bool follow)
{
    if (follow != followCursor)
        pinned = false;
    followCursor = follow;
}
