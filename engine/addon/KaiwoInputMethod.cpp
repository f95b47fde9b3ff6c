#include "KaiwoInputMethod.h"

#include "ClassicUiSkin.h"
#include "DataRoot.h"
#include "PhraseFilter.h"
#include "SentenceFilter.h"
#include "ServiceHost.h"
#include "WindowPlacement.h"

#include <QDir>
#include <QFile>

#include <iterator>
#include <utility>

#include <fcitx-utils/log.h>
#include <fcitx-utils/utils.h>
#include <fcitx/context.h>

#include <chrono>
#include <cstdlib>
#include <cstring>

namespace
{

const char kRimeSharedData[] = "/usr/share/rime-data";
const unsigned int kReleaseMask = 1u << 30; // Rime's flag for a key release

// libime's model unless the environment names another file.
std::string languageModelPath()
{
    const char *path = std::getenv("KAIWO_LANGUAGE_MODEL");
    return path ? path : std::string();
}

ConfigTranslator::Paths enginePaths()
{
    return ConfigTranslator::Paths::forHome(homeDirectory(), kaiwoDataRoot());
}

// The folders the input method owns, as a fresh HOME lacks them. The
// settings tool installs cell dictionaries only into an existing kcd.
void makeUserFolders()
{
    const QString home = homeDirectory();
    for (const char *folder :
         {"/.config/KaiwoShell/usr/PCPYDict/", "/.config/KaiwoShell/usr/PCWBDict/",
          "/.config/KaiwoShell/usr/kcd/", "/.config/kaiwoimebs/rime/"})
        QDir().mkpath(home + QLatin1String(folder));
}

bool isKeypadDigit(FcitxKeySym sym)
{
    return sym >= FcitxKey_KP_0 && sym <= FcitxKey_KP_9;
}

// The main-keyboard symbol of a keypad operator, 0 for any other key.
char keypadSymbol(FcitxKeySym sym)
{
    switch (sym) {
    case FcitxKey_KP_Add:
        return '+';
    case FcitxKey_KP_Subtract:
        return '-';
    case FcitxKey_KP_Multiply:
        return '*';
    case FcitxKey_KP_Divide:
        return '/';
    case FcitxKey_KP_Decimal:
        return '.';
    default:
        return 0;
    }
}

char printable(FcitxKeySym sym, unsigned int state)
{
    const bool plain = !(state & (FcitxKeyState_Ctrl | FcitxKeyState_Alt | FcitxKeyState_Super));
    return plain && sym >= 0x20 && sym < 0x7f ? char(sym) : 0;
}

INPUT_RETURN_VALUE chooseCallback(void *arg, FcitxCandidateWord *word)
{
    return static_cast<KaiwoInputMethod *>(arg)->chooseCandidate(*static_cast<int *>(word->priv));
}

boolean pageCallback(void *arg, boolean backward)
{
    return static_cast<KaiwoInputMethod *>(arg)->turnPage(backward);
}

// Often enough that the first key finds Rime soon after it is built.
const long kStartupPollMs = 20;

void startupStep(void *arg)
{
    auto *im = static_cast<KaiwoInputMethod *>(arg);
    if (!im->advanceStartup(false))
        im->pollStartupLater();
}

void pollCellWords(void *arg)
{
    static_cast<KaiwoInputMethod *>(arg)->cellWordsBuilt();
}

// Often enough that new words arrive promptly, rarely enough to cost nothing.
const long kCellPollMs = 200;

} // namespace

KaiwoInputMethod::KaiwoInputMethod(FcitxInstance *instance)
    : mInstance(instance), mTranslator(enginePaths()),
      mRime(kRimeSharedData, QFile::encodeName(enginePaths().rimeDir).toStdString()),
      mDictionaries(&mRime, enginePaths().rimeDir),
      mCellWords(enginePaths().pinyinDir, enginePaths().rimeDir, kRimeSharedData),
      mModes(&mRime, &mDictionaries),
      mEnglish(&mRime, &mDictionaries,
               ConfigTranslator::englishDictionaryFile(enginePaths().rimeDir)),
      mSentenceModel(SentenceModel::loadLater(languageModelPath()))
{
    makeUserFolders();
    if (ServiceHost::instance())
        ServiceHost::instance()->attach(this);
    // A first start writes every Rime file and builds Rime's tables: all of
    // it away from fcitx's main loop, so fcitx answers keys at once.
    mFirstTranslation = std::async(
        std::launch::async, [paths = enginePaths()] { return ConfigTranslator(paths).apply(); });
    pollStartupLater();
}

