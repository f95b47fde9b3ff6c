#pragma once

#include "ConfigTranslator.h"
#include "EarlyKeys.h"
#include "EngineSettings.h"
#include "EnglishTyping.h"
#include "InputModes.h"
#include "PhraseBook.h"
#include "RimeEngine.h"
#include "SentenceModel.h"
#include "SpaceConversion.h"
#include "TypingAssist.h"
#include "UserDictionaries.h"
#include "WordTablesBuild.h"

#include <fcitx/candidate.h>
#include <fcitx/instance.h>

#include <future>
#include <memory>
#include <string>

// The kaiwo input method inside fcitx 4: key events go to Rime, Rime's
// candidates go to fcitx's candidate window, and the settings tool's calls
// arrive on the IME service. Everything runs on fcitx's main loop
// but a first start's translation and the builds of Rime's tables.
class KaiwoInputMethod
{
public:
    explicit KaiwoInputMethod(FcitxInstance *instance);
    ~KaiwoInputMethod();
    KaiwoInputMethod(const KaiwoInputMethod &) = delete;
    KaiwoInputMethod &operator=(const KaiwoInputMethod &) = delete;

    static const char *uniqueName() { return "kaiwo"; }

    // fcitx's input-method interface.
    void activate();
    void reset();
    INPUT_RETURN_VALUE keyPressed(FcitxKeySym sym, unsigned int state);
    INPUT_RETURN_VALUE keyReleased(FcitxKeySym sym, unsigned int state);
    INPUT_RETURN_VALUE showCandidates();
    INPUT_RETURN_VALUE chooseCandidate(int index);
    boolean turnPage(boolean backward);

    // The settings tool's files changed: translate them and redeploy Rime
    // when the translation differs. Costs nothing when nothing changed.
    void applySettings();
    // The first start's next step: the files are translated on a thread,
    // Rime builds on its own; true once typing goes to Rime. With `wait`
    // it blocks until then.
    bool advanceStartup(bool wait);
    void pollStartupLater();
    // A call of the IME service; the boolean answer of methods that have one.
    bool serviceCall(const std::string &method, const std::string &text, int number);
    // The pinyin words Rime learned, in the service's text form, and one
    // of them forgotten.
    std::string learnedWords();
    bool forgetLearnedWord(const std::string &pinyin, const std::string &word);
    // The checked cell dictionaries changed: their words are rebuilt beside
    // typing, and cellWordsBuilt() switches over once they are ready.
    void rebuildCellWords();
    void cellWordsBuilt();

private:
    void adoptSettings(const ConfigTranslator::Outcome &outcome);
    void deployIfNeeded(bool fullCheck = true);
    void deployed(bool started);
    void typeEarlyKeys();
    void applyCandidateWindow();
    void pollCellWordsLater();
    void reopenKeepingModes();
    void loadPhrases();
    void configureConversion();
    INPUT_RETURN_VALUE englishKey(FcitxKeySym sym, unsigned int state);
    INPUT_RETURN_VALUE keypadKey(FcitxKeySym sym, const RimeEngine::State &before);
    // Rime's state, or English input's when that is on.
    RimeEngine::State inputState() const;
    bool dictionaryCall(const std::string &method, const QString &path, QString *error);
    void afterDictionaryCall();
    INPUT_RETURN_VALUE afterProcessing(bool handled, FcitxKeySym sym, unsigned int state);
    void addCandidates(const RimeEngine::State &state);
    void commitPending();
    void commitText(const std::string &text);
    void forwardKey(FcitxKeySym sym, int times);
    void adoptSentenceModel();

    FcitxInstance *mInstance;
    ConfigTranslator mTranslator;
    EngineSettings mSettings;
    RimeEngine mRime;
    TypingAssist mAssist;
    SpaceConversion mConversion;
    UserDictionaries mDictionaries;
    std::shared_ptr<const PhraseBook> mPhrases; // the last good custom phrases
    WordTablesBuild mCellWords;
    bool mCellWordsReady = false; // built, waiting for the end of a word
    bool mCellPolling = false;
    InputModes mModes;
    EnglishTyping mEnglish;
    bool mDeployPending = true;
    std::future<ConfigTranslator::Outcome> mFirstTranslation; // until it is done
    bool mStarting = true;                                    // until Rime is first built
    EarlyKeys mEarlyKeys;
    RimeEngine::State mBeforeKey;                      // what Rime held before the key in hand
    std::future<SentenceModel::Loaded> mSentenceModel; // until it is read
};
