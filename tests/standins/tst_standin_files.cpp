// The stand-ins' files against damaged input: the engine shells' phrase
// files, cell dictionaries and rebuilt cell data, and the IME service's user
// dictionaries.
#include "CellDictionaryStore.h"
#include "DigestCache.h"
#include "KcelFile.h"
#include "PhraseBinaryFile.h"
#include "PhraseTextFile.h"
#include "PinyinDictionaryFile.h"
#include "ShellWrapperInterface.h"
#include "TestFiles.h"
#include "TextDictionaryFile.h"
#include "UserDictionary.h"

#include <QCryptographicHash>
#include <QtTest>

using Phrases = std::vector<UserPhraseItem>;
using Kind = TextDictionaryFile::Kind;

namespace
{

ShellWrapperInterface *const kPinyin = GetKaiwoShellWrapper();
ShellWrapperInterface *const kWubi = GetWbKaiwoShellWrapper();

// Folders whose files the digest cache may remember: made at the start and
// left alone long enough to count as settled.
const int kSettledFolders = 5;

} // namespace

class TestStandInFiles : public QObject
{
    Q_OBJECT

    static QString describe(const Phrases &phrases)
    {
        QStringList out;
        for (const UserPhraseItem &p : phrases)
            out << QString::fromStdWString(p.abbr) + ',' + QString::number(p.position) + '=' +
                       QString::fromStdWString(p.phrase);
        return out.join('|');
    }

    static QByteArray bytes(const std::string &s) { return QByteArray(s.data(), int(s.size())); }

    static KcelFile sample(int words = 3)
    {
        KcelFile kcel;
        kcel.id = "demo";
        kcel.name = "演示词库";
        kcel.category = "测试";
        kcel.examples = "苹果 香蕉";
        kcel.date = 1700000000;
        const char *all[] = {"苹果", "香蕉", "橙子"};
        for (int i = 0; i < words; ++i)
            kcel.entries.push_back({all[i], i % 2 ? "" : "pin yin"});
        return kcel;
    }

    static QByteArray bytesOf(const KcelFile &kcel)
    {
        std::string out;
        kcel.serialize(out);
        return bytes(out);
    }

    static QByteArray patched(QByteArray data, int offset, const QByteArray &with)
    {
        return data.replace(offset, with.size(), with);
    }

    static QByteArray md5Of(const QByteArray &data)
    {
        return QCryptographicHash::hash(data, QCryptographicHash::Md5).toHex();
    }

    static QByteArray piece(const QByteArray &lines, const QString &source)
    {
        return "# kaiwo cell words 1\t" + QByteArray::number(lines.count('\n')) + '\t' +
               QByteArray::number(lines.size()) + '\t' + source.toUtf8() + '\n' + lines;
    }

    static UserDictionary dictionary()
    {
        return UserDictionary({{"ni'hao", "你好", 7},
                               {"a", "啊 \"'", 0},
                               {"ni'hao", "拟好", 4294967295u},
                               {"xiao", "𠀀笑", 1}});
    }

    QTemporaryDir mRoot;
    // A home whose name holds spaces, quotes, "$(...)" and Chinese.
    const QString mHome = mRoot.filePath(QStringLiteral("用户 $(touch x) \"o'neil\""));
    const QString mPinyin = mHome + QStringLiteral("/PCPYDict/");
    const QString mWubi = mHome + QStringLiteral("/PCWBDict");
    const QString mSystem = mRoot.filePath(QStringLiteral("share/PCPYDict/"));

    std::wstring write(const QString &name, const QByteArray &data)
    {
        writeFile(mRoot.filePath(name), data);
        return mRoot.filePath(name).toStdWString();
    }

    bool run(ShellWrapperInterface *shell, e_operDicType op, Phrases &phrases,
             const QString &in = QString(), const QString &out = QString())
    {
        s_inputOutputDicData data;
        data.inputPath = (in.isNull() ? mPinyin : in).toStdWString();
        data.outputPath = out.toStdWString();
        data.phraseList = phrases;
        const bool ok = shell->DicOperation(ed_userPhrase, op, data);
        phrases = data.phraseList;
        return ok;
    }

    QString list(ShellWrapperInterface *shell)
    {
        Phrases p;
        return run(shell, ec_getUserPhrase, p) ? describe(p) : QStringLiteral("<failed>");
    }

