#pragma once

#include "DicOperationTypes.h"

// Copies a dictionary record into the flat request block handed to
// DicOperationFlat, owns every buffer it allocates, and copies a shell's
// flat result back into a record.
class FlatRequest
{
public:
    explicit FlatRequest(const s_inputOutputDicData &data);
    ~FlatRequest();
    FlatRequest(const FlatRequest &) = delete;
    FlatRequest &operator=(const FlatRequest &) = delete;

    const flat::Request *block() const { return mBlock; }

    // True when every path fits its 260-character field with its NUL.
    static bool fits(const s_inputOutputDicData &data);

    // Replaces the record's phrase and cell lists with the result's entries.
    static void readResult(const flat::Result &result, s_inputOutputDicData &data);

private:
    flat::Request *mBlock;
};
