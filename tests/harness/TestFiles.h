#pragma once

// File and data-table helpers shared by the tests.

#include <QByteArray>
#include <QFile>
#include <QTest>

#include <array>

// Declares a data table's columns: one of each type, named in order.
template <typename... Types>
void addColumns(const std::array<const char *, sizeof...(Types)> &names)
{
    size_t i = 0;
    (QTest::addColumn<Types>(names[i++]), ...);
}

// The bytes of a string literal with its embedded NULs and without the
// final one; a length counted by hand reads past the literal when it is off.
template <size_t N> QByteArray literalBytes(const char (&text)[N])
{
    return QByteArray(text, int(N - 1));
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
