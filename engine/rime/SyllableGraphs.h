#pragma once

#include <memory>
#include <string>

namespace rime
{
class Prism;
struct SyllableGraph;
} // namespace rime

// The syllable graphs of the last few inputs. At each key the word
// translator, the sentence and the names read the same letters, and the
// sentence reads the letters before trailing initials, which were mostly
// the key before's input: Rime builds a graph from scratch for each of
// them, a third of a long phrase's key.
namespace SyllableGraphs
{

struct Options {
    std::string delimiters;
    bool completion = true;
    bool strictSpelling = false;
};

// Rime's graph of input through prism, built or kept.
std::shared_ptr<const rime::SyllableGraph>
of(const std::string &input, const std::shared_ptr<rime::Prism> &prism, const Options &options);

// Input that ends in initials alone keeps every initial's reading
// throughout Rime's graph, which doubles the places a sentence looks up at
// every other key for readings it hardly ever takes. The settled graph
// reads the letters before those initials as Rime reads them on their own
// (the key before's input, mostly) and the initials at the end as Rime
// does. Where letters follow sh, zh or ch, or syllables come before them,
// they are that initial only, not also two (s h): those readings were most
// of the slowest keys' lookups and go a key later (这个时候 for zhegesh).
// Initials alone (sh, zgsh) keep every reading, as abbreviations need. It
// is graph itself where nothing needs settling.
std::shared_ptr<const rime::SyllableGraph>
settled(const std::shared_ptr<const rime::SyllableGraph> &graph, const std::string &input,
        const std::shared_ptr<rime::Prism> &prism, const Options &options);

} // namespace SyllableGraphs
