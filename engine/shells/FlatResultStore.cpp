#include "FlatResultStore.h"

#include <algorithm>

namespace
{

template <std::size_t N> void copyField(wchar_t (&field)[N], const std::wstring &text)
{
    const std::size_t length = std::min(text.size(), N - 1);
    std::copy_n(text.data(), length, field);
    std::fill(field + length, field + N, L'\0');
}

} // namespace

// Everything one result block points at lives here, so releasing the block
// is a single erase.
struct FlatResultStore::Block {
    flat::Result result{};
    std::vector<flat::CellEntry> cells;
    std::vector<flat::PhraseEntry> phrases;
    std::vector<std::unique_ptr<wchar_t[]>> strings;

    wchar_t *keep(const std::wstring &text)
    {
        std::unique_ptr<wchar_t[]> copy(new wchar_t[text.size() + 1]);
        std::copy(text.begin(), text.end(), copy.get());
        copy[text.size()] = L'\0';
        strings.push_back(std::move(copy));
        return strings.back().get();
    }
};

FlatResultStore::FlatResultStore() = default;
FlatResultStore::~FlatResultStore() = default;

flat::Result *FlatResultStore::create(const std::vector<s_cellDicInfo> &cells,
                                      const std::vector<UserPhraseItem> &phrases)
{
    auto block = std::make_unique<Block>();

    block->cells.resize(cells.size());
    for (std::size_t i = 0; i < cells.size(); ++i) {
        flat::CellEntry &entry = block->cells[i];
        entry = flat::CellEntry{};
        copyField(entry.strFilePath, cells[i].strFilePath);
        copyField(entry.strId, cells[i].strId);
        copyField(entry.strName, cells[i].strName);
        copyField(entry.strType, cells[i].strType);
        copyField(entry.strExample, cells[i].strExample);
        entry.nWordsCount = cells[i].nWordsCount;
        entry.nDate = cells[i].nDate;
        entry.bValid = cells[i].bValid;
    }

    block->phrases.reserve(phrases.size());
    for (const UserPhraseItem &item : phrases)
        block->phrases.push_back({block->keep(item.abbr), block->keep(item.phrase), item.position});

    block->result.cells = block->cells.empty() ? nullptr : block->cells.data();
    block->result.cellCount = static_cast<int32_t>(block->cells.size());
    block->result.phrases = block->phrases.empty() ? nullptr : block->phrases.data();
    block->result.phraseCount = static_cast<int32_t>(block->phrases.size());

    flat::Result *result = &block->result;
    mBlocks.emplace(result, std::move(block));
    return result;
}

bool FlatResultStore::release(const flat::Result *block)
{
    return block && mBlocks.erase(block) == 1;
}
