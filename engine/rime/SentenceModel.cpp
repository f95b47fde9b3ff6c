#include "SentenceModel.h"

#include <libime/core/languagemodel.h>
#include <libime/core/lattice.h>
#include <libime/pinyin/pinyindictionary.h>
#include <libime/pinyin/pinyinencoder.h>

#include <algorithm>
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

struct SentenceModel::Words : libime::PinyinDictionary {
};

std::shared_ptr<const SentenceModel> SentenceModel::load(const std::string &path,
                                                         std::string *problem)
{
    std::shared_ptr<const libime::StaticLanguageModelFile> file;
    try {
        file = path.empty()
                   ? libime::DefaultLanguageModelResolver::instance().languageModelFileForLanguage(
                         "zh_CN")
                   : std::make_shared<const libime::StaticLanguageModelFile>(path.c_str());
    } catch (const std::exception &error) {
        *problem = error.what();
        return nullptr;
    } catch (...) {
        *problem = "not a language model";
        return nullptr;
    }
    // Without its words the model still weighs Rime's.
    std::unique_ptr<Words> words;
    if (path.empty()) {
        try {
            words = std::make_unique<Words>();
            words->load(libime::PinyinDictionary::SystemDict, KAIWO_LIBIME_WORDS,
                        libime::PinyinDictFormat::Binary);
        } catch (...) {
            words.reset();
        }
    }
    return std::shared_ptr<const SentenceModel>(
        new SentenceModel(std::make_unique<Model>(std::move(file)), std::move(words)));
}

std::future<SentenceModel::Loaded> SentenceModel::loadLater(const std::string &path)
{
    return std::async(std::launch::async, [path] {
        Loaded loaded;
        loaded.model = load(path, &loaded.problem);
        return loaded;
    });
}

SentenceModel::SentenceModel(std::unique_ptr<Model> model, std::unique_ptr<Words> words)
    : mModel(std::move(model)), mWords(std::move(words))
{
}

std::string SentenceModel::syllableCode(const std::string &syllable) const
{
    if (!mWords)
        return std::string();
    try {
        const std::vector<char> code = libime::PinyinEncoder::encodeFullPinyin(syllable);
        return code.size() == 2 ? std::string(code.begin(), code.end()) : std::string();
    } catch (...) {
        return std::string(); // m, ng, ê…: syllables libime does not spell
    }
}

void SentenceModel::findWords(const std::string &code,
                              const std::function<void(const std::string &word)> &found) const
{
    if (!mWords || code.empty())
        return;
    mWords->matchWords(code.data(), code.size(),
                       [&](std::string_view, std::string_view word, float) {
                           found(std::string(word));
                           return true;
                       });
}

const SentenceModel::State &SentenceModel::startState() const
{
    return mModel->beginState();
}

SentenceModel::Word SentenceModel::word(const std::string &text) const
{
    const std::vector<size_t> starts = characterStarts(text);
    const size_t characters = starts.size() - 1;
    const unsigned int whole = mModel->index(text);
    if (whole == mModel->unknown())
        return pieces(text, starts, kLongestPiece);
    if (characters < 2)
        return {whole};
    // The model's text was cut into words its own way: some words it knows
    // it mostly saw as their pieces (一个 as 一 个), and scores the whole as
    // a rare word. A word weighs as the likelier of the two, out of context.
    const Word parts = pieces(text, starts, characters - 1);
    const bool known = std::none_of(parts.begin(), parts.end(),
                                    [&](unsigned int index) { return index == mModel->unknown(); });
    State out;
    if (known && score(mModel->nullState(), parts, out) > score(mModel->nullState(), {whole}, out))
        return parts;
    return {whole};
}

// The longest known piece, of at most longest characters, at each place; a
// lone unknown character is the model's unknown word.
SentenceModel::Word SentenceModel::pieces(const std::string &text,
                                          const std::vector<size_t> &starts, size_t longest) const
{
    Word pieces;
    const size_t characters = starts.size() - 1;
    for (size_t first = 0; first < characters;) {
        size_t last = std::min(characters, first + longest);
        unsigned int index = mModel->unknown();
        for (; last > first; --last) {
            index = mModel->index(text.substr(starts[first], starts[last] - starts[first]));
            if (index != mModel->unknown())
                break;
        }
        pieces.push_back(index);
        first = std::max(last, first + 1);
    }
    return pieces;
}

double SentenceModel::score(const State &in, const Word &word, State &out) const
{
    // libime's model reads only the index of the word it scores.
    static const std::string kUnread;
    double score = 0;
    const State *state = &in;
    State next;
    for (const unsigned int index : word) {
        score += mModel->score(*state, libime::WordNode(kUnread, index), next);
        out = next;
        state = &out;
    }
    return score * kLn10;
}

double SentenceModel::endScore(const State &in) const
{
    State out;
    const libime::WordNode end("</s>", mModel->endSentence());
    return mModel->score(in, end, out) * kLn10;
}
