#include "UserDictionaries.h"

#include "RimeEngine.h"
#include "RimeSchema.h"
#include "UserDictionaryFile.h"
#include "WubiSchema.h"
#include "config/AtomicFile.h"

#include <QFile>
#include <QFileInfo>

namespace
{

std::string localPath(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace

const char *UserDictionaries::dictionary(Kind kind)
{
    switch (kind) {
    case Kind::Pinyin:
        return "luna_pinyin";
    case Kind::Wubi:
        return WubiSchema::userDictionary();
    case Kind::WubiPinyin:
        return WubiSchema::pinyinUserDictionary();
    case Kind::English:
        return RimeSchema::englishDictionary();
    case Kind::Web:
        return RimeSchema::webDictionary();
    }
    return "";
}

const char *UserDictionaries::kindName(Kind kind)
{
    switch (kind) {
    case Kind::Pinyin:
        return "pinyin";
    case Kind::Wubi:
        return "wubi";
    case Kind::WubiPinyin:
        return "wubi-pinyin";
    case Kind::English:
        return "english";
    case Kind::Web:
        return "web";
    }
    return "";
}

QString UserDictionaries::scratchFile() const
{
    return mRimeDir + QStringLiteral("kaiwo-exchange.txt");
}

bool UserDictionaries::exportTo(Kind kind, const QString &path)
{
    const QString scratch = scratchFile();
    QFile::remove(scratch);
    bool ok = mRime->exportUserDictionary(dictionary(kind), localPath(scratch));
    QFile file(scratch);
    QByteArray ours;
    ok = ok && file.open(QIODevice::ReadOnly) &&
         UserDictionaryFile::fromRime(file.readAll(), kindName(kind), &ours);
    file.close();
    QFile::remove(scratch);
    return ok && writeFileAtomically(QFile::encodeName(path).constData(), ours) ==
                     AtomicWriteResult::Written;
}

bool UserDictionaries::importRime(Kind kind, const QByteArray &rime)
{
    const QString scratch = scratchFile();
    bool ok = writeFileAtomically(QFile::encodeName(scratch).constData(), rime) ==
              AtomicWriteResult::Written;
    ok = ok && mRime->importUserDictionary(dictionary(kind), localPath(scratch));
    QFile::remove(scratch);
    return ok;
}

bool UserDictionaries::importFrom(Kind kind, const QString &path, QString *error)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || file.size() > UserDictionaryFile::maxSize() ||
        !file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1 is missing, not a file or too large").arg(path);
        return false;
    }
    QByteArray rime;
    if (!UserDictionaryFile::toRime(file.readAll(), kindName(kind), &rime, error))
        return false;
    const bool ok = importRime(kind, rime);
    if (!ok)
        *error = QStringLiteral("Rime did not take the words");
    return ok;
}

bool UserDictionaries::clear(const std::vector<Kind> &kinds)
{
    std::vector<std::string> names;
    for (const Kind kind : kinds)
        names.push_back(dictionary(kind));
    return mRime->clearUserDictionaries(names);
}

bool UserDictionaries::learn(Kind kind, const QVector<QPair<QString, QString>> &entries)
{
    QByteArray rime;
    for (const auto &entry : entries) {
        const QString line = entry.first + QLatin1Char('\t') + entry.second;
        if (line.count(QLatin1Char('\t')) != 1 || line.contains(QLatin1Char('\n')))
            return false;
        rime += line.toUtf8() + "\t1\n";
    }
    return importRime(kind, rime);
}
