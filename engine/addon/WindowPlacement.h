#pragma once

#include <fcitx/instance.h>

// Where fcitx's classic interface puts the candidate window. Following the
// text cursor is fcitx's own way; to keep the window in one place instead,
// the frontends' position callbacks are wrapped, because fcitx asks the
// frontend for the cursor every time it moves the window and has no hook of
// its own for that.
class WindowPlacement
{
public:
    // Wraps the frontends once they are loaded; cheap to call on every key.
    static void install(FcitxInstance *instance);
    // Puts every frontend's callbacks back.
    static void uninstall();
    // Off: the window stays where it first appeared, or where the user
    // dragged it, whatever the cursor does.
    static void setFollowCursor(bool follow);
};
