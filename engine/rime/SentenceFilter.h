#pragma once

#include <memory>

class SentenceModel;

// Remakes the sentence Rime offers first for continuous pinyin: the same
// words Rime found for the typed syllables (its dictionary and what the
// user taught it, through every spelling rule of the schema), chosen by a
// word trigram model instead of word frequency alone. Rime's own sentence
// follows as the second candidate; committing ours teaches Rime as its own
// would.
class SentenceFilter
{
public:
    static const char *componentName() { return "kaiwo_sentence"; }
    static void registerComponent();
    // The model every filter uses from now on; null leaves Rime's sentence.
    static void setModel(std::shared_ptr<const SentenceModel> model);
};
