// librime's C++ headers need this before anything of theirs is included:
// Debian builds librime with Boost.Signals2.
#define RIME_BOOST_SIGNALS2
#include "ChaiziFilter.h"
#include "ChaiziDictionary.h"

#include <rime/candidate.h>
#include <rime/component.h>
#include <rime/composition.h>
#include <rime/context.h>
#include <rime/engine.h>
#include <rime/filter.h>
#include <rime/gear/translator_commons.h>
#include <rime/language.h>
#include <rime/registry.h>
#include <rime/translation.h>

namespace
{

const int kMostOffered = 3;

class WithoutStrayChaizi : public rime::Translation
{
public:
    WithoutStrayChaizi(rime::an<rime::Translation> inner, size_t segmentEnd)
        : mInner(std::move(inner)), mSegmentEnd(segmentEnd)
    {
        skipUnwanted();
    }

    bool Next() override
    {
        if (exhausted())
            return false;
        mInner->Next();
        skipUnwanted();
        return true;
    }

    rime::an<rime::Candidate> Peek() override { return exhausted() ? nullptr : mInner->Peek(); }

private:
    // A character is offered for its parts only where they end the input,
    // and only the likeliest few: parts read out of the first syllables of
    // longer pinyin, or a page of rarities, would push the words and single
    // characters of those syllables pages down.
    bool unwanted(const rime::an<rime::Candidate> &candidate)
    {
        const auto phrase = rime::As<rime::Phrase>(rime::Candidate::GetGenuineCandidate(candidate));
        if (!phrase || !phrase->language() ||
            phrase->language()->name() != ChaiziDictionary::name())
            return false;
        if (rime::As<rime::Sentence>(phrase) || candidate->end() < mSegmentEnd)
            return true;
        return ++mOffered > kMostOffered;
    }

    void skipUnwanted()
    {
        while (!mInner->exhausted() && unwanted(mInner->Peek()))
            mInner->Next();
        set_exhausted(mInner->exhausted());
    }

    rime::an<rime::Translation> mInner;
    size_t mSegmentEnd;
    int mOffered = 0;
};

class Filter : public rime::Filter
{
public:
    explicit Filter(const rime::Ticket &ticket) : rime::Filter(ticket) {}

    rime::an<rime::Translation> Apply(rime::an<rime::Translation> translation,
                                      rime::CandidateList *) override
    {
        if (!translation || translation->exhausted())
            return translation;
        const size_t start = translation->Peek()->start();
        size_t end = start;
        for (const rime::Segment &segment : engine_->context()->composition())
            if (segment.start == start)
                end = segment.end;
        return rime::New<WithoutStrayChaizi>(translation, end);
    }
};

} // namespace

void ChaiziFilter::registerComponent()
{
    rime::Registry::instance().Register(componentName(), new rime::Component<Filter>);
}
