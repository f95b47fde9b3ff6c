// The iniparser-based helpers: the document writer used for scheme files and
// the getters and setters for single values of other INI files.
#include "TestFiles.h"
#include "config/IniHelpers.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <QTextCodec>

#include <cstdio>
#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

QByteArray local(const QString &path)
{
    return QFile::encodeName(path);
}

bool isValidUtf8(const QByteArray &bytes)
{
    QTextCodec::ConverterState state;
    QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
    return state.invalidChars == 0 && state.remainingChars == 0;
}

// Runs a document-building sequence: "[name]" adds a section, anything else
// is "section:key=value".
void buildDocument(const QStringList &steps)
{
    QCOMPARE(new_ini_dictionary(), 0);
    for (const QString &step : steps) {
        const QByteArray bytes = step.toUtf8();
        if (bytes.startsWith('[') && bytes.endsWith(']')) {
            setIniGroupName(bytes.mid(1, bytes.size() - 2).constData());
            continue;
        }
        const int equals = bytes.indexOf('=');
        setIniValue(bytes.left(equals).constData(), bytes.mid(equals + 1).constData());
    }
}

const char kDefault[] = "default value";

} // namespace

class TestIniHelpers : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void documentLayout_data();
    void documentLayout();
    void failedSaveKeepsDocument_data();
    void failedSaveKeepsDocument();
    void saveReplacesWholeFile();
    void newDocumentDropsThePrevious();
    void valueWithoutDocumentIsReported();

    void readString_data();
    void readString();
    void readStringFromMissingFile();
    void readStringReusesOneBuffer();
    void readLongString_data();
    void readLongString();

    void readBool_data();
    void readBool();

    void setString_data();
    void setString();
    void setStringOnMissingFile();
    void setStringUnderHome();
    void legacyEncodedFileName();

    void malformedFiles_data();
    void malformedFiles();
    void hugeValidFile();

private:
    QString tempPath(const QString &name) const { return mDir->filePath(name); }

    std::unique_ptr<QTemporaryDir> mDir;
};

void TestIniHelpers::init()
{
    mDir.reset(new QTemporaryDir);
    QVERIFY(mDir->isValid());
}

void TestIniHelpers::documentLayout_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("one section") << QStringList{"[metadata]", "metadata:title=X"}
                                 << QByteArray("\n[metadata]\ntitle=X\n\n\n");
    QTest::newRow("scheme file") << QStringList{"[metadata]",
                                                "metadata:title=我的双拼",
                                                "[声母]",
                                                "声母:zh=V",
                                                "声母:ch=I",
                                                "声母:sh=U",
                                                "[韵母]",
                                                "韵母:iang=D",
                                                "韵母:ao=K",
                                                "[零声母音节的韵母]",
                                                "零声母音节的韵母:ai=OL"}
                                 << QByteArray("\n[metadata]\ntitle=我的双拼\n\n"
                                               "\n[声母]\nzh=V\nch=I\nsh=U\n\n"
                                               "\n[韵母]\niang=D\nao=K\n\n"
                                               "\n[零声母音节的韵母]\nai=OL\n\n"
                                               "\n");
    QTest::newRow("a value creates its section")
        << QStringList{"metadata:title=X", "b:k=1"}
        << QByteArray("\n[metadata]\ntitle=X\n\n\n[b]\nk=1\n\n\n");
    QTest::newRow("setting a key again keeps its place")
        << QStringList{"[a]", "a:x=1", "a:y=2", "a:x=3"} << QByteArray("\n[a]\nx=3\ny=2\n\n\n");
    QTest::newRow("naming a section again adds nothing")
        << QStringList{"[a]", "a:x=1", "[b]", "[a]", "a:y=2"}
        << QByteArray("\n[a]\nx=1\ny=2\n\n\n[b]\n\n\n");
    QTest::newRow("entries of interleaved sections")
        << QStringList{"[a]", "[b]", "b:1=b1", "a:1=a1", "b:2=b2", "a:2=a2"}
        << QByteArray("\n[a]\n1=a1\n2=a2\n\n\n[b]\n1=b1\n2=b2\n\n\n");
    QTest::newRow("section order is first touch, not name order")
        << QStringList{"[z]", "[a]", "a:k=1", "z:k=2"}
        << QByteArray("\n[z]\nk=2\n\n\n[a]\nk=1\n\n\n");
    QTest::newRow("empty section") << QStringList{"[empty]"} << QByteArray("\n[empty]\n\n\n");
    QTest::newRow("one section's name begins another's")
        << QStringList{"[a]", "[ab]", "ab:x=1", "a:y=2"}
        << QByteArray("\n[a]\ny=2\n\n\n[ab]\nx=1\n\n\n");
    QTest::newRow("case kept as given")
        << QStringList{"[MetaData]", "MetaData:Title=Mixed", "MetaData:zH=v"}
        << QByteArray("\n[MetaData]\nTitle=Mixed\nzH=v\n\n\n");
    QTest::newRow("values written verbatim")
        << QStringList{"[a]", "a:empty=", "a:spaced= x = y ", "a:marks=;#\"q\"", "a:semi=;"}
        << QByteArray("\n[a]\nempty=\nspaced= x = y \nmarks=;#\"q\"\nsemi=;\n\n\n");
}

