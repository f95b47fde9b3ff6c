// Digests, dates, file copies, shell commands and detached children.
#include "SystemHelpers.h"
#include "TestFiles.h"

#include <QtTest>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <sys/wait.h>
#include <unistd.h>

class TestSystemHelpers : public QObject
{
    Q_OBJECT

    static QByteArray pseudoRandomBytes(int size)
    {
        QRandomGenerator generator{quint32(size)};
        QByteArray bytes(size, '\0');
        for (char &c : bytes)
            c = char(generator.bounded(256));
        return bytes;
    }

    // True when this process has no child at all, running or zombie.
    static bool noChildren()
    {
        errno = 0;
        return waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD;
    }

    // Starts /bin/sh -c script through startChildApp.
    static void startScript(QByteArray script)
    {
        char program[] = "/bin/sh";
        char option[] = "-c";
        char *argv[] = {program, option, script.data(), nullptr};
        startChildApp(program, argv);
    }

    QString tempPath(const QString &name) const { return mDir->filePath(name); }
    std::unique_ptr<QTemporaryDir> mDir;

private slots:
    void init()
    {
        mDir.reset(new QTemporaryDir);
        QVERIFY(mDir->isValid());
    }

    void md5_data()
    {
        addColumns<QByteArray, QByteArray>({"content", "digest"});
        // Padding boundaries of the 64-byte block, the 1024-byte reads, megabytes.
        for (int size : {0, 55, 56, 1025, 3 * 1024 * 1024 + 7}) {
            const QByteArray content = pseudoRandomBytes(size);
            QTest::addRow("%d bytes", size)
                << content << QCryptographicHash::hash(content, QCryptographicHash::Md5).toHex();
        }
        QTest::newRow("unopenable") << QByteArray() << QByteArray();
    }

