#pragma once

#include <string>
#include <unordered_map>

// Surnames and the characters given names are made of, each with its
// pinyin and how likely it is: the data root's Rime/kaiwo_names.txt, for
// MakeName.
class NameModel
{
public:
    struct Part {
        std::string text;
        double logShare; // of all surnames, or of all given-name characters
    };

    static const char *fileName() { return "kaiwo_names.txt"; }
    // False for bytes that are not such a list, hold a damaged line, or
    // lack surnames or given-name characters.
    static bool parse(const std::string &bytes, NameModel *model);

    // The likeliest surname read so ("wang", "ou yang"); null when none is.
    const Part *surname(const std::string &pinyin) const { return find(mSurnames, pinyin); }
    // The likeliest given-name character of one syllable; null when none is.
    const Part *givenCharacter(const std::string &syllable) const { return find(mGiven, syllable); }

private:
    using Parts = std::unordered_map<std::string, Part>;
    static const Part *find(const Parts &parts, const std::string &pinyin);

    Parts mSurnames;
    Parts mGiven;
};
