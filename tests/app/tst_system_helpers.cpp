// Digests, dates, file copies, shell commands, removal and detached children.
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

namespace
{

QByteArray pseudoRandomBytes(int size)
{
    QRandomGenerator generator{quint32(size)};
    QByteArray bytes(size, '\0');
    for (char &c : bytes)
        c = char(generator.bounded(256));
    return bytes;
}

// True when this process has no child at all, running or zombie.
bool noChildren()
{
    errno = 0;
    return waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD;
}

// Creates folders (ending in '/') and files holding "x" under root.
bool makeTree(const QString &root, const QStringList &entries)
{
    for (const QString &entry : entries) {
        const QString path = root + QLatin1Char('/') + entry;
        if (!QDir().mkpath(QFileInfo(path).path()) ||
            !(entry.endsWith('/') || writeFile(path, "x")))
            return false;
    }
    return true;
}

// Starts /bin/sh -c script through startChildApp.
void startScript(QByteArray script)
{
    char program[] = "/bin/sh";
    char option[] = "-c";
    char *argv[] = {program, option, script.data(), nullptr};
    startChildApp(program, argv);
}

const char kUnset[] = "<unset>";

// Sets one environment variable ("<unset>" unsets it) and restores it later.
class EnvGuard
{
public:
    EnvGuard(const char *name, const QByteArray &value)
        : mName(name), mSaved(qEnvironmentVariableIsSet(name) ? qgetenv(name) : kUnset)
    {
        set(value);
    }
    ~EnvGuard() { set(mSaved); }

private:
    void set(const QByteArray &v) { v == kUnset ? qunsetenv(mName) : qputenv(mName, v); }
    const char *mName;
    QByteArray mSaved;
};

} // namespace

