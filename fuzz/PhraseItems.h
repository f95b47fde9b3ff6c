#pragma once

#include "DicOperationTypes.h"

#include <vector>

namespace fuzz
{

inline bool samePhrases(const std::vector<UserPhraseItem> &a, const std::vector<UserPhraseItem> &b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].abbr != b[i].abbr || a[i].phrase != b[i].phrase || a[i].position != b[i].position)
            return false;
    }
    return true;
}

} // namespace fuzz
