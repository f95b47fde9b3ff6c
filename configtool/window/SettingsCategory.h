#pragma once

#include <array>

// The categories of the settings window, in column and stack order.
enum class SettingsCategory {
    General,
    Appearance,
    Thesaurus,
    Advance,
    Pinyin,
    Wubi,
    About,
};

constexpr int kSettingsCategoryCount = 7;

using CategoryFlags = std::array<bool, kSettingsCategoryCount>;

inline int categoryIndex(SettingsCategory category)
{
    return static_cast<int>(category);
}