    // The pinyin shell's rebuild of these files; the skip notices, or "failed".
    static QString rebuild(const std::vector<std::wstring> &paths, int *words = nullptr)
    {
        s_inputOutputDicData data;
        data.inputPath = L"/";
        for (const std::wstring &path : paths) {
            data.cellDicList.emplace_back();
            data.cellDicList.back().strFilePath = path;
        }
        if (!kPinyin->DicOperation(ed_cellDict, ec_rebuildCellDict, data))
            return QStringLiteral("failed");
        if (words)
            *words = data.nResult;
        return QString::fromStdWString(data.resultText);
    }

    // Caches the digests of a folder's files as the tool does on OK.
    static QByteArray cacheDigests(const QString &dir, const QStringList &names)
    {
        DigestCache cache(QFile::encodeName(dir).toStdString());
        for (const QString &name : names)
            cache.digest(QFile::encodeName(name).toStdString());
        const std::string text = cache.serialize();
        writeFile(QString::fromStdString(cache.path()), bytes(text));
        return bytes(text);
    }

    QString settled(int folder, const QString &name = QString()) const
    {
        return mRoot.filePath(QStringLiteral("settled%1/%2").arg(folder).arg(name));
    }

    QString piecePath(const QByteArray &md5) const
    {
        return mPinyin + CellDictionaryStore::piecesDirName() + '/' + md5 + ".txt";
    }

    QByteArray cellData() const { return readFile(mPinyin + CellDictionaryStore::dataFileName()); }

private slots:
    void initTestCase()
    {
        QVERIFY(QDir().mkpath(mPinyin + "phrase") && QDir().mkpath(mWubi));
        QVERIFY(QDir().mkpath(mSystem));
        QVERIFY(QFile::copy(KAIWO_SOURCE_DATA_DIR
                            "/KaiwoShell/dict/PCPYDict/kwim_default_phrases.txt",
                            mSystem + "kwim_default_phrases.txt"));
        const std::wstring py = mPinyin.toStdWString(), wb = mWubi.toStdWString(),
                           sys = mSystem.toStdWString();
        QVERIFY(kPinyin->Init(L"1", py.c_str(), sys.c_str(), py.substr(0, py.size() - 1).c_str()));
        QVERIFY(kWubi->Init(L"1", wb.c_str(), sys.c_str(), wb.c_str()));
        for (int folder = 0; folder < kSettledFolders; ++folder) {
            QVERIFY(QDir().mkpath(settled(folder)));
            writeFile(settled(folder, "a.kcel"), bytesOf(sample(2)));
        }
        QTest::qWait(2100);
    }

    // Abbreviations with digits and position 0 are refused; adding again
    // only switches a phrase on; each shell keeps its own set; the text
    // export escapes what would break a line.
    void phraseOperations()
    {
        Phrases add = {{L"dh", L"电话：\n0571-1234", 2},
                       {L"Off", L"a\\b", -3},
                       {L"bad1", L"digits refused", 1},
                       {L"zero", L"position 0 refused", 0}};
        QVERIFY(run(kPinyin, ec_addUserPhrase, add));
        Phrases again = {{L"Off", L"a\\b", 3}};
        QVERIFY(run(kPinyin, ec_addUserPhrase, again));
        QCOMPARE(list(kPinyin), QStringLiteral("dh,2=电话：\n0571-1234|Off,3=a\\b"));
        QCOMPARE(list(kWubi), QString());
        const QString bin = mPinyin + "kwim_phrases.bin", txt = mPinyin + "phrase/PhraseEdit.txt";
        Phrases none;
        QVERIFY(run(kPinyin, ec_genPhraseEditText, none, bin, txt));
        QVERIFY(readFile(txt).endsWith("\ndh,2=电话：\\n0571-1234\nOff,3=a\\\\b\n"));
        Phrases all;
        QVERIFY(run(kPinyin, ec_getUserPhrase, all));
        QVERIFY(run(kPinyin, ec_deleteUserPhrase, all));
        QCOMPARE(list(kPinyin), QString());
    }

