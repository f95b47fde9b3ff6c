// The in-memory INI document that reads scheme files, and the shipped schemes.
#include "TestFiles.h"
#include "config/IniParser.h"

#include <QtTest>

using n_kwxx::t_iniParser;

namespace
{
std::string str(const QByteArray &bytes)
{
    return bytes.toStdString();
}
} // namespace

class TestIniDocument : public QObject
{
    Q_OBJECT

    QTemporaryDir mDir;
    std::string path(const char *name) const { return str(QFile::encodeName(mDir.filePath(name))); }

    // Parses the bytes and returns what Save writes back.
    QByteArray roundTrip(const QByteArray &input, bool *parsed)
    {
        writeFile(mDir.filePath("in.ini"), input);
        t_iniParser doc;
        *parsed = doc.Parser(path("in.ini"));
        if (!doc.Save(path("out.ini")))
            return "save failed";
        return readFile(mDir.filePath("out.ini"));
    }

private slots:
    void parseAndSave_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<bool>("parsed");
        QTest::addColumn<QByteArray>("written");
        const QByteArray huge(1 << 21, 'x');
        QTest::newRow("empty") << QByteArray() << true << QByteArray();
        QTest::newRow("header blanks")
            << QByteArray("  [ a b ]\t\nk=v") << true << QByteArray("[ a b ]\nk=v\n\n");
        QTest::newRow("value keeps ; and =")
            << QByteArray("[s]\n  k = v ;x=y \n") << true << QByteArray("[s]\nk=v ;x=y\n\n");
        QTest::newRow("comments and #") << QByteArray(";c=1\n  ; d=2\n#k=v\n[s]\n") << true
                                        << QByteArray("[]\n#k=v\n\n[s]\n\n");
        QTest::newRow("blank key, empty value, junk")
            << QByteArray("[s]\n = v\nk=\nno equals\n[bad\n[\n") << true
            << QByteArray("[s]\nk=\n\n");
        QTest::newRow("bom hides header") << QByteArray("[a]\nx=1\n\xEF\xBB\xBF[b]\ny=2\n") << true
                                          << QByteArray("[a]\nx=1\ny=2\n\n");
        QTest::newRow("crlf") << QByteArray("[s]\r\nk=v\r\n\r\n") << true
                              << QByteArray("[s]\nk=v\n\n");
        QTest::newRow("byte order, not file order")
            << QByteArray("[b]\nz=1\na=2\n[a]\n[\xE5\xA3\xB0]\nzh=V\n") << true
            << QByteArray("[a]\n\n[b]\na=2\nz=1\n\n[\xE5\xA3\xB0]\nzh=V\n\n");
        QTest::newRow("duplicate key: last wins")
            << QByteArray("[s]\nk=1\nk=2\n") << true << QByteArray("[s]\nk=2\n\n");
        QTest::newRow("duplicate section stops") << QByteArray("[a]\nx=1\n[b]\n[a]\ny=2\n[c]\n")
                                                 << false << QByteArray("[a]\nx=1\n\n[b]\n\n");
        QTest::newRow("no sections") << QByteArray("k=v\n") << true << QByteArray("[]\nk=v\n\n");
        QTest::newRow("empty-named header")
            << QByteArray("[]\nk=v\n") << true << QByteArray("[]\nk=v\n\n");
        QTest::newRow("binary") << literalBytes("\x00\x01\xFF\n\x7F\x00=\x80\n") << true
                                << literalBytes("[]\n\x7F\x00=\x80\n\n");
        QTest::newRow("huge line") << "[s]\nk=" + huge + "\n" << true << "[s]\nk=" + huge + "\n\n";
    }
    void parseAndSave()
    {
        QFETCH(QByteArray, input);
        QFETCH(bool, parsed);
        QFETCH(QByteArray, written);
        bool result = !parsed;
        QCOMPARE(roundTrip(input, &result), written);
        QCOMPARE(result, parsed);
    }

    void typedGetters_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("asInt");
        QTest::addColumn<qulonglong>("asUlonglong");
        QTest::addColumn<double>("asDouble");
        QTest::newRow("hex") << QByteArray("0x1F") << 31 << 31ULL << 0.0;
        QTest::newRow("digits then letters") << QByteArray("12ab") << 12 << 12ULL << 12.0;
        QTest::newRow("letters") << QByteArray("abc") << 0 << 0ULL << 0.0;
        QTest::newRow("decimal") << QByteArray("2.5e1") << 2 << 2ULL << 25.0;
        QTest::newRow("negative") << QByteArray("-7") << -7 << qulonglong(-7) << -7.0;
        QTest::newRow("64 bit") << QByteArray("18446744073709551615") << -1
                                << 18446744073709551615ULL << 18446744073709551615.0;
    }
    void typedGetters()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, asInt);
        QFETCH(qulonglong, asUlonglong);
        QFETCH(double, asDouble);
        t_iniParser doc;
        doc.SetKeyValue("s", "k", str(text));
        QCOMPARE(doc.GetKeyValueInt("s", "k", 99), asInt);
        QCOMPARE(doc.GetKeyValueUlonglong("s", "k", 99), asUlonglong);
        QCOMPARE(doc.GetKeyValueDouble("s", "k", 99), asDouble);
        QCOMPARE(doc.GetKeyValueInt("s", "missing", 99), 99);
        QCOMPARE(doc.GetKeyValueDouble("t", "k", 1.5), 1.5);
    }

    void editing()
    {
        t_iniParser doc;
        QVERIFY(doc.AddSection("x"));
        QVERIFY(!doc.AddSection("x"));
        doc.SetKeyValue("b", "int", -5);
        doc.SetKeyValue("b", "ull", 18446744073709551615ULL);
        doc.SetKeyValue("a", "dbl", 1234567.0);
        doc.SetKeyValue("a", "small", 0.1);
        doc.SetKeyValue("a", "empty", std::string());
        QCOMPARE(doc.GetKeyValueStr("a", "empty", "def"), std::string());
        QCOMPARE(doc.GetKeyValueStr("a", "none", "def"), std::string("def"));
        QVERIFY(doc.HasOption("b", "int") && doc.ValidateOption("b", "int"));
        QVERIFY(!doc.HasOption("c", "int") && !doc.ValidateSection("c"));
        doc.RemoveSection("x");
        doc.AddOption("c", "gone", "1");
        doc.RemoveOption("c", "gone");
        QCOMPARE(doc.Options("c"), std::vector<std::string>());
        QCOMPARE(doc.Sections(), (std::vector<std::string>{"a", "b", "c"}));
        QVERIFY(doc.Save(path("edit.ini")));
        QCOMPARE(readFile(mDir.filePath("edit.ini")),
                 QByteArray("[a]\ndbl=1.23457e+06\nempty=\nsmall=0.1\n\n"
                            "[b]\nint=-5\null=18446744073709551615\n\n[c]\n\n"));
        QVERIFY(!doc.Save(path("no/such/dir.ini")));
        QVERIFY(!doc.Parser(path("missing.ini")));
        QCOMPARE(doc.Sections(), std::vector<std::string>());
    }
};

QTEST_GUILESS_MAIN(TestIniDocument)
#include "tst_ini_document.moc"
