#include "EnglishTyping.h"

#include "UserDictionaries.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace
{

// X key symbols and modifier masks, as fcitx and Rime both use them.
const int kSpace = 0x20, kTab = 0xff09, kReturn = 0xff0d, kKeypadEnter = 0xff8d;
const int kPageUp = 0xff55, kPageDown = 0xff56;
const unsigned int kControl = 4, kAlt = 8, kSuper = 64;
const size_t kMaxMatches = 100;
const int kMaxWordLength = 64;
const qint64 kMaxDictionary = 16 * 1024 * 1024;

bool isLetter(int keysym)
{
    return (keysym >= 'a' && keysym <= 'z') || (keysym >= 'A' && keysym <= 'Z');
}

// '*' stands for any letters, none included.
bool globMatch(const char *pattern, const char *text)
{
    const char *star = nullptr;
    const char *resume = nullptr;
    while (*text) {
        if (*pattern == '*') {
            star = pattern++;
            resume = text;
        } else if (*pattern == *text) {
            ++pattern;
            ++text;
        } else if (star) {
            pattern = star + 1;
            text = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == '*')
        ++pattern;
    return !*pattern;
}

std::string lower(std::string text)
{
    for (char &c : text)
        c = char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return text;
}

std::string capitalised(std::string text)
{
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z')
        text[0] = char(text[0] - 'a' + 'A');
    return text;
}

} // namespace

void EnglishTyping::configure(const EngineSettings::English &settings, int pageSize)
{
    mSettings = settings;
    mPageSize = std::max(1, pageSize);
    reset();
}

void EnglishTyping::reset()
{
    mPage = 0;
}

bool EnglishTyping::hasWildcard(const std::string &input) const
{
    return mSettings.wildcard && input.find('*') != std::string::npos;
}

RimeEngine::State EnglishTyping::state() const
{
    RimeEngine::State state = mRime->state();
    if (!hasWildcard(state.input))
        return state;
    const std::vector<std::string> &all = matches(state.input);
    state.candidates.clear();
    const size_t first = size_t(mPage) * size_t(mPageSize);
    for (size_t i = first; i < all.size() && i < first + size_t(mPageSize); ++i)
        state.candidates.push_back({all[i], std::string()});
    state.highlighted = 0;
    state.pageNumber = mPage;
    state.lastPage = first + size_t(mPageSize) >= all.size();
    return state;
}

bool EnglishTyping::changePage(bool backward)
{
    const RimeEngine::State now = state();
    if (!hasWildcard(now.input))
        return mRime->changePage(backward);
    if (backward ? mPage == 0 : now.lastPage)
        return false;
    mPage += backward ? -1 : 1;
    return true;
}

EnglishTyping::Outcome EnglishTyping::choose(int index)
{
    return accept(index, state());
}

EnglishTyping::Outcome EnglishTyping::keyPressed(int keysym, unsigned int modifiers)
{
    const RimeEngine::State before = state();
    const bool plain = !(modifiers & (kControl | kAlt | kSuper));
    const int count = int(before.candidates.size());
    if (before.composing && plain) {
        if (keysym == kSpace)
            return mSettings.autofillSpace && count ? accept(before.highlighted, before)
                                                    : typedAsIs(before, " ", true);
        if (keysym == kTab)
            return mSettings.autofillTab && count ? accept(before.highlighted, before)
                                                  : typedAsIs(before, "", false);
        if (keysym == kReturn || keysym == kKeypadEnter)
            return mSettings.autofillEnter && count ? accept(before.highlighted, before)
                                                    : typedAsIs(before, "", true);
        if (keysym >= '1' && keysym <= '9' && keysym - '1' < count)
            return accept(keysym - '1', before);
        if (hasWildcard(before.input) && (keysym == kPageUp || keysym == kPageDown)) {
            changePage(keysym == kPageUp);
            return {true, std::string()};
        }
        const bool spelling = isLetter(keysym) || (keysym == '*' && mSettings.wildcard);
        // Marks and digits end the word as typed and then go through.
        if (!spelling && keysym > kSpace && keysym < 0x7f)
            return typedAsIs(before, "", false);
    }
    const bool handled = mRime->processKey(keysym, int(modifiers));
    if (state().input != before.input)
        mPage = 0;
    return {handled, mRime->takeCommit()};
}

EnglishTyping::Outcome EnglishTyping::accept(int index, const RimeEngine::State &before)
{
    std::string text;
    // Without order learning a choice must not reach Rime's memory, which
    // would move the word up next time: its text is taken and the
    // composition dropped. Wildcard matches are not Rime's candidates.
    if (hasWildcard(before.input) || !mSettings.learnOrder) {
        if (index < 0 || index >= int(before.candidates.size()))
            return {false, std::string()};
        text = before.candidates[size_t(index)].text;
        mRime->clear();
    } else {
        if (!mRime->selectOnPage(index))
            return {false, std::string()};
        text = mRime->takeCommit();
    }
    mPage = 0;
    return {true, text + (mSettings.addSpace ? " " : "")};
}

EnglishTyping::Outcome EnglishTyping::typedAsIs(const RimeEngine::State &before, const char *after,
                                                bool handled)
{
    mRime->clear();
    mPage = 0;
    learn(before);
    return {handled, before.input + after};
}

void EnglishTyping::learn(const RimeEngine::State &before)
{
    const std::string &word = before.input;
    const bool letters = std::all_of(word.begin(), word.end(), [](char c) { return isLetter(c); });
    if (!mSettings.learnWords || !letters || word.size() < 2 || word.size() > kMaxWordLength)
        return;
    // Rime offers a word typed in full first, so the page tells.
    for (const RimeEngine::Candidate &candidate : before.candidates)
        if (candidate.text == word)
            return;
    const QString typed = QString::fromStdString(word);
    const QString code = QString::fromStdString(lower(word));
    const QString title = QString::fromStdString(capitalised(word));
    mDictionaries->learn(
        UserDictionaries::Kind::English,
        {{typed, code}, {title, QString::fromStdString(capitalised(lower(word)))}});
}

const std::vector<std::string> &EnglishTyping::matches(const std::string &pattern) const
{
    loadWords();
    if (pattern == mPattern)
        return mMatches;
    mPattern = pattern;
    mMatches.clear();
    const std::string wanted = lower(pattern);
    const bool title = pattern[0] >= 'A' && pattern[0] <= 'Z';
    std::vector<const std::pair<std::string, std::string> *> found;
    for (const auto &word : mWords)
        if (globMatch(wanted.c_str(), word.second.c_str()))
            found.push_back(&word);
    // The shortest first; the list is in alphabetical order already.
    std::stable_sort(found.begin(), found.end(), [](const auto *a, const auto *b) {
        return a->second.size() < b->second.size();
    });
    for (size_t i = 0; i < found.size() && i < kMaxMatches; ++i)
        mMatches.push_back(title ? capitalised(found[i]->first) : found[i]->first);
    return mMatches;
}

void EnglishTyping::loadWords() const
{
    const QFileInfo info(mDictionaryFile);
    if (info.lastModified() == mWordsTime && !mWords.empty())
        return;
    mWordsTime = info.lastModified();
    mWords.clear();
    mPattern.clear();
    QFile file(mDictionaryFile);
    if (info.size() > kMaxDictionary || !file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    const int body = bytes.indexOf("\n...\n");
    if (body < 0)
        return;
    for (const QByteArray &line : bytes.mid(body + 5).split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        // The capitalised codes repeat words already listed.
        if (fields.size() == 3 && !fields[1].isEmpty() && fields[1] == fields[1].toLower())
            mWords.emplace_back(fields[0].toStdString(), fields[1].toStdString());
    }
}
