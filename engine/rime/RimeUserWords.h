#pragma once

#include <functional>
#include <string>
#include <vector>

// A user dictionary's learned words read, and forgotten one at a time,
// through Rime's own user-db component, so the file stays Rime's and every
// change is one write of its database: a kill at any moment leaves it
// whole. Only while no session holds the dictionary open.
class RimeUserWords
{
public:
    struct Word {
        std::string code; // syllables between spaces
        std::string text;
        int commits = 0;
    };

    // Every word with a positive count; a dictionary Rime has not made yet
    // holds none. False when it cannot be read.
    static bool list(const std::string &dictionary, std::vector<Word> *words);
    // Marks the learned words that match deleted, as Rime's own Shift+Delete
    // does, with the uncounted words Rime noted they were chosen from; false
    // when the dictionary holds no such learned word.
    static bool forget(const std::string &dictionary,
                       const std::function<bool(const Word &word)> &matches);
};
