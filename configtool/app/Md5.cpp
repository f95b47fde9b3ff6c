#include "Md5.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace
{

constexpr uint32_t kSine[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};

constexpr int kShift[64] = {7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
                            5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
                            4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
                            6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21};

uint32_t rotateLeft(uint32_t value, int bits)
{
    return (value << bits) | (value >> (32 - bits));
}

} // namespace

Md5::Md5() : mState{0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476} {}

void Md5::update(const unsigned char *data, size_t length)
{
    mBitCount += static_cast<uint64_t>(length) * 8;
    while (length > 0) {
        size_t take = std::min(length, sizeof(mBuffer) - mBuffered);
        std::memcpy(mBuffer + mBuffered, data, take);
        mBuffered += take;
        data += take;
        length -= take;
        if (mBuffered == sizeof(mBuffer)) {
            transform(mBuffer);
            mBuffered = 0;
        }
    }
}

std::string Md5::hexDigest()
{
    const uint64_t bits = mBitCount;
    static const unsigned char padding[64] = {0x80};
    size_t padLength = mBuffered < 56 ? 56 - mBuffered : 120 - mBuffered;
    update(padding, padLength);
    unsigned char lengthBytes[8];
    for (int i = 0; i < 8; ++i)
        lengthBytes[i] = static_cast<unsigned char>(bits >> (8 * i));
    update(lengthBytes, 8);

    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (uint32_t word : mState) {
        for (int i = 0; i < 4; ++i) {
            unsigned char byte = static_cast<unsigned char>(word >> (8 * i));
            text += digits[byte >> 4];
            text += digits[byte & 0x0f];
        }
    }
    return text;
}

void Md5::transform(const unsigned char block[64])
{
    uint32_t x[16];
    for (int i = 0; i < 16; ++i)
        x[i] = uint32_t(block[i * 4]) | uint32_t(block[i * 4 + 1]) << 8 |
               uint32_t(block[i * 4 + 2]) << 16 | uint32_t(block[i * 4 + 3]) << 24;
    uint32_t a = mState[0], b = mState[1], c = mState[2], d = mState[3];
    for (int i = 0; i < 64; ++i) {
        uint32_t f;
        int g;
        if (i < 16) {
            f = (b & c) | (~b & d);
            g = i;
        } else if (i < 32) {
            f = (d & b) | (~d & c);
            g = (5 * i + 1) % 16;
        } else if (i < 48) {
            f = b ^ c ^ d;
            g = (3 * i + 5) % 16;
        } else {
            f = c ^ (b | ~d);
            g = (7 * i) % 16;
        }
        uint32_t rotated = rotateLeft(a + f + kSine[i] + x[g], kShift[i]);
        a = d;
        d = c;
        c = b;
        b = b + rotated;
    }
    mState[0] += a;
    mState[1] += b;
    mState[2] += c;
    mState[3] += d;
}

std::string Md5::ofFile(const std::string &path)
{
    FILE *file = std::fopen(path.c_str(), "rb");
    if (!file)
        return std::string();
    Md5 md5;
    unsigned char block[65536];
    size_t got;
    while ((got = std::fread(block, 1, sizeof(block), file)) > 0)
        md5.update(block, got);
    const bool failed = std::ferror(file);
    std::fclose(file);
    return failed ? std::string() : md5.hexDigest();
}

std::string Md5::of(const std::string &bytes)
{
    Md5 md5;
    md5.update(reinterpret_cast<const unsigned char *>(bytes.data()), bytes.size());
    return md5.hexDigest();
}
