#pragma once

// Rime's script translator without Rime's sentence: the words of the
// dictionary and the ones the user taught it, in Rime's order, with Rime's
// preedit, comments and memory. kaiwo_sentence makes the sentence from the
// language model; Rime's own would look up every place of the input again
// at each key (a third of a long phrase's key) for a candidate it replaces.
// Until a model is read, and for options it does not reproduce (Rime's
// corrector, contextual weights), it is Rime's translator itself.
class WordTranslator
{
public:
    static const char *componentName() { return "kaiwo_word_translator"; }
    static void registerComponent();
};
