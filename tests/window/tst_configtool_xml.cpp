#include "TestFiles.h"
#include "window/ConfigtoolXml.h"

#include <QTemporaryDir>
#include <QTest>

// Which categories the window shows, for every shape the page list file
// can arrive in.
class TestConfigtoolXml : public QObject
{
    Q_OBJECT

private slots:
    void flags_data();
    void flags();
    void missingFile();

private:
    QTemporaryDir mDir;
};

using Flags = QVector<bool>;
Q_DECLARE_METATYPE(Flags)

void TestConfigtoolXml::flags_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<Flags>("expected");

    const Flags none(7, false);
    const Flags all(7, true);
    auto element = [](const char *name, const char *value) {
        return QByteArray("<") + name + ">" + value + "</" + name + ">";
    };
    const QByteArray allOn = element("General", "1") + element("Appearance", "1") +
                             element("Thesaurus", "1") + element("Advance", "1") +
                             element("Pinyin", "1") + element("About", "1");

    QTest::newRow("all seven") << "<Configtool>" + allOn + element("Wubi", "1") + "</Configtool>"
                               << all;
    QTest::newRow("Wubi 0") << "<?xml version=\"1.0\"?><Configtool>" + allOn +
                                   element("Wubi", "0") + "</Configtool>"
                            << Flags{true, true, true, true, true, false, true};
    QTest::newRow("only Pinyin") << "<Configtool>" + element("Pinyin", "1") + "</Configtool>"
                                 << Flags{false, false, false, false, true, false, false};
    QTest::newRow("any non-zero number enables")
        << "<Configtool>" + element("General", "7") + element("About", "-1") + "</Configtool>"
        << Flags{true, false, false, false, false, false, true};
    QTest::newRow("text that is no number disables")
        << "<Configtool>" + element("General", "yes") + element("Appearance", "1x") +
               element("Thesaurus", "") + "</Configtool>"
        << Flags{false, false, false, false, false, false, false};
    QTest::newRow("names are case-sensitive")
        << "<Configtool>" + element("general", "1") + element("PINYIN", "1") + "</Configtool>"
        << none;
    QTest::newRow("other root reads nothing") << "<configtool>" + allOn + "</configtool>" << none;
    QTest::newRow("unknown children and attributes skipped")
        << "<Configtool version=\"2\"><Extra><General>1</General></Extra>" + element("About", "1") +
               "<General enabled=\"0\">1</General></Configtool>"
        << Flags{true, false, false, false, false, false, true};
    QTest::newRow("flags before an error stand")
        << "<Configtool>" + element("General", "1") + element("Advance", "1") + "&bogus;" +
               element("About", "1") + "</Configtool>"
        << Flags{true, false, false, true, false, false, false};
    QTest::newRow("empty file") << QByteArray() << none;
    QTest::newRow("not XML") << QByteArray("General=1\nPinyin=1\n") << none;
    QTest::newRow("binary") << literalBytes("\x00\xff\xfe<\x01\x02"
                                            "Configtool>\x00")
                            << none;
}

void TestConfigtoolXml::flags()
{
    QFETCH(QByteArray, content);
    QFETCH(Flags, expected);
    const QString path = mDir.filePath(QStringLiteral("configtool.xml"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
    file.close();

    const CategoryFlags flags = ConfigtoolXml::read(path);
    QCOMPARE(Flags(flags.begin(), flags.end()), expected);
}

void TestConfigtoolXml::missingFile()
{
    const CategoryFlags flags = ConfigtoolXml::read(mDir.filePath(QStringLiteral("absent.xml")));
    QCOMPARE(Flags(flags.begin(), flags.end()), Flags(7, false));
}

QTEST_GUILESS_MAIN(TestConfigtoolXml)
#include "tst_configtool_xml.moc"
