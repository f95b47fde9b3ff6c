// The scheme-file document writer and the single-value INI getters and setters.
#include "TestFiles.h"
#include "config/IniHelpers.h"

#include <QtTest>

#include <memory>
#include <unistd.h>

namespace
{

QByteArray local(const QString &path)
{
    return QFile::encodeName(path);
}

// "[name]" adds a section, anything else is "section:key=value".
void buildDocument(const QStringList &steps)
{
    QCOMPARE(new_ini_dictionary(), 0);
    for (const QString &step : steps) {
        const QByteArray bytes = step.toUtf8();
        const int equals = bytes.indexOf('=');
        if (bytes.startsWith('[') && bytes.endsWith(']'))
            setIniGroupName(bytes.mid(1, bytes.size() - 2).constData());
        else
            setIniValue(bytes.left(equals).constData(), bytes.mid(equals + 1).constData());
    }
}

const char kDefault[] = "default value";

bool isDefault(const char *result)
{
    return static_cast<const void *>(result) == static_cast<const void *>(kDefault);
}

} // namespace

class TestIniHelpers : public QObject
{
    Q_OBJECT

    QString tempPath(const QString &name) const { return mDir->filePath(name); }
    // Only the named file is left in the folder: no stray temporary file.
    void onlyFileIs(const QString &name)
    {
        QCOMPARE(
            QDir(mDir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{name});
    }

    std::unique_ptr<QTemporaryDir> mDir;

private slots:
    void init()
    {
        mDir.reset(new QTemporaryDir);
        QVERIFY(mDir->isValid());
    }

    void documentLayout_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QByteArray>("expected");
        const auto row = [](const char *name, const QStringList &steps, const char *expected) {
            QTest::newRow(name) << steps << QByteArray(expected);
        };
        row("scheme file",
            {"[metadata]", "metadata:title=我的双拼", "[声母]", "声母:zh=V", "声母:ch=I", "[韵母]",
             "韵母:iang=D"},
            "\n[metadata]\ntitle=我的双拼\n\n\n[声母]\nzh=V\nch=I\n\n\n[韵母]\niang=D\n\n\n");
        row("a value creates its section", {"metadata:title=X", "b:k=1"},
            "\n[metadata]\ntitle=X\n\n\n[b]\nk=1\n\n\n");
        row("setting a key or section again keeps its place",
            {"[a]", "a:x=1", "[b]", "[a]", "a:y=2", "a:x=3"}, "\n[a]\nx=3\ny=2\n\n\n[b]\n\n\n");
        row("interleaved entries, sections in first-touch order",
            {"[z]", "[a]", "a:1=a1", "z:1=z1", "a:2=a2"}, "\n[z]\n1=z1\n\n\n[a]\n1=a1\n2=a2\n\n\n");
        row("one section's name begins another's", {"[a]", "[ab]", "ab:x=1", "a:y=2"},
            "\n[a]\ny=2\n\n\n[ab]\nx=1\n\n\n");
        row("case and values kept verbatim",
            {"[MetaData]", "MetaData:zH=", "MetaData:s= x = y ", "MetaData:m=;#\"q\""},
            "\n[MetaData]\nzH=\ns= x = y \nm=;#\"q\"\n\n\n");
    }

    void documentLayout()
    {
        QFETCH(QStringList, steps);
        QFETCH(QByteArray, expected);
        const QString path = tempPath(QStringLiteral("scheme.ini"));
        // A longer old file is replaced whole; an unsaved document is dropped.
        QVERIFY(writeFile(path, QByteArray(4096, 'x') + "\n[old]\nkey=value\n"));
        buildDocument({"[stale]", "stale:k=1"});

        buildDocument(steps);
        saveIniFile(local(path).constData());
        QCOMPARE(readFile(path), expected);
        onlyFileIs(QStringLiteral("scheme.ini"));
    }

    void failedSaveKeepsDocument_data()
    {
        QTest::addColumn<QString>("badPath");
        QTest::newRow("directory missing") << QStringLiteral("absent dir/scheme.ini");
        QTest::newRow("path is a directory") << QStringLiteral("a directory");
    }

