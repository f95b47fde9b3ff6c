#pragma once

#include <QString>

#include <string>
#include <unordered_map>
#include <vector>

// The custom phrases offered for an abbreviation: the user's phrases, as
// the pinyin engine shell compiles them, and the built-in phrases of the
// data root when those are switched on. Disabled phrases are left out.
class PhraseBook
{
public:
    struct Phrase {
        std::string text; // UTF-8; may hold line feeds
        int position;     // 1 to 9: the candidate it becomes
    };
    struct Sources {
        QString userFile;    // kwim_phrases.bin of the pinyin shell
        QString builtInFile; // the built-in phrases, in the text form
        bool builtIn = true;

        // The pinyin shell's file under its user folder (with "/") and the
        // built-in phrases shipped under the data root.
        static Sources forFolders(const QString &pinyinDir, const QString &dataRoot, bool builtIn);
    };

    // A book from the files; false with the reason when the user's file is
    // refused or damaged, so the caller keeps the book it has.
    static bool load(const Sources &sources, PhraseBook *book, QString *problem);

    // The phrases of an abbreviation (lower case), by position, file order
    // among equal positions; null when there are none.
    const std::vector<Phrase> *lookup(const std::string &abbreviation) const;
    std::size_t size() const { return mSize; }

    void add(const std::wstring &abbreviation, const std::wstring &text, int position);

private:
    void sort();

    std::unordered_map<std::string, std::vector<Phrase>> mByAbbreviation;
    std::size_t mSize = 0;
};
