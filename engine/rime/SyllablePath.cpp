// librime's C++ headers need this before anything of theirs is included:
// Debian builds librime with Boost.Signals2.
#define RIME_BOOST_SIGNALS2
#include "SyllablePath.h"

#include <rime/algo/syllabifier.h>
#include <rime/dict/prism.h>
#include <rime/dict/vocabulary.h>

#include <limits>
#include <string>

namespace SyllablePath
{
namespace
{
const size_t kLongestSyllable = 6; // zhuang
}

bool places(const rime::SyllableGraph &graph, const rime::Code &code, size_t position, size_t end,
            std::vector<size_t> &places)
{
    const size_t depth = places.size();
    if (depth == code.size())
        return position == end;
    const auto from = graph.edges.find(position);
    if (from == graph.edges.end())
        return false;
    for (auto to = from->second.rbegin(); to != from->second.rend(); ++to) {
        if (to->first > end || !to->second.count(code[depth]))
            continue;
        places.push_back(to->first);
        if (SyllablePath::places(graph, code, to->first, end, places))
            return true;
        places.pop_back();
    }
    return false;
}

std::string letters(const std::string &input, size_t position, const std::vector<size_t> &places,
                    const std::string &delimiters)
{
    std::string text;
    for (const size_t place : places) {
        if (!text.empty() && !delimiters.empty() &&
            delimiters.find(text.back()) == std::string::npos)
            text += delimiters.front();
        text += input.substr(position, place - position);
        position = place;
    }
    return text;
}

bool mayFit(const std::string &input, size_t syllables, const std::string &delimiters)
{
    size_t letters = 0;
    for (const char c : input)
        letters += delimiters.find(c) == std::string::npos;
    return letters <= syllables * kLongestSyllable;
}

size_t fewestSyllables(const std::string &input, rime::Prism &prism, const std::string &delimiters)
{
    // Debian's librime and its darts header disagree on the type of
    // Prism::CommonPrefixSearch's matches: each length is asked alone.
    const size_t none = std::numeric_limits<size_t>::max();
    std::vector<size_t> fewest(input.size() + 1, none);
    fewest[0] = 0;
    for (size_t position = 0; position < input.size(); ++position) {
        if (fewest[position] == none)
            continue;
        for (size_t length = 1; length <= kLongestSyllable && position + length <= input.size();
             ++length) {
            if (!prism.HasKey(input.substr(position, length)))
                continue;
            size_t end = position + length;
            while (end < input.size() && delimiters.find(input[end]) != std::string::npos)
                ++end;
            fewest[end] = std::min(fewest[end], fewest[position] + 1);
        }
    }
    return fewest[input.size()];
}

} // namespace SyllablePath