void KaiwoInputMethod::pollStartupLater()
{
    FcitxInstanceAddTimeout(mInstance, kStartupPollMs, startupStep, this);
}

bool KaiwoInputMethod::advanceStartup(bool wait)
{
    using namespace std::chrono_literals;
    if (!mStarting)
        return true;
    if (mFirstTranslation.valid()) {
        if (!wait && mFirstTranslation.wait_for(0s) != std::future_status::ready)
            return false;
        adoptSettings(mFirstTranslation.get());
        mRime.startDeploy(true);
    }
    if (wait)
        mRime.waitForDeploy();
    if (mRime.deploying())
        return false;
    mStarting = false;
    deployed(mRime.finishDeploy());
    rebuildCellWords();
    typeEarlyKeys();
    return true;
}

// Each held key as if it came now: what Rime does not take goes on to the
// application, as it would have.
void KaiwoInputMethod::typeEarlyKeys()
{
    FcitxInputContext *ic = FcitxInstanceGetCurrentIC(mInstance);
    for (const EarlyKeys::Key &key : mEarlyKeys.take()) {
        if (!ic)
            continue;
        const INPUT_RETURN_VALUE pressed = keyPressed(key.sym, key.state);
        if (pressed == IRV_TO_PROCESS) {
            FcitxInstanceForwardKey(mInstance, ic, FCITX_PRESS_KEY, key.sym, key.state);
            FcitxInstanceForwardKey(mInstance, ic, FCITX_RELEASE_KEY, key.sym, key.state);
            continue;
        }
        FcitxInstanceProcessInputReturnValue(mInstance, pressed);
        keyReleased(key.sym, key.state);
    }
}

KaiwoInputMethod::~KaiwoInputMethod()
{
    if (ServiceHost::instance())
        ServiceHost::instance()->attach(nullptr);
    WindowPlacement::uninstall();
}

void KaiwoInputMethod::applySettings()
{
    advanceStartup(true);
    const ConfigTranslator::Outcome outcome = mTranslator.apply();
    adoptSettings(outcome);
    mDeployPending = mDeployPending || outcome.rimeChanged;
    deployIfNeeded();
    // A new spelling needs the cell words' prism made again.
    if (outcome.rimeChanged)
        rebuildCellWords();
}

void KaiwoInputMethod::adoptSettings(const ConfigTranslator::Outcome &outcome)
{
    for (const QString &problem : outcome.problems)
        FcitxLog(WARNING, "kaiwo: %s", problem.toUtf8().constData());
    mSettings = outcome.settings;
    mAssist.setRules(mSettings.pairSymbols, mSettings.smartSymbolsAfterDigit);
    mModes.configure(mSettings);
    configureConversion();
    mEnglish.configure(mSettings.english, mSettings.appearance.pageSize);
    applyCandidateWindow();
    loadPhrases();
}

void KaiwoInputMethod::loadPhrases()
{
    PhraseBook book;
    QString problem;
    const auto sources = PhraseBook::Sources::forFolders(enginePaths().pinyinDir, kaiwoDataRoot(),
                                                         mSettings.builtInPhrases);
    if (PhraseBook::load(sources, &book, &problem))
        mPhrases = std::make_shared<const PhraseBook>(std::move(book));
    else
        FcitxLog(WARNING, "kaiwo: %s", problem.toUtf8().constData());
    PhraseFilter::setBook(mSettings.customPhrases ? mPhrases : nullptr);
}

void KaiwoInputMethod::rebuildCellWords()
{
    mCellWords.start();
    pollCellWordsLater();
}

void KaiwoInputMethod::pollCellWordsLater()
{
    if (!std::exchange(mCellPolling, true))
        FcitxInstanceAddTimeout(mInstance, kCellPollMs, pollCellWords, this);
}

void KaiwoInputMethod::cellWordsBuilt()
{
    mCellPolling = false;
    if (const auto outcome = mCellWords.takeFinished()) {
        if (!outcome->problem.isEmpty())
            FcitxLog(WARNING, "kaiwo: %s; the previous words stay",
                     outcome->problem.toUtf8().constData());
        mCellWordsReady = mCellWordsReady || outcome->changed;
    }
    // Everything is built, so this only reopens the session on the new
    // words; never in the middle of a word being typed.
    if (mCellWordsReady && !mRime.state().composing) {
        mCellWordsReady = false;
        reopenKeepingModes();
    }
    if (mCellWords.running() || mCellWordsReady)
        pollCellWordsLater();
}