    // The two phrase file formats: what is read of each, and whether the
    // file counts as whole, damaged or foreign.
    void phraseFiles_data()
    {
        addColumns<QByteArray, QString, int, bool>({"data", "expected", "status", "binary"});
        const int ok = PhraseBinaryFile::Ok, damaged = PhraseBinaryFile::Damaged,
                  refused = PhraseBinaryFile::Refused;
        const auto row = [](bool binary, const char *name, const QByteArray &data,
                            const char *expected, int status) {
            QTest::addRow("%s: %s", binary ? "binary" : "text", name)
                << data << QString(expected) << status << binary;
        };
        row(false, "ascii", "ab,9=x\n# c\n\n", "ab,9=x", ok);
        row(false, "utf-8 bom, crlf", "\357\273\277ab,-2=好\r\n", "ab,-2=好", ok);
        row(false, "utf-16 le", literalBytes("\377\376a\0b\0,\0001\0=\0}Y\n\0"), "ab,1=好", ok);
        row(false, "utf-16 be, lone surrogate skipped",
            literalBytes("\376\377\0a\0,\0001\0=\0x\0\n\0b\0,\0001\0=\330\0"), "a,1=x", damaged);
        row(false, "invalid utf-8 line skipped", "a,1=\xC3\x28\nb,1=y", "b,1=y", damaged);
        row(false, "no separator, bad position, bad abbreviation",
            "abc\na,0=x\na,10=x\na,x=y\na1,1=x\n,1=x\na,1=\nok,1=a=b,c", "ok,1=a=b,c", damaged);
        row(false, "unknown escapes kept", "a,1=\\t\\", "a,1=\\t\\", ok);
        // Found by fuzz_phrase_text: the writer drops carriage returns, so a
        // phrase holding one read differently after a round trip.
        row(false, "carriage returns are no part of a phrase", "a,1=x\ry\r\nb,1=\r\r\n", "a,1=xy",
            damaged);
        row(false, "too long", "a,1=" + QByteArray(1001, 'x'), "", damaged);
        row(false, "empty", QByteArray(), "", ok);
        const std::string good = PhraseBinaryFile::encode({{L"a", L"x", 1}, {L"b", L"好", -2}});
        const auto changed = [&good](int at, char to, int at2 = -1) {
            std::string bytes = good;
            bytes[at] = to;
            if (at2 >= 0)
                bytes[at2] = to;
            return QByteArray(bytes.data(), int(bytes.size()));
        };
        row(true, "good", bytes(good), "a,1=x|b,-2=好", ok);
        row(true, "truncated keeps the whole entries", bytes(good.substr(0, good.size() - 2)),
            "a,1=x", damaged);
        row(true, "trailing byte", bytes(good + 'x'), "a,1=x|b,-2=好", damaged);
        row(true, "other version", changed(8, 2), "", refused);
        row(true, "foreign", "PK\3\4 not ours at all", "", refused);
        row(true, "empty", QByteArray(), "", refused);
        row(true, "hostile count", changed(15, '\x7F'), "", refused);
        row(true, "hostile length", changed(16 + 4, '\xFF', 16 + 5), "", damaged);
        row(true, "position out of range skipped", changed(16, 10), "b,-2=好", damaged);
    }

    void phraseFiles()
    {
        QFETCH(QByteArray, data);
        QFETCH(bool, binary);
        Phrases phrases;
        const int status = binary ? PhraseBinaryFile::decode(data.toStdString(), phrases)
                                  : PhraseTextFile::decode(data.toStdString(), phrases);
        QTEST(describe(phrases), "expected");
        QTEST(status, "status");
    }

    void phraseTextWritesOnlyReadableLines()
    {
        // Found by fuzz_phrase_binary: a phrase of carriage returns alone
        // was exported as a line the reader refuses.
        const Phrases phrases{{L"a", L"\r", 1}, {L"b", L"x\r\ny", 2}};
        QCOMPARE(QString::fromStdString(PhraseTextFile::encode(phrases)).section('\n', 2),
                 QStringLiteral("b,2=x\\ny\n"));
        Phrases read;
        QCOMPARE(int(PhraseTextFile::decode(PhraseTextFile::encode(phrases), read)),
                 int(PhraseBinaryFile::Ok));
        QCOMPARE(describe(read), QStringLiteral("b,2=x\ny"));
    }

    void damagedPhraseFilesNeverReplaceGoodOnes()
    {
        const QString bin = mRoot.filePath("c.bin"), txt = mRoot.filePath("c.txt");
        QVERIFY(PhraseBinaryFile::write(bin.toStdString(), {{L"keep", L"me", 1}}));
        Phrases none;
        QVERIFY(!run(kPinyin, ec_convertTextToDic, none, bin, txt)); // no text file
        QVERIFY(writeFile(txt, "x"));
        QVERIFY(!run(kPinyin, ec_genPhraseEditText, none, txt, bin)); // foreign input
        Phrases kept;
        QCOMPARE(int(PhraseBinaryFile::read(bin.toStdString(), kept)), int(PhraseBinaryFile::Ok));
        QCOMPARE(describe(kept), QStringLiteral("keep,1=me"));
        QByteArray many;
        for (int i = 0; i < 100000; ++i)
            many += "ab,1=" + QByteArray::number(i) + '\n';
        QVERIFY(writeFile(txt, many));
        QVERIFY(run(kPinyin, ec_convertTextToDic, none, bin, txt));
        QCOMPARE(int(PhraseBinaryFile::read(bin.toStdString(), kept)), int(PhraseBinaryFile::Ok));
        QCOMPARE(int(kept.size()), 100000);
    }

