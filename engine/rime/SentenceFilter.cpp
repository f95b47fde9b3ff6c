// librime's C++ headers need this before anything of theirs is included:
// Debian builds librime with Boost.Signals2.
#define RIME_BOOST_SIGNALS2
#include "SentenceFilter.h"
#include "SentenceModel.h"

#include <rime/algo/syllabifier.h>
#include <rime/candidate.h>
#include <rime/component.h>
#include <rime/config.h>
#include <rime/context.h>
#include <rime/dict/dictionary.h>
#include <rime/dict/user_dictionary.h>
#include <rime/engine.h>
#include <rime/filter.h>
#include <rime/gear/translator_commons.h>
#include <rime/registry.h>
#include <rime/schema.h>
#include <rime/ticket.h>
#include <rime/translation.h>

#include <opencc/opencc.h>

#include <algorithm>
#include <deque>
#include <limits>
#include <map>
#include <unordered_map>
#include <vector>

namespace
{

std::shared_ptr<const SentenceModel> currentModel;

// Weights of one word in a sentence, all natural logarithms. Chosen on a
// development set of phrases apart from the ones the benchmark reports.
struct Weights {
    double dictionary = 0.15;   // Rime's word weight, beside the model's score
    double fuzzySyllable = -6;  // a syllable read through a fuzzy pair the user did not choose
    double abbreviation = -3;   // a syllable given by its initial alone
    double learned = 4;         // a word the user dictionary holds
    size_t homophones = 8;      // words tried for each stretch of syllables
    size_t paths = 10;          // sentences kept at each place, the best per last word
    size_t userSyllables = 5;   // the longest learned word looked up
};
const Weights kWeights;

struct Edge {
    size_t end;
    rime::an<rime::DictEntry> entry;
    std::string simplified;
    double weight; // everything but the model's score
};

struct Path {
    double score;
    SentenceModel::State state;
    const Path *previous;
    const Edge *edge;
};

// Rime's words are in traditional characters, the model's in simplified.
class Simplifier
{
public:
    Simplifier() : mOpencc(opencc_open("t2s.json")) {}
    ~Simplifier()
    {
        if (mOpencc != reinterpret_cast<opencc_t>(-1))
            opencc_close(mOpencc);
    }
    Simplifier(const Simplifier &) = delete;
    Simplifier &operator=(const Simplifier &) = delete;

    const std::string &operator()(const std::string &text)
    {
        auto found = mCache.find(text);
        if (found != mCache.end())
            return found->second;
        std::string simplified = text;
        if (mOpencc != reinterpret_cast<opencc_t>(-1)) {
            if (char *converted = opencc_convert_utf8(mOpencc, text.c_str(), text.size())) {
                simplified = converted;
                opencc_convert_utf8_free(converted);
            }
        }
        if (mCache.size() > 200000)
            mCache.clear();
        return mCache.emplace(text, std::move(simplified)).first->second;
    }

private:
    opencc_t mOpencc;
    std::unordered_map<std::string, std::string> mCache;
};

// How many of the word's syllables were read through a fuzzy pair or an
// initial alone, on its best way through the syllable graph.
std::pair<int, int> looseSyllables(const rime::SyllableGraph &graph, size_t position, size_t end,
                                   const rime::Code &code, size_t depth = 0)
{
    const std::pair<int, int> impossible{1000, 1000};
    if (depth == code.size())
        return position == end ? std::pair<int, int>{0, 0} : impossible;
    const auto from = graph.edges.find(position);
    if (from == graph.edges.end())
        return impossible;
    std::pair<int, int> best = impossible;
    for (const auto &[next, spellings] : from->second) {
        if (next > end)
            break;
        const auto spelling = spellings.find(code[depth]);
        if (spelling == spellings.end())
            continue;
        auto rest = looseSyllables(graph, next, end, code, depth + 1);
        rest.first += spelling->second.type == rime::kFuzzySpelling;
        rest.second += spelling->second.type == rime::kAbbreviation;
        best = std::min(best, rest);
    }
    return best;
}

class SentenceMaker : public rime::Filter
{
public:
    explicit SentenceMaker(const rime::Ticket &ticket) : rime::Filter(ticket)
    {
        const rime::Ticket translator(engine_, "translator");
        if (auto *component = rime::Dictionary::Require("dictionary"))
            mDictionary.reset(component->Create(translator));
        if (mDictionary && !mDictionary->Load())
            mDictionary.reset();
        if (auto *component = rime::UserDictionary::Require("user_dictionary"))
            mUserDictionary.reset(component->Create(translator));
        if (mUserDictionary && mDictionary) {
            mUserDictionary->Load();
            mUserDictionary->Attach(mDictionary->primary_table(), mDictionary->prism());
        }
        if (rime::Config *config = engine_->schema()->config()) {
            config->GetString("speller/delimiter", &mDelimiters);
            if (!config->GetBool("translator/enable_completion", &mCompletion))
                mCompletion = true;
        }
    }

