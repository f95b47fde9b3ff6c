#pragma once

#include <memory>

class SentenceModel;

// Makes the sentence offered first for continuous pinyin: the same words
// Rime finds for the typed syllables (its dictionary and what the user
// taught it, through every spelling rule of the schema), chosen by a word
// trigram model instead of word frequency alone. It goes before Rime's own
// sentence where a translator made one (kaiwo_word_translator makes none
// once a model is read); committing it teaches Rime as its own would.
class SentenceFilter
{
public:
    static const char *componentName() { return "kaiwo_sentence"; }
    static void registerComponent();
    // The model every filter uses from now on; null leaves Rime's sentence.
    static void setModel(std::shared_ptr<const SentenceModel> model);
    static bool hasModel();
};
