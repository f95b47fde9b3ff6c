#pragma once

#include "DicOperationTypes.h"

// The engine shells' entry points. The order of the virtual operations is
// the shells' ABI and must not change.
class ShellWrapperInterface
{
public:
    virtual bool Init(const wchar_t *version, const wchar_t *userDir, const wchar_t *systemDir,
                      const wchar_t *userDirNoSlash) = 0;
    virtual bool DicOperation(e_dicType type, e_operDicType operation,
                              s_inputOutputDicData &data) = 0;
    virtual bool DicOperationFlat(e_dicType type, e_operDicType operation,
                                  const flat::Request *request, flat::Result **result) = 0;
    virtual void FreeDicResult(flat::Result **result) = 0;

protected:
    ~ShellWrapperInterface() = default;
};

extern "C" {
ShellWrapperInterface *GetKaiwoShellWrapper();
ShellWrapperInterface *GetWbKaiwoShellWrapper();
}
