#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// RFC 1321 message digest, fed incrementally.
class Md5
{
public:
    Md5();
    void update(const unsigned char *data, size_t length);
    // Finishes the digest; the object is not to be fed afterwards.
    std::string hexDigest();

    // The digest of a file's bytes, or of bytes in memory; the file's is
    // empty when it cannot be read.
    static std::string ofFile(const std::string &path);
    static std::string of(const std::string &bytes);

private:
    void transform(const unsigned char block[64]);

    uint32_t mState[4];
    uint64_t mBitCount = 0;
    unsigned char mBuffer[64];
    size_t mBuffered = 0;
};
