#pragma once

#include "TextDictionaryFile.h"
#include "UserDictionary.h"

#include <QString>

// The service's user dictionaries, one file each in one folder: the Chinese
// (pinyin) one compiled (PinyinDictionaryFile), the others plain text
// (TextDictionaryFile). Every operation reads the file, changes it and writes
// it back whole, so a failed operation leaves it as it was.
class UserDictionaryStore
{
public:
    // The text kinds double as the names of the dictionaries.
    using Dictionary = TextDictionaryFile::Kind;

    explicit UserDictionaryStore(const QString &folder);

    static QString defaultFolder(const QString &home);
    QString filePath(Dictionary dictionary) const;
    // The entries the dictionary is shipped with.
    static UserDictionary seed(Dictionary dictionary);

    // Creates the folder and gives every missing dictionary its seed.
    bool provision(QString *error);

    // Merges the text file at path, of the dictionary's kind, into it.
    bool importFile(Dictionary dictionary, const QString &path);
    // Writes the dictionary as a text file of its kind to path.
    bool backup(Dictionary dictionary, const QString &path) const;
    bool clear(Dictionary dictionary);
    bool recover(Dictionary dictionary);

    bool load(Dictionary dictionary, UserDictionary *content) const;
    bool save(Dictionary dictionary, const UserDictionary &content);

private:
    const QString mFolder;
};
