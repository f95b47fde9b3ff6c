#pragma once

#include "DicOperationTypes.h"

#include <string>

// The shell's custom phrases: the compiled phrase file, its editable text form and the built-in
// phrases. Each shell keeps its own compiled file in its own user directory.
class PhraseStore
{
public:
    // Paths are UTF-8; userDir ends in "/" for the pinyin shell.
    PhraseStore(SHELL_TYPE shell, const std::string &userDir, const std::string &systemDir);

    // One dictionary operation on the record, as the tool hands it over.
    bool operate(e_operDicType operation, s_inputOutputDicData &data);

    static const char *compiledFileName() { return "kwim_phrases.bin"; }
    // The built-in phrases, in the text format, in the shipped directory.
    static const char *defaultsFileName() { return "kwim_default_phrases.txt"; }

private:
    std::string userFile(const char *name) const;
    bool defaultPhrases(s_inputOutputDicData &data) const;
    bool userPhrases(s_inputOutputDicData &data) const;
    bool addPhrases(s_inputOutputDicData &data) const;
    bool deletePhrases(s_inputOutputDicData &data) const;
    bool exportText(s_inputOutputDicData &data) const;
    bool importText(s_inputOutputDicData &data) const;

    SHELL_TYPE mShell;
    std::string mUserDir;
    std::string mSystemDir;
};
