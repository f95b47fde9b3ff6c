#include "SentenceModel.h"

#include <libime/core/languagemodel.h>
#include <libime/core/lattice.h>

#include <cmath>
#include <vector>

namespace
{

const double kLn10 = std::log(10.0);
// Longer pieces of an unknown word are not worth looking up.
const size_t kLongestPiece = 6;

// Byte offsets of each character of UTF-8 text, and its end.
std::vector<size_t> characterStarts(const std::string &text)
{
    std::vector<size_t> starts;
    for (size_t i = 0; i < text.size(); ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            starts.push_back(i);
    starts.push_back(text.size());
    return starts;
}

} // namespace

static_assert(std::is_same_v<SentenceModel::State, libime::State>);

struct SentenceModel::Model : libime::LanguageModel {
    using libime::LanguageModel::LanguageModel;
};

std::shared_ptr<const SentenceModel> SentenceModel::load(const std::string &path,
                                                         std::string *problem)
{
    try {
        auto file = path.empty() ? libime::DefaultLanguageModelResolver::instance()
                                       .languageModelFileForLanguage("zh_CN")
                                 : std::make_shared<const libime::StaticLanguageModelFile>(
                                       path.c_str());
        return std::shared_ptr<const SentenceModel>(
            new SentenceModel(std::make_unique<Model>(std::move(file))));
    } catch (const std::exception &error) {
        *problem = error.what();
    } catch (...) {
        *problem = "not a language model";
    }
    return nullptr;
}

SentenceModel::SentenceModel(std::unique_ptr<Model> model) : mModel(std::move(model)) {}

const SentenceModel::State &SentenceModel::startState() const
{
    return mModel->beginState();
}

double SentenceModel::pieceScore(const State &in, const std::string &piece, State &out) const
{
    const libime::WordNode node(piece, mModel->index(piece));
    return mModel->score(in, node, out) * kLn10;
}

double SentenceModel::wordScore(const State &in, const std::string &word, State &out) const
{
    if (mModel->index(word) != mModel->unknown())
        return pieceScore(in, word, out);
    // The longest known piece at each place; a lone unknown character is
    // the model's unknown word.
    const std::vector<size_t> starts = characterStarts(word);
    const size_t characters = starts.size() - 1;
    double score = 0;
    State state = in;
    for (size_t first = 0; first < characters;) {
        size_t last = std::min(characters, first + kLongestPiece);
        while (last > first + 1 &&
               mModel->index(word.substr(starts[first], starts[last] - starts[first])) ==
                   mModel->unknown())
            --last;
        score += pieceScore(state, word.substr(starts[first], starts[last] - starts[first]), out);
        state = out;
        first = last;
    }
    out = state;
    return score;
}

double SentenceModel::endScore(const State &in) const
{
    State out;
    const libime::WordNode end("</s>", mModel->endSentence());
    return mModel->score(in, end, out) * kLn10;
}
