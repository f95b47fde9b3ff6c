#pragma once

#include "DicOperationTypes.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>

class DigestCache;

// The shell's cell dictionaries: reading .kcel files and rebuilding the engine's cell data.
class CellDictionaryStore
{
public:
    // The rebuilt cell data in the shell's user directory: a first line
    // "# kaiwo cell data 2", then the MD5 of every usable listed dictionary's
    // file (32 lower-case hex digits), one a line, in list order.
    static const char *dataFileName() { return "kaiwo_cells.txt"; }
    // The words of each are in piecesDirName()/<md5>.txt: a first line
    // "# kaiwo cell words 1<TAB>entries<TAB>bytes after this line<TAB>path
    // read", then one line "word<TAB>pinyin<TAB>id" per entry. Version 1 of
    // the data file held these lines itself, every dictionary's in list
    // order. A file's digest is taken from the tool's digest cache in its
    // folder (DigestCache.h) while that vouches for the file as it is, else
    // from its bytes. A rebuild reads only the files whose digest has no
    // piece yet, writes the data file last and then drops pieces no
    // installed file needs, so a rebuild cut short leaves the previous data
    // whole.
    static const char *piecesDirName() { return "kaiwo_cells"; }
    static const char *dataHeader() { return "# kaiwo cell data 2"; }
    static const char *pieceHeader() { return "# kaiwo cell words 1"; }
    static const char *pieceSuffix() { return ".txt"; }

    // Paths are UTF-8; userDir ends in "/" for the pinyin shell.
    CellDictionaryStore(SHELL_TYPE shell, const std::string &userDir, const std::string &systemDir);

    // One dictionary operation on the record, as the tool hands it over.
    bool operate(e_operDicType operation, s_inputOutputDicData &data);

    std::string dataFilePath() const;

private:
    enum class PieceResult { Ready, Unusable, WriteFailed };
    using Digests = std::map<std::string, DigestCache>;

    // With inputPath set, the files are the installed ones being listed:
    // adding checked them in full, so only their headers are read.
    bool fillInfo(s_inputOutputDicData &data);
    bool rebuild(s_inputOutputDicData &data);
    PieceResult preparePiece(const std::wstring &path, Digests &digests, std::string &md5,
                             int64_t &words) const;
    void removeUnneededPieces(const std::set<std::string> &used, Digests &digests) const;
    std::string piecesDir() const;
    std::string piecePath(const std::string &md5) const;

    SHELL_TYPE mShell;
    std::string mUserDir;
    std::string mSystemDir;
};
