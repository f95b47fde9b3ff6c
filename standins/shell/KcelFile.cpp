#include "KcelFile.h"
#include "PhraseBinaryFile.h"

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

} // namespace

bool KcelFile::parse(const std::string &bytes)
{
    entries.clear();
    if (bytes.size() < 4 || std::memcmp(bytes.data(), kMagic, 4) != 0)
        return false;
    Reader in(bytes);
    uint64_t skip, version, reserved, rawDate, count;
    if (!in.number(skip, 4) || !in.number(version, 2) || version != kVersion ||
        !in.number(reserved, 2) || reserved != 0 || !in.number(rawDate, 8) || !in.number(count, 4))
        return false;
    date = static_cast<int64_t>(rawDate);
    if (date < 0 || date > std::numeric_limits<int32_t>::max())
        return false;
    if (!in.text(id) || id.empty() || !in.text(name) || !in.text(category) || !in.text(examples))
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

bool KcelFile::read(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    if (size < 0 || static_cast<uint64_t>(size) > kMaxFileBytes)
        return false;
    file.seekg(0);
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
