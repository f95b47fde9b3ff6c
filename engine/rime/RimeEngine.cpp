#include "RimeEngine.h"
#include "KaiwoRimeModule.h"

#include <rime_levers_api.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

namespace
{

// Every switch of our schemas; one a schema lacks is a harmless option.
const char *const kSwitches[] = {"ascii_mode",     "full_shape",         "ascii_punct",
                                 "simplification", "traditionalization", "extended_charset"};

RimeLeversApi *levers(RimeApi *api)
{
    RimeModule *module = api->find_module("levers");
    return module && module->get_api ? reinterpret_cast<RimeLeversApi *>(module->get_api())
                                     : nullptr;
}

} // namespace

RimeEngine::RimeEngine(const std::string &sharedDir, const std::string &userDir)
    : mApi(rime_get_api()), mSharedDir(sharedDir), mUserDir(userDir), mLogDir(userDir + "log")
{
}

RimeEngine::~RimeEngine()
{
    stop();
}

void RimeEngine::stop()
{
    if (mSession) {
        mApi->destroy_session(mSession);
        mSession = 0;
    }
    if (mInitialized) {
        mApi->finalize();
        mInitialized = false;
    }
}

bool RimeEngine::deploy(bool fullCheck)
{
    startDeploy(fullCheck);
    waitForDeploy();
    return finishDeploy();
}

void RimeEngine::startDeploy(bool fullCheck)
{
    stop();
    ::mkdir(mLogDir.c_str(), 0700);
    RIME_STRUCT(RimeTraits, traits);
    traits.shared_data_dir = mSharedDir.c_str();
    traits.user_data_dir = mUserDir.c_str();
    traits.distribution_name = "Kaiwo";
    traits.distribution_code_name = "kaiwo";
    traits.distribution_version = "1.0.0";
    traits.app_name = "rime.kaiwo";
    traits.log_dir = mLogDir.c_str();
    traits.min_log_level = 2; // errors only
    // Our own filters (custom phrases, learned order) come in a module of ours.
    KaiwoRimeModule::registerOnce();
    const char *modules[] = {"default", KaiwoRimeModule::name(), nullptr};
    traits.modules = modules;
    if (!mSetUp) {
        mApi->setup(&traits);
        mSetUp = true;
    }
    mApi->initialize(&traits);
    mInitialized = true;
    mApi->start_maintenance(fullCheck);
}

bool RimeEngine::deploying() const
{
    return mInitialized && !mSession && mApi->is_maintenance_mode();
}

void RimeEngine::waitForDeploy()
{
    mApi->join_maintenance_thread();
}

bool RimeEngine::finishDeploy()
{
    if (!mSession)
        openSession({});
    return mSession != 0;
}

void RimeEngine::selectSchema(const std::string &schemaId)
{
    mSchema = schemaId;
    if (mSession)
        mApi->select_schema(mSession, schemaId.c_str());
}

std::vector<std::pair<std::string, bool>> RimeEngine::switches() const
{
    std::vector<std::pair<std::string, bool>> values;
    for (const char *name : kSwitches)
        values.emplace_back(name, option(name));
    return values;
}

void RimeEngine::openSession(const std::vector<std::pair<std::string, bool>> &switches)
{
    mSession = mInitialized ? mApi->create_session() : 0;
    if (mSession && !mSchema.empty())
        mApi->select_schema(mSession, mSchema.c_str());
    for (const auto &value : switches)
        setOption(value.first.c_str(), value.second);
}

bool RimeEngine::processKey(int keysym, int modifiers)
{
    return mSession && mApi->process_key(mSession, keysym, modifiers);
}

bool RimeEngine::selectOnPage(int index)
{
    return mSession && mApi->select_candidate_on_current_page(mSession, size_t(index));
}

bool RimeEngine::changePage(bool backward)
{
    const int pageUp = 0xff55, pageDown = 0xff56; // X keysyms, as Rime reads them
    return mSession && mApi->process_key(mSession, backward ? pageUp : pageDown, 0);
}

