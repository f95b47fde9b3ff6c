#include "PhraseBinaryFile.h"

#include "PhraseCodec.h"
#include "WideText.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

const char kMagic[8] = {'K', 'W', 'P', 'H', 'R', 'A', 'S', 'E'};
constexpr std::size_t kHeaderSize = 16;
constexpr std::size_t kEntryHeadSize = 6;

unsigned get16(const std::string &b, std::size_t at)
{
    return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8;
}

uint32_t get32(const std::string &b, std::size_t at)
{
    return get16(b, at) | static_cast<uint32_t>(get16(b, at + 2)) << 16;
}

void put16(std::string &b, unsigned value)
{
    b.push_back(static_cast<char>(value & 0xFF));
    b.push_back(static_cast<char>((value >> 8) & 0xFF));
}

} // namespace

PhraseBinaryFile::Status PhraseBinaryFile::decode(const std::string &bytes,
                                                  std::vector<UserPhraseItem> &phrases)
{
    phrases.clear();
    if (bytes.size() < kHeaderSize || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0 ||
        get16(bytes, 8) != kVersion)
        return Refused;
    const uint32_t count = get32(bytes, 12);
    if (count > phrasecodec::kMaxPhrases)
        return Refused;
    Status status = Ok;
    std::size_t at = kHeaderSize;
    for (uint32_t i = 0; i < count; ++i) {
        if (bytes.size() - at < kEntryHeadSize)
            return Damaged;
        UserPhraseItem item;
        item.position = static_cast<int16_t>(get16(bytes, at));
        const std::size_t abbrSize = static_cast<unsigned char>(bytes[at + 2]);
        const std::size_t phraseSize = get16(bytes, at + 4);
        at += kEntryHeadSize;
        if (bytes.size() - at < abbrSize + phraseSize)
            return Damaged;
        const bool decoded =
            phrasecodec::utf8ToWide(bytes.data() + at, abbrSize, item.abbr) &&
            phrasecodec::utf8ToWide(bytes.data() + at + abbrSize, phraseSize, item.phrase);
        at += abbrSize + phraseSize;
        if (decoded && phrasecodec::isValid(item))
            phrases.push_back(std::move(item));
        else
            status = Damaged;
    }
    return at == bytes.size() ? status : Damaged;
}

std::string PhraseBinaryFile::encode(const std::vector<UserPhraseItem> &phrases)
{
    std::string body;
    uint32_t count = 0;
    for (const UserPhraseItem &item : phrases) {
        std::string abbr, phrase;
        if (count >= phrasecodec::kMaxPhrases || !phrasecodec::isValid(item) ||
            !wideToUtf8(item.abbr.c_str(), abbr) || !wideToUtf8(item.phrase.c_str(), phrase))
            continue;
        put16(body, static_cast<uint16_t>(item.position));
        body.push_back(static_cast<char>(abbr.size()));
        body.push_back('\0');
        put16(body, static_cast<unsigned>(phrase.size()));
        body += abbr;
        body += phrase;
        ++count;
    }
    std::string bytes(kMagic, sizeof kMagic);
    put16(bytes, kVersion);
    put16(bytes, 0);
    put16(bytes, count & 0xFFFF);
    put16(bytes, count >> 16);
    return bytes + body;
}

PhraseBinaryFile::Status PhraseBinaryFile::read(const std::string &path,
                                                std::vector<UserPhraseItem> &phrases)
{
    phrases.clear();
    std::string bytes;
    bool missing = false;
    if (!readWholeFile(path, bytes, missing))
        return missing ? Missing : Refused;
    return decode(bytes, phrases);
}

bool PhraseBinaryFile::write(const std::string &path, const std::vector<UserPhraseItem> &phrases)
{
    return writeFileAtomically(path, encode(phrases));
}

bool readWholeFile(const std::string &path, std::string &bytes, bool &missing, std::size_t limit)
{
    bytes.clear();
    FILE *file = std::fopen(path.c_str(), "rb");
    missing = !file && errno == ENOENT;
    if (!file)
        return false;
    char buffer[65536];
    std::size_t got;
    bool ok = true;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        if (bytes.size() + got > limit) {
            ok = false;
            break;
        }
        bytes.append(buffer, got);
    }
    ok = ok && !std::ferror(file);
    std::fclose(file);
    return ok;
}

bool writeFileAtomically(const std::string &path, const std::string &bytes)
{
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(&temp[0]);
    if (fd < 0)
        return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    const bool written = done == bytes.size() && ::fsync(fd) == 0;
    ::fchmod(fd, 0644);
    if (::close(fd) != 0 || !written || std::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}
