#pragma once

#include "DicOperationTypes.h"

#include <cstddef>
#include <memory>
#include <unordered_map>
#include <vector>

// Owns the flat result blocks a shell hands out, so that FreeDicResult can
// release exactly the blocks this shell made and ignore any other pointer.
class FlatResultStore
{
public:
    FlatResultStore();
    ~FlatResultStore();
    FlatResultStore(const FlatResultStore &) = delete;
    FlatResultStore &operator=(const FlatResultStore &) = delete;

    // Builds a result block holding copies of the given entries. Strings too
    // long for a fixed field are cut to fit, always NUL-terminated.
    flat::Result *create(const std::vector<s_cellDicInfo> &cells,
                         const std::vector<UserPhraseItem> &phrases);

    // Frees a block made by create(); false (and nothing freed) for null or
    // for a pointer this store did not hand out.
    bool release(const flat::Result *block);

    std::size_t count() const { return mBlocks.size(); }

private:
    struct Block;
    std::unordered_map<const flat::Result *, std::unique_ptr<Block>> mBlocks;
};
