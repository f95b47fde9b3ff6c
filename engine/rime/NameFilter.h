#pragma once

// Offers a personal name for pinyin that reads as a surname and one or two
// given-name syllables (wangxiaoming 王晓明): after the first candidate and
// the common words the input spells whole, so 网络 stays first for wangluo.
// Committing it teaches Rime's memory as a word of its own would. Reads the
// list of surnames and given-name characters the schema names (MakeName).
class NameFilter
{
public:
    static const char *componentName() { return "kaiwo_name"; }
    static void registerComponent();
};
