#pragma once

#include <memory>

class PhraseBook;

// Puts the custom phrases of the typed abbreviation among Rime's candidates
// at the positions the user chose. A C++ component of a Rime module of our
// own ("kaiwo"), so the phrases page and select like any candidate.
class PhraseFilter
{
public:
    // The module to name in Rime's traits; registered with Rime on first use.
    static const char *moduleName();
    static void registerModule();
    // The filter's name in a schema's engine/filters.
    static const char *componentName() { return "kaiwo_phrase_filter"; }
    // The phrases every filter offers from now on; null offers none.
    static void setBook(std::shared_ptr<const PhraseBook> book);
};
