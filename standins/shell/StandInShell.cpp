#include "StandInShell.h"

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

} // namespace

StandInShell::StandInShell(SHELL_TYPE type) : mType(type) {}

bool StandInShell::Init(const wchar_t *version, const wchar_t *userDir, const wchar_t *systemDir,
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

bool StandInShell::DicOperation(e_dicType, e_operDicType, s_inputOutputDicData &)
{
    return false;
}

bool StandInShell::DicOperationFlat(e_dicType, e_operDicType, const flat::Request *,
                                    flat::Result **)
{
    return false;
}

void StandInShell::FreeDicResult(flat::Result **result)
{
    if (!result || !*result)
        return;
    if (mResults.release(*result))
        *result = nullptr;
}