void TestIniHelpers::documentLayout()
{
    QFETCH(QStringList, steps);
    QFETCH(QByteArray, expected);
    const QString path = tempPath(QStringLiteral("scheme.ini"));

    buildDocument(steps);
    saveIniFile(local(path).constData());
    QCOMPARE(readFile(path), expected);
    // Written through a temporary file that is gone afterwards.
    QCOMPARE(QDir(mDir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("scheme.ini")});
}

void TestIniHelpers::failedSaveKeepsDocument_data()
{
    QTest::addColumn<QString>("badPath");

    QTest::newRow("directory missing") << QStringLiteral("absent dir/scheme.ini");
    QTest::newRow("path is a directory") << QStringLiteral("a directory");
}

void TestIniHelpers::failedSaveKeepsDocument()
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

    // The document survived the failure and is written by the next save,
    // after which the slot is empty and a further save writes nothing.
    saveIniFile(local(good).constData());
    QCOMPARE(readFile(good), QByteArray("\n[metadata]\ntitle=保留\n\n\n"));
    const QString again = tempPath(QStringLiteral("again.ini"));
    saveIniFile(local(again).constData());
    QVERIFY(!QFileInfo::exists(again));
}

void TestIniHelpers::saveReplacesWholeFile()
{
    const QString path = tempPath(QStringLiteral("scheme.ini"));
    QVERIFY(writeFile(path, QByteArray(4096, 'x') + "\n[old]\nkey=value\n"));

    buildDocument({"[new]", "new:k=v"});
    saveIniFile(local(path).constData());
    QCOMPARE(readFile(path), QByteArray("\n[new]\nk=v\n\n\n"));
    QCOMPARE(QDir(mDir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("scheme.ini")});
}

void TestIniHelpers::newDocumentDropsThePrevious()
{
    const QString path = tempPath(QStringLiteral("scheme.ini"));
    buildDocument({"[first]", "first:k=1"});
    buildDocument({"[second]", "second:k=2"});
    saveIniFile(local(path).constData());
    QCOMPARE(readFile(path), QByteArray("\n[second]\nk=2\n\n\n"));
}

void TestIniHelpers::valueWithoutDocumentIsReported()
{
    // The slot is empty after a successful save.
    buildDocument({"[a]"});
    saveIniFile(local(tempPath(QStringLiteral("a.ini"))).constData());

    FdCapture output(STDOUT_FILENO);
    setIniGroupName("ignored");
    setIniValue("metadata:title", "凯沃");
    QCOMPARE(output.finish(), QByteArray("setCfgValue error-------key_c=metadata:title\n"
                                         "setCfgValue error-------value_c=凯沃\n"));
}

void TestIniHelpers::readString_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QByteArray>("value");

    const QByteArray scheme("\n[metadata]\ntitle=凯沃双拼\n\n\n[声母]\nzh=V\nempty=\n\n\n");
    QTest::newRow("title") << scheme << QByteArray("metadata:title") << true
                           << QByteArray("凯沃双拼");
    QTest::newRow("Chinese section") << scheme << QByteArray("声母:zh") << true << QByteArray("V");
    QTest::newRow("empty value is a value")
        << scheme << QByteArray("声母:empty") << true << QByteArray("");
    QTest::newRow("missing key") << scheme << QByteArray("声母:ch") << false << QByteArray();
    QTest::newRow("missing section") << scheme << QByteArray("韵母:ai") << false << QByteArray();
    QTest::newRow("key of another section")
        << scheme << QByteArray("metadata:zh") << false << QByteArray();
    QTest::newRow("blanks around the equals sign")
        << QByteArray("[metadata]\r\ntitle = 小鹤双拼  \r\n") << QByteArray("metadata:title")
        << true << QByteArray("小鹤双拼");
    QTest::newRow("empty file") << QByteArray() << QByteArray("metadata:title") << false
                                << QByteArray();
}

