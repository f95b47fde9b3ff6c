// librime's C++ headers need this before anything of theirs is included:
// Debian builds librime with Boost.Signals2.
#define RIME_BOOST_SIGNALS2
#include "SentenceFilter.h"
#include "ChaiziDictionary.h"
#include "SentenceModel.h"
#include "Simplifier.h"
#include "SyllableGraphs.h"
#include "SyllablePath.h"

#include <rime/algo/syllabifier.h>
#include <rime/candidate.h>
#include <rime/component.h>
#include <rime/config.h>
#include <rime/context.h>
#include <rime/dict/dictionary.h>
#include <rime/dict/table.h>
#include <rime/dict/user_dictionary.h>
#include <rime/engine.h>
#include <rime/filter.h>
#include <rime/gear/translator_commons.h>
#include <rime/language.h>
#include <rime/registry.h>
#include <rime/schema.h>
#include <rime/ticket.h>
#include <rime/translation.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <tuple>
#include <unordered_map>
#include <vector>

namespace
{

std::shared_ptr<const SentenceModel> currentModel;

// Weights of one word in a sentence, all natural logarithms. Chosen on a
// development set of phrases apart from the ones the benchmark reports.
struct Weights {
    double dictionary = 0.5;      // Rime's weight of a stretch's likeliest word, beside the model's
    double homophone = 0.1;       // Rime's weight of a word below that likeliest one
    double fuzzySyllable = -10;   // a syllable read through a fuzzy pair the user did not choose
    double abbreviation = -3;     // a syllable given by its initial alone
    double learned = 4;           // a word the user committed on its own
    double learnedInSentence = 2; // one the user dictionary has from a sentence committed
    size_t homophones = 12;       // words tried for each stretch of syllables
    size_t paths = 10;            // sentences extended from each place, the strongest
    size_t userSyllables = 5;     // the longest learned word looked up
    size_t reordered = 40;        // candidates ordered by spelling: the first few pages
    size_t fuzzyPlaced = 2;       // fuzzy words of one length placed among the exact ones
    size_t readAhead = 160;       // candidates read at most to fill the pages reordered
    size_t liftedCharacters = 5;  // first syllable's characters opening the second page
    size_t charactersRead = 48;   // of the first syllable's readings, to find them
};
const Weights kWeights;
// Longer words are left to Rime, or made of shorter ones: every key looks
// up again each place this many syllables from the end. Five reads the
// development set as well as eight did, with a fifth fewer lookups.
const size_t kLongestWord = 5;
// The model's own words are looked up up to this many syllables, and weigh
// as a rare word of Rime's.
const size_t kLongestModelWord = 5;
const double kModelWordWeight = -12;

struct Edge {
    size_t end;
    rime::an<rime::DictEntry> entry;
    std::string simplified;
    SentenceModel::Word word;
    double weight; // everything but the model's score
    // Of simplified, once: the beams' keys hash it for every path extended.
    size_t hash = std::hash<std::string>()(simplified);
};

struct Path {
    double score;
    SentenceModel::State state;
    const Path *previous;
    const Edge *edge;
};

// All the trigram model looks back on: of the sentences that end in the
// same two words, only the best can win. Kept by the last word alone, a
// sentence lost to one whose word before was likelier but read the next
// word worse (手机与数据库 for 收集与数据库).
struct LastTwoWords {
    const Edge *before; // none at the start
    const Edge *last;

    bool operator==(const LastTwoWords &other) const
    {
        return sameWord(before, other.before) && sameWord(last, other.last);
    }
    static bool sameWord(const Edge *a, const Edge *b)
    {
        return a == b || (a && b && a->simplified == b->simplified);
    }
};

struct LastTwoWordsHash {
    size_t operator()(const LastTwoWords &words) const
    {
        return (words.before ? words.before->hash : 0) * 31 + (words.last ? words.last->hash : 0);
    }
};

// The sentences that reach one place: the best for each two last words.
// A place's paths are final before any path leads on from them, so a
// better one replaces its key's path where it is.
using Beam = std::unordered_map<LastTwoWords, Path, LastTwoWordsHash>;

// Rime's syllabifier charges a syllable after an ambiguous joint (an of
// xu an, where xuan is one syllable too) a factor of 1e-10, which its
// lookups put into the weight of every word the syllable does not end.
const double kAmbiguousJointCharge = -23.025850929940457; // log(1e-10)

// How a word's syllables were read, on its best way through the graph.
struct Reading {
    int fuzzy = 0;       // through a fuzzy pair
    int abbreviated = 0; // by an initial alone
    int charged = 0;     // ambiguous joints Rime charged the word's weight

