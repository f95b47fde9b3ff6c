// The settings files: the INI document that reads scheme files, the
// single-value INI getters, values QSettings would read as objects, and group
// "Setting" of the two env.ini files by load mode.
#include "TestFiles.h"
#include "config/IniHelpers.h"
#include "config/IniParser.h"
#include "config/IniSafety.h"
#include "config/SettingsStore.h"

#include <QtTest>

#include <memory>

using n_kwxx::t_iniParser;

namespace
{

const char kDefault[] = "default value";

} // namespace

class TestConfig : public QObject
{
    Q_OBJECT

    static QByteArray local(const QString &path) { return QFile::encodeName(path); }

    // Opened the way the controller opens env.ini.
    static std::unique_ptr<QSettings> openIni(const QString &path)
    {
        auto settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
        settings->setIniCodec("UTF-8");
        return settings;
    }

    QString tempPath(const QString &name) const { return mDir->filePath(name); }
    // Attaches the user's and the shipped env.ini; null content: absent.
    void attach(const QByteArray &user, const QByteArray &shipped)
    {
        QVERIFY(user.isNull() || writeFile(tempPath("user.ini"), user));
        QVERIFY(shipped.isNull() || writeFile(tempPath("shipped.ini"), shipped));
        mUser = openIni(tempPath("user.ini"));
        mShipped = openIni(tempPath("shipped.ini"));
        SettingsStore::attach(mUser.get(), mShipped.get());
    }

    std::unique_ptr<QTemporaryDir> mDir;
    std::unique_ptr<QSettings> mUser, mShipped;

private slots:
    void init()
    {
        mDir.reset(new QTemporaryDir);
        QVERIFY(mDir->isValid());
    }

    void cleanup()
    {
        SettingsStore::attach(nullptr, nullptr);
        mUser.reset();
        mShipped.reset();
    }

    void documentParseAndSave_data()
    {
        addColumns<QByteArray, bool, QByteArray>({"input", "parsed", "written"});
        const QByteArray huge(1 << 21, 'x');
        QTest::newRow("empty") << QByteArray() << true << QByteArray();
        QTest::newRow("comments and #") << QByteArray(";c=1\n  ; d=2\n#k=v\n[s]\n") << true
                                        << QByteArray("[]\n#k=v\n\n[s]\n\n");
        QTest::newRow("blank key, empty value, junk")
            << QByteArray("[s]\n = v\nk=\nno equals\n[bad\n[\n") << true
            << QByteArray("[s]\nk=\n\n");
        QTest::newRow("crlf, byte order, last duplicate key wins")
            << QByteArray("[b]\r\nz=1\r\na=2\r\na=3\n[a]\n[\xE5\xA3\xB0]\nzh=V\n") << true
            << QByteArray("[a]\n\n[b]\na=3\nz=1\n\n[\xE5\xA3\xB0]\nzh=V\n\n");
        QTest::newRow("duplicate section stops") << QByteArray("[a]\nx=1\n[b]\n[a]\ny=2\n[c]\n")
                                                 << false << QByteArray("[a]\nx=1\n\n[b]\n\n");
        QTest::newRow("binary") << literalBytes("\x00\x01\xFF\n\x7F\x00=\x80\n") << true
                                << literalBytes("[]\n\x7F\x00=\x80\n\n");
        QTest::newRow("huge line") << "[s]\nk=" + huge + "\n" << true << "[s]\nk=" + huge + "\n\n";
    }

    void documentParseAndSave()
    {
        QFETCH(QByteArray, input);
        QFETCH(bool, parsed);
        QFETCH(QByteArray, written);
        QVERIFY(writeFile(tempPath("in.ini"), input));
        t_iniParser doc;
        QCOMPARE(doc.Parser(local(tempPath("in.ini")).toStdString()), parsed);
        QVERIFY(doc.Save(local(tempPath("out.ini")).toStdString()));
        QCOMPARE(readFile(tempPath("out.ini")), written);
        QVERIFY(!doc.Save(local(tempPath("no/such/dir.ini")).toStdString()));
    }

