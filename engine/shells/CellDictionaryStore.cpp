#include "CellDictionaryStore.h"
#include "PhraseBinaryFile.h"

#include "DigestCache.h"
#include "KcelFile.h"
#include "Md5.h"
#include "WideText.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{

const char *const kPieceHeader = CellDictionaryStore::pieceHeader();
const char *const kPieceSuffix = CellDictionaryStore::pieceSuffix();

// Strict UTF-8 decoding: a file whose texts are not UTF-8 is no dictionary.
bool utf8ToWide(const std::string &text, std::wstring &out)
{
    out.clear();
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int extra = lead < 0x80           ? 0
                    : (lead >> 5) == 0x6  ? 1
                    : (lead >> 4) == 0xE  ? 2
                    : (lead >> 3) == 0x1E ? 3
                                          : -1;
        if (extra < 0 || i + extra >= text.size())
            return false;
        unsigned long c = extra == 0 ? lead : lead & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            c = (c << 6) | (next & 0x3F);
        }
        static const unsigned long kMin[] = {0, 0x80, 0x800, 0x10000};
        if (c < kMin[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return false;
        out += static_cast<wchar_t>(c);
        i += extra + 1;
    }
    return true;
}

constexpr size_t kMd5Digits = 32;

// A piece's name, or the name of a temporary file that was to become one.
bool startsLikePiece(const std::string &name, std::string &md5)
{
    md5 = name.substr(0, kMd5Digits);
    return md5.size() == kMd5Digits &&
           md5.find_first_not_of("0123456789abcdef") == std::string::npos &&
           name.compare(kMd5Digits, std::strlen(kPieceSuffix), kPieceSuffix) == 0;
}

void splitPath(const std::string &path, std::string &dir, std::string &name)
{
    const size_t slash = path.rfind('/');
    dir = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    name = path.substr(slash == std::string::npos ? 0 : slash + 1);
}

// The entry count and source path of a whole piece of this version; false
// for a missing, cut or foreign file, which is then made again.
bool readPieceHeader(const std::string &path, int64_t &words, std::string *source = nullptr)
{
    FILE *file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    char line[8192];
    struct stat info;
    const bool got = std::fgets(line, sizeof line, file) && ::fstat(fileno(file), &info) == 0;
    std::fclose(file);
    const std::string header = got ? line : "";
    const size_t prefix = std::strlen(kPieceHeader);
    if (header.size() < prefix + 2 || header.compare(0, prefix, kPieceHeader) != 0 ||
        header[prefix] != '\t' || header.back() != '\n')
        return false;
    char *end = nullptr;
    const char *fields = header.c_str() + prefix + 1;
    words = std::strtoll(fields, &end, 10);
    if (*end != '\t')
        return false;
    const long long bytes = std::strtoll(end + 1, &end, 10);
    if (*end != '\t' || words < 0 || bytes < 0 ||
        uint64_t(info.st_size) != header.size() + uint64_t(bytes))
        return false;
    if (source)
        source->assign(static_cast<const char *>(end + 1), header.c_str() + header.size() - 1);
    return true;
}

std::string pieceText(const KcelFile &file, const std::string &source, int64_t &words)
{
    std::string body;
    words = 0;
    for (const KcelFile::Entry &entry : file.entries) {
        // Tabs and line feeds would break the line format of the data file.
        if (entry.word.find_first_of("\t\n") != std::string::npos ||
            entry.pinyin.find_first_of("\t\n") != std::string::npos)
            continue;
        body += entry.word + '\t' + entry.pinyin + '\t' + file.id + '\n';
        ++words;
    }
    const bool plain = source.find_first_of("\t\n") == std::string::npos;
    return std::string(kPieceHeader) + '\t' + std::to_string(words) + '\t' +
           std::to_string(body.size()) + '\t' + (plain ? source : std::string()) + '\n' + body;
}

} // namespace

CellDictionaryStore::CellDictionaryStore(SHELL_TYPE shell, const std::string &userDir,
                                         const std::string &systemDir)
    : mShell(shell), mUserDir(userDir), mSystemDir(systemDir)
{
}

bool CellDictionaryStore::operate(e_operDicType operation, s_inputOutputDicData &data)
{
    switch (operation) {
    case ec_getCellDictInfo:
        return fillInfo(data);
    case ec_rebuildCellDict:
        return rebuild(data);
    default:
        return false;
    }
}

std::string CellDictionaryStore::dataFilePath() const
{
    const bool slash = !mUserDir.empty() && mUserDir.back() == '/';
    return mUserDir + (slash ? "" : "/") + dataFileName();
}

std::string CellDictionaryStore::piecesDir() const
{
    const bool slash = !mUserDir.empty() && mUserDir.back() == '/';
    return mUserDir + (slash ? "" : "/") + piecesDirName();
}