    bool operator<(const Reading &other) const
    {
        return std::tie(fuzzy, abbreviated, charged) <
               std::tie(other.fuzzy, other.abbreviated, other.charged);
    }
    bool exact() const { return fuzzy == 0 && abbreviated == 0; }
};

Reading readingOf(const rime::SyllableGraph &graph, size_t position, size_t end,
                  const rime::Code &code, size_t depth = 0)
{
    const Reading impossible{1000, 1000, 1000};
    if (depth == code.size())
        return position == end ? Reading{} : impossible;
    const auto from = graph.edges.find(position);
    if (from == graph.edges.end())
        return impossible;
    Reading best = impossible;
    for (const auto &[next, spellings] : from->second) {
        if (next > end)
            break;
        const auto spelling = spellings.find(code[depth]);
        if (spelling == spellings.end())
            continue;
        Reading rest = readingOf(graph, next, end, code, depth + 1);
        rest.fuzzy += spelling->second.type == rime::kFuzzySpelling;
        rest.abbreviated += spelling->second.type == rime::kAbbreviation;
        // A fuzzy pair's own charge is far below half a joint's.
        if (depth + 1 < code.size())
            rest.charged +=
                static_cast<int>(std::lround(spelling->second.credibility / kAmbiguousJointCharge));
        best = std::min(best, rest);
    }
    return best;
}

class SentenceMaker : public rime::Filter
{
public:
    explicit SentenceMaker(const rime::Ticket &ticket)
        : rime::Filter(ticket), mLanguage(languageName(ticket))
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
            config->GetBool("kaiwo_sentence/enable", &mEnabled);
            config->GetInt("translator/spelling_hints", &mSpellingHints);
            int pageSize = 0;
            if (config->GetInt("menu/page_size", &pageSize) && pageSize > 0)
                mPageSize = size_t(pageSize);
        }
        // A commit teaches the user dictionary: the words kept are stale.
        mCommits = engine_->context()->commit_notifier().connect([this](rime::Context *) {
            mLatticeGraph.reset();
            mBeams.clear();
        });
    }

    ~SentenceMaker() override { mCommits.disconnect(); }

    rime::an<rime::Translation> Apply(rime::an<rime::Translation> translation,
                                      rime::CandidateList *) override
    {
        if (!translation || translation->exhausted())
            return translation;
        const rime::Segment *segment = segmentAt(translation->Peek()->start());
        if (!segment || !segment->HasTag("abc") || !mDictionary || !mDictionary->prism())
            return translation;
        const std::string input =
            engine_->context()->input().substr(segment->start, segment->end - segment->start);
        const auto shared = graphOf(input, mCompletion);
        const rime::SyllableGraph &graph = *shared;
        // Only a fuzzy reading can put words out of order; otherwise the
        // first candidate is all there is to look at.
        Candidates first = takeFirst(translation, readsFuzzy(graph) ? kWeights.reordered : 1);
        if (!first.empty() && wantsSentence(graph, *segment, first)) {
            mModel = currentModel;
            // Rime's script translator makes sentences whatever its options say.
            if (!mEnabled) {
                if (rime::As<rime::Sentence>(first.front()))
                    first.erase(first.begin());
            } else if (mModel) {
                const auto settled = SyllableGraphs::settled(shared, input, mDictionary->prism(),
                                                             {mDelimiters, mCompletion});
                const auto ours = makeSentence(settled, *segment, input);
                if (ours && ours->text() != first.front()->text())
                    first.insert(first.begin(), ours);
            }
        }
        if (first.size() > 1) {
            // The near misses sent down make room for the words behind them.
            Candidates later;
            Rankings rankings;
            exactBeforeFuzzy(graph, segment->start, first, later, rankings);
            for (size_t read = kWeights.reordered; !later.empty() && read < kWeights.readAhead &&
                                                   first.size() < kWeights.reordered;) {
                const Candidates more = takeFirst(translation, kWeights.reordered - first.size());
                if (more.empty())
                    break;
                read += more.size();
                first.insert(first.end(), more.begin(), more.end());
                exactBeforeFuzzy(graph, segment->start, first, later, rankings);
            }
            first.insert(first.end(), later.begin(), later.end());
        }
        if (graph.vertices.size() > 2)
            liftCharacters(graph, *segment, input, translation, first);
        auto lead = rime::New<rime::FifoTranslation>();
        for (const auto &candidate : first)
            lead->Append(candidate);
        return lead + translation;
    }