void KaiwoInputMethod::reopenKeepingModes()
{
    // New words must not switch the user's modes back to the defaults.
    const char *const kept[] = {"ascii_mode", "full_shape", "simplification", "ascii_punct"};
    bool states[std::size(kept)];
    for (size_t i = 0; i < std::size(kept); ++i)
        states[i] = mRime.option(kept[i]);
    mDeployPending = true;
    deployIfNeeded(false);
    for (size_t i = 0; i < std::size(kept); ++i)
        mRime.setOption(kept[i], states[i]);
}

void KaiwoInputMethod::adoptSentenceModel()
{
    using namespace std::chrono_literals;
    if (!mSentenceModel.valid() || mSentenceModel.wait_for(0s) != std::future_status::ready)
        return;
    const SentenceModel::Loaded loaded = mSentenceModel.get();
    if (!loaded.model)
        FcitxLog(WARNING,
                 "kaiwo: language model not read (%s); sentences follow the "
                 "dictionary alone",
                 loaded.problem.c_str());
    SentenceFilter::setModel(loaded.model);
}

void KaiwoInputMethod::configureConversion()
{
    // The Pinyin page's keys: a Wubi code shows its candidates at once.
    mConversion.configure(mSettings.convertOnSpace && !mModes.wubi(), mSettings.chooseByLetter);
}

void KaiwoInputMethod::applyCandidateWindow()
{
    QStringList problems;
    const ClassicUiSkin skin(homeDirectory(), CandidateLook::skinRoot());
    WindowPlacement::setFollowCursor(mSettings.appearance.cursorFollow);
    if (skin.apply(mSettings.appearance, mSettings.statusBarShown, &problems))
        FcitxInstanceReloadAddonConfig(mInstance, "fcitx-classic-ui");
    for (const QString &problem : problems)
        FcitxLog(WARNING, "kaiwo: %s", problem.toUtf8().constData());
}

void KaiwoInputMethod::deployIfNeeded(bool fullCheck)
{
    if (!mDeployPending)
        return;
    deployed(mRime.deploy(fullCheck));
}

void KaiwoInputMethod::deployed(bool started)
{
    // A failed start is tried again at the next reload.
    mDeployPending = !started;
    if (mDeployPending)
        FcitxLog(ERROR, "kaiwo: Rime could not be started; keys pass through untouched");
    mAssist.reset();
    FcitxInstanceCleanInputWindow(mInstance);
    FcitxUIUpdateInputWindow(mInstance);
}

bool KaiwoInputMethod::serviceCall(const std::string &method, const std::string &text, int number)
{
    // The tool's calls wait for a first start: they rewrite what it writes.
    advanceStartup(true);
    if (method == "ReloadConfig" || method == "RebuildKeyMap") {
        applySettings();
        return true;
    }
    if (method == "ReloadDictionary") {
        // 1: the shells rebuilt the cell data; 7: the custom phrases changed.
        if (number == 1)
            rebuildCellWords();
        if (number == 7)
            loadPhrases();
        return true;
    }
    QString error;
    const bool ok = dictionaryCall(method, QString::fromStdString(text), &error);
    if (!ok)
        FcitxLog(WARNING, "kaiwo: %s %s failed %s", method.c_str(), text.c_str(),
                 error.toUtf8().constData());
    afterDictionaryCall();
    return ok;
}

void KaiwoInputMethod::afterDictionaryCall()
{
    // Rime's session was reopened: whatever was being typed is gone.
    mAssist.reset();
    mEnglish.reset();
    FcitxInstanceCleanInputWindow(mInstance);
    FcitxUIUpdateInputWindow(mInstance);
}

std::string KaiwoInputMethod::learnedWords()
{
    advanceStartup(true);
    QVector<LearnedWordList::Word> words;
    if (!mDictionaries.learnedWords(UserDictionaries::Kind::Pinyin, &words))
        FcitxLog(WARNING, "kaiwo: the learned words could not be read");
    afterDictionaryCall();
    return LearnedWordList::encode(words).toStdString();
}

bool KaiwoInputMethod::forgetLearnedWord(const std::string &pinyin, const std::string &word)
{
    advanceStartup(true);
    const bool forgotten =
        mDictionaries.forget(UserDictionaries::Kind::Pinyin, QString::fromStdString(pinyin),
                             QString::fromStdString(word));
    afterDictionaryCall();
    return forgotten;
}