void TestIniHelpers::readString()
{
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, key);
    QFETCH(bool, found);
    QFETCH(QByteArray, value);
    const QString path = tempPath(QStringLiteral("方案 file.ini"));
    QVERIFY(writeFile(path, content));

    const char *result = getCfgValueString(local(path).constData(), key.constData(), kDefault);
    QVERIFY(result);
    if (found) {
        QVERIFY(result != kDefault);
        QCOMPARE(QByteArray(result), value);
    } else {
        // The caller's own pointer comes back, not a copy.
        QCOMPARE(static_cast<const void *>(result), static_cast<const void *>(kDefault));
    }
    QCOMPARE(static_cast<const void *>(
                 getIniValueString(local(path).constData(), key.constData(), kDefault)) ==
                 static_cast<const void *>(kDefault),
             !found);
}

void TestIniHelpers::readStringFromMissingFile()
{
    const QByteArray path = local(tempPath(QStringLiteral("absent.ini")));
    FdCapture error(STDERR_FILENO);
    const char *result = getCfgValueString(path.constData(), "metadata:title", kDefault);
    const char *viaIni = getIniValueString(path.constData(), "metadata:title", kDefault);
    const char *nullDefault = getCfgValueString(path.constData(), "metadata:title", nullptr);
    error.finish();
    QCOMPARE(static_cast<const void *>(result), static_cast<const void *>(kDefault));
    QCOMPARE(static_cast<const void *>(viaIni), static_cast<const void *>(kDefault));
    QVERIFY(!nullDefault);
}

void TestIniHelpers::readStringReusesOneBuffer()
{
    const QString path = tempPath(QStringLiteral("scheme.ini"));
    QVERIFY(writeFile(path, "[metadata]\ntitle=first title\n[other]\nk=second\n"));

    const char *first = getCfgValueString(local(path).constData(), "metadata:title", kDefault);
    QCOMPARE(QByteArray(first), QByteArray("first title"));
    const char *second = getCfgValueString(local(path).constData(), "other:k", kDefault);
    QCOMPARE(static_cast<const void *>(second), static_cast<const void *>(first));
    QCOMPARE(QByteArray(first), QByteArray("second"));
}

void TestIniHelpers::readLongString_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("expectedLength");

    QTest::newRow("127 ASCII bytes fit") << QByteArray(127, 'a') << 127;
    QTest::newRow("128 ASCII bytes") << QByteArray(128, 'a') << 127;
    QTest::newRow("200 ASCII bytes") << QByteArray(200, 'a') << 127;
    // 42 three-byte characters make 126 bytes; the 43rd would end at 129.
    QTest::newRow("67 Chinese characters") << QByteArray("汉").repeated(67) << 126;
    QTest::newRow("one letter, then Chinese") << "a" + QByteArray("汉").repeated(66) << 127;
    QTest::newRow("two letters, then Chinese") << "ab" + QByteArray("汉").repeated(66) << 125;
    QTest::newRow("four-byte characters") << QByteArray("😀").repeated(50) << 124;
    QTest::newRow("two-byte characters") << QByteArray("é").repeated(100) << 126;
}

void TestIniHelpers::readLongString()
{
    QFETCH(QByteArray, value);
    QFETCH(int, expectedLength);
    const QString path = tempPath(QStringLiteral("long.ini"));
    QVERIFY(writeFile(path, "[metadata]\ntitle=" + value + "\n"));

    const char *result = getCfgValueString(local(path).constData(), "metadata:title", kDefault);
    QVERIFY(result != kDefault);
    const QByteArray text(result);
    QCOMPARE(text.size(), expectedLength);
    QVERIFY(value.startsWith(text));
    QVERIFY(isValidUtf8(text));
}

