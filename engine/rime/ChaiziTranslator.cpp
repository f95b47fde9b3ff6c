// librime's C++ headers need this before anything of theirs is included:
// Debian builds librime with Boost.Signals2.
#define RIME_BOOST_SIGNALS2
#include "ChaiziTranslator.h"
#include "SyllablePath.h"
#include "WordTranslator.h"

#include <rime/component.h>
#include <rime/dict/dictionary.h>
#include <rime/registry.h>
#include <rime/ticket.h>
#include <rime/translation.h>
#include <rime/translator.h>

#include <memory>

namespace
{

// A character has four parts at most.
const size_t kMostParts = 4;

class ShortInputOnly : public rime::Translator
{
public:
    explicit ShortInputOnly(const rime::Ticket &ticket) : rime::Translator(ticket)
    {
        // Words alone: the parts' filter drops sentences.
        const std::string words = WordTranslator::componentName();
        const rime::Ticket inner(ticket.engine, "translator", words + "@" + name_space_);
        if (auto *component = rime::Translator::Require(words))
            mInner.reset(component->Create(inner));
        // The same prism as the inner translator's: Rime shares it by name.
        if (auto *component = rime::Dictionary::Require("dictionary"))
            mDictionary.reset(component->Create(rime::Ticket(engine_, name_space_)));
        if (mDictionary && !mDictionary->Load())
            mDictionary.reset();
    }

    rime::an<rime::Translation> Query(const std::string &input,
                                      const rime::Segment &segment) override
    {
        if (!mInner || !mayBeParts(input))
            return nullptr;
        return mInner->Query(input, segment);
    }

private:
    // Only parts that are the whole input are offered: longer pinyin needs
    // no lookup, nor a syllable graph of its own at every key.
    bool mayBeParts(const std::string &input) const
    {
        const std::string delimiters = " '";
        if (!SyllablePath::mayFit(input, kMostParts, delimiters))
            return false;
        return !mDictionary || !mDictionary->prism() ||
               SyllablePath::fewestSyllables(input, *mDictionary->prism(), delimiters) <=
                   kMostParts;
    }

    std::unique_ptr<rime::Translator> mInner;
    std::unique_ptr<rime::Dictionary> mDictionary;
};

} // namespace

void ChaiziTranslator::registerComponent()
{
    rime::Registry::instance().Register(componentName(), new rime::Component<ShortInputOnly>);
}
