#include "UserDictionaryStore.h"

#include "PinyinDictionaryFile.h"

#include <QDir>
#include <QFileInfo>

namespace
{

using Kind = TextDictionaryFile::Kind;

constexpr Kind kAllDictionaries[] = {Kind::Pinyin,      Kind::English,    Kind::WebEmail,
                                     Kind::Wubi,        Kind::WubiPinyin, Kind::WubiEnglish,
                                     Kind::WubiWebEmail};

} // namespace

UserDictionaryStore::UserDictionaryStore(const QString &folder) : mFolder(folder) {}

QString UserDictionaryStore::defaultFolder(const QString &home)
{
    return home + QLatin1String("/.config/kaiwoimebs/userdict");
}

QString UserDictionaryStore::filePath(Dictionary dictionary) const
{
    const QString name = TextDictionaryFile::kindName(dictionary);
    return mFolder + QLatin1Char('/') + name +
           QLatin1String(dictionary == Dictionary::Pinyin ? ".kwd" : ".txt");
}

UserDictionary UserDictionaryStore::seed(Dictionary dictionary)
{
    switch (dictionary) {
    case Dictionary::Pinyin:
        return UserDictionary({{QStringLiteral("kai'wo"), QStringLiteral("凯沃"), 100},
                               {QStringLiteral("ni'hao"), QStringLiteral("你好"), 80},
                               {QStringLiteral("shu'ru'fa"), QStringLiteral("输入法"), 60}});
    case Dictionary::English:
        return UserDictionary({{QStringLiteral("hello"), QStringLiteral("hello"), 50},
                               {QStringLiteral("kaiwo"), QStringLiteral("Kaiwo"), 40}});
    case Dictionary::WebEmail:
        return UserDictionary({{QStringLiteral("www"), QStringLiteral("www."), 30},
                               {QStringLiteral("@"), QStringLiteral("@kaiwo.com"), 20}});
    case Dictionary::Wubi:
        return UserDictionary({{QStringLiteral("mnit"), QStringLiteral("凯沃"), 100},
                               {QStringLiteral("wqvb"), QStringLiteral("你好"), 80}});
    case Dictionary::WubiPinyin:
        return UserDictionary({{QStringLiteral("kaiwo"), QStringLiteral("凯沃"), 100},
                               {QStringLiteral("nihao"), QStringLiteral("你好"), 80}});
    case Dictionary::WubiEnglish:
        return UserDictionary({{QStringLiteral("wubi"), QStringLiteral("Wubi"), 10}});
    case Dictionary::WubiWebEmail:
        return UserDictionary({{QStringLiteral("www"), QStringLiteral("www."), 30}});
    }
    return UserDictionary();
}

bool UserDictionaryStore::provision(QString *error)
{
    if (!QDir().mkpath(mFolder)) {
        *error = QStringLiteral("cannot create %1").arg(mFolder);
        return false;
    }
    for (const Dictionary dictionary : kAllDictionaries) {
        if (QFileInfo::exists(filePath(dictionary)))
            continue;
        if (!save(dictionary, seed(dictionary))) {
            *error = QStringLiteral("cannot write %1").arg(filePath(dictionary));
            return false;
        }
    }
    return true;
}

bool UserDictionaryStore::load(Dictionary dictionary, UserDictionary *content) const
{
    if (dictionary == Dictionary::Pinyin)
        return PinyinDictionaryFile::read(filePath(dictionary), content);
    return TextDictionaryFile::read(filePath(dictionary), dictionary, content);
}

bool UserDictionaryStore::save(Dictionary dictionary, const UserDictionary &content)
{
    if (dictionary == Dictionary::Pinyin)
        return PinyinDictionaryFile::write(filePath(dictionary), content);
    return TextDictionaryFile::write(filePath(dictionary), content, dictionary);
}

bool UserDictionaryStore::importFile(Dictionary dictionary, const QString &path)
{
    UserDictionary imported;
    UserDictionary content;
    if (!TextDictionaryFile::read(path, dictionary, &imported) || !load(dictionary, &content))
        return false;
    content.merge(imported);
    return save(dictionary, content);
}

bool UserDictionaryStore::backup(Dictionary dictionary, const QString &path) const
{
    // A backup over one of the service's own files would corrupt it.
    const QString target = QFileInfo(path).canonicalFilePath();
    for (const Dictionary own : kAllDictionaries) {
        if (!target.isEmpty() && target == QFileInfo(filePath(own)).canonicalFilePath())
            return false;
    }
    UserDictionary content;
    return load(dictionary, &content) && TextDictionaryFile::write(path, content, dictionary);
}

bool UserDictionaryStore::clear(Dictionary dictionary)
{
    return save(dictionary, UserDictionary());
}

bool UserDictionaryStore::recover(Dictionary dictionary)
{
    return save(dictionary, seed(dictionary));
}
