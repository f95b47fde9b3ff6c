#include "CellDictionaryStore.h"
#include "PhraseBinaryFile.h"

#include "KcelFile.h"
#include "WideText.h"

#include <cstdio>
#include <fstream>

namespace
{

// Strict UTF-8 decoding: a file whose texts are not UTF-8 is no dictionary.
bool utf8ToWide(const std::string &text, std::wstring &out)
{
    out.clear();
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int extra = lead < 0x80           ? 0
                    : (lead >> 5) == 0x6  ? 1
                    : (lead >> 4) == 0xE  ? 2
                    : (lead >> 3) == 0x1E ? 3
                                          : -1;
        if (extra < 0 || i + extra >= text.size())
            return false;
        unsigned long c = extra == 0 ? lead : lead & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            c = (c << 6) | (next & 0x3F);
        }
        static const unsigned long kMin[] = {0, 0x80, 0x800, 0x10000};
        if (c < kMin[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return false;
        out += static_cast<wchar_t>(c);
        i += extra + 1;
    }
    return true;
}

bool readDictionary(const std::wstring &path, KcelFile &file)
{
    std::string utf8;
    return wideToUtf8(path.c_str(), utf8) && !utf8.empty() && file.read(utf8);
}

} // namespace

CellDictionaryStore::CellDictionaryStore(SHELL_TYPE shell, const std::string &userDir,
                                         const std::string &systemDir)
    : mShell(shell), mUserDir(userDir), mSystemDir(systemDir)
{
}

bool CellDictionaryStore::operate(e_operDicType operation, s_inputOutputDicData &data)
{
    switch (operation) {
    case ec_getCellDictInfo:
        return fillInfo(data);
    case ec_rebuildCellDict:
        return rebuild(data);
    default:
        return false;
    }
}

std::string CellDictionaryStore::dataFilePath() const
{
    const bool slash = !mUserDir.empty() && mUserDir.back() == '/';
    return mUserDir + (slash ? "" : "/") + dataFileName();
}

bool CellDictionaryStore::fillInfo(s_inputOutputDicData &data)
{
    // Nothing to inspect is a malformed request, not an empty answer.
    if (data.cellDicList.empty())
        return false;
    int valid = 0;
    for (s_cellDicInfo &cell : data.cellDicList) {
        s_cellDicInfo info;
        info.strFilePath = cell.strFilePath;
        KcelFile file;
        if (readDictionary(cell.strFilePath, file) && utf8ToWide(file.id, info.strId) &&
            utf8ToWide(file.name, info.strName) && utf8ToWide(file.category, info.strType) &&
            utf8ToWide(file.examples, info.strExample)) {
            info.nWordsCount = static_cast<int32_t>(file.entries.size());
            info.nDate = static_cast<int32_t>(file.date);
            info.bValid = true;
            ++valid;
        } else {
            info = s_cellDicInfo();
            info.strFilePath = cell.strFilePath;
        }
        cell = info;
    }
    data.nResult = valid;
    return true;
}

bool CellDictionaryStore::rebuild(s_inputOutputDicData &data)
{
    // The tool always names the directory it works in; a request without it
    // is not one the tool made.
    if (data.inputPath.empty())
        return false;
    std::string out = "# kaiwo cell data 1\n";
    int words = 0;
    data.resultText.clear();
    for (const s_cellDicInfo &cell : data.cellDicList) {
        KcelFile file;
        if (!readDictionary(cell.strFilePath, file)) {
            data.resultText += L"skipped " + cell.strFilePath + L"\n";
            continue;
        }
        for (const KcelFile::Entry &entry : file.entries) {
            // Tabs and line feeds would break the line format of the data file.
            if (entry.word.find_first_of("\t\n") != std::string::npos ||
                entry.pinyin.find_first_of("\t\n") != std::string::npos)
                continue;
            out += entry.word + '\t' + entry.pinyin + '\t' + file.id + '\n';
            ++words;
        }
    }
    data.nResult = words;
    return writeFileAtomically(dataFilePath(), out);
}
