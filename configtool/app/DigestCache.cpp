#include "DigestCache.h"
#include "Md5.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace
{

const char kHeader[] = "# kaiwo digests 1";
// Real directories hold a few thousand dictionaries; more is not read.
constexpr long kMaxBytes = 16L * 1024 * 1024;
// A file changed this recently may change again within the same time stamp
// (file systems keep them coarser than a nanosecond), so its digest is not
// remembered until it has been left alone this long.
constexpr int64_t kSettleNs = 2'000'000'000;

int64_t nanoseconds(const struct timespec &time)
{
    return int64_t(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

bool readSmallFile(const std::string &path, std::string &bytes)
{
    FILE *file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0 &&
           long(bytes.size() + got) <= kMaxBytes)
        bytes.append(buffer, got);
    const bool ok = !std::ferror(file) && std::feof(file);
    std::fclose(file);
    return ok;
}

bool isMd5(const std::string &text)
{
    return text.size() == 32 && text.find_first_not_of("0123456789abcdef") == std::string::npos;
}

bool toNumber(const std::string &text, int64_t &value)
{
    if (text.empty() || text.size() > 19 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    value = std::strtoll(text.c_str(), nullptr, 10);
    return true;
}

} // namespace

bool DigestCache::Stamp::operator==(const Stamp &other) const
{
    return size == other.size && inode == other.inode && mtimeNs == other.mtimeNs &&
           ctimeNs == other.ctimeNs;
}

DigestCache::DigestCache(const std::string &directory) : mDirectory(directory)
{
    std::string text;
    if (readSmallFile(path(), text) && parse(text))
        mLoaded = text;
    else
        mRead.clear();
}

bool DigestCache::parse(const std::string &text)
{
    const std::string header = std::string(kHeader) + '\n';
    if (text.compare(0, header.size(), header) != 0)
        return false;
    for (size_t pos = header.size(); pos < text.size();) {
        const size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            return false;
        std::string fields[6];
        size_t start = pos;
        for (int i = 0; i < 6; ++i) {
            const size_t tab = i < 5 ? text.find('\t', start) : end;
            if (tab == std::string::npos || tab > end)
                return false;
            fields[i] = text.substr(start, tab - start);
            start = tab + 1;
        }
        Entry entry;
        int64_t size, inode;
        if (!isMd5(fields[0]) || !toNumber(fields[1], size) || !toNumber(fields[2], inode) ||
            !toNumber(fields[3], entry.stamp.mtimeNs) ||
            !toNumber(fields[4], entry.stamp.ctimeNs) || fields[5].empty() ||
            fields[5].find('/') != std::string::npos)
            return false;
        entry.md5 = fields[0];
        entry.stamp.size = uint64_t(size);
        entry.stamp.inode = uint64_t(inode);
        mRead[fields[5]] = entry;
        pos = end + 1;
    }
    return true;
}

bool DigestCache::stampOf(const std::string &name, Stamp &stamp) const
{
    struct stat info;
    if (::stat((mDirectory + '/' + name).c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    stamp.size = uint64_t(info.st_size);
    stamp.inode = uint64_t(info.st_ino);
    stamp.mtimeNs = nanoseconds(info.st_mtim);
    stamp.ctimeNs = nanoseconds(info.st_ctim);
    return true;
}

std::string DigestCache::known(const std::string &name) const
{
    const auto found = mRead.find(name);
    Stamp now;
    if (found == mRead.end() || !stampOf(name, now) || !(found->second.stamp == now))
        return std::string();
    return found->second.md5;
}

std::string DigestCache::digest(const std::string &name)
{
    Entry entry;
    if (!stampOf(name, entry.stamp))
        return std::string();
    const auto found = mRead.find(name);
    if (found != mRead.end() && found->second.stamp == entry.stamp) {
        mAsked[name] = found->second;
        return found->second.md5;
    }
    entry.md5 = Md5::ofFile(mDirectory + '/' + name);
    Stamp after;
    // Changed while it was read: the digest may be of neither version.
    if (entry.md5.empty() || !stampOf(name, after) || !(after == entry.stamp))
        return entry.md5;
    struct timespec now;
    ::clock_gettime(CLOCK_REALTIME, &now);
    const int64_t settled = nanoseconds(now) - kSettleNs;
    if (entry.stamp.mtimeNs >= 0 && entry.stamp.mtimeNs < settled &&
        entry.stamp.ctimeNs < settled && name.find_first_of("\t\n/") == std::string::npos)
        mAsked[name] = entry;
    return entry.md5;
}

std::string DigestCache::serialize() const
{
    std::string text = std::string(kHeader) + '\n';
    for (const auto &item : mAsked) {
        const Entry &entry = item.second;
        text += entry.md5 + '\t' + std::to_string(entry.stamp.size) + '\t' +
                std::to_string(entry.stamp.inode) + '\t' + std::to_string(entry.stamp.mtimeNs) +
                '\t' + std::to_string(entry.stamp.ctimeNs) + '\t' + item.first + '\n';
    }
    return text;
}