    // "valid" when added (read in full), "listed" when listed as installed
    // (header and size only): a damaged entry still lists.
    void kcelReader_data()
    {
        addColumns<QByteArray, bool, bool>({"data", "valid", "listed"});
        const QByteArray good = bytesOf(sample());
        const int idNul = 24 + 4; // header, then id "demo"
        QTest::newRow("valid") << good << true << true;
        QTest::newRow("empty") << QByteArray() << false << false;
        QTest::newRow("truncated entry") << good.left(good.size() - 3) << false << true;
        QTest::newRow("other identifier") << patched(good, 0, "KCEX") << false << false;
        QTest::newRow("count too high")
            << patched(good, 16, literalBytes("\x04\0\0\0")) << false << true;
        QTest::newRow("huge count") << patched(good, 16, "\xff\xff\xff\xff") << false << false;
        QTest::newRow("no terminator") << patched(good, idNul, "x") << false << false;
        QByteArray binary(4096, '\0');
        for (int i = 0; i < binary.size(); ++i)
            binary[i] = char(i * 37 + 11);
        QTest::newRow("binary after identifier") << QByteArray("KCEL") + binary << false << false;
        QTest::newRow("latin-1 name")
            << patched(good, idNul + 1 + 4, literalBytes("\xe9\xe9\xe9")) << false << false;
    }

    void kcelReader()
    {
        QFETCH(QByteArray, data);
        QFETCH(bool, valid);
        QFETCH(bool, listed);
        for (const bool listing : {false, true}) {
            s_inputOutputDicData info;
            if (listing)
                info.inputPath = mRoot.path().toStdWString();
            info.cellDicList.resize(2);
            info.cellDicList[0].strFilePath = write("t.kcel", data);
            info.cellDicList[1].strFilePath = L"/no/such.kcel";
            QVERIFY(kPinyin->DicOperation(ed_cellDict, ec_getCellDictInfo, info));
            const s_cellDicInfo &cell = info.cellDicList[0];
            QCOMPARE(cell.bValid, listing ? listed : valid);
            QVERIFY(!info.cellDicList[1].bValid);
            if (!cell.bValid)
                QVERIFY(cell.strId.empty() && cell.strName.empty() && cell.nWordsCount == 0);
            if (!valid || !cell.bValid)
                continue;
            // A valid file reads the same either way.
            QCOMPARE(QString::fromStdWString(cell.strId + L'|' + cell.strName + L'|' +
                                             cell.strType + L'|' + cell.strExample),
                     QStringLiteral("demo|演示词库|测试|苹果 香蕉"));
            QCOMPARE(cell.nWordsCount, int32_t(data == bytesOf(sample()) ? 3 : 0));
            QCOMPARE(cell.nDate, 1700000000);
        }
    }

    // The data lists the pieces of the listed dictionaries only, each piece
    // the words of one file; a damaged file is skipped with a notice and
    // costs the others nothing; none listed empties the data.
    void rebuildWritesListedWords()
    {
        KcelFile other = sample(1);
        other.id = "fruit";
        const QByteArray demo = bytesOf(sample(2));
        const std::wstring paths[] = {write("demo.kcel", demo), write("fruit.kcel", bytesOf(other)),
                                      write("bad.kcel", "KCEL"),
                                      write("cut.kcel", demo.chopped(1))};
        QCOMPARE(rebuild({paths[0]}), QString());
        QCOMPARE(cellData(), "# kaiwo cell data 2\n" + md5Of(demo) + '\n');
        QCOMPARE(readFile(piecePath(md5Of(demo))),
                 piece("苹果\tpin yin\tdemo\n香蕉\t\tdemo\n", QString::fromStdWString(paths[0])));
        int words = 0;
        QCOMPARE(rebuild({paths[3], paths[1], paths[2]}, &words),
                 "skipped " + QString::fromStdWString(paths[3]) + "\nskipped " +
                     QString::fromStdWString(paths[2]) + '\n');
        QCOMPARE(words, 1);
        QCOMPARE(cellData(), "# kaiwo cell data 2\n" + md5Of(bytesOf(other)) + '\n');
        QCOMPARE(rebuild({}), QString());
        QCOMPARE(cellData(), QByteArray("# kaiwo cell data 2\n"));
    }