bool KaiwoInputMethod::dictionaryCall(const std::string &method, const QString &path,
                                      QString *error)
{
    using Kind = UserDictionaries::Kind;
    static const struct {
        const char *method;
        Kind kind;
    } kExports[] = {{"UsrDictBackup", Kind::Pinyin},
                    {"UsrWuBiDictBackup", Kind::Wubi},
                    {"UsrWuBiPinYinDictBackupPinYin", Kind::WubiPinyin}},
      kImports[] = {{"UsrDictImport", Kind::Pinyin},
                    {"UsrWuBiDictImport", Kind::Wubi},
                    {"UsrPinYinWuBiDictImportPinYin", Kind::WubiPinyin}};
    // One English and one web dictionary serve pinyin and Wubi alike; a
    // restore returns to the shipped state, which has no learned words.
    static const struct {
        const char *method;
        std::vector<Kind> kinds;
    } kClears[] = {{"clearCnThesaurus", {Kind::Pinyin}},
                   {"clearEnThesaurus", {Kind::English}},
                   {"clearWebEmailThesaurus", {Kind::Web}},
                   {"clearWuBiCnThesaurus", {Kind::Wubi}},
                   {"clearWuBiEnThesaurus", {Kind::English}},
                   {"clearWuBiWebEmailThesaurus", {Kind::Web}},
                   {"clearPinYinWuBiCnThesaurusPinYin", {Kind::WubiPinyin}},
                   {"recoveryDefaultThesaurus", {Kind::Pinyin, Kind::English, Kind::Web}},
                   {"recoveryWuBiDefaultThesaurus", {Kind::WubiPinyin, Kind::Wubi, Kind::Web}},
                   {"recoveryEnThesaurus", {Kind::English}}};
    for (const auto &call : kExports)
        if (method == call.method)
            return mDictionaries.exportTo(call.kind, path);
    for (const auto &call : kImports)
        if (method == call.method)
            return mDictionaries.importFrom(call.kind, path, error);
    for (const auto &call : kClears)
        if (method == call.method)
            return mDictionaries.clear(call.kinds);
    *error = QStringLiteral("unknown method");
    return false;
}

void KaiwoInputMethod::activate()
{
    boolean yes = true; // fcitx reads a pointer to a boolean
    FcitxInstanceSetContext(mInstance, CONTEXT_IM_KEYBOARD_LAYOUT, "us");
    for (const char *context :
         {CONTEXT_DISABLE_AUTO_FIRST_CANDIDATE_HIGHTLIGHT, CONTEXT_DISABLE_AUTOENG,
          CONTEXT_DISABLE_QUICKPHRASE, CONTEXT_DISABLE_PUNC, CONTEXT_DISABLE_FULLWIDTH})
        FcitxInstanceSetContext(mInstance, context, &yes);
}

void KaiwoInputMethod::reset()
{
    mRime.clear();
    mEnglish.reset();
    mAssist.reset();
    mConversion.reset();
}

INPUT_RETURN_VALUE KaiwoInputMethod::keyPressed(FcitxKeySym sym, unsigned int state)
{
    state &= FcitxKeyState_SimpleMask | FcitxKeyState_CapsLock;
    // The frontends load after the input methods; by the first key they are there.
    WindowPlacement::install(mInstance);
    adoptSentenceModel();
    if (mStarting)
        return mEarlyKeys.hold(sym, state) ? IRV_DO_NOTHING : IRV_TO_PROCESS;
    if (!mRime.ready())
        return IRV_TO_PROCESS;
    const RimeEngine::State before = inputState();
    mBeforeKey = before;
    if (mModes.keyPressed(sym, state, before)) {
        configureConversion();
        mEnglish.reset();
        showCandidates();
        return IRV_DISPLAY_CANDWORDS;
    }
    if (mModes.english())
        return englishKey(sym, state);
    // Shift+Delete or Ctrl+Delete: the highlighted word, if learned, is
    // forgotten. fcitx takes Shift out of the state it hands on, as it does
    // for the marks Shift types; the key's own state still has it.
    const unsigned int held = FcitxInputStateGetKeyState(FcitxInstanceGetInputState(mInstance));
    if (sym == FcitxKey_Delete && (held & (FcitxKeyState_Shift | FcitxKeyState_Ctrl)) &&
        !mModes.wubi() && before.composing && mDictionaries.forgetHighlighted()) {
        showCandidates();
        return IRV_DISPLAY_CANDWORDS;
    }
    const SpaceConversion::Decision conversion =
        mConversion.keyPressed(sym, state, before.composing, int(before.candidates.size()));
    if (conversion.action == SpaceConversion::Action::Convert)
        return IRV_DISPLAY_CANDWORDS;
    if (conversion.action == SpaceConversion::Action::Choose)
        return afterProcessing(mRime.selectOnPage(conversion.index), sym, state);
    if (isKeypadDigit(sym) || keypadSymbol(sym))
        return keypadKey(sym, before);
    if (!before.composing && !before.asciiMode && !mRime.option("ascii_punct")) {
        const QString mark = mAssist.afterDigit(printable(sym, state));
        if (!mark.isEmpty()) {
            // Rime must still see a key here, or the Shift held for ":" would
            // count as Shift pressed alone and switch to English.
            mRime.processKey(FcitxKey_VoidSymbol, state);
            commitText(mark.toStdString());
            return IRV_DISPLAY_CANDWORDS;
        }
    }
    return afterProcessing(mRime.processKey(sym, state), sym, state);
}

