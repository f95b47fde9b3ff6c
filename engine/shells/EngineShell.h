#pragma once

#include "FlatResultStore.h"
#include "ShellWrapperInterface.h"

#include <string>

// The engine shell the tool talks to through ShellWrapperInterface; one
// instance per library, told apart by its shell type.
class EngineShell final : public ShellWrapperInterface
{
public:
    explicit EngineShell(SHELL_TYPE type);
    ~EngineShell() = default;
    EngineShell(const EngineShell &) = delete;
    EngineShell &operator=(const EngineShell &) = delete;

    bool Init(const wchar_t *version, const wchar_t *userDir, const wchar_t *systemDir,
              const wchar_t *userDirNoSlash) override;
    bool DicOperation(e_dicType type, e_operDicType operation, s_inputOutputDicData &data) override;
    bool DicOperationFlat(e_dicType type, e_operDicType operation, const flat::Request *request,
                          flat::Result **result) override;
    void FreeDicResult(flat::Result **result) override;

    SHELL_TYPE type() const { return mType; }
    // True after a successful Init until the next failing one; the strings
    // are UTF-8 copies of the last successful call's arguments.
    bool isInitialised() const { return mInitialised; }
    const std::string &userDir() const { return mUserDir; }
    const std::string &systemDir() const { return mSystemDir; }
    const std::string &version() const { return mVersion; }

private:
    const SHELL_TYPE mType;
    bool mInitialised = false;
    std::string mVersion;
    std::string mUserDir;
    std::string mSystemDir;
    FlatResultStore mResults;
};
