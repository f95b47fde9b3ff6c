#include "CellDictionaryStore.h"

CellDictionaryStore::CellDictionaryStore(SHELL_TYPE shell, const std::string &userDir,
                                         const std::string &systemDir)
    : mShell(shell), mUserDir(userDir), mSystemDir(systemDir)
{
}

bool CellDictionaryStore::operate(e_operDicType, s_inputOutputDicData &)
{
    return false;
}
