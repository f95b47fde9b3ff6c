#include "PhraseStore.h"

#include "PhraseBinaryFile.h"
#include "PhraseCodec.h"
#include "PhraseTextFile.h"
#include "WideText.h"

#include <algorithm>
#include <cstdlib>
#include <unordered_map>

namespace
{

std::string joined(const std::string &dir, const char *name)
{
    return dir.empty() || dir.back() == '/' ? dir + name : dir + '/' + name;
}

// Abbreviations hold letters only, so a NUL cannot make two keys equal.
std::wstring key(const UserPhraseItem &item, bool ignoreSign)
{
    const int position = ignoreSign ? std::abs(item.position) : item.position;
    return item.abbr + L'\0' + std::to_wstring(position) + L'\0' + item.phrase;
}

} // namespace

PhraseStore::PhraseStore(SHELL_TYPE shell, const std::string &userDir, const std::string &systemDir)
    : mShell(shell), mUserDir(userDir), mSystemDir(systemDir)
{
}

std::string PhraseStore::userFile(const char *name) const
{
    return joined(mUserDir, name);
}

bool PhraseStore::operate(e_operDicType operation, s_inputOutputDicData &data)
{
    bool ok = false;
    switch (operation) {
    case ec_getDefaultPhrase:
        ok = defaultPhrases(data);
        break;
    case ec_getUserPhrase:
        ok = userPhrases(data);
        break;
    case ec_addUserPhrase:
        ok = addPhrases(data);
        break;
    case ec_deleteUserPhrase:
        ok = deletePhrases(data);
        break;
    case ec_genPhraseEditText:
        ok = exportText(data);
        break;
    case ec_convertTextToDic:
        ok = importText(data);
        break;
    default:
        break;
    }
    data.nResult = ok ? 0 : -1;
    return ok;
}

bool PhraseStore::defaultPhrases(s_inputOutputDicData &data) const
{
    // Only the pinyin engine ships built-in phrases.
    if (mShell != SHELL_PINYIN)
        return false;
    const auto status =
        PhraseTextFile::read(joined(mSystemDir, defaultsFileName()), data.phraseList);
    return status == PhraseBinaryFile::Ok || status == PhraseBinaryFile::Damaged;
}

// The record's inputPath names the tool's per-user pinyin directory for both
// shells; each shell keeps to its own directory instead.
bool PhraseStore::userPhrases(s_inputOutputDicData &data) const
{
    const auto status = PhraseBinaryFile::read(userFile(compiledFileName()), data.phraseList);
    return status != PhraseBinaryFile::Refused;
}

bool PhraseStore::addPhrases(s_inputOutputDicData &data) const
{
    std::vector<UserPhraseItem> phrases;
    const std::string file = userFile(compiledFileName());
    if (PhraseBinaryFile::read(file, phrases) == PhraseBinaryFile::Refused)
        phrases.clear();
    // The same abbreviation and text at the same place is one phrase;
    // adding it again only sets whether it is on.
    std::unordered_map<std::wstring, std::size_t> index;
    for (std::size_t i = 0; i < phrases.size(); ++i)
        index.emplace(key(phrases[i], true), i);
    for (const UserPhraseItem &item : data.phraseList) {
        if (!phrasecodec::isValid(item))
            continue;
        const auto found = index.find(key(item, true));
        if (found != index.end()) {
            phrases[found->second].position = item.position;
        } else if (phrases.size() < phrasecodec::kMaxPhrases) {
            index.emplace(key(item, true), phrases.size());
            phrases.push_back(item);
        }
    }
    return PhraseBinaryFile::write(file, phrases);
}

bool PhraseStore::deletePhrases(s_inputOutputDicData &data) const
{
    std::vector<UserPhraseItem> phrases;
    const std::string file = userFile(compiledFileName());
    if (PhraseBinaryFile::read(file, phrases) == PhraseBinaryFile::Missing)
        return true;
    // Each listed phrase removes one stored copy.
    std::unordered_map<std::wstring, int> remove;
    for (const UserPhraseItem &item : data.phraseList)
        ++remove[key(item, false)];
    std::vector<UserPhraseItem> kept;
    kept.reserve(phrases.size());
    for (UserPhraseItem &item : phrases) {
        const auto found = remove.find(key(item, false));
        if (found != remove.end() && found->second > 0)
            --found->second;
        else
            kept.push_back(std::move(item));
    }
    return PhraseBinaryFile::write(file, kept);
}

bool PhraseStore::exportText(s_inputOutputDicData &data) const
{
    std::string input, output;
    if (!wideToUtf8(data.inputPath.c_str(), input) ||
        !wideToUtf8(data.outputPath.c_str(), output) || input.empty() || output.empty())
        return false;
    std::vector<UserPhraseItem> phrases;
    if (PhraseBinaryFile::read(input, phrases) == PhraseBinaryFile::Refused)
        return false;
    return PhraseTextFile::write(output, phrases);
}

bool PhraseStore::importText(s_inputOutputDicData &data) const
{
    std::string input, output;
    if (!wideToUtf8(data.inputPath.c_str(), input) ||
        !wideToUtf8(data.outputPath.c_str(), output) || input.empty() || output.empty())
        return false;
    std::vector<UserPhraseItem> phrases;
    const auto status = PhraseTextFile::read(output, phrases);
    if (status == PhraseBinaryFile::Refused || status == PhraseBinaryFile::Missing)
        return false;
    return PhraseBinaryFile::write(input, phrases);
}
