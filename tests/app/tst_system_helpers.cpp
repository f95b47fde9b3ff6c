// The plain helpers: digests, dates, file copies, shell commands, directory
// removal, conversions and the detached start of child programs.
#include "SystemHelpers.h"
#include "TestFiles.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <QTextCodec>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>

namespace
{

QByteArray md5sumOf(const QString &path)
{
    QProcess md5sum;
    md5sum.start(QStringLiteral("md5sum"), {path});
    if (!md5sum.waitForFinished(30000))
        return {};
    return md5sum.readAllStandardOutput().left(32);
}

QByteArray digestOf(const QString &path)
{
    char *digest = MD5_file(QFile::encodeName(path).constData());
    if (!digest)
        return {};
    const QByteArray text(digest);
    free(digest);
    return text;
}

QByteArray pseudoRandomBytes(int size, quint32 seed)
{
    QRandomGenerator generator(seed);
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char(generator.bounded(256));
    return bytes;
}

// Processes whose parent is this test process, zombies included.
QList<int> childProcesses()
{
    QList<int> children;
    DIR *proc = opendir("/proc");
    if (!proc)
        return children;
    while (dirent *entry = readdir(proc)) {
        const int pid = atoi(entry->d_name);
        if (pid <= 0)
            continue;
        const QByteArray stat = readFile(QStringLiteral("/proc/%1/stat").arg(pid));
        // "pid (comm) state ppid ..."; comm may hold blanks and parentheses.
        const int close = stat.lastIndexOf(')');
        if (close < 0)
            continue;
        const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
        if (fields.size() > 1 && fields.at(1).toInt() == getpid())
            children << pid;
    }
    closedir(proc);
    return children;
}

// Keeps one environment variable as it was before the test.
class EnvGuard
{
public:
    explicit EnvGuard(const char *name)
        : mName(name), mWasSet(qEnvironmentVariableIsSet(name)), mValue(qgetenv(name))
    {
    }
    ~EnvGuard()
    {
        if (mWasSet)
            qputenv(mName, mValue);
        else
            qunsetenv(mName);
    }

private:
    const char *mName;
    bool mWasSet;
    QByteArray mValue;
};

const char kUnset[] = "<unset>";

void setOrUnset(const char *name, const QByteArray &value)
{
    if (value == kUnset)
        qunsetenv(name);
    else
        qputenv(name, value);
}

QByteArray currentOrUnset(const char *name)
{
    return qEnvironmentVariableIsSet(name) ? qgetenv(name) : QByteArray(kUnset);
}

} // namespace

class TestSystemHelpers : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void md5Vectors_data();
    void md5Vectors();
    void md5AgainstMd5sum_data();
    void md5AgainstMd5sum();
    void md5UnopenableFile();

    void dateString_data();
    void dateString();
    void dateStringIgnoresLocalZone();

    void copySameDirectory();
    void copyMissingSource();
    void copyCreatesOneLevel();
    void copyRefusesTwoMissingLevels();
    void copyOverwrite_data();
    void copyOverwrite();
    void copyUnusualNames();

    void commandOutput_data();
    void commandOutput();
    void commandOutputStopsEndlessProducer();

    void deleteNestedTree();
    void deleteStopsAtHiddenEntries();
    void deletePlainFile();
    void deleteSymlinkKeepsTarget();
    void deleteMissingEntry();

    void convertText_data();
    void convertText();

    void shellQuoteRoundTrip_data();
    void shellQuoteRoundTrip();

    void desktopEnvironment_data();
    void desktopEnvironment();
    void desktopEnvironmentReachesChildren();

    void startChildDetached();
    void startChildWithChildSignalIgnored();
    void startMissingProgram();

private:
    QString tempPath(const QString &name) const { return mDir->filePath(name); }

    std::unique_ptr<QTemporaryDir> mDir;
};

void TestSystemHelpers::init()
{
    mDir.reset(new QTemporaryDir);
    QVERIFY(mDir->isValid());
}