    void readString_data()
    {
        // content: null: no file at all; value: null: not found.
        addColumns<QByteArray, QByteArray, QByteArray>({"content", "key", "value"});
        const auto row = [](const char *name, const QByteArray &content, const char *key,
                            const QByteArray &value) {
            QTest::newRow(name) << content << QByteArray(key) << value;
        };
        const QByteArray scheme("\n[metadata]\ntitle=凯沃双拼\n\n\n[声母]\nzh=V\nempty=\n\n\n");
        row("Chinese section", scheme, "声母:zh", "V");
        row("empty value is a value", scheme, "声母:empty", "");
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
        QByteArray binary(64 * 1024, '\0');
        for (int i = 0; i < binary.size(); ++i)
            binary[i] = char(i * 131 + 7);
        row("binary with NULs", binary, "metadata:title", QByteArray());
    }

    void readString()
    {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, value);
        const QByteArray path = local(tempPath(QStringLiteral("方案 file.ini")));
        if (!content.isNull())
            QVERIFY(writeFile(QFile::decodeName(path), content));
        const char *result = getCfgValueString(path.constData(), key.constData(), kDefault);
        // Not found: the caller's own pointer comes back, not a copy.
        QCOMPARE(result == kDefault, value.isNull());
        if (!value.isNull())
            QCOMPARE(QByteArray(result), value);
    }

    void readBool_data()
    {
        // line: null: no file at all.
        addColumns<QByteArray, bool, bool>({"line", "whenDefaultFalse", "whenDefaultTrue"});
        for (const char *yes : {"flag=true", "flag=Y"})
            QTest::newRow(yes) << QByteArray(yes) << true << true;
        for (const char *no : {"flag=FALSE", "flag=0"})
            QTest::newRow(no) << QByteArray(no) << false << false;
        for (const char *other : {"flag=maybe", "other=1"})
            QTest::newRow(other) << QByteArray(other) << false << true;
        QTest::newRow("missing file") << QByteArray() << false << true;
    }

    void readBool()
    {
        QFETCH(QByteArray, line);
        QFETCH(bool, whenDefaultFalse);
        QFETCH(bool, whenDefaultTrue);
        const QByteArray path = local(tempPath(QStringLiteral("bool.ini")));
        if (!line.isNull())
            QVERIFY(writeFile(QFile::decodeName(path), "[section]\n" + line + "\n"));
        QCOMPARE(getCfgValueBool(path.constData(), "section:flag", false), whenDefaultFalse);
        QCOMPARE(getCfgValueBool(path.constData(), "section:flag", true), whenDefaultTrue);
    }

    // Lines QSettings would read as objects, found the way QSettings splits
    // and decodes the file; Qt 5 aborts on one whose container length lies.
    void serialisedValueLines_data()
    {
        addColumns<QByteArray, QString>({"bytes", "expected"});
        QTest::newRow("plain values")
            << QByteArray("[Setting]\nPageSize=5\nFont=\"a, b\"\nk=@@x\n") << "";
        QTest::newRow("variant") << QByteArray("[Setting]\nx = @Variant(\\0\\0\\0\\v)\ny=1\n")
                                 << "x = @Variant(\\0\\0\\0\\v)";
        QTest::newRow("date and time") << QByteArray("d=@DateTime(x)") << "d=@DateTime(x)";
        QTest::newRow("list element") << QByteArray("l=a, @Variant(x)\n") << "l=a, @Variant(x)";
        QTest::newRow("quoted") << QByteArray("q=\"@Variant(x)\"") << "q=\"@Variant(x)\"";
        QTest::newRow("split by quotes") << QByteArray("s=@Var\"\"iant(x)") << "s=@Var\"\"iant(x)";
        QTest::newRow("escaped at sign")
            << QByteArray("h=\\x40Variant(x)\no=\\100DateTime(x)\nw=\\x10040Variant(x)\n")
            << "h=\\x40Variant(x)|o=\\100DateTime(x)|w=\\x10040Variant(x)";
        QTest::newRow("continued line") << QByteArray("c=\\\n@Variant(x)\n") << "c=\\\n@Variant(x)";
        QTest::newRow("byte-order mark before it") << QByteArray("\xef\xbb\xbf"
                                                                 "b=\xef\xbb\xbf@Variant(x)")
                                                   << "b=\xef\xbb\xbf@Variant(x)";
        QTest::newRow("text, not objects")
            << QByteArray("t=@@Variant(x)\nn=a@Variant(x)\nm=1=@Variant(x)\n;c=@Variant(x)\n"
                          "[@Variant(x)]\nz=\"x\"@Variant(y)\nv=@variant(x)\n")
            << "";
    }

    void serialisedValueLines()
    {
        QFETCH(QByteArray, bytes);
        QStringList lines;
        for (const QPair<int, int> &line : IniSafety::serialisedValueLines(bytes))
            lines << QString::fromUtf8(bytes.mid(line.first, line.second - line.first));
        QTEST(lines.join('|'), "expected");
    }

    // Each mode reads its own file's group "Setting" only; text that is no
    // whole number reads as 0, only an absent key as the caller's default.
    void storeReads_data()
    {
        addColumns<int, QString, QVariant>({"mode", "key", "expected"});
        const auto row = [](const char *name, CON_TPYE mode, const char *key, QVariant expected) {
            QTest::newRow(name) << int(mode) << QString(key) << expected;
        };
        row("default, in both", CON_DEFAULT, "Both", 2);
        row("default, only in the user's", CON_DEFAULT, "User", -1);
        row("current, only in the shipped", CON_CURRENT, "Shipped", -1);
        row("current, outside group Setting", CON_CURRENT, "Elsewhere", -1);
        row("blanks", CON_CURRENT, "Blanks", 5);
        row("not a whole number", CON_CURRENT, "Mixed", 0);
        row("text", CON_CURRENT, "SkinName", QStringLiteral("经典 蓝"));
        row("quoted text", CON_CURRENT, "Font", QStringLiteral("Noto Sans, 12"));
    }

    void storeReads()
    {
        QFETCH(int, mode);
        QFETCH(QString, key);
        QFETCH(QVariant, expected);
        attach("[General]\nElsewhere=9\n\n[Setting]\nBoth=1\nUser=3\nNegative=-3\nBlanks = 5 "
               "\nWord=abc\n"
               "Mixed=12abc\nEmpty=\nTrue=true\nSkinName=经典 蓝\nFont=\"Noto Sans, 12\"\n"
               "[Other]\nElsewhere=8\n",
               "Elsewhere=7\n[Setting]\nBoth=2\nShipped=4\n");
        SettingsReader reader(static_cast<CON_TPYE>(mode));
        QVERIFY(reader.isValid());
        if (expected.type() == QVariant::String)
            QCOMPARE(reader.stringValue(key, QString()), expected.toString());
        else
            QCOMPARE(reader.intValue(key, -1), expected.toInt());
    }

    // Binary or sectionless files: every read is the caller's default.
    void storeUnusable_data()
    {
        QTest::addColumn<QByteArray>("content");
        QByteArray binary;
        for (int i = 0; i < 8192; ++i)
            binary += char(i % 2 ? (i * 131 + 7) % 256 : 0);
        QTest::newRow("binary with NULs") << binary;
        QTest::newRow("keys without a section") << QByteArray("CandidateCount=9\nSkinName=x\n");
    }

    void storeUnusable()
    {
        QFETCH(QByteArray, content);
        attach(content, content);
        for (CON_TPYE mode : {CON_CURRENT, CON_DEFAULT}) {
            SettingsReader reader(mode);
            QCOMPARE(reader.intValue("CandidateCount", 5), 5);
            QCOMPARE(reader.boolValue("Enabled", true), true);
            QCOMPARE(reader.stringValue("SkinName", "默认"), QStringLiteral("默认"));
        }
    }
};

QTEST_GUILESS_MAIN(TestConfig)
#include "tst_config.moc"