    void failedSaveKeepsDocument()
    {
        QFETCH(QString, badPath);
        QVERIFY(QDir().mkpath(tempPath(QStringLiteral("a directory"))));
        const QByteArray bad = local(tempPath(badPath));
        const QString good = tempPath(QStringLiteral("用户 方案/凯沃 it's.ini"));
        QVERIFY(QDir().mkpath(QFileInfo(good).path()));

        buildDocument({"[metadata]", "metadata:title=保留"});
        FdCapture error(STDERR_FILENO);
        saveIniFile(bad.constData());
        QCOMPARE(error.finish(), "iniparser: cannot open " + bad + "\n");
        QVERIFY(!QFileInfo(QFile::decodeName(bad)).isFile());

        // The document survives the failure and is written by the next save.
        saveIniFile(local(good).constData());
        QCOMPARE(readFile(good), QByteArray("\n[metadata]\ntitle=保留\n\n\n"));

        // Now the slot is empty: values are reported and a save writes nothing.
        FdCapture output(STDOUT_FILENO);
        setIniGroupName("ignored");
        setIniValue("metadata:title", "凯沃");
        QCOMPARE(output.finish(), QByteArray("setCfgValue error-------key_c=metadata:title\n"
                                             "setCfgValue error-------value_c=凯沃\n"));
        saveIniFile(local(tempPath(QStringLiteral("again.ini"))).constData());
        QVERIFY(!QFileInfo::exists(tempPath(QStringLiteral("again.ini"))));
    }

