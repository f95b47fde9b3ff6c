#include "PhraseCodec.h"

namespace phrasecodec
{

bool isValid(const UserPhraseItem &item)
{
    if (item.abbr.empty() || item.abbr.size() > kMaxAbbr)
        return false;
    for (wchar_t c : item.abbr) {
        if (!((c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z')))
            return false;
    }
    if (item.phrase.empty() || item.phrase.size() > kMaxPhrase)
        return false;
    for (wchar_t c : item.phrase) {
        if (c == 0)
            return false;
    }
    return item.position != 0 && item.position >= -9 && item.position <= 9;
}

bool utf8ToWide(const char *data, std::size_t size, std::wstring &out)
{
    out.clear();
    const auto *bytes = reinterpret_cast<const unsigned char *>(data);
    std::size_t i = 0;
    while (i < size) {
        const unsigned char lead = bytes[i];
        std::size_t extra;
        char32_t code, minimum;
        if (lead < 0x80) {
            out.push_back(static_cast<wchar_t>(lead));
            ++i;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1, code = lead & 0x1F, minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2, code = lead & 0x0F, minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3, code = lead & 0x07, minimum = 0x10000;
        } else {
            return false;
        }
        if (size - i <= extra)
            return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            if ((bytes[i + k] & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (bytes[i + k] & 0x3F);
        }
        if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        out.push_back(static_cast<wchar_t>(code));
        i += extra + 1;
    }
    return true;
}

} // namespace phrasecodec
