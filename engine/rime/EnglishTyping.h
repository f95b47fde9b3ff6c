#pragma once

#include "EngineSettings.h"
#include "RimeEngine.h"

#include <QDateTime>
#include <QString>

#include <string>
#include <utility>
#include <vector>

class UserDictionaries;

// The keys of English input mode around Rime's completion: the autofill
// keys accept the first completion, a digit any on the page, and a space
// may follow; anything else ends the word as typed (and learns it when it
// is new). A star stands for any letters: those candidates come from the
// word list, since Rime cannot match a wildcard.
class EnglishTyping
{
public:
    struct Outcome {
        bool handled = false; // false: the key goes on to the application
        std::string commit;   // text to commit before that
    };

    EnglishTyping(RimeEngine *rime, UserDictionaries *dictionaries, const QString &dictionaryFile)
        : mRime(rime), mDictionaries(dictionaries), mDictionaryFile(dictionaryFile)
    {
    }

    void configure(const EngineSettings::English &settings, int pageSize);
    Outcome keyPressed(int keysym, unsigned int modifiers);
    // A candidate of the page, chosen with the mouse or the keypad.
    Outcome choose(int index);
    bool changePage(bool backward);
    RimeEngine::State state() const;
    void reset();

private:
    bool hasWildcard(const std::string &input) const;
    Outcome accept(int index, const RimeEngine::State &before);
    Outcome typedAsIs(const RimeEngine::State &before, const char *after, bool handled);
    void learn(const RimeEngine::State &before);
    const std::vector<std::string> &matches(const std::string &pattern) const;
    void loadWords() const;

    RimeEngine *mRime;
    UserDictionaries *mDictionaries;
    QString mDictionaryFile;
    EngineSettings::English mSettings;
    int mPageSize = 5;
    int mPage = 0;
    // The word list (word, code in small letters) and the last matches.
    mutable std::vector<std::pair<std::string, std::string>> mWords;
    mutable QDateTime mWordsTime;
    mutable std::string mPattern;
    mutable std::vector<std::string> mMatches;
};
