#pragma once

#include <fcitx-utils/keysym.h>

#include <vector>

// Keys typed while the engine starts (a first start builds Rime's tables
// for a second or so): pinyin letters, and what edits them once some are
// held, wait to be typed into Rime instead of reaching the application
// raw. Keys with Ctrl, Alt or Super, and everything before a first letter,
// go on to the application at once.
class EarlyKeys
{
public:
    struct Key {
        FcitxKeySym sym;
        unsigned int state;
    };

    // True when the key is held for later.
    bool hold(FcitxKeySym sym, unsigned int state);
    bool holding() const { return !mKeys.empty(); }
    std::vector<Key> take();

private:
    std::vector<Key> mKeys;
};
