#pragma once

// Leaves out the sentences Rime's script translator makes of the character
// parts' dictionary (SplitZi) whatever its options say: a row of rare
// characters that happen to be read like the input is nobody's sentence.
// So are the characters whose parts end before the input does.
class ChaiziFilter
{
public:
    static const char *componentName() { return "kaiwo_chaizi_filter"; }
    static void registerComponent();
};
