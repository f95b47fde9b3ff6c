#pragma once

#include <cstdint>
#include <map>
#include <string>

// The MD5 digests of the files of one directory, each remembered with the
// file's size, inode and change times so that it is computed once per change
// of the file. Plain C++: the tool and the engine shells share it. It lives
// in the hidden file ".kcdmd5" of that directory:
//
//   "# kaiwo digests 1"
//   md5 <TAB> size <TAB> inode <TAB> mtime ns <TAB> ctime ns <TAB> file name
//   ... one such line per file
//
// A file with another first line or any malformed line is ignored whole,
// and a line whose stamp no longer matches its file is never used.
class DigestCache
{
public:
    static const char *fileName() { return ".kcdmd5"; }

    // Reads the cache of directory (UTF-8 path, without a trailing "/").
    explicit DigestCache(const std::string &directory);

    // The digest on record for the file name as it is now; empty when none.
    std::string known(const std::string &name) const;
    // known(), or else computed from the file and remembered; empty when the
    // file cannot be read.
    std::string digest(const std::string &name);
    // The cache as saved: only files asked about since it was read.
    std::string serialize() const;
    // Whether serialize() differs from the file as it was read.
    bool changed() const { return serialize() != mLoaded; }
    std::string path() const { return mDirectory + '/' + fileName(); }

private:
    struct Stamp {
        uint64_t size = 0;
        uint64_t inode = 0;
        int64_t mtimeNs = 0;
        int64_t ctimeNs = 0;
        bool operator==(const Stamp &other) const;
    };
    struct Entry {
        std::string md5;
        Stamp stamp;
    };

    // False for anything but a regular file.
    bool stampOf(const std::string &name, Stamp &stamp) const;
    bool parse(const std::string &text);

    std::string mDirectory;
    std::string mLoaded;
    std::map<std::string, Entry> mRead;
    std::map<std::string, Entry> mAsked;
};