void TestSystemHelpers::md5Vectors_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("digest");

    QTest::newRow("empty") << QByteArray("") << QByteArray("d41d8cd98f00b204e9800998ecf8427e");
    QTest::newRow("a") << QByteArray("a") << QByteArray("0cc175b9c0f1b6a831c399e269772661");
    QTest::newRow("abc") << QByteArray("abc") << QByteArray("900150983cd24fb0d6963f7d28e17f72");
    QTest::newRow("message digest")
        << QByteArray("message digest") << QByteArray("f96b697d7cb7938d525a2f31aaf161d0");
    QTest::newRow("alphabet") << QByteArray("abcdefghijklmnopqrstuvwxyz")
                              << QByteArray("c3fcd3d76192e4007dfb496cca67e13b");
    QTest::newRow("alphanumerics")
        << QByteArray("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789")
        << QByteArray("d174ab98d277d9f5a5611c2c9f419d9f");
    QTest::newRow("eight times 1234567890")
        << QByteArray("1234567890").repeated(8) << QByteArray("57edf4a22be3c955ac49da2e2107b67a");
}

void TestSystemHelpers::md5Vectors()
{
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, digest);
    const QString path = tempPath(QStringLiteral("vector"));
    QVERIFY(writeFile(path, content));

    char *text = MD5_file(QFile::encodeName(path).constData());
    QVERIFY(text);
    // 32 lower-case digits and the terminating NUL.
    QCOMPARE(std::strlen(text), size_t(32));
    QCOMPARE(QByteArray(text), digest);
    free(text);
}

void TestSystemHelpers::md5AgainstMd5sum_data()
{
    QTest::addColumn<int>("size");

    // Padding boundaries of the 64-byte block, the 1024-byte read size and
    // a file of several megabytes.
    for (int size : {55, 56, 63, 64, 65, 119, 120, 1023, 1024, 1025, 2048, 3 * 1024 * 1024 + 7})
        QTest::addRow("%d bytes", size) << size;
}

void TestSystemHelpers::md5AgainstMd5sum()
{
    QFETCH(int, size);
    const QString path = tempPath(QStringLiteral("data file.bin"));
    QVERIFY(writeFile(path, pseudoRandomBytes(size, quint32(size))));

    const QByteArray expected = md5sumOf(path);
    QCOMPARE(expected.size(), 32);
    QCOMPARE(digestOf(path), expected);
}

void TestSystemHelpers::md5UnopenableFile()
{
    const QByteArray path = QFile::encodeName(tempPath(QStringLiteral("absent/file")));
    FdCapture error(STDERR_FILENO);
    char *text = MD5_file(path.constData());
    const QByteArray printed = error.finish();
    QVERIFY(!text);
    QCOMPARE(printed, "fopen " + path + " failed\n");
}

void TestSystemHelpers::dateString_data()
{
    QTest::addColumn<qlonglong>("time");
    QTest::addColumn<QString>("expected");

    QTest::newRow("epoch") << 0LL << QStringLiteral("1970-01-01 ");
    QTest::newRow("last second of the first day") << 86399LL << QStringLiteral("1970-01-01 ");
    QTest::newRow("first second of the second day") << 86400LL << QStringLiteral("1970-01-02 ");
    QTest::newRow("one second before the epoch") << -1LL << QStringLiteral("1969-12-31 ");
    QTest::newRow("a day before the epoch") << -86400LL << QStringLiteral("1969-12-31 ");
    QTest::newRow("23:59:59 on a leap day") << 951868799LL << QStringLiteral("2000-02-29 ");
    QTest::newRow("midnight after a leap day") << 951868800LL << QStringLiteral("2000-03-01 ");
    QTest::newRow("past 32-bit time") << 2147483648LL << QStringLiteral("2038-01-19 ");
    QTest::newRow("2100 is no leap year") << 4107542400LL << QStringLiteral("2100-03-01 ");
}

void TestSystemHelpers::dateString()
{
    QFETCH(qlonglong, time);
    QFETCH(QString, expected);
    QCOMPARE(time_2_string(long(time)), expected);

    // The same text the C library's strftime gives for the UTC date.
    const time_t value = time_t(time);
    tm parts{};
    QVERIFY(gmtime_r(&value, &parts));
    char buffer[32];
    std::strftime(buffer, sizeof(buffer), "%Y-%m-%d ", &parts);
    QCOMPARE(time_2_string(long(time)), QString::fromLatin1(buffer));
}

