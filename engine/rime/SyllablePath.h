#pragma once

#include <string>
#include <vector>

namespace rime
{
class Code;
class Prism;
struct SyllableGraph;
} // namespace rime

// How a word's syllables were spelled in the typed letters, as Rime shows
// and splits its words: the longer spelling is tried first where two reach
// (xian before xi'an).
namespace SyllablePath
{

// The places after each syllable of code on its way through graph from
// position to end; false when the code does not lead there.
bool places(const rime::SyllableGraph &graph, const rime::Code &code, size_t position, size_t end,
            std::vector<size_t> &places);

// The letters of input from position to the last of places, the first of
// delimiters between syllables that the letters do not already separate.
std::string letters(const std::string &input, size_t position, const std::vector<size_t> &places,
                    const std::string &delimiters);

// Whether input could be that many syllables or fewer: a syllable has six
// letters at most (zhuang); delimiters are not counted.
bool mayFit(const std::string &input, size_t syllables, const std::string &delimiters);

// The fewest syllables of six letters at most the prism's spellings read
// the whole input in (a delimiter after a syllable is its own); SIZE_MAX
// where they cannot.
// Rime's syllable graph only drops readings, never needs fewer.
size_t fewestSyllables(const std::string &input, rime::Prism &prism, const std::string &delimiters);

} // namespace SyllablePath
