#pragma once

#include "DicOperationTypes.h"

#include <string>

// The shell's custom phrases: the compiled phrase file, its editable text form and the built-in
// phrases.
class PhraseStore
{
public:
    // Paths are UTF-8; userDir ends in "/" for the pinyin shell.
    PhraseStore(SHELL_TYPE shell, const std::string &userDir, const std::string &systemDir);

    // One dictionary operation on the record, as the tool hands it over.
    bool operate(e_operDicType operation, s_inputOutputDicData &data);

private:
    SHELL_TYPE mShell;
    std::string mUserDir;
    std::string mSystemDir;
};