void TestSystemHelpers::dateStringIgnoresLocalZone()
{
    QString east, west;
    {
        EnvGuard zone("TZ");
        // 20:00 UTC on 1 January is already 2 January eight hours east, and
        // 01:00 UTC is still 31 December eight hours west.
        qputenv("TZ", "XST-8");
        tzset();
        east = time_2_string(72000);
        qputenv("TZ", "YST+8");
        tzset();
        west = time_2_string(3600);
    }
    tzset();
    QCOMPARE(east, QStringLiteral("1970-01-01 "));
    QCOMPARE(west, QStringLiteral("1970-01-01 "));
}

void TestSystemHelpers::copySameDirectory()
{
    // The same string is enough: nothing is checked or copied.
    const QString dir = mDir->path() + QStringLiteral("/same/");
    QVERIFY(copyFileToPath(dir, dir, QStringLiteral("env.ini"), true));
    QVERIFY(copyFileToPath(dir, dir, QStringLiteral("env.ini"), false));
    QVERIFY(!QFileInfo::exists(dir));
}

void TestSystemHelpers::copyMissingSource()
{
    const QString from = mDir->path() + QStringLiteral("/from/");
    const QString to = mDir->path() + QStringLiteral("/to/");
    QVERIFY(QDir().mkpath(from));
    QVERIFY(!copyFileToPath(from, to, QStringLiteral("env.ini"), true));
    QVERIFY(!QFileInfo::exists(to));
}

void TestSystemHelpers::copyCreatesOneLevel()
{
    const QString from = mDir->path() + QStringLiteral("/from/");
    const QString to = mDir->path() + QStringLiteral("/to/");
    QVERIFY(QDir().mkpath(from));
    const QByteArray content = pseudoRandomBytes(5000, 1) + QByteArray(3, '\0');
    QVERIFY(writeFile(from + QStringLiteral("Fuzzy.dat"), content));

    QVERIFY(copyFileToPath(from, to, QStringLiteral("Fuzzy.dat"), true));
    QCOMPARE(readFile(to + QStringLiteral("Fuzzy.dat")), content);
    QCOMPARE(readFile(from + QStringLiteral("Fuzzy.dat")), content);
}

void TestSystemHelpers::copyRefusesTwoMissingLevels()
{
    const QString from = mDir->path() + QStringLiteral("/from/");
    const QString parent = mDir->path() + QStringLiteral("/usr");
    const QString to = parent + QStringLiteral("/PCPYDict/");
    QVERIFY(QDir().mkpath(from));
    QVERIFY(writeFile(from + QStringLiteral("env.ini"), "[Setting]\n"));

    QVERIFY(!copyFileToPath(from, to, QStringLiteral("env.ini"), true));
    QVERIFY(!QFileInfo::exists(parent));
}

void TestSystemHelpers::copyOverwrite_data()
{
    QTest::addColumn<bool>("overwrite");
    QTest::addColumn<bool>("result");

    QTest::newRow("overwrite on replaces") << true << true;
    // QFile::copy never replaces an existing file.
    QTest::newRow("overwrite off keeps the target") << false << false;
}

void TestSystemHelpers::copyOverwrite()
{
    QFETCH(bool, overwrite);
    QFETCH(bool, result);
    const QString from = mDir->path() + QStringLiteral("/from/");
    const QString to = mDir->path() + QStringLiteral("/to/");
    QVERIFY(QDir().mkpath(from));
    QVERIFY(QDir().mkpath(to));
    const QByteArray source("short");
    const QByteArray existing("the user's own, much longer content\n");
    QVERIFY(writeFile(from + QStringLiteral("Correction.ini"), source));
    QVERIFY(writeFile(to + QStringLiteral("Correction.ini"), existing));

    QCOMPARE(copyFileToPath(from, to, QStringLiteral("Correction.ini"), overwrite), result);
    // Replaced whole, or left exactly as it was: never truncated or mixed.
    QCOMPARE(readFile(to + QStringLiteral("Correction.ini")), result ? source : existing);
    QCOMPARE(readFile(from + QStringLiteral("Correction.ini")), source);
}

void TestSystemHelpers::copyUnusualNames()
{
    const QString from = mDir->path() + QStringLiteral("/源 'single' \"double\" $(touch x)/");
    const QString to = mDir->path() + QStringLiteral("/目标 `echo y` dir/");
    const QString name = QStringLiteral("词库 it's \"new\".ini");
    QVERIFY(QDir().mkpath(from));
    QVERIFY(writeFile(from + name, "内容\n"));

    QVERIFY(copyFileToPath(from, to, name, false));
    QCOMPARE(readFile(to + name), QByteArray("内容\n"));
}