class TestSystemHelpers : public QObject
{
    Q_OBJECT

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
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("digest");
        // RFC 1321 vectors.
        QTest::newRow("empty") << QByteArray("") << QByteArray("d41d8cd98f00b204e9800998ecf8427e");
        QTest::newRow("abc") << QByteArray("abc") << QByteArray("900150983cd24fb0d6963f7d28e17f72");
        QTest::newRow("eight times 1234567890") << QByteArray("1234567890").repeated(8)
                                                << QByteArray("57edf4a22be3c955ac49da2e2107b67a");
        // Padding boundaries of the 64-byte block, the 1024-byte reads, megabytes.
        for (int size : {55, 56, 64, 119, 120, 1024, 1025, 3 * 1024 * 1024 + 7}) {
            const QByteArray content = pseudoRandomBytes(size);
            QTest::addRow("%d bytes", size)
                << content << QCryptographicHash::hash(content, QCryptographicHash::Md5).toHex();
        }
    }

    void md5()
    {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, digest);
        const QString path = tempPath(QStringLiteral("data file.bin"));
        QVERIFY(writeFile(path, content));
        char *text = MD5_file(QFile::encodeName(path).constData());
        QVERIFY(text);
        // 32 lower-case digits and the terminating NUL.
        QCOMPARE(QByteArray(text, 33), digest + '\0');
        free(text);
    }

    void md5UnopenableFile()
    {
        const QByteArray path = QFile::encodeName(tempPath(QStringLiteral("absent/file")));
        FdCapture error(STDERR_FILENO);
        QVERIFY(!MD5_file(path.constData()));
        QCOMPARE(error.finish(), "fopen " + path + " failed\n");
    }

    void dateStringIsUtc()
    {
        // Each date lies on another local date eight hours east or west.
        const QList<QPair<long, QString>> dates = {{0, QStringLiteral("1970-01-01 ")},
                                                   {86399, QStringLiteral("1970-01-01 ")},
                                                   {-1, QStringLiteral("1969-12-31 ")},
                                                   {4107542400, QStringLiteral("2100-03-01 ")}};
        for (const char *tz : {"XST-8", "YST+8"}) {
            EnvGuard zone("TZ", tz);
            tzset();
            for (const auto &date : dates)
                QCOMPARE(time_2_string(date.first), date.second);
        }
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
        QCOMPARE(readFile(from + name), content);
    }

    void commandOutput_data()
    {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QByteArray>("output");
        const auto row = [](const char *name, const char *command, int size,
                            const QByteArray &output) {
            QTest::newRow(name) << QByteArray(command) << size << !output.isEmpty() << output;
        };
        row("output cut at the buffer size", "printf 0123456789", 4, "0123");
        row("output exactly the buffer size", "printf abcd", 4, "abcd");
        row("output in pieces", "printf ab; sleep 0.2; printf 'c\\000d'", 8,
            literalBytes("abc\0d"));
        // A command that writes for ever must not keep the caller waiting.
        row("endless output", "yes", 8, "y\ny\ny\ny\n");
        row("no output", "true", 16, QByteArray());
        row("only standard error", "echo oops >&2", 16, QByteArray());
        row("no room", "printf hello", 0, QByteArray());
    }

    void commandOutput()
    {
        QFETCH(QByteArray, command);
        QFETCH(int, size);
        QFETCH(bool, result);
        QFETCH(QByteArray, output);
        // Guard bytes after the buffer never change, and no NUL is added.
        QByteArray buffer(size + 16, '#');
        QElapsedTimer timer;
        timer.start();
        FdCapture error(STDERR_FILENO);
        QCOMPARE(getRunCmdOutput(command.constData(), buffer.data(), size), result);
        QVERIFY(timer.elapsed() < 5000);
        QCOMPARE(buffer, output + QByteArray(buffer.size() - output.size(), '#'));
    }

    void deleteTreeAndLinks()
    {
        const QString target = tempPath(QStringLiteral("target"));
        const QString root = tempPath(QStringLiteral("用户 scheme"));
        QVERIFY(makeTree(target, {QStringLiteral("inner/file")}));
        QVERIFY(makeTree(root, {QStringLiteral("a/b/c/deep.ini"), QStringLiteral("empty/"),
                                QStringLiteral("top.ini")}));
        // A link found inside the tree, and a link given directly.
        QVERIFY(QFile::link(target, root + QStringLiteral("/a/inner link")));
        const QString link = tempPath(QStringLiteral("link"));
        QVERIFY(QFile::link(target, link));

        QVERIFY(deleteDirectory(QFileInfo(root)));
        QVERIFY(!QFileInfo::exists(root));
        QVERIFY(deleteDirectory(QFileInfo(link)));
        QVERIFY(!QFileInfo(link).isSymLink());
        QCOMPARE(readFile(target + QStringLiteral("/inner/file")), QByteArray("x"));

        // A plain file goes too; a missing entry is a failure.
        const QString file = tempPath(QStringLiteral(".hidden scheme.ini"));
        QVERIFY(writeFile(file, "x"));
        QVERIFY(deleteDirectory(QFileInfo(file)));
        QVERIFY(!QFileInfo::exists(file));
        QVERIFY(!deleteDirectory(QFileInfo(file)));
    }

    void deleteStopsAtHiddenEntries()
    {
        // Hidden entries are not listed: their folders stay, everything else goes.
        const QString root = tempPath(QStringLiteral("tree"));
        QVERIFY(makeTree(root, {QStringLiteral("sub/.hidden"), QStringLiteral("sub/visible"),
                                QStringLiteral("other/file")}));
        QVERIFY(!deleteDirectory(QFileInfo(root)));
        QVERIFY(QFileInfo::exists(root + QStringLiteral("/sub/.hidden")));
        QVERIFY(!QFileInfo::exists(root + QStringLiteral("/sub/visible")));
        QVERIFY(!QFileInfo::exists(root + QStringLiteral("/other")));
    }

    void convertText()
    {
        // With Latin-1 as the local encoding the flag changes the bytes.
        QTextCodec *previous = QTextCodec::codecForLocale();
        QTextCodec::setCodecForLocale(QTextCodec::codecForName("ISO-8859-1"));
        char *utf8 = nullptr, *local = nullptr, *empty = nullptr;
        qstring2char(QStringLiteral("café 凯"), &utf8, true);
        qstring2char(QStringLiteral("café"), &local, false);
        qstring2char(QString(), &empty, true);
        QTextCodec::setCodecForLocale(previous);
        QCOMPARE(QByteArray(utf8, 10), literalBytes("caf\xc3\xa9 凯\0"));
        QCOMPARE(QByteArray(local, 5), literalBytes("caf\xe9\0"));
        QCOMPARE(QByteArray(empty, 1), QByteArray(1, '\0'));
        delete[] utf8;
        delete[] local;
        delete[] empty;
    }

    void shellQuoteRoundTrip_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("empty") << QByteArray("");
        QTest::newRow("blanks and Chinese") << QByteArray("/home/用户/短语  文件 .txt");
        QTest::newRow("single quotes") << QByteArray("it's 'quoted''");
        QTest::newRow("substitutions") << QByteArray("$(touch pwned) `touch pwned` \"$HOME\"");
        QTest::newRow("separators") << QByteArray("a; touch pwned && b | c > d\nline2\tend\n");
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
        QCOMPARE(shell.exitCode(), 0);
        QCOMPARE(shell.readAllStandardOutput(), text);
        QVERIFY(!QFileInfo::exists(tempPath(QStringLiteral("pwned"))));
    }

    void desktopEnvironment_data()
    {
        QTest::addColumn<QByteArrayList>("before"); // desktop, plugin path, session id
        QTest::addColumn<QByteArrayList>("after");
        const auto row = [](const char *name, const QByteArrayList &before,
                            const QByteArrayList &after) {
            QTest::newRow(name) << before << after;
        };
        const QByteArray unset(kUnset);
        const QByteArray kde("/usr/lib/kde4/plugins/");
        const QByteArray deprecated("this-is-deprecated");
        row("KDE", {"KDE", unset, unset}, {"KDE", kde, unset});
        row("KDE replaces a plugin path", {"KDE", "/opt/plugins", unset}, {"KDE", kde, unset});
        row("GNOME", {"GNOME", unset, unset}, {"GNOME", unset, deprecated});
        row("no desktop named", {unset, unset, unset}, {unset, unset, deprecated});
        row("lower-case kde is another desktop", {"kde", unset, unset}, {"kde", unset, deprecated});
        row("KDE within a list is another desktop", {"KDE:Plasma", unset, unset},
            {"KDE:Plasma", unset, deprecated});
        row("other desktop replaces a session id", {"XFCE", unset, "abc"},
            {"XFCE", unset, deprecated});
        row("empty session id: nothing changes", {"KDE", unset, ""}, {"KDE", unset, ""});
        row("empty plugin path: nothing changes", {"GNOME", "", "id"}, {"GNOME", "", "id"});
    }

    void desktopEnvironment()
    {
        QFETCH(QByteArrayList, before);
        QFETCH(QByteArrayList, after);
        EnvGuard desktop("XDG_CURRENT_DESKTOP", before[0]);
        EnvGuard plugins("QT_PLUGIN_PATH", before[1]);
        EnvGuard session("GNOME_DESKTOP_SESSION_ID", before[2]);
        processDesktopEnv();
        // As child programs see the environment.
        char buffer[256] = {};
        QVERIFY(getRunCmdOutput("printf '%s|%s|%s' \"${XDG_CURRENT_DESKTOP-<unset>}\" "
                                "\"${QT_PLUGIN_PATH-<unset>}\" "
                                "\"${GNOME_DESKTOP_SESSION_ID-<unset>}\"",
                                buffer, sizeof(buffer) - 1));
        QCOMPARE(QByteArray(buffer), after.join('|'));
    }

    void startChildDetached()
    {
        const QString file = tempPath(QStringLiteral("child pid"));
        QElapsedTimer timer;
        timer.start();
        startScript("sleep 2; echo $$ $PPID > '" + QFile::encodeName(file) + "'");
        // Back at once; the go-between is reaped, the program is no child of ours.
        QVERIFY(timer.elapsed() < 1500);
        QVERIFY(!QFileInfo::exists(file));
        QVERIFY(noChildren());

        QTRY_VERIFY_WITH_TIMEOUT(readFile(file).endsWith('\n'), 10000);
        const QList<QByteArray> ids = readFile(file).trimmed().split(' ');
        QCOMPARE(ids.size(), 2);
        QVERIFY(ids.at(0).toInt() > 0 && ids.at(0).toInt() != getpid());
        QVERIFY(ids.at(1).toInt() != getpid());
        QVERIFY(noChildren());
    }

    void startChildWithChildSignalIgnored()
    {
        // Start-up ignores SIGCHLD before anything is started this way.
        struct sigaction ignore = {}, previous = {};
        ignore.sa_handler = SIG_IGN;
        QCOMPARE(sigaction(SIGCHLD, &ignore, &previous), 0);
        const QString file = tempPath(QStringLiteral("ran"));
        startScript("echo ran > '" + QFile::encodeName(file) + "'");
        sigaction(SIGCHLD, &previous, nullptr);
        QTRY_COMPARE_WITH_TIMEOUT(readFile(file), QByteArray("ran\n"), 10000);
        QVERIFY(noChildren());
    }
};

QTEST_GUILESS_MAIN(TestSystemHelpers)
#include "tst_system_helpers.moc"
