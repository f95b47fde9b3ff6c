#include "FlatTransfer.h"

#include <algorithm>
#include <cstdlib>
#include <cwchar>

namespace
{

// Paths longer than a fixed field are cut and stay NUL-terminated; the
// shell then fails to find the file rather than reading past the field.
void copyField(wchar_t *field, size_t capacity, const std::wstring &text)
{
    const size_t length = std::min(text.size(), capacity - 1);
    std::wmemcpy(field, text.data(), length);
    field[length] = L'\0';
}

wchar_t *copyString(const std::wstring &text)
{
    auto *copy = static_cast<wchar_t *>(std::calloc(text.size() + 1, sizeof(wchar_t)));
    if (copy)
        std::wmemcpy(copy, text.data(), text.size());
    return copy;
}

std::wstring fieldText(const wchar_t *field, size_t capacity)
{
    return std::wstring(field, wcsnlen(field, capacity));
}

} // namespace

bool FlatRequest::fits(const s_inputOutputDicData &data)
{
    const auto fitsField = [](const std::wstring &path) { return path.size() < flat::kPathChars; };
    if (!fitsField(data.inputPath) || !fitsField(data.outputPath))
        return false;
    return std::all_of(data.cellDicList.begin(), data.cellDicList.end(),
                       [&](const s_cellDicInfo &cell) { return fitsField(cell.strFilePath); });
}

FlatRequest::FlatRequest(const s_inputOutputDicData &data)
    : mBlock(static_cast<flat::Request *>(std::calloc(1, sizeof(flat::Request))))
{
    if (!mBlock)
        return;
    copyField(mBlock->inputPath, flat::kPathChars, data.inputPath);
    copyField(mBlock->outputPath, flat::kPathChars, data.outputPath);

    if (!data.cellDicList.empty()) {
        const size_t count = data.cellDicList.size();
        mBlock->cellPaths = static_cast<wchar_t **>(std::calloc(count, sizeof(wchar_t *)));
        for (size_t i = 0; mBlock->cellPaths && i < count; ++i) {
            mBlock->cellPaths[i] =
                static_cast<wchar_t *>(std::calloc(flat::kPathChars, sizeof(wchar_t)));
            if (mBlock->cellPaths[i])
                copyField(mBlock->cellPaths[i], flat::kPathChars, data.cellDicList[i].strFilePath);
        }
        mBlock->cellCount = mBlock->cellPaths ? int32_t(count) : 0;
    }

    const size_t phrases = data.phraseList.size();
    if (phrases > 0)
        mBlock->phrases =
            static_cast<flat::PhraseEntry *>(std::calloc(phrases, sizeof(flat::PhraseEntry)));
    for (size_t i = 0; mBlock->phrases && i < phrases; ++i) {
        mBlock->phrases[i].abbr = copyString(data.phraseList[i].abbr);
        mBlock->phrases[i].phrase = copyString(data.phraseList[i].phrase);
        mBlock->phrases[i].position = data.phraseList[i].position;
    }
    mBlock->phraseCount = mBlock->phrases ? int32_t(phrases) : 0;
}

FlatRequest::~FlatRequest()
{
    if (!mBlock)
        return;
    for (int32_t i = 0; i < mBlock->cellCount; ++i)
        std::free(mBlock->cellPaths[i]);
    std::free(mBlock->cellPaths);
    for (int32_t i = 0; i < mBlock->phraseCount; ++i) {
        std::free(mBlock->phrases[i].abbr);
        std::free(mBlock->phrases[i].phrase);
    }
    std::free(mBlock->phrases);
    std::free(mBlock);
}

void FlatRequest::readResult(const flat::Result &result, s_inputOutputDicData &data)
{
    data.phraseList.clear();
    for (int32_t i = 0; result.phrases && i < result.phraseCount; ++i) {
        const flat::PhraseEntry &entry = result.phrases[i];
        data.phraseList.push_back(
            {entry.abbr ? entry.abbr : L"", entry.phrase ? entry.phrase : L"", entry.position});
    }
    data.cellDicList.clear();
    for (int32_t i = 0; result.cells && i < result.cellCount; ++i) {
        const flat::CellEntry &cell = result.cells[i];
        s_cellDicInfo info;
        info.strFilePath = fieldText(cell.strFilePath, flat::kPathChars);
        info.strId = fieldText(cell.strId, 64);
        info.strName = fieldText(cell.strName, 256);
        info.strType = fieldText(cell.strType, 256);
        info.strExample = fieldText(cell.strExample, 256);
        info.nWordsCount = cell.nWordsCount;
        info.nDate = cell.nDate;
        info.bValid = cell.bValid;
        data.cellDicList.push_back(info);
    }
}