void TestSystemHelpers::commandOutput_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QByteArray>("output");

    QTest::newRow("short output") << QByteArray("printf hello") << 16 << true
                                  << QByteArray("hello");
    QTest::newRow("output cut at the buffer size")
        << QByteArray("printf 0123456789") << 4 << true << QByteArray("0123");
    QTest::newRow("output exactly the buffer size")
        << QByteArray("printf abcd") << 4 << true << QByteArray("abcd");
    QTest::newRow("output in pieces")
        << QByteArray("printf ab; sleep 0.2; printf cd") << 8 << true << QByteArray("abcd");
    QTest::newRow("NUL bytes are data")
        << QByteArray("printf 'a\\000b'") << 8 << true << QByteArray("a\0b", 3);
    QTest::newRow("UTF-8 text") << QByteArray("printf '%s' 'ASCII text, with 中文'") << 64 << true
                                << QByteArray("ASCII text, with 中文");
    QTest::newRow("no output") << QByteArray("true") << 16 << false << QByteArray();
    QTest::newRow("only standard error")
        << QByteArray("echo oops >&2") << 16 << false << QByteArray();
    QTest::newRow("command that does not exist")
        << QByteArray("/nonexistent/kaiwo-command 2>/dev/null") << 16 << false << QByteArray();
    QTest::newRow("no room") << QByteArray("printf hello") << 0 << false << QByteArray();
}

void TestSystemHelpers::commandOutput()
{
    QFETCH(QByteArray, command);
    QFETCH(int, size);
    QFETCH(bool, result);
    QFETCH(QByteArray, output);

    // The buffer is followed by guard bytes that must never change, and the
    // bytes after the output stay as they were: no NUL is added.
    const int guard = 16;
    QByteArray buffer(size + guard, '#');
    FdCapture error(STDERR_FILENO);
    const bool ran = getRunCmdOutput(command.constData(), buffer.data(), size);
    error.finish();
    QCOMPARE(ran, result);
    QCOMPARE(buffer.left(output.size()), output);
    QCOMPARE(buffer.mid(output.size()), QByteArray(size + guard - output.size(), '#'));
}

void TestSystemHelpers::commandOutputStopsEndlessProducer()
{
    // A command that writes for ever must not keep the caller waiting.
    QElapsedTimer timer;
    timer.start();
    char buffer[8 + 4];
    std::memset(buffer, '#', sizeof(buffer));
    QVERIFY(getRunCmdOutput("yes", buffer, 8));
    QVERIFY(timer.elapsed() < 5000);
    QCOMPARE(QByteArray(buffer, sizeof(buffer)), QByteArray("y\ny\ny\ny\n####"));
}

void TestSystemHelpers::deleteNestedTree()
{
    const QString root = tempPath(QStringLiteral("用户 scheme"));
    QVERIFY(QDir().mkpath(root + QStringLiteral("/a/b/c")));
    QVERIFY(QDir().mkpath(root + QStringLiteral("/empty")));
    QVERIFY(writeFile(root + QStringLiteral("/a/b/c/deep.ini"), "x"));
    QVERIFY(writeFile(root + QStringLiteral("/a/one.ini"), "y"));
    QVERIFY(writeFile(root + QStringLiteral("/top.ini"), "z"));

    QVERIFY(deleteDirectory(QFileInfo(root)));
    QVERIFY(!QFileInfo::exists(root));
    QVERIFY(QFileInfo::exists(mDir->path()));
}

void TestSystemHelpers::deleteStopsAtHiddenEntries()
{
    // Hidden entries are not listed, so the folder holding one stays, and
    // so does every folder above it; everything else goes.
    const QString root = tempPath(QStringLiteral("tree"));
    QVERIFY(QDir().mkpath(root + QStringLiteral("/sub")));
    QVERIFY(QDir().mkpath(root + QStringLiteral("/other")));
    QVERIFY(writeFile(root + QStringLiteral("/sub/.hidden"), "keep"));
    QVERIFY(writeFile(root + QStringLiteral("/sub/visible"), "go"));
    QVERIFY(writeFile(root + QStringLiteral("/other/file"), "go"));

    QVERIFY(!deleteDirectory(QFileInfo(root)));
    QCOMPARE(readFile(root + QStringLiteral("/sub/.hidden")), QByteArray("keep"));
    QVERIFY(!QFileInfo::exists(root + QStringLiteral("/sub/visible")));
    QVERIFY(!QFileInfo::exists(root + QStringLiteral("/other")));
}

