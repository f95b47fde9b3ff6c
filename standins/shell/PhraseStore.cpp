#include "PhraseStore.h"

PhraseStore::PhraseStore(SHELL_TYPE shell, const std::string &userDir, const std::string &systemDir)
    : mShell(shell), mUserDir(userDir), mSystemDir(systemDir)
{
}

bool PhraseStore::operate(e_operDicType, s_inputOutputDicData &)
{
    return false;
}