    void readString_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: no file at all
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("value"); // null: not found
        const auto row = [](const char *name, const QByteArray &content, const char *key,
                            const QByteArray &value) {
            QTest::newRow(name) << content << QByteArray(key) << value;
        };
        const QByteArray scheme("\n[metadata]\ntitle=凯沃双拼\n\n\n[声母]\nzh=V\nempty=\n\n\n");
        row("Chinese section", scheme, "声母:zh", "V");
        row("empty value is a value", scheme, "声母:empty", "");
        row("missing key", scheme, "声母:ch", QByteArray());
        row("key of another section", scheme, "metadata:zh", QByteArray());
        row("blanks and CRLF", "[metadata]\r\ntitle = 小鹤双拼  \r\n", "metadata:title",
            "小鹤双拼");
        row("missing file", QByteArray(), "metadata:title", QByteArray());
        // Values longer than 127 bytes are cut at a character boundary.
        const auto cut = [&](const char *name, const QByteArray &value, int length) {
            row(name, "[metadata]\ntitle=" + value + "\n", "metadata:title", value.left(length));
        };
        cut("128 ASCII bytes", QByteArray(128, 'a'), 127);
        cut("3-byte character, 1 byte fits", QByteArray("汉").repeated(67), 126);
        cut("3-byte character, 2 bytes fit", "ab" + QByteArray("汉").repeated(66), 125);
        cut("character ends at the limit", "a" + QByteArray("汉").repeated(66), 127);
        cut("4-byte character, 3 bytes fit", QByteArray("😀").repeated(50), 124);
        // Malformed files read as the default.
        row("2 MB on one line", "[metadata]\ntitle=" + QByteArray(2 << 20, 'x'), "metadata:title",
            QByteArray());
        QRandomGenerator generator(20240131);
        QByteArray binary(64 * 1024, '\0');
        for (char &c : binary)
            c = char(generator.bounded(256));
        row("random bytes with NULs", binary, "metadata:title", QByteArray());
        row("2 MB without equals sign", QByteArray("no equals\n").repeated(200000),
            "metadata:title", QByteArray());
        row("unterminated section", "[metadata\ntitle=X\n", "metadata:title", QByteArray());
    }

    void readString()
    {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, value);
        const QByteArray path = local(tempPath(QStringLiteral("方案 file.ini")));
        if (!content.isNull())
            QVERIFY(writeFile(QFile::decodeName(path), content));

        FdCapture error(STDERR_FILENO);
        for (const char *result :
             {getCfgValueString(path.constData(), key.constData(), kDefault),
              getIniValueString(path.constData(), key.constData(), kDefault)}) {
            // Not found: the caller's own pointer comes back, not a copy.
            QCOMPARE(isDefault(result), value.isNull());
            if (!value.isNull())
                QCOMPARE(QByteArray(result), value);
        }
        if (value.isNull())
            QVERIFY(!getCfgValueString(path.constData(), key.constData(), nullptr));
    }

    void readBool_data()
    {
        QTest::addColumn<QByteArray>("line"); // null: no file at all
        QTest::addColumn<bool>("whenDefaultFalse");
        QTest::addColumn<bool>("whenDefaultTrue");
        const auto row = [](const QByteArray &line, bool whenFalse, bool whenTrue) {
            QTest::newRow(line.isNull() ? "missing file" : line.constData())
                << line << whenFalse << whenTrue;
        };
        for (const char *yes : {"flag=true", "flag=Y", "flag=1"})
            row(yes, true, true);
        for (const char *no : {"flag=FALSE", "flag=no", "flag=0"})
            row(no, false, false);
        for (const char *other : {"flag=maybe", "flag=", "other=1"})
            row(other, false, true);
        row(QByteArray(), false, true);
    }

    void readBool()
    {
        QFETCH(QByteArray, line);
        QFETCH(bool, whenDefaultFalse);
        QFETCH(bool, whenDefaultTrue);
        const QByteArray path = local(tempPath(QStringLiteral("bool.ini")));
        if (!line.isNull())
            QVERIFY(writeFile(QFile::decodeName(path), "[section]\n" + line + "\n"));
        FdCapture error(STDERR_FILENO);
        QCOMPARE(getCfgValueBool(path.constData(), "section:flag", false), whenDefaultFalse);
        QCOMPARE(getCfgValueBool(path.constData(), "section:flag", true), whenDefaultTrue);
    }

    void setString_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: no file, none is made
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("expected");
        const auto row = [](const char *name, const QByteArray &content, const char *key,
                            const QByteArray &expected) {
            QTest::newRow(name) << content << QByteArray(key) << expected;
        };
        const QByteArray padded("[metadata]\ntitle = Old\n\n[声母]\nzh = V\nch = I\n");
        const QByteArray rest("\n[声母]\nzh=V\nch=I");
        row("whole file rewritten in the tool's layout", padded, "metadata:title",
            "\n[metadata]\ntitle=New\n\n" + rest + "\n\n\n");
        row("new key at the end of its section", padded, "声母:sh",
            "\n[metadata]\ntitle=Old\n\n" + rest + "\nsh=New\n\n\n");
        row("new section at the end", padded, "extra:k",
            "\n[metadata]\ntitle=Old\n\n" + rest + "\n\n\n[extra]\nk=New\n\n\n");
        row("upper-case key names the loaded key", padded, "MetaData:Title",
            "\n[metadata]\ntitle=New\n\n" + rest + "\n\n\n");
        row("empty file gains the section", "", "metadata:title", "\n[metadata]\ntitle=New\n\n\n");
        row("missing file", QByteArray(), "metadata:title", QByteArray());
    }

    void setString()
    {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, expected);
        const QString path = tempPath(QStringLiteral("用户 方案.ini"));
        if (!content.isNull())
            QVERIFY(writeFile(path, content));

        FdCapture error(STDERR_FILENO);
        setCfgValueString(local(path).constData(), key.constData(), "New");
        error.finish();
        QCOMPARE(QFileInfo::exists(path), !content.isNull());
        if (content.isNull())
            return;
        QCOMPARE(readFile(path), expected);
        onlyFileIs(QFileInfo(path).fileName());
        QCOMPARE(QByteArray(getCfgValueString(local(path).constData(), key.constData(), kDefault)),
                 QByteArray("New"));
    }

    void setStringUnderHome()
    {
        const QByteArray savedHome = qgetenv("HOME");
        const QString home = tempPath(QStringLiteral("a home 用户"));
        const QString dir = home + QStringLiteral("/.config/KaiwoPY/");
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(writeFile(dir + QStringLiteral("sp.ini"), "[metadata]\ntitle=Old\n"));
        qputenv("HOME", local(home));
        FdCapture error(STDERR_FILENO);
        setIniValueString("sp.ini", "metadata:title", "New");
        setIniValueString("absent.ini", "metadata:title", "New");
        error.finish();
        qputenv("HOME", savedHome);

        QCOMPARE(readFile(dir + QStringLiteral("sp.ini")),
                 QByteArray("\n[metadata]\ntitle=New\n\n\n"));
        QVERIFY(!QFileInfo::exists(dir + QStringLiteral("absent.ini")));
    }

    void legacyEncodedFileName()
    {
        // A folder named in GBK ("方案") on a UTF-8 desktop: no valid local text,
        // yet the files go there. The test reaches it through Latin-1.
        QTextCodec *previous = QTextCodec::codecForLocale();
        const auto useCodec = [](const char *name) {
            QTextCodec::setCodecForLocale(QTextCodec::codecForName(name));
        };
        const QByteArray dir = local(mDir->path()) + "/\xb7\xbd\xb0\xb8";
        useCodec("ISO-8859-1");
        const bool prepared =
            QDir().mkpath(QFile::decodeName(dir)) &&
            writeFile(QFile::decodeName(dir + "/sp.ini"), "[metadata]\ntitle=Old\n");
        useCodec("UTF-8");
        FdCapture error(STDERR_FILENO);
        setCfgValueString(dir + "/sp.ini", "metadata:title", "New");
        buildDocument({"[b]", "b:k=1"});
        saveIniFile(dir + "/new.ini");
        error.finish();
        useCodec("ISO-8859-1");
        const QByteArray file = readFile(QFile::decodeName(dir + "/sp.ini"));
        const QByteArray document = readFile(QFile::decodeName(dir + "/new.ini"));
        QDir(QFile::decodeName(dir)).removeRecursively();
        QTextCodec::setCodecForLocale(previous);

        QVERIFY(prepared);
        QCOMPARE(file, QByteArray("\n[metadata]\ntitle=New\n\n\n"));
        QCOMPARE(document, QByteArray("\n[b]\nk=1\n\n\n"));
    }
};

QTEST_GUILESS_MAIN(TestIniHelpers)
#include "tst_ini_helpers.moc"