void TestSystemHelpers::deletePlainFile()
{
    const QString path = tempPath(QStringLiteral(".hidden scheme.ini"));
    QVERIFY(writeFile(path, "x"));
    QVERIFY(deleteDirectory(QFileInfo(path)));
    QVERIFY(!QFileInfo::exists(path));
}

void TestSystemHelpers::deleteSymlinkKeepsTarget()
{
    const QString target = tempPath(QStringLiteral("target"));
    QVERIFY(QDir().mkpath(target + QStringLiteral("/inner")));
    QVERIFY(writeFile(target + QStringLiteral("/inner/file"), "keep"));

    // A link given directly, and a link found inside a tree being removed.
    const QString link = tempPath(QStringLiteral("link"));
    QVERIFY(QFile::link(target, link));
    const QString tree = tempPath(QStringLiteral("tree"));
    QVERIFY(QDir().mkpath(tree));
    QVERIFY(QFile::link(target, tree + QStringLiteral("/inner link")));

    QVERIFY(deleteDirectory(QFileInfo(link)));
    QVERIFY(!QFileInfo(link).isSymLink());
    QVERIFY(deleteDirectory(QFileInfo(tree)));
    QVERIFY(!QFileInfo::exists(tree));
    QCOMPARE(readFile(target + QStringLiteral("/inner/file")), QByteArray("keep"));
}

void TestSystemHelpers::deleteMissingEntry()
{
    QVERIFY(!deleteDirectory(QFileInfo(tempPath(QStringLiteral("absent")))));
}

void TestSystemHelpers::convertText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("utf8");
    QTest::addColumn<QByteArray>("expected");

    // The local 8-bit encoding is Latin-1 in this test, so the two flags
    // give different bytes for the same text.
    QTest::newRow("ASCII, UTF-8") << QStringLiteral("abc") << true << QByteArray("abc");
    QTest::newRow("ASCII, local") << QStringLiteral("abc") << false << QByteArray("abc");
    QTest::newRow("accent, UTF-8") << QStringLiteral("café") << true << QByteArray("caf\xc3\xa9");
    QTest::newRow("accent, local") << QStringLiteral("café") << false << QByteArray("caf\xe9");
    QTest::newRow("Chinese, UTF-8")
        << QStringLiteral("凯沃双拼") << true
        << QByteArray("\xe5\x87\xaf\xe6\xb2\x83\xe5\x8f\x8c\xe6\x8b\xbc");
    QTest::newRow("empty, UTF-8") << QString() << true << QByteArray("");
    QTest::newRow("empty, local") << QStringLiteral("") << false << QByteArray("");
}

void TestSystemHelpers::convertText()
{
    QFETCH(QString, text);
    QFETCH(bool, utf8);
    QFETCH(QByteArray, expected);

    QTextCodec *previous = QTextCodec::codecForLocale();
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("ISO-8859-1"));
    char *out = nullptr;
    qstring2char(text, &out, utf8);
    QTextCodec::setCodecForLocale(previous);

    QVERIFY(out);
    QCOMPARE(std::strlen(out), size_t(expected.size()));
    QCOMPARE(QByteArray(out, expected.size() + 1), expected + QByteArray(1, '\0'));
    delete[] out;
}

void TestSystemHelpers::shellQuoteRoundTrip_data()
{
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("plain path") << QByteArray("/home/user/phrase.txt");
    QTest::newRow("empty") << QByteArray("");
    QTest::newRow("blanks") << QByteArray("/home/a user/my  file .txt");
    QTest::newRow("single quotes") << QByteArray("it's 'quoted''");
    QTest::newRow("only a quote") << QByteArray("'");
    QTest::newRow("double quotes") << QByteArray("say \"hi\"");
    QTest::newRow("command substitution") << QByteArray("$(touch pwned)");
    QTest::newRow("backticks") << QByteArray("`touch pwned`");
    QTest::newRow("variables and globs") << QByteArray("$HOME * ? [a] ~ %s");
    QTest::newRow("separators") << QByteArray("a; touch pwned && b | c > d");
    QTest::newRow("newline and tab") << QByteArray("line1\nline2\tend\n");
    QTest::newRow("backslashes") << QByteArray("a\\b\\'c\\");
    QTest::newRow("leading dash") << QByteArray("-n");
    QTest::newRow("Chinese") << QByteArray("/home/用户/短语 文件.txt");
}