void TestIniHelpers::readBool_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("whenDefaultFalse");
    QTest::addColumn<bool>("whenDefaultTrue");

    QTest::newRow("true") << QByteArray("flag=true") << true << true;
    QTest::newRow("True") << QByteArray("flag=True") << true << true;
    QTest::newRow("yes") << QByteArray("flag=yes") << true << true;
    QTest::newRow("Y") << QByteArray("flag=Y") << true << true;
    QTest::newRow("1") << QByteArray("flag=1") << true << true;
    QTest::newRow("false") << QByteArray("flag=false") << false << false;
    QTest::newRow("FALSE") << QByteArray("flag=FALSE") << false << false;
    QTest::newRow("no") << QByteArray("flag=no") << false << false;
    QTest::newRow("N") << QByteArray("flag=N") << false << false;
    QTest::newRow("0") << QByteArray("flag=0") << false << false;
    QTest::newRow("other word") << QByteArray("flag=maybe") << false << true;
    QTest::newRow("empty value") << QByteArray("flag=") << false << true;
    QTest::newRow("absent key") << QByteArray("other=1") << false << true;
}

void TestIniHelpers::readBool()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, whenDefaultFalse);
    QFETCH(bool, whenDefaultTrue);
    const QByteArray path = local(tempPath(QStringLiteral("bool.ini")));
    QVERIFY(writeFile(QFile::decodeName(path), "[section]\n" + line + "\n"));

    QCOMPARE(getCfgValueBool(path.constData(), "section:flag", false), whenDefaultFalse);
    QCOMPARE(getCfgValueBool(path.constData(), "section:flag", true), whenDefaultTrue);

    const QByteArray missing = local(tempPath(QStringLiteral("absent.ini")));
    FdCapture error(STDERR_FILENO);
    QCOMPARE(getCfgValueBool(missing.constData(), "section:flag", false), false);
    QCOMPARE(getCfgValueBool(missing.constData(), "section:flag", true), true);
}

void TestIniHelpers::setString_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray padded("[metadata]\ntitle = Old\n\n[声母]\nzh = V\nch = I\n");
    QTest::newRow("changed value, whole file in the tool's layout")
        << padded << QByteArray("metadata:title") << QByteArray("新方案")
        << QByteArray("\n[metadata]\ntitle=新方案\n\n\n[声母]\nzh=V\nch=I\n\n\n");
    QTest::newRow("new key at the end of its section")
        << padded << QByteArray("声母:sh") << QByteArray("U")
        << QByteArray("\n[metadata]\ntitle=Old\n\n\n[声母]\nzh=V\nch=I\nsh=U\n\n\n");
    QTest::newRow("new section at the end")
        << padded << QByteArray("extra:k") << QByteArray("1")
        << QByteArray("\n[metadata]\ntitle=Old\n\n\n[声母]\nzh=V\nch=I\n\n\n[extra]\nk=1\n\n\n");
    QTest::newRow("upper-case key names the loaded key")
        << padded << QByteArray("MetaData:Title") << QByteArray("X")
        << QByteArray("\n[metadata]\ntitle=X\n\n\n[声母]\nzh=V\nch=I\n\n\n");
    QTest::newRow("empty file gains the section")
        << QByteArray() << QByteArray("metadata:title") << QByteArray("T")
        << QByteArray("\n[metadata]\ntitle=T\n\n\n");
}

void TestIniHelpers::setString()
{
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, value);
    QFETCH(QByteArray, expected);
    const QString path = tempPath(QStringLiteral("用户 方案.ini"));
    QVERIFY(writeFile(path, content));

    setCfgValueString(local(path).constData(), key.constData(), value.constData());
    QCOMPARE(readFile(path), expected);
    QCOMPARE(QDir(mDir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QFileInfo(path).fileName()});
    QCOMPARE(QByteArray(getCfgValueString(local(path).constData(), key.constData(), kDefault)),
             value);
}

void TestIniHelpers::setStringOnMissingFile()
{
    const QString path = tempPath(QStringLiteral("absent.ini"));
    FdCapture error(STDERR_FILENO);
    setCfgValueString(local(path).constData(), "metadata:title", "X");
    error.finish();
    QVERIFY(!QFileInfo::exists(path));
}