std::string CellDictionaryStore::piecePath(const std::string &md5) const
{
    return piecesDir() + '/' + md5 + kPieceSuffix;
}

bool CellDictionaryStore::fillInfo(s_inputOutputDicData &data)
{
    // Nothing to inspect is a malformed request, not an empty answer.
    if (data.cellDicList.empty())
        return false;
    const bool installed = !data.inputPath.empty();
    int valid = 0;
    for (s_cellDicInfo &cell : data.cellDicList) {
        s_cellDicInfo info;
        info.strFilePath = cell.strFilePath;
        KcelFile file;
        std::string path;
        uint32_t count = 0;
        bool read = wideToUtf8(cell.strFilePath.c_str(), path) && !path.empty();
        if (read && installed) {
            read = file.readHeader(path, count);
        } else if (read) {
            read = file.read(path);
            count = static_cast<uint32_t>(file.entries.size());
        }
        if (read && utf8ToWide(file.id, info.strId) && utf8ToWide(file.name, info.strName) &&
            utf8ToWide(file.category, info.strType) && utf8ToWide(file.examples, info.strExample)) {
            info.nWordsCount = static_cast<int32_t>(count);
            info.nDate = static_cast<int32_t>(file.date);
            info.bValid = true;
            ++valid;
        } else {
            info = s_cellDicInfo();
            info.strFilePath = cell.strFilePath;
        }
        cell = info;
    }
    data.nResult = valid;
    return true;
}

CellDictionaryStore::PieceResult CellDictionaryStore::preparePiece(const std::wstring &path,
                                                                   Digests &digests,
                                                                   std::string &md5,
                                                                   int64_t &words) const
{
    std::string utf8, dir, name;
    if (!wideToUtf8(path.c_str(), utf8) || utf8.empty())
        return PieceResult::Unusable;
    splitPath(utf8, dir, name);
    md5 = digests.try_emplace(dir, dir).first->second.known(name);
    if (!md5.empty() && readPieceHeader(piecePath(md5), words))
        return PieceResult::Ready;

    std::string bytes;
    bool missing = false;
    KcelFile file;
    if (!readWholeFile(utf8, bytes, missing, KcelFile::kMaxFileBytes) || !file.parse(bytes))
        return PieceResult::Unusable;
    md5 = Md5::of(bytes);
    if (readPieceHeader(piecePath(md5), words))
        return PieceResult::Ready;
    return writeFileAtomically(piecePath(md5), pieceText(file, utf8, words))
               ? PieceResult::Ready
               : PieceResult::WriteFailed;
}

bool CellDictionaryStore::rebuild(s_inputOutputDicData &data)
{
    // The tool always names the directory it works in; a request without it
    // is not one the tool made.
    if (data.inputPath.empty())
        return false;
    if (::mkdir(piecesDir().c_str(), 0755) != 0 && errno != EEXIST)
        return false;
    Digests digests;
    std::set<std::string> used;
    std::string list = std::string(CellDictionaryStore::dataHeader()) + '\n';
    int64_t words = 0;
    data.resultText.clear();
    for (const s_cellDicInfo &cell : data.cellDicList) {
        std::string md5;
        int64_t count = 0;
        switch (preparePiece(cell.strFilePath, digests, md5, count)) {
        case PieceResult::Unusable:
            data.resultText += L"skipped " + cell.strFilePath + L"\n";
            continue;
        case PieceResult::WriteFailed:
            return false;
        case PieceResult::Ready:
            break;
        }
        list += md5 + '\n';
        used.insert(md5);
        words += count;
    }
    data.nResult = static_cast<int>(words);
    if (!writeFileAtomically(dataFilePath(), list))
        return false;
    removeUnneededPieces(used, digests);
    return true;
}

void CellDictionaryStore::removeUnneededPieces(const std::set<std::string> &used,
                                               Digests &digests) const
{
    const std::string dirPath = piecesDir();
    DIR *dir = ::opendir(dirPath.c_str());
    if (!dir)
        return;
    while (const dirent *item = ::readdir(dir)) {
        const std::string name = item->d_name;
        std::string md5;
        if (!startsLikePiece(name, md5))
            continue;
        const bool whole = name.size() == kMd5Digits + std::strlen(kPieceSuffix);
        if (whole && used.count(md5))
            continue;
        const std::string piece = dirPath + '/' + name;
        int64_t words = 0;
        std::string source, sourceDir, sourceName;
        // Kept while the file it came from is still there unchanged, switched
        // off perhaps, so switching it on again reads nothing.
        if (whole && readPieceHeader(piece, words, &source) && !source.empty()) {
            splitPath(source, sourceDir, sourceName);
            if (digests.try_emplace(sourceDir, sourceDir).first->second.known(sourceName) == md5)
                continue;
        }
        // Unneeded, damaged, or a temporary file a killed write left.
        ::unlink(piece.c_str());
    }
    ::closedir(dir);
}
