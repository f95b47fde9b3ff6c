#pragma once

// The word translator over the character parts' dictionary (SplitZi),
// asked only when the input is short enough to be one character's parts.
// Rime's script translator would make a sentence of parts at every key,
// the slowest work of the whole translation, for candidates nobody is shown.
class ChaiziTranslator
{
public:
    static const char *componentName() { return "kaiwo_chaizi_translator"; }
    static void registerComponent();
};
