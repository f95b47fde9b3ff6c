// The IME service stand-in's dictionary formats: compiled pinyin and text.
#include "PinyinDictionaryFile.h"
#include "TestFiles.h"
#include "TextDictionaryFile.h"
#include "UserDictionary.h"

#include <QtTest>

using Kind = TextDictionaryFile::Kind;

namespace
{

UserDictionary sample()
{
    return UserDictionary({{QStringLiteral("ni'hao"), QStringLiteral("你好"), 7},
                           {QStringLiteral("a"), QStringLiteral("啊 \"'"), 0},
                           {QStringLiteral("ni'hao"), QStringLiteral("拟好"), 4294967295u},
                           {QStringLiteral("xiao"), QStringLiteral("𠀀笑"), 1}});
}

} // namespace

class TestStandInDictionaries : public QObject
{
    Q_OBJECT

private slots:
    void mergeKeepsTheHigherFrequency()
    {
        UserDictionary dictionary({{"b", "乙", 5}, {"a", "甲", 1}});
        dictionary.merge(UserDictionary({{"b", "乙", 3}, {"a", "甲", 9}, {"a", "丙", 2}}));
        const QVector<UserDictionary::Entry> expected = {
            {"a", "丙", 2}, {"a", "甲", 9}, {"b", "乙", 5}};
        QCOMPARE(dictionary.entries(), expected);
    }

    void textWritesReadableLinesAndReadsThemBack()
    {
        const QByteArray bytes = TextDictionaryFile::encode(sample(), Kind::Wubi);
        QCOMPARE(bytes, QByteArray("KaiwoUserDictionary 1 wubi\n"
                                   "a\t啊 \"'\t0\n"
                                   "ni'hao\t你好\t7\n"
                                   "ni'hao\t拟好\t4294967295\n"
                                   "xiao\t𠀀笑\t1\n"));
        UserDictionary read;
        QVERIFY(TextDictionaryFile::decode(bytes, Kind::Wubi, &read));
        QCOMPARE(read, sample());

        // Windows line ends, blank lines and a header-only file are fine.
        QVERIFY(TextDictionaryFile::decode("KaiwoUserDictionary 1 wubi\r\n\r\nx\tX\t1\r\n\n",
                                           Kind::Wubi, &read));
        QCOMPARE(read, UserDictionary({{"x", "X", 1}}));
        QVERIFY(TextDictionaryFile::decode("KaiwoUserDictionary 1 english", Kind::English, &read));
        QVERIFY(read.isEmpty());
    }

    void textRefusesMalformedFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray header = "KaiwoUserDictionary 1 pinyin\n";
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("another kind") << QByteArray("KaiwoUserDictionary 1 wubi-pinyin\na\tb\t1\n");
        QTest::newRow("another version") << QByteArray("KaiwoUserDictionary 2 pinyin\n");
        QTest::newRow("no header") << QByteArray("a\tb\t1\n");
        QTest::newRow("NUL byte") << header + literalBytes("a\tb\t1\n\0");
        QTest::newRow("bad UTF-8") << header + "a\t\xff\xfe\t1\n";
        QTest::newRow("cut UTF-8") << header + "a\t\xe4\xbd";
        QTest::newRow("two fields") << header + "a\tb\n";
        QTest::newRow("four fields") << header + "a\tb\t1\t2\n";
        QTest::newRow("empty word") << header + "a\t\t1\n";
        QTest::newRow("control char") << header + "a\tb\x1b\t1\n";
        QTest::newRow("lone surrogate") << header + "a\t\xed\xa0\x80\t1\n";
        QTest::newRow("too long") << header + "a\t" + QByteArray(257, 'w') + "\t1\n";
        for (const char *frequency : {"", "-1", "+1", " 1", "1.5", "0x1", "4294967296"})
            QTest::addRow("frequency '%s'", frequency) << header + "a\tb\t" + frequency + "\n";
    }

    void textRefusesMalformedFiles()
    {
        QFETCH(QByteArray, bytes);
        UserDictionary untouched = sample();
        QVERIFY(!TextDictionaryFile::decode(bytes, Kind::Pinyin, &untouched));
        QCOMPARE(untouched, sample());
    }

    void compiledPinyinRoundTripsAndRefusesAnyDamage()
    {
        const QByteArray bytes = PinyinDictionaryFile::encode(sample());
        QVERIFY(bytes.startsWith("KWPYDICT\x01\x00\x04\x00\x00\x00"));
        UserDictionary read;
        QVERIFY(PinyinDictionaryFile::decode(bytes, &read));
        QCOMPARE(read, sample());
        QVERIFY(PinyinDictionaryFile::decode(PinyinDictionaryFile::encode({}), &read));
        QVERIFY(read.isEmpty());

        // Every cut, every changed byte and any extra byte is refused.
        read = sample();
        for (int size = 0; size < bytes.size(); ++size)
            QVERIFY2(!PinyinDictionaryFile::decode(bytes.left(size), &read),
                     qPrintable(QString::number(size)));
        for (int i = 0; i < bytes.size(); ++i) {
            QByteArray damaged = bytes;
            damaged[i] = char(damaged[i] ^ 0x20);
            QVERIFY2(!PinyinDictionaryFile::decode(damaged, &read), qPrintable(QString::number(i)));
        }
        QVERIFY(!PinyinDictionaryFile::decode(bytes + '\0', &read));
        QVERIFY(!PinyinDictionaryFile::decode(TextDictionaryFile::encode(sample(), Kind::Pinyin),
                                              &read));
        QCOMPARE(read, sample());
    }

    void readsOnlySmallRegularFiles()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("词库 \"x\".txt"));
        QByteArray bytes;
        QVERIFY(writeFile(path, "abc"));
        QVERIFY(UserDictionary::readFile(path, &bytes));
        QCOMPARE(bytes, QByteArray("abc"));
        // Many read blocks, up to the limit itself, arrive whole.
        QVERIFY(QFile(path).resize(UserDictionary::kMaxFileSize));
        QVERIFY(UserDictionary::readFile(path, &bytes));
        QCOMPARE(bytes, "abc" + QByteArray(int(UserDictionary::kMaxFileSize) - 3, '\0'));

        QFile big(path);
        QVERIFY(big.resize(UserDictionary::kMaxFileSize + 1));
        for (const QString &refused :
             {path, dir.path(), dir.filePath("missing"), QStringLiteral("/dev/zero"), QString()})
            QVERIFY2(!UserDictionary::readFile(refused, &bytes), qPrintable(refused));
    }

    void writesAtomicallyOrNotAtAll()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("备份 it's.txt"));
        QVERIFY(UserDictionary::writeFileAtomically(path, "new"));
        QCOMPARE(readFile(path), QByteArray("new"));
        QVERIFY(QDir().mkdir(dir.filePath("sub")));
        for (const QString &refused : {dir.filePath("sub"), dir.filePath("missing/x.txt"),
                                       path + QStringLiteral("/x.txt"), QString()})
            QVERIFY2(!UserDictionary::writeFileAtomically(refused, "x"), qPrintable(refused));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
                 (QStringList{"sub", "备份 it's.txt"}));
        QCOMPARE(readFile(path), QByteArray("new"));
    }
};

QTEST_GUILESS_MAIN(TestStandInDictionaries)
#include "tst_standin_dictionaries.moc"