INPUT_RETURN_VALUE KaiwoInputMethod::keyReleased(FcitxKeySym sym, unsigned int state)
{
    state &= FcitxKeyState_SimpleMask;
    if (mStarting && mEarlyKeys.holding())
        return IRV_DO_NOTHING; // the press is held, and its release with it
    if (!mRime.ready())
        return IRV_TO_PROCESS;
    if (mModes.keyReleased(sym, mRime.state())) {
        showCandidates();
        return IRV_DISPLAY_CANDWORDS;
    }
    const bool handled = mRime.processKey(sym, state | kReleaseMask);
    commitPending();
    showCandidates();
    FcitxUIUpdateInputWindow(mInstance);
    return handled ? IRV_DISPLAY_CANDWORDS : IRV_TO_PROCESS;
}

INPUT_RETURN_VALUE KaiwoInputMethod::englishKey(FcitxKeySym sym, unsigned int state)
{
    const EnglishTyping::Outcome outcome = mEnglish.keyPressed(sym, state);
    if (!outcome.commit.empty())
        commitText(outcome.commit);
    if (!outcome.handled) {
        showCandidates();
        FcitxUIUpdateInputWindow(mInstance);
        return IRV_TO_PROCESS;
    }
    return IRV_DISPLAY_CANDWORDS;
}

RimeEngine::State KaiwoInputMethod::inputState() const
{
    return mModes.english() ? mEnglish.state() : mRime.state();
}

INPUT_RETURN_VALUE KaiwoInputMethod::keypadKey(FcitxKeySym sym, const RimeEngine::State &before)
{
    if (isKeypadDigit(sym)) {
        const int digit = int(sym - FcitxKey_KP_0);
        if (!before.composing)
            return afterProcessing(false, sym, 0);
        if (mSettings.keypadSelects && digit >= 1 && digit <= int(before.candidates.size())) {
            mRime.selectOnPage(digit - 1);
            return afterProcessing(true, sym, 0);
        }
        // Keypad digits stay digits: what is composed goes first.
        mRime.selectOnPage(before.highlighted);
        commitPending();
        commitText(std::string(1, char('0' + digit)));
        return IRV_DISPLAY_CANDWORDS;
    }
    const char symbol = keypadSymbol(sym);
    if (!mSettings.keypadHalfSymbols)
        return afterProcessing(mRime.processKey(symbol, 0), sym, 0);
    if (before.composing) {
        mRime.selectOnPage(before.highlighted);
        commitPending();
    }
    commitText(std::string(1, symbol));
    return IRV_DISPLAY_CANDWORDS;
}

INPUT_RETURN_VALUE KaiwoInputMethod::afterProcessing(bool handled, FcitxKeySym sym,
                                                     unsigned int state)
{
    commitPending();
    if (!handled) {
        // Modifiers come before every shifted key; they move no caret.
        const bool modifier = sym >= FcitxKey_Shift_L && sym <= FcitxKey_Hyper_R;
        if (!modifier)
            mAssist.passedThrough(printable(sym, state));
        showCandidates();
        FcitxUIUpdateInputWindow(mInstance);
        return IRV_TO_PROCESS;
    }
    return IRV_DISPLAY_CANDWORDS;
}

