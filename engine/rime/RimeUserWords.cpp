// librime's C++ headers need this before anything of theirs is included:
// Debian builds librime with Boost.Signals2.
#define RIME_BOOST_SIGNALS2
#include "RimeUserWords.h"

#include <rime/dict/db.h>
#include <rime/dict/user_db.h>

#include <algorithm>
#include <memory>

namespace
{

std::unique_ptr<rime::Db> userDb(const std::string &dictionary)
{
    rime::UserDb::Component *component = rime::UserDb::Require("userdb");
    return std::unique_ptr<rime::Db>(component ? component->Create(dictionary) : nullptr);
}

// Rime's keys: "ni hao \t你好"; its metadata keys start with \x01.
bool splitKey(const std::string &key, RimeUserWords::Word *word)
{
    const size_t tab = key.find('\t');
    if (key.empty() || key[0] == '\x01' || tab == std::string::npos || tab + 1 == key.size())
        return false;
    const size_t codeEnd = key.find_last_not_of(' ', tab - 1);
    word->code = codeEnd == std::string::npos ? std::string() : key.substr(0, codeEnd + 1);
    word->text = key.substr(tab + 1);
    return !word->code.empty();
}

} // namespace

bool RimeUserWords::list(const std::string &dictionary, std::vector<Word> *words)
{
    words->clear();
    const auto db = userDb(dictionary);
    if (db && !db->Exists())
        return true;
    if (!db || !db->OpenReadOnly())
        return false;
    {
        // LevelDB insists the reader is gone before the database closes.
        const auto accessor = db->QueryAll();
        std::string key, value;
        while (accessor && accessor->GetNextRecord(&key, &value)) {
            Word word;
            word.commits = rime::UserDbValue(value).commits;
            if (word.commits > 0 && splitKey(key, &word))
                words->push_back(std::move(word));
        }
    }
    db->Close();
    return true;
}

bool RimeUserWords::forget(const std::string &dictionary,
                           const std::function<bool(const Word &word)> &matches)
{
    const auto db = userDb(dictionary);
    if (!db || !db->Exists() || !db->Open())
        return false;
    std::vector<std::pair<std::string, rime::UserDbValue>> words, pieces;
    {
        const auto accessor = db->QueryAll();
        std::string key, value;
        while (accessor && accessor->GetNextRecord(&key, &value)) {
            Word word;
            const rime::UserDbValue entry(value);
            if (!splitKey(key, &word))
                continue;
            if (entry.commits > 0 && matches(word))
                words.emplace_back(key, entry);
            else if (entry.commits == 0)
                pieces.emplace_back(key, entry);
        }
    }
    // Rime also noted, without a count, the words the forgotten one was
    // chosen from: left, they would make it again as a sentence.
    std::vector<std::pair<std::string, rime::UserDbValue>> forgotten = words;
    for (const auto &piece : pieces) {
        Word part;
        splitKey(piece.first, &part);
        const bool inWord = std::any_of(words.begin(), words.end(), [&](const auto &word) {
            Word whole;
            splitKey(word.first, &whole);
            return (" " + whole.code + " ").find(" " + part.code + " ") != std::string::npos &&
                   whole.text.find(part.text) != std::string::npos;
        });
        if (inWord)
            forgotten.push_back(piece);
    }
    bool written = true;
    for (auto &[key, entry] : forgotten) {
        entry.commits = std::min(-1, -entry.commits);
        written = db->Update(key, entry.Pack()) && written;
    }
    db->Close();
    return written && !words.empty();
}
