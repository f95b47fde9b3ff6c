#pragma once

#include <rime_api.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

// One librime instance with one session, as the fcitx addon uses it. A
// redeploy closes the session (half-typed text is lost), so callers only
// redeploy when the configuration really changed.
class RimeEngine
{
public:
    struct Candidate {
        std::string text;
        std::string comment;
    };
    struct State {
        std::string preedit;               // the code as the candidate window shows it
        std::string input;                 // the keys as typed
        int cursor = 0;                    // in bytes of preedit
        std::vector<Candidate> candidates; // the current page
        int highlighted = 0;
        int pageNumber = 0;
        bool lastPage = true;
        bool composing = false;
        bool asciiMode = false;
    };

    RimeEngine(const std::string &sharedDir, const std::string &userDir);
    ~RimeEngine();
    RimeEngine(const RimeEngine &) = delete;
    RimeEngine &operator=(const RimeEngine &) = delete;

    // Builds what changed in the user folder and opens a new session. Blocks
    // for the build; false when Rime could not be started.
    bool deploy(bool fullCheck);
    // The same in steps, so the build runs on Rime's own thread: start it,
    // wait until it is no longer deploying (or for it), then open the
    // session. Until then every call of a session is a no-op.
    void startDeploy(bool fullCheck);
    bool deploying() const;
    void waitForDeploy();
    bool finishDeploy();
    bool ready() const { return mSession != 0; }

    // The schema new sessions use, kept across redeploys and reopened
    // sessions; switching options with a reset start from their reset.
    void selectSchema(const std::string &schemaId);
    const std::string &schema() const { return mSchema; }

    bool processKey(int keysym, int modifiers);
    bool selectOnPage(int index);
    bool changePage(bool backward);
    void clear();
    // Replaces the keys typed so far, as if they were typed now.
    void setInput(const std::string &input);
    // Text committed by the last call, if any.
    std::string takeCommit();
    State state() const;
    void setOption(const char *option, bool on);
    bool option(const char *option) const;

    // The learned words of a dictionary, in Rime's text form. The session
    // is closed around each call, since it holds the dictionary open; text
    // being typed is lost.
    bool exportUserDictionary(const std::string &dictionary, const std::string &textFile);
    bool importUserDictionary(const std::string &dictionary, const std::string &textFile);
    // Forgets every learned word of the dictionaries.
    bool clearUserDictionaries(const std::vector<std::string> &dictionaries);
    // Runs work while no session holds the user dictionaries open, keeping
    // the session's schema and switches; false, without running it, when
    // Rime is not started.
    bool withSessionClosed(const std::function<bool()> &work);

private:
    void stop();
    void closeSession();
    // A new session keeps the schema and the switches of the last one.
    std::vector<std::pair<std::string, bool>> switches() const;
    void openSession(const std::vector<std::pair<std::string, bool>> &switches);
    // Rime's export and import take the same arguments and the same care.
    bool exchangeUserDictionary(bool exporting, const std::string &dictionary,
                                const std::string &textFile);

    RimeApi *mApi;
    std::string mSharedDir;
    std::string mUserDir;
    std::string mLogDir;
    std::string mSchema;
    RimeSessionId mSession = 0;
    bool mSetUp = false;
    bool mInitialized = false;
};
