#include "UserDictionaries.h"

#include "RimeEngine.h"
#include "UserDictionaryFile.h"
#include "config/AtomicFile.h"

#include <QFile>
#include <QFileInfo>

namespace
{

const char kPinyinKind[] = "pinyin";

std::string localPath(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace

QString UserDictionaries::scratchFile() const
{
    return mRimeDir + QStringLiteral("kaiwo-exchange.txt");
}

bool UserDictionaries::exportPinyin(const QString &path)
{
    const QString scratch = scratchFile();
    QFile::remove(scratch);
    bool ok = mRime->exportUserDictionary(pinyinDictionary(), localPath(scratch));
    QFile file(scratch);
    QByteArray ours;
    ok = ok && file.open(QIODevice::ReadOnly) &&
         UserDictionaryFile::fromRime(file.readAll(), kPinyinKind, &ours);
    file.close();
    QFile::remove(scratch);
    return ok && writeFileAtomically(QFile::encodeName(path).constData(), ours) ==
                     AtomicWriteResult::Written;
}

bool UserDictionaries::importPinyin(const QString &path, QString *error)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || file.size() > UserDictionaryFile::maxSize() ||
        !file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1 is missing, not a file or too large").arg(path);
        return false;
    }
    QByteArray rime;
    if (!UserDictionaryFile::toRime(file.readAll(), kPinyinKind, &rime, error))
        return false;
    const QString scratch = scratchFile();
    bool ok = writeFileAtomically(QFile::encodeName(scratch).constData(), rime) ==
              AtomicWriteResult::Written;
    ok = ok && mRime->importUserDictionary(pinyinDictionary(), localPath(scratch));
    QFile::remove(scratch);
    if (!ok)
        *error = QStringLiteral("Rime did not take the words");
    return ok;
}

bool UserDictionaries::clearPinyin()
{
    return mRime->clearUserDictionary(pinyinDictionary());
}
