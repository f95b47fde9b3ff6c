// librime's C++ headers need this before anything of theirs is included:
// Debian builds librime with Boost.Signals2.
#define RIME_BOOST_SIGNALS2
#include "WordTranslator.h"
#include "SentenceFilter.h"
#include "SyllableGraphs.h"
#include "SyllablePath.h"

#include <rime/algo/syllabifier.h>
#include <rime/component.h>
#include <rime/dict/corrector.h>
#include <rime/dict/dictionary.h>
#include <rime/dict/user_dictionary.h>
#include <rime/gear/poet.h>
#include <rime/gear/script_translator.h>
#include <rime/gear/translator_commons.h>
#include <rime/registry.h>
#include <rime/segmentation.h>
#include <rime/translation.h>

#include <cmath>
#include <string>
#include <vector>

namespace
{

class WordSyllabifier : public rime::PhraseSyllabifier
{
public:
    WordSyllabifier(const std::string &input, size_t start,
                    std::shared_ptr<const rime::SyllableGraph> graph)
        : graph(std::move(graph)), mInput(input), mStart(start)
    {
    }

    rime::Spans Syllabify(const rime::Phrase *phrase) override
    {
        rime::Spans spans;
        std::vector<size_t> places;
        if (!walk(phrase, places))
            return spans;
        std::vector<size_t> vertices{mStart};
        for (const size_t place : places)
            vertices.push_back(mStart + place);
        spans.set_vertices(std::move(vertices));
        return spans;
    }

    // The letters typed for the phrase, a delimiter between its syllables.
    std::string preedit(const rime::Phrase &phrase, const std::string &delimiters) const
    {
        std::vector<size_t> places;
        if (!walk(&phrase, places))
            return std::string();
        return SyllablePath::letters(mInput, phrase.start() - mStart, places, delimiters);
    }

    bool normalSpelling() const
    {
        return !graph->vertices.empty() &&
               graph->vertices.rbegin()->second == rime::kNormalSpelling;
    }

    const std::shared_ptr<const rime::SyllableGraph> graph;

private:
    bool walk(const rime::Phrase *phrase, std::vector<size_t> &places) const
    {
        return SyllablePath::places(*graph, phrase->code(), phrase->start() - mStart,
                                    phrase->end() - mStart, places);
    }

    std::string mInput;
    size_t mStart;
};

// The words of every length from the segment's start, longest first; at
// equal length the user's before the dictionary's.
class WordTranslation : public rime::Translation
{
public:
    WordTranslation(rime::ScriptTranslator *translator,
                    const rime::an<WordSyllabifier> &syllabifier, size_t start,
                    rime::an<rime::DictEntryCollector> words,
                    rime::an<rime::UserDictEntryCollector> learned)
        : mTranslator(translator), mSyllabifier(syllabifier), mStart(start),
          mWords(std::move(words)), mLearned(std::move(learned))
    {
        if (mWords)
            mWord = mWords->rbegin();
        if (mLearned)
            mLearnedWord = mLearned->rbegin();
        checkEmpty();
    }

    bool Next() override
    {
        if (exhausted())
            return false;
        if (learnedNext()) {
            if (!mLearnedWord->second.Next())
                ++mLearnedWord;
        } else if (!mWord->second.Next()) {
            ++mWord;
        }
        mCandidate.reset();
        return !checkEmpty();
    }

    rime::an<rime::Candidate> Peek() override
    {
        if (exhausted())
            return nullptr;
        if (!mCandidate)
            mCandidate = makeCandidate();
        return mCandidate;
    }

private:
    size_t learnedLength() const
    {
        return mLearned && mLearnedWord != mLearned->rend() ? mLearnedWord->first : 0;
    }

    size_t wordLength() const { return mWords && mWord != mWords->rend() ? mWord->first : 0; }

    bool learnedNext() const { return learnedLength() > 0 && learnedLength() >= wordLength(); }

    bool checkEmpty()
    {
        set_exhausted(learnedLength() == 0 && wordLength() == 0);
        return exhausted();
    }

    rime::an<rime::Phrase> makeCandidate() const
    {
        const bool learned = learnedNext();
        const size_t length = learned ? learnedLength() : wordLength();
        const auto entry = learned ? mLearnedWord->second.Peek() : mWord->second.Peek();
        auto phrase =
            rime::New<rime::Phrase>(mTranslator->language(), learned ? "user_phrase" : "phrase",
                                    mStart, mStart + length, entry);
        // Rime's qualities, against the other translators' words.
        const bool normal = mSyllabifier->normalSpelling();
        const double spelling = learned ? (normal ? 0.5 : -0.5) : (normal ? 0 : -1);
        phrase->set_quality(std::exp(entry->weight) + mTranslator->initial_quality() + spelling);
        if (phrase->preedit().empty())
            phrase->set_preedit(mTranslator->FormatPreedit(
                mSyllabifier->preedit(*phrase, mTranslator->delimiters())));
        if (phrase->comment().empty() &&
            int(phrase->code().size()) <= mTranslator->spelling_hints()) {
            const std::string spelled = mTranslator->Spell(phrase->code());
            if (!spelled.empty() &&
                (mTranslator->always_show_comments() || spelled != phrase->preedit()))
                phrase->set_comment(spelled);
        }
        phrase->set_syllabifier(mSyllabifier);
        return phrase;
    }

    rime::ScriptTranslator *mTranslator;
    rime::an<WordSyllabifier> mSyllabifier;
    size_t mStart;
    rime::an<rime::DictEntryCollector> mWords;
    rime::an<rime::UserDictEntryCollector> mLearned;
    rime::DictEntryCollector::reverse_iterator mWord;
    rime::UserDictEntryCollector::reverse_iterator mLearnedWord;
    rime::an<rime::Phrase> mCandidate;
};

class WordsOnly : public rime::ScriptTranslator
{
public:
    using rime::ScriptTranslator::ScriptTranslator;

    rime::an<rime::Translation> Query(const std::string &input,
                                      const rime::Segment &segment) override
    {
        if (!SentenceFilter::hasModel() || corrector_ || contextual_suggestions_)
            return rime::ScriptTranslator::Query(input, segment);
        if (!dict_ || !dict_->loaded() || !dict_->prism() || !segment.HasTag(tag_))
            return nullptr;
        FinishSession();
        // Rime keeps every abbreviated reading of the letters while the
        // input ends mid-syllable; they fill the pages with words that go
        // a key later (查字法 for chazhaolujingzh) and multiply the lookups.
        const SyllableGraphs::Options options{delimiters_, enable_completion_, strict_spelling_};
        auto syllabifier = rime::New<WordSyllabifier>(
            input, segment.start,
            SyllableGraphs::settled(SyllableGraphs::of(input, dict_->prism(), options), input,
                                    dict_->prism(), options));
        const rime::SyllableGraph &graph = *syllabifier->graph;
        auto words = dict_->Lookup(graph, 0);
        rime::an<rime::UserDictEntryCollector> learned;
        if (user_dict_ && user_dict_->loaded() && !IsUserDictDisabledFor(input))
            learned = user_dict_->Lookup(graph, 0);
        auto translation = rime::New<WordTranslation>(this, syllabifier, segment.start,
                                                      std::move(words), std::move(learned));
        if (translation->exhausted())
            return nullptr;
        return rime::New<rime::DistinctTranslation>(translation);
    }
};

} // namespace

void WordTranslator::registerComponent()
{
    rime::Registry::instance().Register(componentName(), new rime::Component<WordsOnly>);
}
