#pragma once

#include <opencc/opencc.h>

#include <string>
#include <unordered_map>

// Rime's words are in traditional characters, what the user sees and the
// language model's in simplified: OpenCC's t2s, remembered. Without
// OpenCC's data a text stays as it is.
class Simplifier
{
public:
    Simplifier();
    ~Simplifier();
    Simplifier(const Simplifier &) = delete;
    Simplifier &operator=(const Simplifier &) = delete;

    const std::string &operator()(const std::string &text);

private:
    opencc_t mOpencc;
    std::unordered_map<std::string, std::string> mCache;
};
