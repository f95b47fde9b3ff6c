#include "FcitxAddonConfig.h"

#include "config/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>

QByteArray FcitxAddonConfig::withValue(const QByteArray &text, const QByteArray &group,
                                       const QByteArray &key, const QByteArray &value)
{
    QList<QByteArray> lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    const QByteArray header = '[' + group + ']';
    const QByteArray entry = key + '=' + value;
    int groupLine = -1;
    int insertAt = -1;
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        if (line.startsWith('[')) {
            if (groupLine >= 0 && insertAt < 0)
                insertAt = i;
            if (line == header)
                groupLine = i;
            continue;
        }
        if (groupLine >= 0 && insertAt < 0 && line.split('=').value(0).trimmed() == key) {
            lines[i] = entry;
            return lines.join('\n') + '\n';
        }
    }
    if (groupLine < 0)
        lines << header << entry;
    else
        lines.insert(insertAt < 0 ? lines.size() : insertAt, entry);
    return lines.join('\n') + '\n';
}

bool FcitxAddonConfig::setValue(const QString &path, const QByteArray &group, const QByteArray &key,
                                const QByteArray &value)
{
    QFile file(path);
    QByteArray text;
    // fcitx's own files are small; anything else is not one to edit.
    if (file.open(QIODevice::ReadOnly)) {
        if (file.size() > 256 * 1024)
            return false;
        text = file.readAll();
        file.close();
    }
    const QByteArray updated = withValue(text, group, key, value);
    if (updated == text)
        return false;
    QDir().mkpath(QFileInfo(path).absolutePath());
    return writeFileAtomically(QFile::encodeName(path).constData(), updated) ==
           AtomicWriteResult::Written;
}

QString FcitxAddonConfig::fcitxConfigDir(const QString &home)
{
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    return (xdg.isEmpty() ? home + QStringLiteral("/.config") : xdg) + QStringLiteral("/fcitx");
}

QString FcitxAddonConfig::addonConfigPath(const QString &home, const QString &addon)
{
    return fcitxConfigDir(home) + QStringLiteral("/conf/") + addon + QStringLiteral(".config");
}
