#pragma once

// File helpers shared by the tests.

#include <QByteArray>
#include <QFile>
#include <QTemporaryFile>

#include <cstdio>
#include <unistd.h>

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

// Sends everything written to one file descriptor into a temporary file
// until finish() or destruction; child processes inherit the redirection.
class FdCapture
{
public:
    explicit FdCapture(int fd) : mFd(fd)
    {
        std::fflush(nullptr);
        mFile.open();
        mSaved = dup(fd);
        dup2(mFile.handle(), fd);
    }
    ~FdCapture() { finish(); }

    QByteArray contents() const
    {
        std::fflush(nullptr);
        QFile file(mFile.fileName());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QByteArray finish()
    {
        std::fflush(nullptr);
        if (mSaved >= 0) {
            dup2(mSaved, mFd);
            close(mSaved);
            mSaved = -1;
        }
        return contents();
    }

private:
    int mFd;
    int mSaved = -1;
    QTemporaryFile mFile;
};
