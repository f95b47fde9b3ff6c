#include "Simplifier.h"

namespace
{

const auto kNoOpencc = reinterpret_cast<opencc_t>(-1);
const size_t kMostRemembered = 200000;

} // namespace

Simplifier::Simplifier() : mOpencc(opencc_open("t2s.json")) {}

Simplifier::~Simplifier()
{
    if (mOpencc != kNoOpencc)
        opencc_close(mOpencc);
}

const std::string &Simplifier::operator()(const std::string &text)
{
    auto found = mCache.find(text);
    if (found != mCache.end())
        return found->second;
    std::string simplified = text;
    if (mOpencc != kNoOpencc) {
        if (char *converted = opencc_convert_utf8(mOpencc, text.c_str(), text.size())) {
            simplified = converted;
            opencc_convert_utf8_free(converted);
        }
    }
    if (mCache.size() > kMostRemembered)
        mCache.clear();
    return mCache.emplace(text, std::move(simplified)).first->second;
}