    rime::an<rime::Translation> Apply(rime::an<rime::Translation> translation,
                                      rime::CandidateList *) override
    {
        const auto model = currentModel;
        if (!model || !mDictionary || !mDictionary->prism() || !translation ||
            translation->exhausted())
            return translation;
        const auto first = rime::As<rime::Sentence>(translation->Peek());
        if (!first)
            return translation;
        auto ours = makeSentence(*model, *first);
        if (!ours || ours->text() == first->text())
            return translation;
        auto lead = rime::New<rime::FifoTranslation>();
        lead->Append(ours);
        return lead + translation;
    }

private:
    using Lattice = std::map<size_t, std::vector<Edge>>;

    rime::an<rime::Sentence> makeSentence(const SentenceModel &model, const rime::Sentence &rimes)
    {
        const std::string input =
            engine_->context()->input().substr(rimes.start(), rimes.end() - rimes.start());
        rime::SyllableGraph graph;
        rime::Syllabifier(mDelimiters, mCompletion).BuildSyllableGraph(input,
                                                                       *mDictionary->prism(), &graph);
        const size_t total = graph.interpreted_length;
        if (total != input.size())
            return nullptr;
        const Lattice lattice = buildLattice(graph);
        std::deque<Path> paths;
        const Path *best = bestPath(model, lattice, total, paths);
        if (!best)
            return nullptr;
        std::vector<const Path *> steps;
        for (const Path *step = best; step->edge; step = step->previous)
            steps.push_back(step);
        auto sentence = rime::New<rime::Sentence>(rimes.language());
        for (auto step = steps.rbegin(); step != steps.rend(); ++step)
            sentence->Extend(*(*step)->edge->entry, (*step)->edge->end, (*step)->score);
        sentence->Offset(rimes.start());
        sentence->set_preedit(rimes.preedit());
        sentence->set_quality(rimes.quality());
        return sentence;
    }

    template <class Collector>
    void enroll(const rime::SyllableGraph &graph, size_t start, Collector &collector, bool learned,
                std::vector<Edge> &edges)
    {
        for (auto &[end, entries] : collector) {
            for (size_t taken = 0; taken < kWeights.homophones && !entries.exhausted(); ++taken) {
                auto entry = entries.Peek();
                const auto [fuzzy, abbreviated] = looseSyllables(graph, start, end, entry->code);
                const double weight = kWeights.dictionary * entry->weight +
                                      kWeights.fuzzySyllable * fuzzy +
                                      kWeights.abbreviation * abbreviated +
                                      (learned ? kWeights.learned : 0);
                edges.push_back({end, entry, mSimplify(entry->text), weight});
                if (!entries.Next())
                    break;
            }
        }
    }

    Lattice buildLattice(const rime::SyllableGraph &graph)
    {
        Lattice lattice;
        for (const auto &from : graph.edges) {
            std::vector<Edge> &edges = lattice[from.first];
            if (mUserDictionary && mUserDictionary->loaded()) {
                if (auto learned =
                        mUserDictionary->Lookup(graph, from.first, kWeights.userSyllables))
                    enroll(graph, from.first, *learned, true, edges);
            }
            if (auto words = mDictionary->Lookup(graph, from.first))
                enroll(graph, from.first, *words, false, edges);
        }
        return lattice;
    }

    // A beam over the places between syllables: at each, the best sentence
    // for every last word, the best few extended.
    const Path *bestPath(const SentenceModel &model, const Lattice &lattice, size_t total,
                         std::deque<Path> &paths)
    {
        std::map<size_t, std::unordered_map<std::string, const Path *>> beams;
        paths.push_back({0, model.startState(), nullptr, nullptr});
        beams[0][std::string()] = &paths.back();
        for (const auto &[start, edges] : lattice) {
            auto beam = beams.find(start);
            if (beam == beams.end())
                continue;
            for (const Path *path : strongest(beam->second)) {
                for (const Edge &edge : edges) {
                    Path next{path->score + edge.weight, {}, path, &edge};
                    next.score += model.wordScore(path->state, edge.simplified, next.state);
                    if (edge.end == total)
                        next.score += model.endScore(next.state);
                    const Path *&kept = beams[edge.end][edge.simplified];
                    if (!kept || kept->score < next.score) {
                        paths.push_back(next);
                        kept = &paths.back();
                    }
                }
            }
        }
        const auto last = beams.find(total);
        if (last == beams.end())
            return nullptr;
        const Path *best = nullptr;
        for (const auto &[word, path] : last->second)
            if (!best || path->score > best->score)
                best = path;
        return best;
    }

    static std::vector<const Path *>
    strongest(const std::unordered_map<std::string, const Path *> &beam)
    {
        std::vector<const Path *> paths;
        for (const auto &[word, path] : beam)
            paths.push_back(path);
        const size_t kept = std::min(paths.size(), kWeights.paths);
        std::partial_sort(paths.begin(), paths.begin() + kept, paths.end(),
                          [](const Path *a, const Path *b) { return a->score > b->score; });
        paths.resize(kept);
        return paths;
    }

    std::unique_ptr<rime::Dictionary> mDictionary;
    std::unique_ptr<rime::UserDictionary> mUserDictionary;
    std::string mDelimiters = " '";
    bool mCompletion = true;
    Simplifier mSimplify;
};

} // namespace

void SentenceFilter::registerComponent()
{
    rime::Registry::instance().Register(componentName(),
                                        new rime::Component<SentenceMaker>);
}

void SentenceFilter::setModel(std::shared_ptr<const SentenceModel> model)
{
    currentModel = std::move(model);
}
