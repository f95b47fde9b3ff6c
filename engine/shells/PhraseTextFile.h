#pragma once

#include "PhraseBinaryFile.h"

#include <string>
#include <vector>

// The editable phrase file phrase/PhraseEdit.txt, one phrase a line:
//   abbreviation,position=phrase
// A negative position switches the phrase off. In the phrase "\n" stands
// for a line feed and "\\" for a backslash; carriage returns are no part of
// a phrase, neither written nor read. Lines starting with "#" are
// comments. Read as UTF-8 or ASCII, or UTF-16 with a byte-order mark;
// written as UTF-8.
class PhraseTextFile
{
public:
    // Damaged when lines were skipped; the good lines are kept.
    static PhraseBinaryFile::Status read(const std::string &path,
                                         std::vector<UserPhraseItem> &phrases);
    static bool write(const std::string &path, const std::vector<UserPhraseItem> &phrases);

    static PhraseBinaryFile::Status decode(const std::string &bytes,
                                           std::vector<UserPhraseItem> &phrases);
    static std::string encode(const std::vector<UserPhraseItem> &phrases);

    // One line without its line end; false when it is no phrase.
    static bool parseLine(const std::wstring &line, UserPhraseItem &item);
};
