// librime's C++ headers need this before anything of theirs is included:
// Debian builds librime with Boost.Signals2.
#define RIME_BOOST_SIGNALS2
#include "ChaiziTranslator.h"

#include <rime/component.h>
#include <rime/registry.h>
#include <rime/ticket.h>
#include <rime/translation.h>
#include <rime/translator.h>

#include <algorithm>
#include <memory>

namespace
{

// A character has at most four parts, and a syllable at most six letters
// (zhuang); the delimiters between them are not counted.
const size_t kMostLetters = 4 * 6;

class ShortInputOnly : public rime::Translator
{
public:
    explicit ShortInputOnly(const rime::Ticket &ticket) : rime::Translator(ticket)
    {
        const rime::Ticket inner(ticket.engine, "translator", "script_translator@" + name_space_);
        if (auto *component = rime::Translator::Require("script_translator"))
            mInner.reset(component->Create(inner));
    }

    rime::an<rime::Translation> Query(const std::string &input,
                                      const rime::Segment &segment) override
    {
        const auto letters =
            std::count_if(input.begin(), input.end(), [](char c) { return c != ' ' && c != '\''; });
        if (!mInner || size_t(letters) > kMostLetters)
            return nullptr;
        return mInner->Query(input, segment);
    }

private:
    std::unique_ptr<rime::Translator> mInner;
};

} // namespace

void ChaiziTranslator::registerComponent()
{
    rime::Registry::instance().Register(componentName(), new rime::Component<ShortInputOnly>);
}
