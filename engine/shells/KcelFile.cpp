#include "KcelFile.h"
#include "PhraseBinaryFile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>

namespace
{

const char kMagic[4] = {'K', 'C', 'E', 'L'};

class Reader
{
public:
    explicit Reader(const std::string &bytes) : mBytes(bytes) {}

    bool number(uint64_t &value, int size)
    {
        if (mBytes.size() - mPos < static_cast<size_t>(size))
            return false;
        value = 0;
        for (int i = 0; i < size; ++i)
            value |= static_cast<uint64_t>(static_cast<unsigned char>(mBytes[mPos + i])) << (8 * i);
        mPos += size;
        return true;
    }

    bool text(std::string &out)
    {
        uint64_t length = 0;
        if (!number(length, 4) || length > KcelFile::kMaxStringBytes ||
            mBytes.size() - mPos < length + 1)
            return false;
        out.assign(mBytes, mPos, length);
        mPos += length;
        // The terminator must be there and the text may not hold another.
        return mBytes[mPos++] == '\0' && out.find('\0') == std::string::npos;
    }

    size_t remaining() const { return mBytes.size() - mPos; }

private:
    const std::string &mBytes;
    size_t mPos = 0;
};

void putNumber(std::string &out, uint64_t value, int size)
{
    for (int i = 0; i < size; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

bool putText(std::string &out, const std::string &text)
{
    if (text.size() > KcelFile::kMaxStringBytes || text.find('\0') != std::string::npos)
        return false;
    putNumber(out, text.size(), 4);
    out += text;
    out += '\0';
    return true;
}

// Both strings of an entry end in a NUL after a 4-byte length, and the word
// has at least one byte.
constexpr uint64_t kMinEntryBytes = 2 * (4 + 1) + 1;
constexpr uint64_t kMaxEntryBytes = 2 * (4 + KcelFile::kMaxStringBytes + 1);

// Everything up to the entries; count is the entry count the header claims.
bool parseHeader(Reader &in, KcelFile &file, uint64_t &count)
{
    uint64_t magic, version, reserved, rawDate;
    if (!in.number(magic, 4) || !in.number(version, 2) || version != KcelFile::kVersion ||
        !in.number(reserved, 2) || reserved != 0 || !in.number(rawDate, 8) || !in.number(count, 4))
        return false;
    file.date = static_cast<int64_t>(rawDate);
    if (file.date < 0 || file.date > std::numeric_limits<int32_t>::max())
        return false;
    return in.text(file.id) && !file.id.empty() && in.text(file.name) && in.text(file.category) &&
           in.text(file.examples);
}

bool hasMagic(const std::string &bytes)
{
    return bytes.size() >= 4 && std::memcmp(bytes.data(), kMagic, 4) == 0;
}

// The size of the whole file, or -1 when it cannot be a dictionary.
std::streamoff openSized(std::ifstream &file, const std::string &path)
{
    file.open(path, std::ios::binary);
    if (!file)
        return -1;
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    file.seekg(0);
    return size >= 0 && static_cast<uint64_t>(size) <= KcelFile::kMaxFileBytes ? size : -1;
}

} // namespace

bool KcelFile::parse(const std::string &bytes)
{
    entries.clear();
    if (!hasMagic(bytes))
        return false;
    Reader in(bytes);
    uint64_t count = 0;
    if (!parseHeader(in, *this, count))
        return false;
    // Each entry takes at least ten bytes, so a larger count is a lie.
    if (count > in.remaining() / 10)
        return false;
    entries.resize(count);
    for (Entry &entry : entries) {
        if (!in.text(entry.word) || entry.word.empty() || !in.text(entry.pinyin))
            return false;
    }
    return in.remaining() == 0;
}

bool KcelFile::readHeader(const std::string &path, uint32_t &entryCount)
{
    entries.clear();
    std::ifstream file;
    const std::streamoff size = openSized(file, path);
    if (size < 0)
        return false;
    std::string bytes(static_cast<size_t>(std::min<uint64_t>(size, kMaxHeaderBytes)), '\0');
    if (!file.read(&bytes[0], static_cast<std::streamsize>(bytes.size())) || !hasMagic(bytes))
        return false;
    Reader in(bytes);
    uint64_t count = 0;
    if (!parseHeader(in, *this, count))
        return false;
    const uint64_t body = static_cast<uint64_t>(size) - (bytes.size() - in.remaining());
    if (body < count * kMinEntryBytes || body > count * kMaxEntryBytes)
        return false;
    entryCount = static_cast<uint32_t>(count);
    return true;
}

bool KcelFile::read(const std::string &path)
{
    std::ifstream file;
    const std::streamoff size = openSized(file, path);
    if (size < 0)
        return false;
    std::string bytes(static_cast<size_t>(size), '\0');
    if (!file.read(&bytes[0], size))
        return false;
    return parse(bytes);
}

bool KcelFile::serialize(std::string &bytes) const
{
    bytes.assign(kMagic, 4);
    putNumber(bytes, kVersion, 2);
    putNumber(bytes, 0, 2);
    if (id.empty() || date < 0 || date > std::numeric_limits<int32_t>::max() ||
        entries.size() > std::numeric_limits<uint32_t>::max())
        return false;
    putNumber(bytes, static_cast<uint64_t>(date), 8);
    putNumber(bytes, entries.size(), 4);
    if (!putText(bytes, id) || !putText(bytes, name) || !putText(bytes, category) ||
        !putText(bytes, examples))
        return false;
    for (const Entry &entry : entries) {
        if (entry.word.empty() || !putText(bytes, entry.word) || !putText(bytes, entry.pinyin))
            return false;
    }
    return bytes.size() <= kMaxFileBytes;
}

bool KcelFile::write(const std::string &path) const
{
    std::string bytes;
    if (!serialize(bytes))
        return false;
    return writeFileAtomically(path, bytes);
}
