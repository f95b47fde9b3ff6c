// librime's C++ headers need this before anything of theirs is included:
// Debian builds librime with Boost.Signals2.
#define RIME_BOOST_SIGNALS2
#include "LearnedOrderFilter.h"

#include <rime/candidate.h>
#include <rime/component.h>
#include <rime/dict/dictionary.h>
#include <rime/filter.h>
#include <rime/gear/translator_commons.h>
#include <rime/registry.h>
#include <rime/translation.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace
{

const int kReordered = 50;

using Candidates = std::vector<rime::an<rime::Candidate>>;

bool learned(const rime::an<rime::Candidate> &candidate)
{
    const auto phrase = rime::As<rime::Phrase>(rime::Candidate::GetGenuineCandidate(candidate));
    return phrase && phrase->entry().commit_count > 0;
}

// Reads the first pages and hands them to reorder(); the rest follows in
// Rime's order.
class WindowFilter : public rime::Filter
{
public:
    using rime::Filter::Filter;

    rime::an<rime::Translation> Apply(rime::an<rime::Translation> translation,
                                      rime::CandidateList *) override
    {
        Candidates first;
        for (int i = 0; i < kReordered && translation && !translation->exhausted(); ++i) {
            first.push_back(translation->Peek());
            translation->Next();
        }
        auto reordered = rime::New<rime::FifoTranslation>();
        for (const auto &candidate : reorder(first))
            reordered->Append(candidate);
        return reordered + translation;
    }

protected:
    virtual Candidates reorder(const Candidates &candidates) = 0;
};

class LearnedFirst : public WindowFilter
{
public:
    using WindowFilter::WindowFilter;

protected:
    // Learned words first, each group in Rime's order.
    Candidates reorder(const Candidates &candidates) override
    {
        Candidates ordered = candidates;
        std::stable_partition(ordered.begin(), ordered.end(), learned);
        return ordered;
    }
};

// Rime offers a learned dictionary word once, from the user dictionary, at
// its learned place: it goes back before the word that follows it under
// the same code in the dictionary. Words the dictionary lacks are new and
// stay where they are.
class TableOrder : public WindowFilter
{
public:
    explicit TableOrder(const rime::Ticket &ticket) : WindowFilter(ticket)
    {
        auto *component = rime::Dictionary::Require("dictionary");
        if (component)
            mDictionary.reset(component->Create(rime::Ticket(engine_, "translator")));
        if (mDictionary && !mDictionary->Load())
            mDictionary.reset();
    }

protected:
    Candidates reorder(const Candidates &candidates) override
    {
        Candidates ordered = candidates;
        for (const auto &candidate : candidates) {
            const std::vector<std::string> words = sameCode(candidate);
            const auto own = std::find(words.begin(), words.end(), candidate->text());
            if (own == words.end())
                continue;
            ordered.erase(std::find(ordered.begin(), ordered.end(), candidate));
            const auto next = std::find_if(ordered.begin(), ordered.end(), [&](const auto &c) {
                return !learned(c) && std::find(own + 1, words.end(), c->text()) != words.end();
            });
            ordered.insert(next, candidate);
        }
        return ordered;
    }

private:
    // The dictionary's words under a learned candidate's code, in order;
    // none for any other candidate.
    std::vector<std::string> sameCode(const rime::an<rime::Candidate> &candidate)
    {
        std::vector<std::string> words;
        const auto phrase = rime::As<rime::Phrase>(rime::Candidate::GetGenuineCandidate(candidate));
        if (!mDictionary || !phrase || phrase->entry().commit_count <= 0)
            return words;
        std::string code = phrase->entry().custom_code;
        code.erase(code.find_last_not_of(' ') + 1);
        rime::DictEntryIterator entries;
        mDictionary->LookupWords(&entries, code, false);
        for (; !entries.exhausted(); entries.Next())
            words.push_back(entries.Peek()->text);
        return words;
    }

    std::unique_ptr<rime::Dictionary> mDictionary;
};

} // namespace

void LearnedOrderFilter::registerComponents()
{
    auto &registry = rime::Registry::instance();
    registry.Register(learnedFirstName(), new rime::Component<LearnedFirst>);
    registry.Register(tableOrderName(), new rime::Component<TableOrder>);
}
