#pragma once

// Records exchanged with the engine shells. Both the tool and the shell
// libraries compile against this header, so layout changes here are ABI
// changes for the shells.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum e_dicType {
    ed_cellDict = 5,
    ed_userPhrase = 6,
};

enum e_operDicType {
    ec_rebuildCellDict = 0,
    ec_getCellDictInfo = 5,
    ec_getDefaultPhrase = 7,
    ec_getUserPhrase = 8,
    ec_addUserPhrase = 9,
    ec_deleteUserPhrase = 10,
    ec_genPhraseEditText = 14,
    ec_convertTextToDic = 15,
};

enum SHELL_TYPE {
    SHELL_PINYIN = 1,
    SHELL_WUBI = 2,
};

// One cell dictionary; only strFilePath is filled by the tool, the rest by
// the pinyin shell.
struct s_cellDicInfo {
    std::wstring strFilePath;
    std::wstring strId;
    std::wstring strName;
    std::wstring strType;
    std::wstring strExample;
    int32_t nWordsCount = 0;
    int32_t nDate = 0;
    bool bValid = false;
};

// One custom phrase; a negative position means the phrase is switched off.
struct _UserPhraseItem {
    std::wstring abbr;
    std::wstring phrase;
    int16_t position = 0;
};
typedef _UserPhraseItem UserPhraseItem;

struct s_inputOutputDicData {
    int nResult = 0;
    std::wstring inputPath;
    std::wstring outputPath;
    std::vector<std::wstring> fileList;
    std::vector<s_cellDicInfo> cellDicList;
    std::vector<_UserPhraseItem> phraseList;
    std::wstring resultText;
};

// Flat transfer blocks: fixed offsets so a shell built by another compiler
// can still read them. Sizes are checked at compile time below.
namespace flat
{

constexpr int kPathChars = 260;

struct PhraseEntry {
    wchar_t *abbr;
    wchar_t *phrase;
    int16_t position;
};

struct Request {
    wchar_t inputPath[kPathChars];
    wchar_t outputPath[kPathChars];
    wchar_t **cellPaths;
    int32_t cellCount;
    PhraseEntry *phrases;
    int32_t phraseCount;
};

struct CellEntry {
    wchar_t strFilePath[kPathChars];
    wchar_t strId[64];
    wchar_t strName[256];
    wchar_t strType[256];
    wchar_t strExample[256];
    int32_t nWordsCount;
    int32_t nDate;
    bool bValid;
};

struct Result {
    int64_t reserved;
    CellEntry *cells;
    int32_t cellCount;
    PhraseEntry *phrases;
    int32_t phraseCount;
};

static_assert(sizeof(wchar_t) == 4, "the flat blocks assume 4-byte wide characters");
static_assert(sizeof(PhraseEntry) == 24, "flat phrase entry is 24 bytes");
static_assert(sizeof(Request) == 2112, "flat request block is 2112 bytes");
static_assert(offsetof(Request, cellPaths) == 2080 && offsetof(Request, cellCount) == 2088 &&
                  offsetof(Request, phrases) == 2096 && offsetof(Request, phraseCount) == 2104,
              "flat request offsets");
static_assert(sizeof(CellEntry) == 4380 && offsetof(CellEntry, nWordsCount) == 4368 &&
                  offsetof(CellEntry, bValid) == 4376,
              "flat cell entry layout");
static_assert(offsetof(Result, cells) == 8 && offsetof(Result, cellCount) == 16 &&
                  offsetof(Result, phrases) == 24 && offsetof(Result, phraseCount) == 32,
              "flat result offsets");

} // namespace flat