void TestSystemHelpers::shellQuoteRoundTrip()
{
    QFETCH(QByteArray, text);
    QTemporaryDir work;
    QVERIFY(work.isValid());

    // The script goes in as bytes on standard input, untouched by any
    // conversion of command-line arguments.
    QProcess shell;
    shell.setWorkingDirectory(work.path());
    shell.start(QStringLiteral("/bin/sh"), {QStringLiteral("-s")});
    QVERIFY(shell.waitForStarted(10000));
    shell.write("printf %s " + shellQuote(text) + "\n");
    shell.closeWriteChannel();
    QVERIFY(shell.waitForFinished(10000));
    QCOMPARE(shell.exitCode(), 0);
    QCOMPARE(shell.readAllStandardOutput(), text);
    QVERIFY(!QFileInfo::exists(work.filePath(QStringLiteral("pwned"))));
}

void TestSystemHelpers::desktopEnvironment_data()
{
    QTest::addColumn<QByteArray>("desktop");
    QTest::addColumn<QByteArray>("pluginPath");
    QTest::addColumn<QByteArray>("gnomeSession");
    QTest::addColumn<QByteArray>("expectedPluginPath");
    QTest::addColumn<QByteArray>("expectedGnomeSession");

    const QByteArray unset(kUnset);
    const QByteArray kdePlugins("/usr/lib/kde4/plugins/");
    const QByteArray deprecated("this-is-deprecated");

    QTest::newRow("KDE") << QByteArray("KDE") << unset << unset << kdePlugins << unset;
    QTest::newRow("KDE replaces a plugin path")
        << QByteArray("KDE") << QByteArray("/opt/plugins") << unset << kdePlugins << unset;
    QTest::newRow("GNOME") << QByteArray("GNOME") << unset << unset << unset << deprecated;
    QTest::newRow("no desktop named") << unset << unset << unset << unset << deprecated;
    QTest::newRow("lower-case kde is another desktop")
        << QByteArray("kde") << unset << unset << unset << deprecated;
    QTest::newRow("KDE within a list is another desktop")
        << QByteArray("KDE:Plasma") << unset << unset << unset << deprecated;
    QTest::newRow("other desktop replaces a session id")
        << QByteArray("XFCE") << unset << QByteArray("abc") << unset << deprecated;
    QTest::newRow("empty session id: nothing changes")
        << QByteArray("KDE") << unset << QByteArray("") << unset << QByteArray("");
    QTest::newRow("empty session id, other desktop: nothing changes")
        << QByteArray("GNOME") << QByteArray("/opt/plugins") << QByteArray("")
        << QByteArray("/opt/plugins") << QByteArray("");
    QTest::newRow("empty plugin path: nothing changes")
        << QByteArray("KDE") << QByteArray("") << unset << QByteArray("") << unset;
    QTest::newRow("empty plugin path, other desktop: nothing changes")
        << QByteArray("GNOME") << QByteArray("") << QByteArray("id") << QByteArray("")
        << QByteArray("id");
}

void TestSystemHelpers::desktopEnvironment()
{
    QFETCH(QByteArray, desktop);
    QFETCH(QByteArray, pluginPath);
    QFETCH(QByteArray, gnomeSession);
    QFETCH(QByteArray, expectedPluginPath);
    QFETCH(QByteArray, expectedGnomeSession);

    EnvGuard desktopGuard("XDG_CURRENT_DESKTOP");
    EnvGuard pluginGuard("QT_PLUGIN_PATH");
    EnvGuard gnomeGuard("GNOME_DESKTOP_SESSION_ID");
    setOrUnset("XDG_CURRENT_DESKTOP", desktop);
    setOrUnset("QT_PLUGIN_PATH", pluginPath);
    setOrUnset("GNOME_DESKTOP_SESSION_ID", gnomeSession);

    processDesktopEnv();
    QCOMPARE(currentOrUnset("QT_PLUGIN_PATH"), expectedPluginPath);
    QCOMPARE(currentOrUnset("GNOME_DESKTOP_SESSION_ID"), expectedGnomeSession);
    QCOMPARE(currentOrUnset("XDG_CURRENT_DESKTOP"), desktop);
}

