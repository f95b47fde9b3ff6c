#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The engine shells' cell dictionary file (".kcel"), version 1. All
// numbers little-endian, strings UTF-8:
//
//   "KCEL"            4 bytes, identifier of the format
//   version           uint16, 1
//   reserved          uint16, 0
//   date              int64, seconds since 1970-01-01 UTC, 0 .. INT32_MAX
//   entry count       uint32
//   id, name, category, examples   four strings
//   entries           entry count times: word, pinyin (pinyin may be empty)
//   end of file       nothing may follow the last entry
//
// A string is a uint32 byte length n, then n bytes of UTF-8 without NUL,
// then one NUL byte. The examples are words separated by single spaces.
class KcelFile
{
public:
    static constexpr uint16_t kVersion = 1;
    // Bounds that keep a lying header from making the reader allocate.
    static constexpr uint32_t kMaxStringBytes = 4096;
    static constexpr uint64_t kMaxFileBytes = 256u * 1024 * 1024;
    // The most bytes the header can take: fixed fields and four strings.
    static constexpr uint64_t kMaxHeaderBytes = 20 + 4 * (4 + kMaxStringBytes + 1);

    struct Entry {
        std::string word;
        std::string pinyin;
    };

    std::string id;
    std::string name;
    std::string category;
    std::string examples;
    int64_t date = 0;
    std::vector<Entry> entries;

    // Reads and checks a whole file; false (and this object unspecified)
    // for anything that is not a valid version-1 file.
    bool read(const std::string &path);
    // Parses bytes already in memory, with the same checks as read().
    bool parse(const std::string &bytes);
    // Reads the header up to the examples and leaves the entries empty; the
    // rest of the file is only checked for a size its entry count allows,
    // so a damaged entry passes here and fails read().
    bool readHeader(const std::string &path, uint32_t &entryCount);
    // The file's bytes; false when a field breaks the format's limits.
    bool serialize(std::string &bytes) const;
    // Writes through a temporary file and a rename.
    bool write(const std::string &path) const;
};
