#pragma once

#include <QByteArray>
#include <QPair>
#include <QString>
#include <QVector>

// Qt 5's QSettings (IniFormat) turns a value "@Variant(...)" or
// "@DateTime(...)" into an object read with QDataStream, and aborts the
// whole program (std::bad_alloc) when a container length in it lies, as a
// one-line entry in a damaged or hostile file can. No Kaiwo program writes
// such values (QSettings writes a string that starts with "@" as "@@..."),
// so every INI file from outside is checked before a QSettings reads it.
namespace IniSafety
{

// The lines, as byte ranges [first, second), whose value or any element of
// whose list QSettings would read as such an object. The bytes are split
// into lines and values exactly as QSettings does it.
QVector<QPair<int, int>> serialisedValueLines(const QByteArray &bytes);

// True when the file holds such a value; false when it holds none or
// cannot be read (a QSettings then reads nothing either).
bool holdsSerialisedValues(const QString &path);

// Removes the lines holding such values from bytes. False when taking them
// out keeps making new ones.
bool removeSerialisedValues(QByteArray *bytes);

// For files the tool owns: removes the lines holding such values, replacing
// the file atomically. True when the file holds none afterwards.
bool makeSafe(const QString &path);

} // namespace IniSafety
