#include "EngineShell.h"

#include "CellDictionaryStore.h"
#include "PhraseStore.h"
#include "WideText.h"

#include <sys/stat.h>
#include <unistd.h>

namespace
{

bool isDirectory(const std::string &path, struct stat &info)
{
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool convertNonEmpty(const wchar_t *text, std::string &out)
{
    return wideToUtf8(text, out) && !out.empty();
}

std::wstring fieldText(const wchar_t *field, size_t capacity)
{
    size_t length = 0;
    while (length < capacity && field[length])
        ++length;
    return std::wstring(field, length);
}

s_inputOutputDicData recordFromRequest(const flat::Request &request)
{
    s_inputOutputDicData data;
    data.inputPath = fieldText(request.inputPath, flat::kPathChars);
    data.outputPath = fieldText(request.outputPath, flat::kPathChars);
    for (int32_t i = 0; request.cellPaths && i < request.cellCount; ++i) {
        s_cellDicInfo cell;
        if (request.cellPaths[i])
            cell.strFilePath = fieldText(request.cellPaths[i], flat::kPathChars);
        data.cellDicList.push_back(cell);
    }
    for (int32_t i = 0; request.phrases && i < request.phraseCount; ++i) {
        const flat::PhraseEntry &entry = request.phrases[i];
        data.phraseList.push_back(
            {entry.abbr ? entry.abbr : L"", entry.phrase ? entry.phrase : L"", entry.position});
    }
    return data;
}

} // namespace

EngineShell::EngineShell(SHELL_TYPE type) : mType(type) {}

bool EngineShell::Init(const wchar_t *version, const wchar_t *userDir, const wchar_t *systemDir,
                       const wchar_t *userDirNoSlash)
{
    mInitialised = false;
    std::string versionText, user, system, userNoSlash;
    if (!convertNonEmpty(version, versionText) || !convertNonEmpty(userDir, user) ||
        !convertNonEmpty(systemDir, system) || !convertNonEmpty(userDirNoSlash, userNoSlash))
        return false;

    // The shell only reads the shipped dictionaries but keeps the user's own
    // data in the user directory; the IME service creates that directory, so
    // a missing one means the input method is not set up for this user.
    struct stat systemInfo, userInfo, userNoSlashInfo;
    if (!isDirectory(system, systemInfo) || ::access(system.c_str(), R_OK | X_OK) != 0)
        return false;
    if (!isDirectory(user, userInfo) || ::access(user.c_str(), W_OK | X_OK) != 0)
        return false;
    if (!isDirectory(userNoSlash, userNoSlashInfo) || userNoSlashInfo.st_dev != userInfo.st_dev ||
        userNoSlashInfo.st_ino != userInfo.st_ino)
        return false;

    mVersion = versionText;
    mUserDir = user;
    mSystemDir = system;
    mInitialised = true;
    return true;
}

bool EngineShell::DicOperation(e_dicType type, e_operDicType operation, s_inputOutputDicData &data)
{
    if (!mInitialised)
        return false;
    switch (type) {
    case ed_cellDict:
        return CellDictionaryStore(mType, mUserDir, mSystemDir).operate(operation, data);
    case ed_userPhrase:
        return PhraseStore(mType, mUserDir, mSystemDir).operate(operation, data);
    }
    return false;
}

bool EngineShell::DicOperationFlat(e_dicType type, e_operDicType operation,
                                   const flat::Request *request, flat::Result **result)
{
    if (!request)
        return false;
    s_inputOutputDicData data = recordFromRequest(*request);
    const bool ok = DicOperation(type, operation, data);
    // Only operations that answer with lists hand a block back; the others
    // leave the caller's lists as they were.
    const bool answersWithLists = operation == ec_getCellDictInfo ||
                                  operation == ec_getDefaultPhrase || operation == ec_getUserPhrase;
    if (ok && answersWithLists && result)
        *result = mResults.create(data.cellDicList, data.phraseList);
    return ok;
}

void EngineShell::FreeDicResult(flat::Result **result)
{
    if (!result || !*result)
        return;
    if (mResults.release(*result))
        *result = nullptr;
}
