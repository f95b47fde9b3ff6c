#pragma once

#include "DicOperationTypes.h"

#include <string>
#include <vector>

// The compiled phrase file kwim_phrases.bin: a 16-byte header ("KWPHRASE",
// version, entry count) followed by the entries, all little-endian. Each
// entry: position (int16), abbreviation length (uint8), a zero byte, phrase
// length in bytes (uint16), the ASCII abbreviation, the UTF-8 phrase.
class PhraseBinaryFile
{
public:
    enum Status {
        Ok,
        Missing, // no file: an empty phrase set
        Damaged, // truncated or with bad entries; the good entries are kept
        Refused, // not our format or version: nothing read
    };

    static constexpr unsigned kVersion = 1;

    static Status read(const std::string &path, std::vector<UserPhraseItem> &phrases);
    // Invalid items are left out. Written to a temporary file and renamed,
    // so a reader never sees half a file.
    static bool write(const std::string &path, const std::vector<UserPhraseItem> &phrases);

    static Status decode(const std::string &bytes, std::vector<UserPhraseItem> &phrases);
    static std::string encode(const std::vector<UserPhraseItem> &phrases);
};

// Reads a whole file, refusing ones larger than limit bytes.
bool readWholeFile(const std::string &path, std::string &bytes, bool &missing,
                   std::size_t limit = 64u << 20);
// Replaces the file atomically (temporary file in the same folder, rename).
bool writeFileAtomically(const std::string &path, const std::string &bytes);
