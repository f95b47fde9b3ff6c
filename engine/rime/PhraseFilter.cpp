// librime's C++ headers need these before anything of theirs is included:
// Debian builds librime with Boost.Signals2.
#define RIME_BOOST_SIGNALS2
#include "PhraseFilter.h"
#include "PhraseBook.h"

#include <rime/candidate.h>
#include <rime/component.h>
#include <rime/composition.h>
#include <rime/context.h>
#include <rime/engine.h>
#include <rime/filter.h>
#include <rime/registry.h>
#include <rime/translation.h>

namespace
{

std::shared_ptr<const PhraseBook> currentBook;

// Rime's candidates with the phrases slotted in: phrase n appears as the
// n-th candidate, or after the last one when Rime has fewer.
class PhraseTranslation : public rime::Translation
{
public:
    PhraseTranslation(rime::an<rime::Translation> inner,
                      const std::vector<PhraseBook::Phrase> &phrases, size_t start, size_t end,
                      std::shared_ptr<const PhraseBook> book)
        : mInner(std::move(inner)), mPhrases(phrases), mStart(start), mEnd(end),
          mBook(std::move(book))
    {
        advance();
    }

    bool Next() override
    {
        if (exhausted())
            return false;
        if (mPhraseDue)
            ++mNextPhrase;
        else
            mInner->Next();
        ++mShown;
        advance();
        return true;
    }

    rime::an<rime::Candidate> Peek() override
    {
        if (exhausted())
            return nullptr;
        if (!mPhraseDue)
            return mInner->Peek();
        return rime::New<rime::SimpleCandidate>("kaiwo_phrase", mStart, mEnd,
                                                mPhrases[mNextPhrase].text);
    }

private:
    void advance()
    {
        const bool phrasesLeft = mNextPhrase < mPhrases.size();
        const bool innerLeft = mInner && !mInner->exhausted();
        mPhraseDue =
            phrasesLeft && (!innerLeft || mPhrases[mNextPhrase].position <= int(mShown) + 1);
        set_exhausted(!phrasesLeft && !innerLeft);
    }

    rime::an<rime::Translation> mInner;
    const std::vector<PhraseBook::Phrase> &mPhrases;
    size_t mStart, mEnd;
    std::shared_ptr<const PhraseBook> mBook; // keeps mPhrases alive
    size_t mNextPhrase = 0;
    size_t mShown = 0;
    bool mPhraseDue = false;
};

class Filter : public rime::Filter
{
public:
    explicit Filter(const rime::Ticket &ticket) : rime::Filter(ticket) {}

    rime::an<rime::Translation> Apply(rime::an<rime::Translation> translation,
                                      rime::CandidateList *) override
    {
        const std::shared_ptr<const PhraseBook> book = currentBook;
        rime::Context *context = engine_->context();
        // Only an abbreviation typed as a whole, not the rest of a sentence.
        if (!book || context->composition().empty() || context->composition().back().start != 0)
            return translation;
        const std::string &input = context->input();
        const auto *phrases = book->lookup(input);
        if (!phrases)
            return translation;
        return rime::New<PhraseTranslation>(translation, *phrases, 0, input.size(), book);
    }
};

} // namespace

void PhraseFilter::registerComponent()
{
    rime::Registry::instance().Register(componentName(), new rime::Component<Filter>);
}

void PhraseFilter::setBook(std::shared_ptr<const PhraseBook> book)
{
    currentBook = std::move(book);
}
