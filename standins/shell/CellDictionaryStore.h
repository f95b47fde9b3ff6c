#pragma once

#include "DicOperationTypes.h"

#include <string>

// The shell's cell dictionaries: reading .kcel files and rebuilding the engine's cell data.
class CellDictionaryStore
{
public:
    // The rebuilt cell data in the shell's user directory: a first line
    // "# kaiwo cell data 1", then one line "word<TAB>pinyin<TAB>id" per entry
    // of every usable listed dictionary, in list order.
    static const char *dataFileName() { return "kaiwo_cells.txt"; }

    // Paths are UTF-8; userDir ends in "/" for the pinyin shell.
    CellDictionaryStore(SHELL_TYPE shell, const std::string &userDir, const std::string &systemDir);

    // One dictionary operation on the record, as the tool hands it over.
    bool operate(e_operDicType operation, s_inputOutputDicData &data);

    std::string dataFilePath() const;

private:
    bool fillInfo(s_inputOutputDicData &data);
    bool rebuild(s_inputOutputDicData &data);

    SHELL_TYPE mShell;
    std::string mUserDir;
    std::string mSystemDir;
};
