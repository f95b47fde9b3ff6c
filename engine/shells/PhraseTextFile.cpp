#include "PhraseTextFile.h"

#include "PhraseCodec.h"
#include "WideText.h"

namespace
{

const char kHeader[] = "# Custom phrases, one a line: abbreviation,position=phrase\n"
                       "# A negative position switches a phrase off; in a phrase \\n is a line "
                       "feed and \\\\ a backslash.\n";

// Invalid code units become NUL, which no phrase may hold, so the line
// holding them is skipped.
std::wstring decodeUtf16(const std::string &bytes, bool bigEndian)
{
    std::wstring out;
    out.reserve(bytes.size() / 2);
    const auto unit = [&](std::size_t at) {
        const unsigned a = static_cast<unsigned char>(bytes[at]);
        const unsigned b = static_cast<unsigned char>(bytes[at + 1]);
        return bigEndian ? (a << 8 | b) : (b << 8 | a);
    };
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const unsigned u = unit(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 3 < bytes.size()) {
            const unsigned low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                out.push_back(
                    static_cast<wchar_t>(0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00)));
                i += 2;
                continue;
            }
        }
        out.push_back(u >= 0xD800 && u <= 0xDFFF ? L'\0' : static_cast<wchar_t>(u));
    }
    return out;
}

bool parsePosition(const std::wstring &text, int16_t &position)
{
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == L'-';
    if (negative || (!text.empty() && text[0] == L'+'))
        i = 1;
    if (text.size() != i + 1 || text[i] < L'1' || text[i] > L'9')
        return false;
    position = static_cast<int16_t>(text[i] - L'0');
    if (negative)
        position = static_cast<int16_t>(-position);
    return true;
}

} // namespace

bool PhraseTextFile::parseLine(const std::wstring &rawLine, UserPhraseItem &item)
{
    std::wstring line = rawLine;
    if (!line.empty() && line.back() == L'\r')
        line.pop_back();
    const std::size_t comma = line.find(L',');
    const std::size_t equals = line.find(L'=', comma == std::wstring::npos ? 0 : comma);
    if (comma == std::wstring::npos || equals == std::wstring::npos)
        return false;
    item.abbr = line.substr(0, comma);
    if (!parsePosition(line.substr(comma + 1, equals - comma - 1), item.position))
        return false;
    item.phrase.clear();
    for (std::size_t i = equals + 1; i < line.size(); ++i) {
        if (line[i] == L'\\' && i + 1 < line.size() &&
            (line[i + 1] == L'n' || line[i + 1] == L'\\')) {
            item.phrase.push_back(line[i + 1] == L'n' ? L'\n' : L'\\');
            ++i;
        } else if (line[i] != L'\r') {
            // The writer drops carriage returns, so reading drops them too:
            // a phrase reads the same before and after a round trip.
            item.phrase.push_back(line[i]);
        }
    }
    return phrasecodec::isValid(item);
}

PhraseBinaryFile::Status PhraseTextFile::decode(const std::string &bytes,
                                                std::vector<UserPhraseItem> &phrases)
{
    phrases.clear();
    std::vector<std::wstring> lines;
    const auto startsWith = [&](const char *bom, std::size_t n) {
        return bytes.size() >= n && bytes.compare(0, n, bom, n) == 0;
    };
    if (startsWith("\xFF\xFE", 2) || startsWith("\xFE\xFF", 2)) {
        const std::wstring text = decodeUtf16(bytes, bytes[0] == '\xFE');
        std::size_t start = 0;
        while (start <= text.size()) {
            std::size_t end = text.find(L'\n', start);
            if (end == std::wstring::npos)
                end = text.size();
            lines.push_back(text.substr(start, end - start));
            start = end + 1;
        }
    } else {
        const std::size_t skip = startsWith("\xEF\xBB\xBF", 3) ? 3 : 0;
        std::size_t start = skip;
        while (start <= bytes.size()) {
            std::size_t end = bytes.find('\n', start);
            if (end == std::string::npos)
                end = bytes.size();
            std::wstring line;
            // A line that is not UTF-8 is kept as an invalid one (NUL).
            if (!phrasecodec::utf8ToWide(bytes.data() + start, end - start, line))
                line = std::wstring(1, L'\0');
            lines.push_back(std::move(line));
            start = end + 1;
        }
    }
    PhraseBinaryFile::Status status = PhraseBinaryFile::Ok;
    for (const std::wstring &line : lines) {
        if (line.empty() || line == L"\r" || line[0] == L'#')
            continue;
        UserPhraseItem item;
        if (phrases.size() < phrasecodec::kMaxPhrases && parseLine(line, item))
            phrases.push_back(std::move(item));
        else
            status = PhraseBinaryFile::Damaged;
    }
    return status;
}

std::string PhraseTextFile::encode(const std::vector<UserPhraseItem> &phrases)
{
    std::string text = kHeader;
    for (const UserPhraseItem &item : phrases) {
        if (!phrasecodec::isValid(item))
            continue;
        std::wstring escaped;
        for (wchar_t c : item.phrase) {
            if (c == L'\n')
                escaped += L"\\n";
            else if (c == L'\\')
                escaped += L"\\\\";
            else if (c != L'\r')
                escaped.push_back(c);
        }
        std::string abbr, phrase;
        // A phrase of carriage returns alone would be written as a line no
        // reader takes.
        if (escaped.empty() || !wideToUtf8(item.abbr.c_str(), abbr) ||
            !wideToUtf8(escaped.c_str(), phrase))
            continue;
        text += abbr + ',' + std::to_string(item.position) + '=' + phrase + '\n';
    }
    return text;
}

PhraseBinaryFile::Status PhraseTextFile::read(const std::string &path,
                                              std::vector<UserPhraseItem> &phrases)
{
    phrases.clear();
    std::string bytes;
    bool missing = false;
    if (!readWholeFile(path, bytes, missing))
        return missing ? PhraseBinaryFile::Missing : PhraseBinaryFile::Refused;
    return decode(bytes, phrases);
}

bool PhraseTextFile::write(const std::string &path, const std::vector<UserPhraseItem> &phrases)
{
    return writeFileAtomically(path, encode(phrases));
}