    void md5()
    {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, digest);
        const QString path = tempPath(digest.isEmpty() ? "absent/file" : "data file.bin");
        QVERIFY(digest.isEmpty() || writeFile(path, content));
        char *text = MD5_file(QFile::encodeName(path).constData());
        // 32 lower-case digits and the terminating NUL.
        QCOMPARE(text ? QByteArray(text, 33) : QByteArray(),
                 digest.isEmpty() ? digest : digest + '\0');
        free(text);
    }

    void dateStringIsUtc()
    {
        // Each date lies on another local date eight hours east or west.
        const QList<QPair<long, QString>> dates = {{0, QStringLiteral("1970-01-01 ")},
                                                   {86399, QStringLiteral("1970-01-01 ")},
                                                   {-1, QStringLiteral("1969-12-31 ")},
                                                   {4107542400, QStringLiteral("2100-03-01 ")}};
        for (const char *tz : {"XST-8", "YST+8"}) {
            qputenv("TZ", tz);
            tzset();
            for (const auto &date : dates)
                QCOMPARE(time_2_string(date.first), date.second);
        }
        qunsetenv("TZ");
        tzset();
    }

    void copyFiles()
    {
        const QString from = tempPath(QStringLiteral("源 'single' \"double\" $(touch x)/"));
        const QString to = tempPath(QStringLiteral("目标 `echo y` dir/"));
        const QString name = QStringLiteral("词库 it's \"new\".dat");
        QVERIFY(QDir().mkpath(from));
        // The same folder string: nothing is checked or copied.
        QVERIFY(copyFileToPath(from, from, QStringLiteral("absent"), true));
        // A missing source creates nothing.
        QVERIFY(!copyFileToPath(from, to, name, true));
        QVERIFY(!QFileInfo::exists(to));
        // Only one missing folder level is created.
        const QByteArray content = pseudoRandomBytes(5000) + QByteArray(3, '\0');
        QVERIFY(writeFile(from + name, content));
        QVERIFY(!copyFileToPath(from, tempPath(QStringLiteral("usr/PCPYDict/")), name, true));
        QVERIFY(!QFileInfo::exists(tempPath(QStringLiteral("usr"))));
        QVERIFY(copyFileToPath(from, to, name, false));
        QCOMPARE(readFile(to + name), content);
        // An existing target is kept or replaced whole, never truncated or mixed.
        const QByteArray longer = QByteArray("the user's own ").repeated(500);
        QVERIFY(writeFile(to + name, longer));
        QVERIFY(!copyFileToPath(from, to, name, false));
        QCOMPARE(readFile(to + name), longer);
        QVERIFY(copyFileToPath(from, to, name, true));
        QCOMPARE(readFile(to + name), content);
    }

    void commandOutput_data()
    {
        // output: empty: the call fails.
        addColumns<QByteArray, int, QByteArray>({"command", "size", "output"});
        QTest::newRow("output cut at the buffer size")
            << QByteArray("printf 0123456789") << 4 << QByteArray("0123");
        // A command that writes for ever must not keep the caller waiting.
        QTest::newRow("endless output") << QByteArray("yes") << 8 << QByteArray("y\ny\ny\ny\n");
        QTest::newRow("only standard error") << QByteArray("echo oops >&2") << 16 << QByteArray();
    }

    void commandOutput()
    {
        QFETCH(QByteArray, command);
        QFETCH(int, size);
        QFETCH(QByteArray, output);
        // Guard bytes after the buffer never change, and no NUL is added.
        QByteArray buffer(size + 16, '#');
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(getRunCmdOutput(command.constData(), buffer.data(), size), !output.isEmpty());
        QVERIFY(timer.elapsed() < 5000);
        QCOMPARE(buffer, output + QByteArray(buffer.size() - output.size(), '#'));
    }

    void shellQuoteRoundTrip_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("empty") << QByteArray("");
        QTest::newRow("blanks, Chinese, quotes") << QByteArray("/home/用户/短语  it's 'q''.txt");
        QTest::newRow("substitutions, separators")
            << QByteArray("$(touch pwned) `touch pwned` \"$HOME\"; touch pwned && b | c > d\n\t");
        QTest::newRow("globs, backslashes") << QByteArray("* ? [a] ~ a\\b\\'c\\");
    }

    void shellQuoteRoundTrip()
    {
        QFETCH(QByteArray, text);
        // The script goes in on stdin, as bytes no argument conversion touches.
        QProcess shell;
        shell.setWorkingDirectory(mDir->path());
        shell.start(QStringLiteral("/bin/sh"), {QStringLiteral("-s")});
        QVERIFY(shell.waitForStarted(10000));
        shell.write("printf %s " + shellQuote(text) + "\n");
        shell.closeWriteChannel();
        QVERIFY(shell.waitForFinished(10000));
        QCOMPARE(shell.readAllStandardOutput(), text);
        QVERIFY(!QFileInfo::exists(tempPath(QStringLiteral("pwned"))));
    }

    // Back at once, the go-between reaped, the program no child of ours;
    // also when start-up ignores SIGCHLD.
    void startChildDetached()
    {
        const QString file = tempPath(QStringLiteral("child pid"));
        QElapsedTimer timer;
        timer.start();
        startScript("sleep 2; echo $$ $PPID > '" + QFile::encodeName(file) + "'");
        QVERIFY(timer.elapsed() < 1500);
        QVERIFY(!QFileInfo::exists(file));
        QVERIFY(noChildren());
        QTRY_VERIFY_WITH_TIMEOUT(readFile(file).endsWith('\n'), 10000);
        const QList<QByteArray> ids = readFile(file).trimmed().split(' ');
        QVERIFY(ids.value(0).toInt() > 0 && ids.value(0).toInt() != getpid());
        QVERIFY(ids.value(1).toInt() != getpid());

        struct sigaction ignore = {}, previous = {};
        ignore.sa_handler = SIG_IGN;
        QCOMPARE(sigaction(SIGCHLD, &ignore, &previous), 0);
        const QString ran = tempPath(QStringLiteral("ran"));
        startScript("echo ran > '" + QFile::encodeName(ran) + "'");
        sigaction(SIGCHLD, &previous, nullptr);
        QTRY_COMPARE_WITH_TIMEOUT(readFile(ran), QByteArray("ran\n"), 10000);
        QVERIFY(noChildren());
    }
};

QTEST_GUILESS_MAIN(TestSystemHelpers)
#include "tst_system_helpers.moc"
