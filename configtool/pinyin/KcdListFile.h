#pragma once

#include <QHash>
#include <QList>
#include <QSettings>
#include <QString>

// kcdlist.ini in the cell dictionary directory: which installed cell
// dictionaries exist and which are switched on. Only kcdNum, id and used
// are ever read back. Values QSettings would read as objects (IniSafety)
// are taken out of the file before each read or write; when that fails,
// usedState() is -1, usedStates() empty and rewrite() writes nothing.
class KcdListFile
{
public:
    struct Row {
        QString id;
        QString name;
        QString type;
        QString md5;
        bool used = true;
    };

    explicit KcdListFile(const QString &path);

    // The used state of the first group whose id matches, as stored (1 when
    // the key is absent, 0 when it is no number); -1 when no group among
    // kcd0 .. kcd<kcdNum - 1> has the id.
    int usedState(const QString &id) const;
    // usedState() of every id the file names, read in one pass.
    QHash<QString, int> usedStates() const;
    // Removes every key, then writes the rows as kcd0 .. kcdN-1 and kcdNum.
    void rewrite(const QList<Row> &rows);

    static QString fileName() { return QStringLiteral("kcdlist.ini"); }
    // The MD5 of a file as 32 lower-case hex digits; empty when unreadable.
    static QString md5Of(const QString &path);

private:
    const QString mPath;
    mutable QSettings mSettings;
};
