#pragma once

#include <QString>

class RimeEngine;

// The user dictionaries the settings tool exports, imports, clears and
// restores, kept by Rime as it learns words. Exported files are in
// UserDictionaryFile's format; an import that is refused changes nothing.
class UserDictionaries
{
public:
    UserDictionaries(RimeEngine *rime, const QString &rimeDir) : mRime(rime), mRimeDir(rimeDir) {}

    bool exportPinyin(const QString &path);
    bool importPinyin(const QString &path, QString *error);
    bool clearPinyin();

    static const char *pinyinDictionary() { return "luna_pinyin"; }

private:
    QString scratchFile() const;

    RimeEngine *mRime;
    QString mRimeDir;
};
