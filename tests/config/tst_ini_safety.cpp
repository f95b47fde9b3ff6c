// INI values QSettings would read as objects (IniSafety): found the way
// QSettings splits and decodes the file, and taken out of files the tool
// owns. Qt 5 aborts on such a value whose container length lies; the
// guard was found missing by fuzz_settings_store.
#include "TestFiles.h"
#include "config/IniSafety.h"

#include <QtTest>

class TestIniSafety : public QObject
{
    Q_OBJECT

    static QString flagged(const QByteArray &bytes)
    {
        QStringList lines;
        for (const QPair<int, int> &line : IniSafety::serialisedValueLines(bytes))
            lines << QString::fromUtf8(bytes.mid(line.first, line.second - line.first));
        return lines.join(QLatin1Char('|'));
    }

private slots:
    void lines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
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
    void lines()
    {
        QFETCH(QByteArray, bytes);
        QTEST(flagged(bytes), "expected");
    }

    void takenOutOfOwnedFiles()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("env.ini"));
        const QByteArray bad = "Bad=@Variant(\\0\\0\\0\\v\\x7f\\xff\\xff\\xff)";
        QVERIFY(writeFile(path, "[Setting]\nA=1\n" + bad + "\nB=x, y\n[Other]\n" + bad));
        QVERIFY(IniSafety::holdsSerialisedValues(path));
        QVERIFY(IniSafety::makeSafe(path));
        QCOMPARE(readFile(path), QByteArray("[Setting]\nA=1\n\nB=x, y\n[Other]\n"));
        QVERIFY(!IniSafety::holdsSerialisedValues(path));

        // QSettings reads the rest, and writes it back, without aborting.
        {
            QSettings settings(path, QSettings::IniFormat);
            QCOMPARE(settings.value(QStringLiteral("Setting/A")).toString(), QStringLiteral("1"));
            QCOMPARE(settings.value(QStringLiteral("Setting/B")).toStringList(),
                     QStringList({QStringLiteral("x"), QStringLiteral("y")}));
            settings.setValue(QStringLiteral("Setting/A"), 2);
        }
        QVERIFY(readFile(path).contains("A=2"));

        // Files without such values, and missing ones, stay as they are.
        const QByteArray before = readFile(path);
        QVERIFY(IniSafety::makeSafe(path));
        QCOMPARE(readFile(path), before);
        QVERIFY(IniSafety::makeSafe(dir.filePath(QStringLiteral("missing.ini"))));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("missing.ini"))));
    }
};

QTEST_GUILESS_MAIN(TestIniSafety)
#include "tst_ini_safety.moc"