void TestSystemHelpers::desktopEnvironmentReachesChildren()
{
    EnvGuard desktopGuard("XDG_CURRENT_DESKTOP");
    EnvGuard pluginGuard("QT_PLUGIN_PATH");
    EnvGuard gnomeGuard("GNOME_DESKTOP_SESSION_ID");
    qputenv("XDG_CURRENT_DESKTOP", "KDE");
    qunsetenv("QT_PLUGIN_PATH");
    qunsetenv("GNOME_DESKTOP_SESSION_ID");

    processDesktopEnv();
    char buffer[64] = {};
    QVERIFY(getRunCmdOutput("printf %s \"$QT_PLUGIN_PATH\"", buffer, sizeof(buffer) - 1));
    QCOMPARE(QByteArray(buffer), QByteArray("/usr/lib/kde4/plugins/"));
}

void TestSystemHelpers::startChildDetached()
{
    const QByteArray file = QFile::encodeName(tempPath(QStringLiteral("child pid")));
    const QByteArray script = "sleep 2; echo $$ $PPID > '" + file + "'";
    char program[] = "/bin/sh";
    char option[] = "-c";
    QByteArray scriptCopy = script;
    char *argv[] = {program, option, scriptCopy.data(), nullptr};

    QElapsedTimer timer;
    timer.start();
    startChildApp("/bin/sh", argv);
    // Back before the program has finished its sleep.
    QVERIFY(timer.elapsed() < 1500);
    QVERIFY(!QFileInfo::exists(QFile::decodeName(file)));
    // The intermediate child is already reaped and the program belongs to
    // someone else: this process has no child at all, zombie or not.
    QCOMPARE(childProcesses(), QList<int>());
    errno = 0;
    QCOMPARE(waitpid(-1, nullptr, WNOHANG), pid_t(-1));
    QCOMPARE(errno, ECHILD);

    QTRY_VERIFY_WITH_TIMEOUT(readFile(QFile::decodeName(file)).endsWith('\n'), 10000);
    const QList<QByteArray> ids = readFile(QFile::decodeName(file)).trimmed().split(' ');
    QCOMPARE(ids.size(), 2);
    QVERIFY(ids.at(0).toInt() > 0);
    QVERIFY(ids.at(0).toInt() != getpid());
    QVERIFY(ids.at(1).toInt() != getpid());
    QCOMPARE(childProcesses(), QList<int>());
}

void TestSystemHelpers::startChildWithChildSignalIgnored()
{
    // Start-up ignores SIGCHLD before anything is started this way.
    struct sigaction ignore {
    };
    struct sigaction previous {
    };
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    QCOMPARE(sigaction(SIGCHLD, &ignore, &previous), 0);

    const QByteArray file = QFile::encodeName(tempPath(QStringLiteral("ran")));
    QByteArray script = "echo ran > '" + file + "'";
    char program[] = "sh";
    char option[] = "-c";
    char *argv[] = {program, option, script.data(), nullptr};
    startChildApp("sh", argv);
    sigaction(SIGCHLD, &previous, nullptr);

    QTRY_COMPARE_WITH_TIMEOUT(readFile(QFile::decodeName(file)), QByteArray("ran\n"), 10000);
    QCOMPARE(childProcesses(), QList<int>());
}

void TestSystemHelpers::startMissingProgram()
{
    char program[] = "/nonexistent/kaiwo-program";
    char *argv[] = {program, nullptr};
    FdCapture error(STDERR_FILENO);
    startChildApp(program, argv);
    // The caller goes on; the program's own process reports the failure.
    QTRY_VERIFY_WITH_TIMEOUT(error.contents().contains("execvp: "), 10000);
    error.finish();
    QCOMPARE(childProcesses(), QList<int>());
}

QTEST_GUILESS_MAIN(TestSystemHelpers)
#include "tst_system_helpers.moc"
