// librime's C++ headers need this before anything of theirs is included:
// Debian builds librime with Boost.Signals2.
#define RIME_BOOST_SIGNALS2
#include "LearnedFirstFilter.h"

#include <rime/candidate.h>
#include <rime/component.h>
#include <rime/filter.h>
#include <rime/gear/translator_commons.h>
#include <rime/registry.h>
#include <rime/translation.h>

namespace
{

// Enough for several pages; what lies beyond keeps Rime's order, so a
// short code with thousands of completions costs no more than this.
const int kReordered = 50;

bool learned(const rime::an<rime::Candidate> &candidate)
{
    const auto phrase = rime::As<rime::Phrase>(rime::Candidate::GetGenuineCandidate(candidate));
    return phrase && phrase->entry().commit_count > 0;
}

class Filter : public rime::Filter
{
public:
    explicit Filter(const rime::Ticket &ticket) : rime::Filter(ticket) {}

    rime::an<rime::Translation> Apply(rime::an<rime::Translation> translation,
                                      rime::CandidateList *) override
    {
        auto first = rime::New<rime::FifoTranslation>();
        std::vector<rime::an<rime::Candidate>> others;
        for (int i = 0; i < kReordered && translation && !translation->exhausted(); ++i) {
            const rime::an<rime::Candidate> candidate = translation->Peek();
            translation->Next();
            if (learned(candidate))
                first->Append(candidate);
            else
                others.push_back(candidate);
        }
        for (const auto &candidate : others)
            first->Append(candidate);
        return first + translation;
    }
};

} // namespace

void LearnedFirstFilter::registerComponent()
{
    rime::Registry::instance().Register(componentName(), new rime::Component<Filter>);
}