void RimeEngine::setInput(const std::string &input)
{
    clear();
    for (const char key : input)
        processKey((unsigned char)key, 0);
}

void RimeEngine::clear()
{
    if (mSession)
        mApi->clear_composition(mSession);
}

std::string RimeEngine::takeCommit()
{
    std::string text;
    RIME_STRUCT(RimeCommit, commit);
    if (mSession && mApi->get_commit(mSession, &commit)) {
        if (commit.text)
            text = commit.text;
        mApi->free_commit(&commit);
    }
    return text;
}

RimeEngine::State RimeEngine::state() const
{
    State state;
    if (!mSession)
        return state;
    RIME_STRUCT(RimeStatus, status);
    if (mApi->get_status(mSession, &status)) {
        state.asciiMode = status.is_ascii_mode;
        state.composing = status.is_composing;
        mApi->free_status(&status);
    }
    RIME_STRUCT(RimeContext, context);
    if (!mApi->get_context(mSession, &context))
        return state;
    if (const char *input = mApi->get_input(mSession))
        state.input = input;
    if (context.composition.length > 0 && context.composition.preedit) {
        state.preedit = context.composition.preedit;
        state.cursor = context.composition.cursor_pos;
    }
    for (int i = 0; i < context.menu.num_candidates; ++i) {
        const RimeCandidate &c = context.menu.candidates[i];
        state.candidates.push_back({c.text ? c.text : "", c.comment ? c.comment : ""});
    }
    state.highlighted = context.menu.highlighted_candidate_index;
    state.pageNumber = context.menu.page_no;
    state.lastPage = context.menu.is_last_page;
    mApi->free_context(&context);
    return state;
}

void RimeEngine::setOption(const char *option, bool on)
{
    if (mSession)
        mApi->set_option(mSession, option, on);
}

bool RimeEngine::option(const char *option) const
{
    return mSession && mApi->get_option(mSession, option);
}

void RimeEngine::closeSession()
{
    if (mSession)
        mApi->destroy_session(mSession);
    mSession = 0;
}

bool RimeEngine::exchangeUserDictionary(bool exporting, const std::string &dictionary,
                                        const std::string &textFile)
{
    RimeLeversApi *api = mInitialized ? levers(mApi) : nullptr;
    const auto exchange = !api        ? nullptr
                          : exporting ? api->export_user_dict
                                      : api->import_user_dict;
    return exchange &&
           withSessionClosed([&] { return exchange(dictionary.c_str(), textFile.c_str()) >= 0; });
}

bool RimeEngine::withSessionClosed(const std::function<bool()> &work)
{
    if (!mInitialized)
        return false;
    const auto kept = switches();
    closeSession();
    const bool done = work();
    openSession(kept);
    return done;
}

bool RimeEngine::exportUserDictionary(const std::string &dictionary, const std::string &textFile)
{
    // Rime creates a user dictionary on the first word typed with it; until
    // then it holds no words, and exporting that is not an error.
    if (mInitialized && !std::filesystem::exists(mUserDir + dictionary + ".userdb"))
        return std::ofstream(textFile, std::ios::trunc).good();
    return exchangeUserDictionary(true, dictionary, textFile);
}

bool RimeEngine::importUserDictionary(const std::string &dictionary, const std::string &textFile)
{
    return exchangeUserDictionary(false, dictionary, textFile);
}

bool RimeEngine::clearUserDictionaries(const std::vector<std::string> &dictionaries)
{
    if (!mInitialized)
        return false;
    const auto kept = switches();
    stop();
    bool removed = true;
    for (const std::string &dictionary : dictionaries) {
        std::error_code error;
        std::filesystem::remove_all(mUserDir + dictionary + ".userdb", error);
        removed = removed && !error;
    }
    // The new session starts an empty dictionary in its place.
    const bool started = deploy(false);
    closeSession();
    openSession(kept);
    return started && removed && mSession;
}
