#pragma once

#include <memory>

class PhraseBook;

// Puts the custom phrases of the typed abbreviation among Rime's candidates
// at the positions the user chose. A C++ component of our Rime module, so
// the phrases page and select like any candidate.
class PhraseFilter
{
public:
    // The filter's name in a schema's engine/filters.
    static const char *componentName() { return "kaiwo_phrase_filter"; }
    static void registerComponent();
    // The phrases every filter offers from now on; null offers none.
    static void setBook(std::shared_ptr<const PhraseBook> book);
};