void KaiwoInputMethod::commitPending()
{
    const std::string text = mRime.takeCommit();
    if (text.empty())
        return;
    mModes.committed(mBeforeKey, text);
    const TypingAssist::Action action = mAssist.committed(QString::fromStdString(text));
    if (action.caretRight) {
        forwardKey(FcitxKey_Right, action.caretRight);
        return;
    }
    FcitxInstanceCommitString(mInstance, FcitxInstanceGetCurrentIC(mInstance),
                              action.commit.toUtf8().constData());
    forwardKey(FcitxKey_Left, action.caretLeft);
}

void KaiwoInputMethod::commitText(const std::string &text)
{
    mAssist.committed(QString::fromStdString(text));
    FcitxInstanceCommitString(mInstance, FcitxInstanceGetCurrentIC(mInstance), text.c_str());
}

void KaiwoInputMethod::forwardKey(FcitxKeySym sym, int times)
{
    FcitxInputContext *ic = FcitxInstanceGetCurrentIC(mInstance);
    for (int i = 0; i < times && ic; ++i) {
        FcitxInstanceForwardKey(mInstance, ic, FCITX_PRESS_KEY, sym, 0);
        FcitxInstanceForwardKey(mInstance, ic, FCITX_RELEASE_KEY, sym, 0);
    }
}

INPUT_RETURN_VALUE KaiwoInputMethod::showCandidates()
{
    FcitxInstanceCleanInputWindow(mInstance);
    const RimeEngine::State state = inputState();
    if (state.preedit.empty())
        return IRV_DISPLAY_CANDWORDS;

    FcitxInputState *input = FcitxInstanceGetInputState(mInstance);
    FcitxMessagesAddMessageAtLast(FcitxInputStateGetPreedit(input), MSG_INPUT, "%s",
                                  state.preedit.c_str());
    FcitxMessagesAddMessageAtLast(FcitxInputStateGetClientPreedit(input), MSG_INPUT, "%s",
                                  state.preedit.c_str());
    FcitxInputStateSetShowCursor(input, true);
    FcitxInputStateSetCursorPos(input, state.cursor);
    FcitxInputStateSetClientCursorPos(input, state.cursor);
    if (mConversion.showsCandidates())
        addCandidates(state);
    return IRV_DISPLAY_CANDWORDS;
}

void KaiwoInputMethod::addCandidates(const RimeEngine::State &state)
{
    FcitxInputState *input = FcitxInstanceGetInputState(mInstance);
    FcitxCandidateWordList *list = FcitxInputStateGetCandidateList(input);
    FcitxCandidateWordSetPageSize(list, 10);
    FcitxCandidateWordSetLayoutHint(list,
                                    mSettings.appearance.vertical ? CLH_Vertical : CLH_Horizontal);
    FcitxCandidateWordSetChoose(list, mConversion.labels());
    for (size_t i = 0; i < state.candidates.size(); ++i) {
        FcitxCandidateWord word;
        std::memset(&word, 0, sizeof(word));
        word.strWord = strdup(state.candidates[i].text.c_str());
        word.strExtra = state.candidates[i].comment.empty()
                            ? nullptr
                            : strdup(state.candidates[i].comment.c_str());
        word.extraType = MSG_CODE;
        word.wordType = int(i) == state.highlighted ? MSG_CANDIATE_CURSOR : MSG_OTHER;
        word.callback = chooseCallback;
        word.owner = this;
        int *index = fcitx_utils_new(int);
        *index = int(i);
        word.priv = index;
        FcitxCandidateWordAppend(list, &word);
    }
    FcitxCandidateWordSetOverridePaging(list, state.pageNumber > 0, !state.lastPage, pageCallback,
                                        this, nullptr);
}

INPUT_RETURN_VALUE KaiwoInputMethod::chooseCandidate(int index)
{
    if (mModes.english()) {
        const EnglishTyping::Outcome outcome = mEnglish.choose(index);
        if (!outcome.commit.empty())
            commitText(outcome.commit);
        showCandidates();
        return outcome.handled ? IRV_DISPLAY_CANDWORDS : IRV_TO_PROCESS;
    }
    mBeforeKey = RimeEngine::State();
    if (!mRime.selectOnPage(index))
        return IRV_TO_PROCESS;
    commitPending();
    showCandidates();
    return IRV_DISPLAY_CANDWORDS;
}

boolean KaiwoInputMethod::turnPage(boolean backward)
{
    const bool turned =
        mModes.english() ? mEnglish.changePage(backward) : mRime.changePage(backward);
    if (turned) {
        showCandidates();
        FcitxUIUpdateInputWindow(mInstance);
    }
    return turned;
}
