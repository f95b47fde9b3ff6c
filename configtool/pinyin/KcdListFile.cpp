#include "KcdListFile.h"
#include "app/SystemHelpers.h"
#include "config/IniSafety.h"

#include <QRegularExpression>

#include <cstdlib>

KcdListFile::KcdListFile(const QString &path) : mPath(path), mSettings(path, QSettings::IniFormat)
{
    mSettings.setIniCodec("UTF-8");
}

QHash<QString, int> KcdListFile::usedStates() const
{
    QHash<QString, int> states;
    if (!IniSafety::makeSafe(mPath))
        return states;
    mSettings.sync();
    bool ok = false;
    const int count = mSettings.value(QStringLiteral("kcdlist/kcdNum")).toInt(&ok);
    if (!ok || count <= 0)
        return states;
    // Groups past the highest one present cannot match, so a huge kcdNum
    // costs no more than the groups the file really holds.
    static const QRegularExpression kGroup(QStringLiteral("^kcd(\\d+)$"));
    int highest = -1;
    for (const QString &group : mSettings.childGroups()) {
        const QRegularExpressionMatch match = kGroup.match(group);
        if (match.hasMatch())
            highest = qMax(highest, match.captured(1).toInt());
    }
    const int last = qMin(count - 1, highest);
    for (int j = 0; j <= last; ++j) {
        const QString group = QStringLiteral("kcd") + QString::number(j);
        const QString id = mSettings.value(group + QStringLiteral("/id")).toString();
        if (states.contains(id))
            continue;
        // A value that is not a number reads 0, as Qt's conversion gives it.
        states.insert(id, mSettings.value(group + QStringLiteral("/used"), 1).toInt());
    }
    return states;
}

int KcdListFile::usedState(const QString &id) const
{
    return usedStates().value(id, -1);
}

void KcdListFile::rewrite(const QList<Row> &rows)
{
    // Writing parses what the file holds first.
    if (!IniSafety::makeSafe(mPath))
        return;
    mSettings.clear();
    for (int i = 0; i < rows.size(); ++i) {
        const Row &row = rows.at(i);
        mSettings.beginGroup(QStringLiteral("kcd") + QString::number(i));
        mSettings.setValue(QStringLiteral("id"), row.id);
        mSettings.setValue(QStringLiteral("name"), row.name);
        mSettings.setValue(QStringLiteral("type"), row.type);
        mSettings.setValue(QStringLiteral("md5"), row.md5);
        mSettings.setValue(QStringLiteral("used"), row.used ? 1 : 0);
        mSettings.endGroup();
    }
    mSettings.setValue(QStringLiteral("kcdlist/kcdNum"), rows.size());
    mSettings.sync();
}

QString KcdListFile::md5Of(const QString &path)
{
    char *digest = MD5_file(path.toLocal8Bit().constData());
    const QString text = digest ? QString::fromLatin1(digest) : QString();
    std::free(digest);
    return text;
}
