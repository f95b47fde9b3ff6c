// librime's C++ headers need this before anything of theirs is included:
// Debian builds librime with Boost.Signals2.
#define RIME_BOOST_SIGNALS2
#include "SyllableGraphs.h"

#include <rime/algo/syllabifier.h>
#include <rime/dict/prism.h>

#include <algorithm>
#include <deque>
#include <limits>
#include <set>

namespace SyllableGraphs
{
namespace
{

struct Kept {
    // Weak, so that a prism made anew (the schema deployed again) at the
    // same address is another prism.
    std::weak_ptr<rime::Prism> prism;
    std::string input;
    Options options;
    std::shared_ptr<const rime::SyllableGraph> graph;

    bool matches(const std::string &letters, const std::shared_ptr<rime::Prism> &by,
                 const Options &with) const
    {
        return input == letters && !prism.owner_before(by) && !by.owner_before(prism) &&
               options.delimiters == with.delimiters && options.completion == with.completion &&
               options.strictSpelling == with.strictSpelling;
    }
};

// A key's graphs (the input's, the letters before its trailing initials,
// its first syllable's) and the key before's.
const size_t kKept = 6;

} // namespace

std::shared_ptr<const rime::SyllableGraph>
of(const std::string &input, const std::shared_ptr<rime::Prism> &prism, const Options &options)
{
    // Rime's sessions run on one thread; a second one keeps graphs of its own.
    thread_local std::deque<Kept> kept;
    for (auto it = kept.begin(); it != kept.end(); ++it) {
        if (it->matches(input, prism, options)) {
            std::rotate(kept.begin(), it, it + 1);
            return kept.front().graph;
        }
    }
    auto graph = std::make_shared<rime::SyllableGraph>();
    if (prism)
        rime::Syllabifier(options.delimiters, options.completion, options.strictSpelling)
            .BuildSyllableGraph(input, *prism, graph.get());
    kept.push_front({prism, input, options, graph});
    if (kept.size() > kKept)
        kept.pop_back();
    return graph;
}

namespace
{

bool abbreviates(const rime::SpellingMap &spellings)
{
    return std::all_of(spellings.begin(), spellings.end(), [](const auto &spelling) {
        return spelling.second.type == rime::kAbbreviation;
    });
}

// The places after from inside an initial of two letters (sh, zh, ch)
// that ends before endsBefore, where Rime reads the letters one by one too.
std::set<size_t> insideInitials(const rime::SyllableGraph &graph, size_t from, size_t endsBefore)
{
    std::set<size_t> inside;
    for (auto start = graph.edges.lower_bound(from); start != graph.edges.end(); ++start)
        for (const auto &[end, spellings] : start->second)
            if (end > start->first + 1 && end < endsBefore && abbreviates(spellings))
                for (size_t place = start->first + 1; place < end; ++place)
                    inside.insert(place);
    return inside;
}

std::shared_ptr<const rime::SyllableGraph>
settle(const std::shared_ptr<const rime::SyllableGraph> &graph, const std::string &input,
       const std::shared_ptr<rime::Prism> &prism, const Options &options)
{
    const auto last = graph->vertices.find(graph->interpreted_length);
    if (last == graph->vertices.end() || last->second <= rime::kFuzzySpelling)
        return graph;
    size_t before = 0;
    for (const auto &[place, type] : graph->vertices)
        if (place < graph->interpreted_length && type <= rime::kFuzzySpelling)
            before = place;
    // Initials alone (zgsh, sh) are how abbreviations are typed: they keep
    // every reading, but for an initial that letters follow (zhon).
    const std::set<size_t> inside = insideInitials(
        *graph, before, before ? std::numeric_limits<size_t>::max() : graph->interpreted_length);
    if (!before && inside.empty())
        return graph;
    auto settled = std::make_shared<rime::SyllableGraph>();
    if (before) {
        *settled = *of(input.substr(0, before), prism, options);
        if (settled->interpreted_length != before)
            return graph;
    } else {
        settled->vertices.insert(*graph->vertices.begin());
    }
    for (const auto &[start, ends] : graph->edges) {
        if ((start < before && !settled->vertices.count(start)) || inside.count(start))
            continue;
        for (const auto &[end, spellings] : ends)
            if (end > before && !inside.count(end))
                settled->edges[start][end] = spellings;
    }
    for (auto vertex = graph->vertices.upper_bound(before); vertex != graph->vertices.end();
         ++vertex)
        if (!inside.count(vertex->first))
            settled->vertices.insert(*vertex);
    settled->input_length = graph->input_length;
    settled->interpreted_length = graph->interpreted_length;
    // Rime's lookups walk the spellings by syllable, longest first.
    settled->indices.clear();
    for (const auto &[start, ends] : settled->edges)
        for (auto end = ends.rbegin(); end != ends.rend(); ++end)
            for (const auto &[syllable, spelling] : end->second)
                settled->indices[start][syllable].push_back(&spelling);
    return settled;
}

} // namespace

std::shared_ptr<const rime::SyllableGraph>
settled(const std::shared_ptr<const rime::SyllableGraph> &graph, const std::string &input,
        const std::shared_ptr<rime::Prism> &prism, const Options &options)
{
    // The word translator and the sentence settle the same graph at each key.
    thread_local std::weak_ptr<const rime::SyllableGraph> lastGraph;
    thread_local std::shared_ptr<const rime::SyllableGraph> lastSettled;
    if (lastGraph.lock() != graph) {
        lastSettled = settle(graph, input, prism, options);
        lastGraph = graph;
    }
    return lastSettled;
}

} // namespace SyllableGraphs