    // The tool's digest cache tells the shells which piece holds a file's
    // words, so a file it vouches for is not read; a cache that is of
    // another version, damaged or stale is not believed.
    void digestCacheDecidesWhatIsRead_data()
    {
        addColumns<int, QString, bool>({"folder", "change", "trusted"});
        QTest::newRow("as written") << 0 << "" << true;
        QTest::newRow("other version") << 1 << "version" << false;
        QTest::newRow("damaged line") << 2 << "line" << false;
        QTest::newRow("file replaced") << 3 << "file" << false;
        QTest::newRow("other file size") << 4 << "size" << false;
    }

    void digestCacheDecidesWhatIsRead()
    {
        QFETCH(int, folder);
        QFETCH(QString, change);
        QFETCH(bool, trusted);
        const QString dir = settled(folder), path = dir + "a.kcel";
        QByteArray cache = cacheDigests(dir, {"a.kcel"});
        // A digest no file has, with a piece of its own: only a trusted
        // cache leads the shell there instead of to the file.
        const QByteArray fake(32, 'e');
        cache.replace(md5Of(readFile(path)), fake);
        if (change == "version")
            cache.replace("digests 1", "digests 2");
        else if (change == "line")
            cache += "junk\n";
        else if (change == "file")
            writeFile(path, bytesOf(sample(3)));
        else if (change == "size")
            cache.replace('\t' + QByteArray::number(readFile(path).size()) + '\t', "\t1\t");
        QVERIFY(writeFile(dir + DigestCache::fileName(), cache));
        QVERIFY(QDir().mkpath(mPinyin + CellDictionaryStore::piecesDirName()));
        QVERIFY(writeFile(piecePath(fake), piece("假\t\tdemo\n", path)));
        int words = 0;
        QCOMPARE(rebuild({path.toStdWString()}, &words), QString());
        const QByteArray used = trusted ? fake : md5Of(readFile(path));
        QCOMPARE(cellData(), "# kaiwo cell data 2\n" + used + '\n');
        QCOMPARE(words, trusted ? 1 : change == "file" ? 3 : 2);
        // A piece no file needs any more is dropped.
        QCOMPARE(QFile::exists(piecePath(fake)), trusted);
    }

    void dictionaryTextRefused_data()
    {
        QTest::addColumn<QByteArray>("data");
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
        QTest::newRow("delete char") << header + "a\tb\x7f\t1\n";
        QTest::newRow("lone surrogate") << header + "a\t\xed\xa0\x80\t1\n";
        QTest::newRow("too long") << header + "a\t" + QByteArray(257, 'w') + "\t1\n";
        for (const char *frequency : {"", "-1", "+1", " 1", "1.5", "0x1", "4294967296"})
            QTest::addRow("frequency '%s'", frequency) << header + "a\tb\t" + frequency + "\n";
    }

    void dictionaryTextRefused()
    {
        QFETCH(QByteArray, data);
        UserDictionary untouched = dictionary();
        QVERIFY(!TextDictionaryFile::decode(data, Kind::Pinyin, &untouched));
        QCOMPARE(untouched, dictionary());
    }

    void dictionaryCompiledRefusesAnyDamage()
    {
        const QByteArray data = PinyinDictionaryFile::encode(dictionary());
        QVERIFY(data.startsWith("KWPYDICT\x01\x00\x04\x00\x00\x00"));
        UserDictionary read;
        QVERIFY(PinyinDictionaryFile::decode(data, &read));
        QCOMPARE(read, dictionary());
        QVERIFY(PinyinDictionaryFile::decode(PinyinDictionaryFile::encode({}), &read));
        QVERIFY(read.isEmpty());
        // Every cut, every changed byte and any extra byte is refused.
        read = dictionary();
        for (int size = 0; size < data.size(); ++size)
            QVERIFY2(!PinyinDictionaryFile::decode(data.left(size), &read),
                     qPrintable(QString::number(size)));
        for (int i = 0; i < data.size(); ++i) {
            QByteArray damaged = data;
            damaged[i] = char(damaged[i] ^ 0x20);
            QVERIFY2(!PinyinDictionaryFile::decode(damaged, &read), qPrintable(QString::number(i)));
        }
        QVERIFY(!PinyinDictionaryFile::decode(data + '\0', &read));
        QCOMPARE(read, dictionary());
    }
};

QTEST_GUILESS_MAIN(TestStandInFiles)
#include "tst_standin_files.moc"
