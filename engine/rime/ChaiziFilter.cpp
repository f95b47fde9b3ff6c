// librime's C++ headers need this before anything of theirs is included:
// Debian builds librime with Boost.Signals2.
#define RIME_BOOST_SIGNALS2
#include "ChaiziFilter.h"
#include "ChaiziDictionary.h"

#include <rime/candidate.h>
#include <rime/component.h>
#include <rime/filter.h>
#include <rime/gear/translator_commons.h>
#include <rime/language.h>
#include <rime/registry.h>
#include <rime/translation.h>

namespace
{

class WithoutChaiziSentences : public rime::Translation
{
public:
    explicit WithoutChaiziSentences(rime::an<rime::Translation> inner) : mInner(std::move(inner))
    {
        skipSentences();
    }

    bool Next() override
    {
        if (exhausted())
            return false;
        mInner->Next();
        skipSentences();
        return true;
    }

    rime::an<rime::Candidate> Peek() override { return exhausted() ? nullptr : mInner->Peek(); }

private:
    static bool isChaiziSentence(const rime::an<rime::Candidate> &candidate)
    {
        const auto sentence =
            rime::As<rime::Sentence>(rime::Candidate::GetGenuineCandidate(candidate));
        return sentence && sentence->language() &&
               sentence->language()->name() == ChaiziDictionary::name();
    }

    void skipSentences()
    {
        while (!mInner->exhausted() && isChaiziSentence(mInner->Peek()))
            mInner->Next();
        set_exhausted(mInner->exhausted());
    }

    rime::an<rime::Translation> mInner;
};

class Filter : public rime::Filter
{
public:
    explicit Filter(const rime::Ticket &ticket) : rime::Filter(ticket) {}

    rime::an<rime::Translation> Apply(rime::an<rime::Translation> translation,
                                      rime::CandidateList *) override
    {
        return translation ? rime::New<WithoutChaiziSentences>(translation) : translation;
    }
};

} // namespace

void ChaiziFilter::registerComponent()
{
    rime::Registry::instance().Register(componentName(), new rime::Component<Filter>);
}
