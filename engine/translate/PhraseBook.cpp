#include "PhraseBook.h"
#include "PhraseBinaryFile.h"
#include "PhraseStore.h"
#include "PhraseTextFile.h"

#include <QFile>

#include <algorithm>

namespace
{

std::string utf8(const std::wstring &text)
{
    return QString::fromStdWString(text).toStdString();
}

} // namespace

PhraseBook::Sources PhraseBook::Sources::forFolders(const QString &pinyinDir,
                                                    const QString &dataRoot, bool builtIn)
{
    return {pinyinDir + QLatin1String(PhraseStore::compiledFileName()),
            dataRoot + QStringLiteral("/KaiwoShell/dict/PCPYDict/") +
                QLatin1String(PhraseStore::defaultsFileName()),
            builtIn};
}

void PhraseBook::add(const std::wstring &abbreviation, const std::wstring &text, int position)
{
    if (position <= 0)
        return; // switched off in the phrase manager
    std::string key = utf8(abbreviation);
    std::transform(key.begin(), key.end(), key.begin(),
                   [](unsigned char c) { return char(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    mByAbbreviation[key].push_back({utf8(text), position});
    ++mSize;
}

void PhraseBook::sort()
{
    for (auto &entry : mByAbbreviation) {
        std::stable_sort(entry.second.begin(), entry.second.end(),
                         [](const Phrase &a, const Phrase &b) { return a.position < b.position; });
    }
}

const std::vector<PhraseBook::Phrase> *PhraseBook::lookup(const std::string &abbreviation) const
{
    const auto found = mByAbbreviation.find(abbreviation);
    return found == mByAbbreviation.end() ? nullptr : &found->second;
}

bool PhraseBook::load(const Sources &sources, PhraseBook *book, QString *problem)
{
    PhraseBook loaded;
    std::vector<UserPhraseItem> items;
    const auto status =
        PhraseBinaryFile::read(QFile::encodeName(sources.userFile).toStdString(), items);
    if (status == PhraseBinaryFile::Damaged || status == PhraseBinaryFile::Refused) {
        *problem = sources.userFile + QStringLiteral(": damaged or not a phrase file; the "
                                                     "phrases loaded before stay in use");
        return false;
    }
    for (const UserPhraseItem &item : items)
        loaded.add(item.abbr, item.phrase, item.position);
    if (sources.builtIn) {
        // The shipped file is ours: a damaged line there is only skipped.
        items.clear();
        PhraseTextFile::read(QFile::encodeName(sources.builtInFile).toStdString(), items);
        for (const UserPhraseItem &item : items)
            loaded.add(item.abbr, item.phrase, item.position);
    }
    loaded.sort();
    *book = std::move(loaded);
    return true;
}
