#pragma once

#include <array>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <vector>

// libime's word trigram model of simplified Chinese, the scorer behind the
// sentences the pinyin schema makes, with the words of libime's pinyin
// dictionary, which are the model's own. Scores are natural logarithms, so
// they add to Rime's dictionary weights.
class SentenceModel
{
public:
    // The words that came before, as the model keeps them (libime's state;
    // its headers stay out of ours, since they clash with Qt's keywords).
    using State = std::array<char, 20 + sizeof(void *)>;

    // Null, with the reason in problem, when the file is missing or not a
    // model. An empty path means the model libime installs; its words come
    // with it (a model named by path comes without them).
    static std::shared_ptr<const SentenceModel> load(const std::string &path, std::string *problem);
    struct Loaded {
        std::shared_ptr<const SentenceModel> model;
        std::string problem;
    };
    // The same on a thread of its own: reading the model takes a while.
    static std::future<Loaded> loadLater(const std::string &path);

    // A word as the model knows it: itself, or the known words it is made
    // of, looked up once for all the sentences it may end.
    using Word = std::vector<unsigned int>;

    const State &startState() const;
    Word word(const std::string &text) const;
    // The word after the words that led to in.
    double score(const State &in, const Word &word, State &out) const;
    double endScore(const State &in) const;

    // A syllable in the dictionary's code ("zhong"); empty when it has none.
    std::string syllableCode(const std::string &syllable) const;
    // Calls found with each word of the dictionary read exactly as the
    // syllables of code.
    void findWords(const std::string &code,
                   const std::function<void(const std::string &word)> &found) const;

private:
    struct Model;
    struct Words;
    SentenceModel(std::unique_ptr<Model> model, std::unique_ptr<Words> words);
    Word pieces(const std::string &text, const std::vector<size_t> &starts, size_t longest) const;

    std::shared_ptr<const Model> mModel;
    std::shared_ptr<const Words> mWords; // null: no words beside Rime's
};