void TestIniHelpers::setStringUnderHome()
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

    QCOMPARE(readFile(dir + QStringLiteral("sp.ini")), QByteArray("\n[metadata]\ntitle=New\n\n\n"));
    QVERIFY(!QFileInfo::exists(dir + QStringLiteral("absent.ini")));
}

void TestIniHelpers::legacyEncodedFileName()
{
    // A folder named in GBK ("方案") on a UTF-8 desktop: the bytes are no
    // valid text in the local encoding, yet they name an existing folder
    // where the files must be written.
    QTextCodec *previous = QTextCodec::codecForLocale();
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
    const QByteArray dir = local(mDir->path()) + "/\xb7\xbd\xb0\xb8";
    const QByteArray file = dir + "/sp.ini";
    const QByteArray document = dir + "/new.ini";
    QCOMPARE(mkdir(dir.constData(), 0700), 0);
    std::FILE *out = std::fopen(file.constData(), "w");
    QVERIFY(out);
    std::fputs("[metadata]\ntitle=Old\n", out);
    std::fclose(out);

    FdCapture error(STDERR_FILENO);
    setCfgValueString(file.constData(), "metadata:title", "New");
    buildDocument({"[b]", "b:k=1"});
    saveIniFile(document.constData());
    error.finish();
    QTextCodec::setCodecForLocale(previous);

    char content[64] = {};
    std::FILE *in = std::fopen(file.constData(), "r");
    QVERIFY(in);
    QVERIFY(std::fread(content, 1, sizeof(content) - 1, in) > 0);
    std::fclose(in);
    const bool documentWritten = access(document.constData(), F_OK) == 0;
    // QTemporaryDir cannot remove names it cannot decode.
    unlink(file.constData());
    unlink(document.constData());
    rmdir(dir.constData());

    QCOMPARE(QByteArray(content), QByteArray("\n[metadata]\ntitle=New\n\n\n"));
    QVERIFY(documentWritten);
}

void TestIniHelpers::malformedFiles_data()
{
    QTest::addColumn<QByteArray>("content");

    QRandomGenerator generator(20240131);
    QByteArray binary(64 * 1024, '\0');
    for (char &c : binary)
        c = char(generator.bounded(256));
    QTest::newRow("random bytes with NULs") << binary;
    QTest::newRow("NULs only") << QByteArray(4096, '\0');
    QTest::newRow("2 MB on one line")
        << QByteArray("[metadata]\ntitle=") + QByteArray(2 << 20, 'x');
    QTest::newRow("2 MB of lines without equals sign")
        << QByteArray("no equals sign\n").repeated(140000);
    QTest::newRow("unterminated section") << QByteArray("[metadata\ntitle=X\n");
}

void TestIniHelpers::malformedFiles()
{
    QFETCH(QByteArray, content);
    const QString path = tempPath(QStringLiteral("broken.ini"));
    QVERIFY(writeFile(path, content));
    const QByteArray name = local(path);

    FdCapture error(STDERR_FILENO);
    const char *text = getCfgValueString(name.constData(), "metadata:title", kDefault);
    const bool flagFalse = getCfgValueBool(name.constData(), "metadata:flag", false);
    const bool flagTrue = getCfgValueBool(name.constData(), "metadata:flag", true);
    error.finish();

    QVERIFY(text);
    QVERIFY(std::strlen(text) < 128);
    QVERIFY(!flagFalse);
    QVERIFY(flagTrue);
}

void TestIniHelpers::hugeValidFile()
{
    // A long scheme-like file still answers for its last key.
    QByteArray content("[metadata]\n");
    const QByteArray filler(100, 'v');
    for (int i = 0; i < 20000; ++i)
        content += "key" + QByteArray::number(i) + "=" + filler + QByteArray::number(i) + "\n";
    content += "[last]\ntitle=found\n";
    QVERIFY(content.size() > 2 * 1000 * 1000);
    const QString path = tempPath(QStringLiteral("huge.ini"));
    QVERIFY(writeFile(path, content));

    QCOMPARE(QByteArray(getCfgValueString(local(path).constData(), "last:title", kDefault)),
             QByteArray("found"));
    QCOMPARE(QByteArray(getCfgValueString(local(path).constData(), "metadata:key19999", kDefault)),
             filler + "19999");
}

QTEST_GUILESS_MAIN(TestIniHelpers)
#include "tst_ini_helpers.moc"
