#pragma once

#include "EngineSettings.h"
#include "RimeEngine.h"

#include <string>
#include <utility>
#include <vector>

class UserDictionaries;

// Pinyin, Wubi and English input: which Rime schema is in use, the
// Ctrl+Shift+letter keys that switch them, and the few Wubi and
// web-address rules Rime has no setting for.
class InputModes
{
public:
    InputModes(RimeEngine *rime, UserDictionaries *dictionaries)
        : mRime(rime), mDictionaries(dictionaries)
    {
    }

    // New settings: a changed default starts its mode; otherwise the mode
    // in use stays, across redeploys too.
    void configure(const EngineSettings &settings);
    bool english() const { return mEnglish; }
    bool wubi() const { return mWubi && !mEnglish; }

    // Keys before Rime sees them; true when the key was taken here.
    bool keyPressed(int keysym, unsigned int modifiers, const RimeEngine::State &before);
    // Left Ctrl released alone in Wubi starts temporary pinyin; true then.
    bool keyReleased(int keysym, const RimeEngine::State &before);
    // What Rime committed after a key: a web address typed in full is
    // learned, so that it completes next time.
    void committed(const RimeEngine::State &before, const std::string &text);

private:
    void select(bool english, bool wubi);
    bool traditional() const;
    bool holdsBackFifthLetter(int keysym, unsigned int modifiers,
                              const RimeEngine::State &before) const;

    RimeEngine *mRime;
    UserDictionaries *mDictionaries;
    EngineSettings mSettings;
    bool mConfigured = false;
    bool mEnglish = false;
    bool mWubi = false;
    bool mControlAlone = false;
    // The Chinese switches while English input is on, to return to them.
    std::vector<std::pair<const char *, bool>> mChineseSwitches;
};