private:
    // The words from one place, by the place they end at: a sentence's
    // beam at a place is made of the words that end there.
    using Stretches = std::map<size_t, std::vector<Edge>>;
    using Lattice = std::map<size_t, Stretches>;
    using Candidates = std::vector<rime::an<rime::Candidate>>;
    using Entries = std::vector<rime::an<rime::DictEntry>>;
    struct Ranked {
        rime::an<rime::Candidate> candidate;
        double weight;
        bool fuzzy;
    };
    using Rankings = std::unordered_map<const rime::Candidate *, Ranked>;

    // The first candidates, words of every length: the pages a user looks
    // through for a word, which spelling reorders; reading on costs every key.
    static Candidates takeFirst(const rime::an<rime::Translation> &translation, size_t count)
    {
        Candidates first;
        for (; first.size() < count && !translation->exhausted(); translation->Next())
            first.push_back(translation->Peek());
        return first;
    }

    // Where a sentence goes first: input of two syllables or more, unless a
    // word the user chose covers it, or a word of another dictionary (kept
    // where Rime puts it), but for a character by its parts (䵧 for zaihei,
    // offered beside the sentence). A sentence weighs a word of Rime's in
    // context (对齐 over 对其), and a fuzzy one against the exact (上执行
    // over 三自性); but a fuzzy word first where a word spelled as typed
    // covers the input too is one the user may well have meant (中国 for
    // zongguo, before 宗国). Rime's translator makes its own until a model
    // is read.
    bool wantsSentence(const rime::SyllableGraph &graph, const rime::Segment &segment,
                       const Candidates &first) const
    {
        if (rime::As<rime::Sentence>(first.front()))
            return true;
        if (graph.edges.size() < 2)
            return false;
        const size_t end = segment.start + graph.interpreted_length;
        const auto covering = [&](const rime::an<rime::Candidate> &candidate) {
            const auto phrase =
                rime::As<rime::Phrase>(rime::Candidate::GetGenuineCandidate(candidate));
            return candidate->end() >= end ? phrase : nullptr;
        };
        const auto fuzzy = [&](const rime::Phrase &phrase) {
            return fuzzySyllables(graph, phrase.end() - segment.start, phrase) > 0;
        };
        const auto word = covering(first.front());
        if (!word)
            return true;
        if (!ownWord(*word))
            return word->language() && word->language()->name() == ChaiziDictionary::name();
        if (!fuzzy(*word))
            return true;
        return std::none_of(first.begin(), first.end(), [&](const auto &candidate) {
            const auto other = covering(candidate);
            return other && ownWord(*other) && !fuzzy(*other);
        });
    }

    // Rime's words of the dictionary our graphs spell: not the learned ones,
    // nor other dictionaries' (spelled by other graphs).
    bool ownWord(const rime::Phrase &phrase) const
    {
        return phrase.type() != "user_phrase" && phrase.language() &&
               *phrase.language() == mLanguage;
    }

    // The syllables of a word from the graph's start read through a fuzzy
    // pair the user did not choose.
    static int fuzzySyllables(const rime::SyllableGraph &graph, size_t length,
                              const rime::Phrase &phrase)
    {
        return readingOf(graph, 0, length, phrase.code()).fuzzy;
    }

    static bool readsFuzzy(const rime::SyllableGraph &graph)
    {
        for (const auto &from : graph.edges)
            for (const auto &to : from.second)
                for (const auto &spelling : to.second)
                    if (spelling.second.type == rime::kFuzzySpelling)
                        return true;
        return false;
    }

    // A word read through a fuzzy pair the user did not choose pays for
    // each such syllable, against the words of its length spelled as typed:
    // 中国 stays first for zongguo, 空心 goes below 空行 for kongxing. Only
    // the first few of each length keep their place; the rest follow the
    // pages read, so that a page of near misses (先哲 贤哲 显者… for
    // xiangzhe) does not push the single characters out of reach.
    void exactBeforeFuzzy(const rime::SyllableGraph &graph, size_t start, Candidates &candidates,
                          Candidates &later, Rankings &rankings) const
    {
        auto rank = [&](const rime::an<rime::Candidate> &candidate) {
            const auto phrase =
                rime::As<rime::Phrase>(rime::Candidate::GetGenuineCandidate(candidate));
            // Sentences are weighed on another scale, and learned words and
            // other dictionaries' words (spelled by other graphs) are kept
            // where Rime puts them.
            if (!phrase || rime::As<rime::Sentence>(phrase) || candidate->start() != start ||
                !ownWord(*phrase))
                return Ranked{candidate, std::numeric_limits<double>::infinity(), false};
            const int fuzzy = fuzzySyllables(graph, candidate->end() - start, *phrase);
            return Ranked{candidate, phrase->weight() + kWeights.fuzzySyllable * fuzzy, fuzzy > 0};
        };
        // The pages read on are ranked again with the ones before.
        auto ranked = [&](const rime::an<rime::Candidate> &candidate) {
            auto known = rankings.find(candidate.get());
            if (known == rankings.end())
                known = rankings.emplace(candidate.get(), rank(candidate)).first;
            return known->second;
        };
        Candidates ordered;
        for (auto run = candidates.begin(); run != candidates.end();) {
            auto runEnd = std::find_if(run, candidates.end(), [&](const auto &candidate) {
                return candidate->end() != (*run)->end();
            });
            std::vector<Ranked> exact, fuzzy;
            for (auto it = run; it != runEnd; ++it) {
                Ranked r = ranked(*it);
                (r.fuzzy ? fuzzy : exact).push_back(r);
            }
            for (size_t i = 0; i < fuzzy.size(); ++i) {
                if (i >= kWeights.fuzzyPlaced) {
                    later.push_back(fuzzy[i].candidate);
                    continue;
                }
                const auto place = std::find_if(exact.begin(), exact.end(), [&](const Ranked &e) {
                    return !e.fuzzy && e.weight < fuzzy[i].weight;
                });
                exact.insert(place, fuzzy[i]);
            }
            for (const Ranked &word : exact)
                ordered.push_back(word.candidate);
            run = runEnd;
        }
        candidates = std::move(ordered);
    }

    // Rime lists the words of every length before the single characters
    // of the first syllable, which input of more than one syllable pushes
    // pages down (值 for zhiyuegao comes after forty words of zhiyu and
    // zhiyue, 私 for siyao after twenty). The likeliest few, spelled as
    // typed, open the second page; the uniquifier drops them where they
    // come again.
    void liftCharacters(const rime::SyllableGraph &graph, const rime::Segment &segment,
                        const std::string &input, const rime::an<rime::Translation> &translation,
                        Candidates &first) const
    {
        size_t end = 0;
        const Entries characters = firstCharacters(graph, input, &end);
        if (characters.empty())
            return;
        if (first.size() < mPageSize) {
            const Candidates more = takeFirst(translation, mPageSize - first.size());
            first.insert(first.end(), more.begin(), more.end());
        }
        const auto pageEnd = first.begin() + std::min(first.size(), mPageSize);
        Candidates lifted;
        for (const auto &character : characters) {
            const bool shown = std::any_of(first.begin(), pageEnd, [&](const auto &candidate) {
                return candidate->text() == character->text;
            });
            if (!shown)
                lifted.push_back(characterCandidate(character, segment, input.substr(0, end)));
        }
        first.insert(pageEnd, lifted.begin(), lifted.end());
    }

    // The single characters of the longest first syllable spelled as
    // typed, likeliest first. They are looked up in a graph of that
    // syllable alone: in the whole input's they come behind its other
    // readings' (是 时 事 before 死 for si).
    Entries firstCharacters(const rime::SyllableGraph &graph, const std::string &input,
                            size_t *syllableEnd) const
    {
        size_t &end = *syllableEnd;
        if (const auto from = graph.edges.find(0); from != graph.edges.end())
            for (const auto &[next, spellings] : from->second)
                for (const auto &spelling : spellings)
                    if (spelling.second.type == rime::kNormalSpelling)
                        end = std::max(end, next);
        Entries characters;
        if (!end)
            return characters;
        const auto shared = graphOf(input.substr(0, end), false);
        const rime::SyllableGraph &syllable = *shared;
        const auto found = mDictionary->Lookup(syllable, 0);
        const auto entries = found ? found->find(end) : rime::DictEntryCollector::iterator();
        if (!found || entries == found->end())
            return characters;
        for (size_t read = 0; read < kWeights.charactersRead && !entries->second.exhausted() &&
                              characters.size() < kWeights.liftedCharacters;
             ++read, entries->second.Next()) {
            const auto entry = entries->second.Peek();
            if (entry->code.size() == 1 && readingOf(syllable, 0, end, entry->code).exact())
                characters.push_back(entry);
        }
        return characters;
    }

    rime::an<rime::Candidate> characterCandidate(const rime::an<rime::DictEntry> &entry,
                                                 const rime::Segment &segment,
                                                 const std::string &letters) const
    {
        auto phrase = rime::New<rime::Phrase>(&mLanguage, "phrase", segment.start,
                                              segment.start + letters.size(), entry);
        phrase->set_preedit(letters);
        addSpellingHint(*phrase);
        return phrase;
    }

    // Double pinyin's hints: the full pinyin of words of up to so many
    // syllables, as Rime's translator comments its own.
    void addSpellingHint(rime::Phrase &phrase) const
    {
        std::vector<std::string> syllables;
        if (int(phrase.code().size()) > mSpellingHints ||
            !mDictionary->Decode(phrase.code(), &syllables))
            return;
        std::string spelled;
        for (const std::string &syllable : syllables)
            spelled += (spelled.empty() ? "" : mDelimiters.substr(0, 1)) + syllable;
        if (!spelled.empty() && spelled != phrase.preedit())
            phrase.set_comment(spelled);
    }

    std::shared_ptr<const rime::SyllableGraph> graphOf(const std::string &input,
                                                       bool completion) const
    {
        return SyllableGraphs::of(input, mDictionary->prism(), {mDelimiters, completion});
    }

    const rime::Segment *segmentAt(size_t start) const
    {
        for (const rime::Segment &segment : engine_->context()->composition())
            if (segment.start == start)
                return &segment;
        return nullptr;
    }

    rime::an<rime::Sentence> makeSentence(const std::shared_ptr<const rime::SyllableGraph> &shared,
                                          const rime::Segment &segment, const std::string &input)
    {
        const rime::SyllableGraph &graph = *shared;
        const size_t total = graph.interpreted_length;
        size_t changed = 0;
        const Lattice &lattice = buildLattice(shared, changed);
        const Path *best = bestPath(lattice, total, changed);
        if (!best)
            return nullptr;
        std::vector<const Path *> steps;
        for (const Path *step = best; step->edge; step = step->previous)
            steps.push_back(step);
        auto sentence = rime::New<rime::Sentence>(&mLanguage);
        for (auto step = steps.rbegin(); step != steps.rend(); ++step)
            sentence->Extend(*(*step)->edge->entry, (*step)->edge->end, (*step)->score);
        sentence->Offset(segment.start);
        sentence->set_preedit(preedit(graph, input, sentence->code()));
        addSpellingHint(*sentence);
        return sentence;
    }

    // The typed letters, a delimiter between syllables as Rime shows its
    // words, and the letters no syllable took.
    std::string preedit(const rime::SyllableGraph &graph, const std::string &input,
                        const rime::Code &code) const
    {
        std::vector<size_t> places;
        if (!SyllablePath::places(graph, code, 0, graph.interpreted_length, places))
            return input;
        return SyllablePath::letters(input, 0, places, mDelimiters) +
               input.substr(graph.interpreted_length);
    }

    // The words of one place looked up again, but for the stretches kept
    // from the last key.
    struct Refill {
        explicit Refill(Stretches &into) : words(into) {}

        Stretches &words;
        std::vector<size_t> kept; // ends, ascending
        size_t firstNew = std::numeric_limits<size_t>::max();

        bool keeps(size_t end) const { return std::binary_search(kept.begin(), kept.end(), end); }
        std::vector<Edge> &at(size_t end)
        {
            firstNew = std::min(firstNew, end);
            return words[end];
        }
    };

    template <class Collector>
    void enroll(const rime::SyllableGraph &graph, size_t start, Collector &collector, bool learned,
                Refill &place)
    {
        for (auto &[end, entries] : collector) {
            if (place.keeps(end))
                continue;
            double likeliest = 0; // Rime lists the words of each stretch likeliest first
            for (size_t taken = 0; taken < kWeights.homophones && !entries.exhausted(); ++taken) {
                auto entry = entries.Peek();
                if (entry->code.size() > kLongestWord)
                    break;
                const Reading reading = readingOf(graph, start, end, entry->code);
                // The model judges a split at an ambiguous joint (以允许安装
                // over 疑云选装): Rime's charge for it would outweigh any context.
                const double own = entry->weight - kAmbiguousJointCharge * reading.charged;
                if (taken == 0)
                    likeliest = own;
                const double weight =
                    kWeights.dictionary * likeliest + kWeights.homophone * (own - likeliest) +
                    kWeights.fuzzySyllable * reading.fuzzy +
                    kWeights.abbreviation * reading.abbreviated + learnedWeight(learned, *entry);
                const std::string &simplified = mSimplify(entry->text);
                place.at(end).push_back({end, entry, simplified, mModel->word(simplified), weight});
                if (!entries.Next())
                    break;
            }
        }
    }

    // Rime's memory records a committed sentence's words beside it: weighed
    // as words the user chose, a misread one would win again wherever it could.
    static double learnedWeight(bool learned, const rime::DictEntry &entry)
    {
        if (!learned)
            return 0;
        return entry.commit_count > 0 ? kWeights.learned : kWeights.learnedInSentence;
    }

    // The words from each place, kept from the last key: typing on at the
    // end changes no word that ends well before it, and the lookups are
    // most of the time a sentence takes. A stretch of syllables read as the
    // last key read it has the same words. changed is the first place some
    // of whose words are not the last key's.
    const Lattice &buildLattice(const std::shared_ptr<const rime::SyllableGraph> &shared,
                                size_t &changed)
    {
        const rime::SyllableGraph &graph = *shared;
        // The model's words come in with simplified output only.
        const bool simplified = engine_->context()->get_option("simplification");
        if (mLatticeModel != mModel || !mLatticeGraph || simplified != mLatticeSimplified) {
            mLattice.clear();
            mBeams.clear();
            mLatticeGraph = shared;
        }
        const auto keeps = [&](size_t start, size_t end) {
            return sameStretch(*mLatticeGraph, graph, start, end);
        };
        changed = std::numeric_limits<size_t>::max();
        Lattice lattice;
        for (const auto &from : graph.edges) {
            const size_t start = from.first;
            auto old = mLattice.find(start);
            if (old != mLattice.end() && keeps(start, farthestWordEnd(graph, start))) {
                lattice[start] = std::move(old->second);
                mLattice.erase(old);
                continue;
            }
            Refill place{lattice[start]};
            if (old != mLattice.end()) {
                for (auto stretch = old->second.begin(); stretch != old->second.end();) {
                    if (!keeps(start, stretch->first)) {
                        ++stretch;
                        continue;
                    }
                    place.kept.push_back(stretch->first);
                    place.words[stretch->first] = std::move(stretch->second);
                    stretch = old->second.erase(stretch);
                }
            }
            lookUp(graph, start, simplified, place);
            changed = std::min(changed, place.firstNew);
        }
        // What is left of the last key's words is gone.
        for (const auto &[start, stretches] : mLattice)
            if (!stretches.empty())
                changed = std::min(changed, stretches.begin()->first);
        mLattice = std::move(lattice);
        mLatticeGraph = shared;
        mLatticeModel = mModel;
        mLatticeSimplified = simplified;
        return mLattice;
    }

    void lookUp(const rime::SyllableGraph &graph, size_t start, bool simplified, Refill &place)
    {
        if (mUserDictionary && mUserDictionary->loaded()) {
            if (auto learned = mUserDictionary->Lookup(graph, start, kWeights.userSyllables))
                enroll(graph, start, *learned, true, place);
        }
        if (auto words = mDictionary->Lookup(graph, start))
            enroll(graph, start, *words, false, place);
        // The model's words are simplified: in traditional output they
        // would show as they are.
        if (simplified)
            addModelWords(graph, start, std::string(), rime::Code(), place);
    }

    // Whether the syllables from start to end read alike in both graphs,
    // which makes their words the same.
    static bool sameStretch(const rime::SyllableGraph &a, const rime::SyllableGraph &b,
                            size_t start, size_t end)
    {
        auto fromA = a.edges.lower_bound(start), fromB = b.edges.lower_bound(start);
        for (;; ++fromA, ++fromB) {
            const bool doneA = fromA == a.edges.end() || fromA->first >= end;
            const bool doneB = fromB == b.edges.end() || fromB->first >= end;
            if (doneA || doneB)
                return doneA == doneB;
            if (fromA->first != fromB->first)
                return false;
            auto toA = fromA->second.begin(), toB = fromB->second.begin();
            for (; toA != fromA->second.end() && toA->first <= end; ++toA, ++toB)
                if (toB == fromB->second.end() || toB->first != toA->first ||
                    !sameSpellings(toA->second, toB->second))
                    return false;
            if (toB != fromB->second.end() && toB->first <= end)
                return false;
        }
    }

    static bool sameSpellings(const rime::SpellingMap &a, const rime::SpellingMap &b)
    {
        return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto &x, const auto &y) {
            return x.first == y.first && x.second.type == y.second.type &&
                   x.second.credibility == y.second.credibility &&
                   x.second.is_correction == y.second.is_correction;
        });
    }

    // The words libime's dictionary has, and Rime's lacks, for each run of
    // syllables from position spelled as typed (a fuzzy run would bring in
    // thousands of words no one meant).
    void addModelWords(const rime::SyllableGraph &graph, size_t position, const std::string &code,
                       const rime::Code &syllables, Refill &place)
    {
        const auto from = graph.edges.find(position);
        if (from == graph.edges.end() || syllables.size() >= kLongestModelWord)
            return;
        for (const auto &[end, spellings] : from->second) {
            for (const auto &[id, spelling] : spellings) {
                if (spelling.type != rime::kNormalSpelling && spelling.type != rime::kCompletion)
                    continue;
                const std::string &syllable = syllableCode(id);
                if (syllable.empty())
                    continue;
                rime::Code longer = syllables;
                longer.push_back(id);
                const std::string longerCode = code + syllable;
                if (longer.size() > 1)
                    mModel->findWords(longerCode, [&](const std::string &word) {
                        addModelWord(end, longer, word, place);
                    });
                addModelWords(graph, end, longerCode, longer, place);
            }
        }
    }

    void addModelWord(size_t end, const rime::Code &code, const std::string &word, Refill &place)
    {
        if (place.keeps(end))
            return;
        if (const auto stretch = place.words.find(end); stretch != place.words.end())
            for (const Edge &edge : stretch->second)
                if (edge.simplified == word)
                    return;
        auto entry = rime::New<rime::DictEntry>();
        entry->text = word;
        entry->code = code;
        entry->weight = kModelWordWeight;
        place.at(end).push_back(
            {end, entry, word, mModel->word(word), kWeights.dictionary * kModelWordWeight});
    }

    const std::string &syllableCode(rime::SyllableId id)
    {
        auto found = mSyllableCodes.find(id);
        if (found == mSyllableCodes.end())
            found = mSyllableCodes
                        .emplace(id, mModel->syllableCode(
                                         mDictionary->primary_table()->GetSyllableById(id)))
                        .first;
        return found->second;
    }

    // The farthest a word of at most kLongestWord syllables from start can
    // reach in the graph.
    static size_t farthestWordEnd(const rime::SyllableGraph &graph, size_t start)
    {
        std::vector<size_t> places{start};
        size_t farthest = start;
        for (size_t syllables = 0; syllables < kLongestWord && !places.empty(); ++syllables) {
            std::vector<size_t> next;
            for (const size_t place : places) {
                const auto from = graph.edges.find(place);
                if (from == graph.edges.end())
                    continue;
                for (const auto &to : from->second) {
                    next.push_back(to.first);
                    farthest = std::max(farthest, to.first);
                }
            }
            std::sort(next.begin(), next.end());
            next.erase(std::unique(next.begin(), next.end()), next.end());
            places = std::move(next);
        }
        return farthest;
    }

    // A beam over the places between syllables: at each, the best sentence
    // for every two last words, the best few extended. A place's beam is
    // made of the words that end there, so the beams up to the first place
    // whose words changed are the last key's (short of the phrase's end,
    // which scores its own).
    const Path *bestPath(const Lattice &lattice, size_t total, size_t changed)
    {
        const size_t keptBelow = std::min({total, mBeamsTotal, changed});
        mBeams.erase(mBeams.lower_bound(std::max<size_t>(keptBelow, 1)), mBeams.end());
        mBeamsTotal = total;
        if (mBeams.empty())
            mBeams[0].try_emplace({nullptr, nullptr},
                                  Path{0, mModel->startState(), nullptr, nullptr});
        for (const auto &[start, stretches] : lattice) {
            auto beam = mBeams.find(start);
            const auto first = stretches.lower_bound(keptBelow);
            if (beam == mBeams.end() || first == stretches.end())
                continue;
            for (const Path *path : strongest(beam->second)) {
                for (auto stretch = first; stretch != stretches.end(); ++stretch) {
                    Beam &to = mBeams[stretch->first];
                    for (const Edge &edge : stretch->second) {
                        Path next{path->score + edge.weight, {}, path, &edge};
                        next.score += mModel->score(path->state, edge.word, next.state);
                        if (edge.end == total)
                            next.score += mModel->endScore(next.state);
                        const auto [kept, added] = to.try_emplace({path->edge, &edge}, next);
                        if (!added && kept->second.score < next.score)
                            kept->second = next;
                    }
                }
            }
        }
        const auto last = mBeams.find(total);
        if (last == mBeams.end())
            return nullptr;
        const Path *best = nullptr;
        for (const auto &[words, path] : last->second)
            if (!best || path.score > best->score)
                best = &path;
        return best;
    }

    static std::vector<const Path *> strongest(const Beam &beam)
    {
        std::vector<const Path *> paths;
        for (const auto &[words, path] : beam)
            paths.push_back(&path);
        const size_t kept = std::min(paths.size(), kWeights.paths);
        std::partial_sort(paths.begin(), paths.begin() + kept, paths.end(),
                          [](const Path *a, const Path *b) { return a->score > b->score; });
        paths.resize(kept);
        return paths;
    }

    // Rime's memory learns from the sentences of its own language: the
    // name of the user dictionary, as the translator's memory has it.
    static std::string languageName(const rime::Ticket &ticket)
    {
        std::string name;
        if (rime::Config *config = ticket.engine->schema()->config())
            if (!config->GetString("translator/user_dict", &name))
                config->GetString("translator/dictionary", &name);
        return rime::Language::get_language_component(name);
    }

    rime::Language mLanguage;
    bool mEnabled = false;
    std::unique_ptr<rime::Dictionary> mDictionary;
    std::unique_ptr<rime::UserDictionary> mUserDictionary;
    std::string mDelimiters = " '";
    bool mCompletion = true;
    int mSpellingHints = 0;
    size_t mPageSize = 5;
    Simplifier mSimplify;
    std::shared_ptr<const SentenceModel> mModel;
    std::map<rime::SyllableId, std::string> mSyllableCodes;
    bool mLatticeSimplified = false;
    Lattice mLattice;
    std::shared_ptr<const rime::SyllableGraph> mLatticeGraph; // the one mLattice was read from
    std::shared_ptr<const SentenceModel> mLatticeModel;
    std::map<size_t, Beam> mBeams; // by place, as far as mLattice's words go
    size_t mBeamsTotal = 0;
    rime::connection mCommits;
};

} // namespace

void SentenceFilter::registerComponent()
{
    rime::Registry::instance().Register(componentName(), new rime::Component<SentenceMaker>);
}

bool SentenceFilter::hasModel()
{
    return currentModel != nullptr;
}

void SentenceFilter::setModel(std::shared_ptr<const SentenceModel> model)
{
    currentModel = std::move(model);
}
