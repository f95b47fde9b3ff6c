#pragma once

#include <array>
#include <memory>
#include <string>

// libime's word trigram model of simplified Chinese, the scorer behind the
// sentences the pinyin schema makes. Scores are natural logarithms, so they
// add to Rime's dictionary weights.
class SentenceModel
{
public:
    // The words that came before, as the model keeps them (libime's state;
    // its headers stay out of ours, since they clash with Qt's keywords).
    using State = std::array<char, 20 + sizeof(void *)>;

    // Null, with the reason in problem, when the file is missing or not a
    // model. An empty path means the model libime installs.
    static std::shared_ptr<const SentenceModel> load(const std::string &path,
                                                     std::string *problem);

    const State &startState() const;
    // The word after the words that led to in; a word the model does not
    // know is scored as the known words it is made of.
    double wordScore(const State &in, const std::string &word, State &out) const;
    double endScore(const State &in) const;

private:
    struct Model;
    explicit SentenceModel(std::unique_ptr<Model> model);
    double pieceScore(const State &in, const std::string &piece, State &out) const;

    std::shared_ptr<const Model> mModel;
};
