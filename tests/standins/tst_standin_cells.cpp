// Cell dictionaries in the engine-shell stand-ins: the .kcel reader's checks,
// filling records (5,5), rebuilding the cell data (5,0) and the maker tool.
#include "CellDictionaryStore.h"
#include "DigestCache.h"
#include "KcelFile.h"
#include "ShellWrapperInterface.h"
#include "TestFiles.h"

#include <QCryptographicHash>
#include <QtTest>

namespace
{

KcelFile sample(int words = 3)
{
    KcelFile kcel;
    kcel.id = "demo";
    kcel.name = "演示词库";
    kcel.category = "测试";
    kcel.examples = "苹果 香蕉";
    kcel.date = 1700000000;
    const char *all[] = {"苹果", "香蕉", "橙子", "葡萄"};
    for (int i = 0; i < words; ++i)
        kcel.entries.push_back({all[i], i % 2 ? "" : "pin yin"});
    return kcel;
}

QByteArray bytesOf(const KcelFile &kcel)
{
    std::string bytes;
    kcel.serialize(bytes);
    return QByteArray(bytes.data(), int(bytes.size()));
}

QByteArray patched(QByteArray bytes, int offset, const QByteArray &with)
{
    return bytes.replace(offset, with.size(), with);
}

const int kIdNul = 24 + 4; // header, then id "demo"

QByteArray md5Of(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex();
}

QByteArray piece(const QByteArray &lines, const QString &source)
{
    return "# kaiwo cell words 1\t" + QByteArray::number(lines.count('\n')) + '\t' +
           QByteArray::number(lines.size()) + '\t' + source.toUtf8() + '\n' + lines;
}

// Folders whose files the digest cache may remember: made at the start and
// left alone long enough to count as settled.
const int kSettledFolders = 6;

} // namespace

class TestStandInCells : public QObject
{
    Q_OBJECT

    QTemporaryDir mRoot;
    QString mPinyin, mWubi, mSystem;

    std::wstring write(const QString &name, const QByteArray &bytes)
    {
        const QString path = mRoot.filePath(name);
        writeFile(path, bytes);
        return path.toStdWString();
    }

    static QString settled(int folder, const QString &name)
    {
        return QStringLiteral("settled%1/%2").arg(folder).arg(name);
    }

    // The pinyin shell's rebuild; the skip notices, or "failed".
    static QString rebuild(const std::vector<std::wstring> &paths, int *words = nullptr)
    {
        s_inputOutputDicData data;
        data.inputPath = L"/";
        for (const std::wstring &path : paths) {
            data.cellDicList.emplace_back();
            data.cellDicList.back().strFilePath = path;
        }
        if (!GetKaiwoShellWrapper()->DicOperation(ed_cellDict, ec_rebuildCellDict, data))
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
        writeFile(QString::fromStdString(cache.path()), QByteArray::fromStdString(text));
        return QByteArray::fromStdString(text);
    }

    QString piecePath(const QByteArray &md5) const
    {
        return mPinyin + CellDictionaryStore::piecesDirName() + '/' + md5 + ".txt";
    }

private slots:
    void initTestCase()
    {
        mPinyin = mRoot.filePath(QStringLiteral("PCPYDict/"));
        mWubi = mRoot.filePath(QStringLiteral("PCWBDict"));
        mSystem = mRoot.filePath(QStringLiteral("share"));
        for (const QString &dir : {mPinyin, mWubi, mSystem})
            QVERIFY(QDir().mkpath(dir));
        const std::wstring py = mPinyin.toStdWString(), wb = mWubi.toStdWString(),
                           sys = mSystem.toStdWString(), pyNoSlash = py.substr(0, py.size() - 1);
        QVERIFY(GetKaiwoShellWrapper()->Init(L"1", py.c_str(), sys.c_str(), pyNoSlash.c_str()));
        QVERIFY(GetWbKaiwoShellWrapper()->Init(L"1", wb.c_str(), sys.c_str(), wb.c_str()));
        for (int folder = 0; folder < kSettledFolders; ++folder) {
            QVERIFY(QDir().mkpath(mRoot.filePath(settled(folder, ""))));
            write(settled(folder, "a.kcel"), bytesOf(sample(2)));
            KcelFile other = sample(1);
            other.id = "fruit";
            write(settled(folder, "b.kcel"), bytesOf(other));
        }
        QTest::qWait(2100);
    }

    // "valid" when added (read in full), "listed" when listed as installed
    // (header and size only): a damaged entry still lists.
    void readerChecksFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<bool>("listed");
        const QByteArray good = bytesOf(sample());
        QTest::newRow("valid") << good << true << true;
        QTest::newRow("no entries") << bytesOf(sample(0)) << true << true;
        QTest::newRow("empty") << QByteArray() << false << false;
        QTest::newRow("identifier only") << QByteArray("KCEL") << false << false;
        QTest::newRow("truncated header") << good.left(18) << false << false;
        QTest::newRow("truncated entry") << good.left(good.size() - 3) << false << true;
        QTest::newRow("missing last NUL") << good.left(good.size() - 1) << false << true;
        QTest::newRow("trailing byte") << good + 'x' << false << true;
        QTest::newRow("entries cut off") << good.left(good.size() - 40) << false << false;
        QTest::newRow("other identifier") << patched(good, 0, "KCEX") << false << false;
        QTest::newRow("future version")
            << patched(good, 4, literalBytes("\x02\x00")) << false << false;
        QTest::newRow("count too high")
            << patched(good, 16, literalBytes("\x04\0\0\0")) << false << true;
        QTest::newRow("count too low")
            << patched(good, 16, literalBytes("\x02\0\0\0")) << false << true;
        QTest::newRow("count far too low")
            << patched(bytesOf(sample(0)) + QByteArray(20000, 'x'), 16, literalBytes("\x01\0\0\0"))
            << false << false;
        QTest::newRow("huge count") << patched(good, 16, "\xff\xff\xff\xff") << false << false;
        QTest::newRow("string length past end")
            << patched(good, 20, "\xff\xff\0\0") << false << false;
        QTest::newRow("no terminator") << patched(good, kIdNul, "x") << false << false;
        QTest::newRow("negative date") << patched(good, 8, QByteArray(8, '\xff')) << false << false;
        QTest::newRow("date after 2038")
            << patched(good, 8, literalBytes("\0\0\0\x80\0\0\0\0")) << false << false;
        QByteArray binary(4096, '\0');
        for (int i = 0; i < binary.size(); ++i)
            binary[i] = char(i * 37 + 11);
        QTest::newRow("binary") << binary << false << false;
        QTest::newRow("binary after identifier") << QByteArray("KCEL") + binary << false << false;
        QTest::newRow("latin-1 name")
            << patched(good, kIdNul + 1 + 4, literalBytes("\xe9\xe9\xe9")) << false << false;
    }

    void readerChecksFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, valid);
        QFETCH(bool, listed);
        for (const bool listing : {false, true}) {
            s_inputOutputDicData data;
            if (listing)
                data.inputPath = mRoot.path().toStdWString();
            data.cellDicList.resize(1);
            data.cellDicList[0].strFilePath = write(QStringLiteral("t.kcel"), bytes);
            QVERIFY(GetKaiwoShellWrapper()->DicOperation(ed_cellDict, ec_getCellDictInfo, data));
            const s_cellDicInfo &info = data.cellDicList[0];
            QCOMPARE(info.bValid, listing ? listed : valid);
            if (!info.bValid) {
                QVERIFY(info.strId.empty() && info.strName.empty() && info.nWordsCount == 0);
                continue;
            }
            if (!valid)
                continue;
            // A valid file reads the same either way.
            const KcelFile expected = bytes == bytesOf(sample()) ? sample() : sample(0);
            QCOMPARE(info.strId, std::wstring(L"demo"));
            QCOMPARE(info.strName, std::wstring(L"演示词库"));
            QCOMPARE(info.strType, std::wstring(L"测试"));
            QCOMPARE(info.strExample, std::wstring(L"苹果 香蕉"));
            QCOMPARE(info.nWordsCount, int32_t(expected.entries.size()));
            QCOMPARE(info.nDate, 1700000000);
        }
    }

    void infoMarksEachFileAndRefusesEmptyList()
    {
        s_inputOutputDicData data;
        QVERIFY(!GetKaiwoShellWrapper()->DicOperation(ed_cellDict, ec_getCellDictInfo, data));
        for (const std::wstring &path :
             {write(QStringLiteral("a.kcel"), bytesOf(sample())), std::wstring(L"/no/such.kcel"),
              mRoot.path().toStdWString()}) {
            s_cellDicInfo info;
            info.strFilePath = path;
            data.cellDicList.push_back(info);
        }
        QVERIFY(GetKaiwoShellWrapper()->DicOperation(ed_cellDict, ec_getCellDictInfo, data));
        QCOMPARE(data.nResult, 1);
        QVERIFY(data.cellDicList[0].bValid);
        QVERIFY(!data.cellDicList[1].bValid && !data.cellDicList[2].bValid);
        QCOMPARE(data.cellDicList[1].strFilePath, std::wstring(L"/no/such.kcel"));
    }

    // Each shell writes its own data from the listed dictionaries only; a
    // damaged one is skipped with a notice and costs the others nothing.
    void rebuildWritesListedWordsPerShell()
    {
        KcelFile other = sample(1);
        other.id = "fruit";
        other.entries = {{"榴莲", "liu lian"}};
        const QByteArray demo = bytesOf(sample(2));
        std::wstring paths[] = {write(QStringLiteral("demo.kcel"), demo),
                                write(QStringLiteral("fruit.kcel"), bytesOf(other)),
                                write(QStringLiteral("bad.kcel"), "KCEL"),
                                write(QStringLiteral("cut.kcel"), demo.left(demo.size() - 1))};
        wchar_t buffers[2][flat::kPathChars] = {};
        wcsncpy(buffers[0], paths[0].c_str(), flat::kPathChars - 1);
        wcsncpy(buffers[1], paths[2].c_str(), flat::kPathChars - 1);
        wchar_t *list[] = {buffers[0], buffers[1]};
        flat::Request request{};
        wcsncpy(request.inputPath, mPinyin.toStdWString().c_str(), flat::kPathChars - 1);
        request.cellPaths = list;
        request.cellCount = 2;
        for (auto *shell : {GetKaiwoShellWrapper(), GetWbKaiwoShellWrapper()}) {
            flat::Result *result = nullptr;
            QVERIFY(shell->DicOperationFlat(ed_cellDict, ec_rebuildCellDict, &request, &result));
            QVERIFY(!result);
        }
        const QString demoPath = QString::fromStdWString(paths[0]);
        for (const QString &dir : {mPinyin, mWubi + '/'}) {
            QCOMPARE(readFile(dir + CellDictionaryStore::dataFileName()),
                     "# kaiwo cell data 2\n" + md5Of(demo) + '\n');
            QCOMPARE(
                readFile(dir + CellDictionaryStore::piecesDirName() + '/' + md5Of(demo) + ".txt"),
                piece("苹果\tpin yin\tdemo\n香蕉\t\tdemo\n", demoPath));
        }

        int words = 0;
        QCOMPARE(rebuild({paths[3], paths[1], paths[2]}, &words),
                 "skipped " + QString::fromStdWString(paths[3]) + "\nskipped " +
                     QString::fromStdWString(paths[2]) + '\n');
        QCOMPARE(words, 1);
        QCOMPARE(readFile(mPinyin + CellDictionaryStore::dataFileName()),
                 "# kaiwo cell data 2\n" + md5Of(bytesOf(other)) + '\n');

        // Switching every dictionary off empties the data.
        request.cellCount = 0;
        request.cellPaths = nullptr;
        flat::Result *result = nullptr;
        QVERIFY(GetKaiwoShellWrapper()->DicOperationFlat(ed_cellDict, ec_rebuildCellDict, &request,
                                                         &result));
        QCOMPARE(readFile(mPinyin + CellDictionaryStore::dataFileName()),
                 QByteArray("# kaiwo cell data 2\n"));
    }

    // The tool's digest cache tells the shells which piece holds a file's
    // words, so a file it vouches for is not read; a cache that is of
    // another version, damaged or stale is not believed.
    void digestCacheDecidesWhatIsRead_data()
    {
        QTest::addColumn<int>("folder");
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("trusted");
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
        const QString dir = mRoot.filePath(settled(folder, ""));
        const QString path = dir + "a.kcel";
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
            cache.replace(QByteArray("\t") + QByteArray::number(readFile(path).size()) + '\t',
                          "\t1\t");
        QVERIFY(writeFile(dir + DigestCache::fileName(), cache));
        QVERIFY(QDir().mkpath(mPinyin + CellDictionaryStore::piecesDirName()));
        QVERIFY(writeFile(piecePath(fake), piece("假\t\tdemo\n", path)));

        int words = 0;
        QCOMPARE(rebuild({path.toStdWString()}, &words), QString());
        const QByteArray used = trusted ? fake : md5Of(readFile(path));
        QCOMPARE(readFile(mPinyin + CellDictionaryStore::dataFileName()),
                 "# kaiwo cell data 2\n" + used + '\n');
        QCOMPARE(words, trusted ? 1 : change == "file" ? 3 : 2);
        // A piece no file needs any more is dropped.
        QCOMPARE(QFile::exists(piecePath(fake)), trusted);
    }

    // Pieces of files still installed stay when switched off, so switching
    // back reads nothing; those of removed files and cut writes go.
    void rebuildKeepsPiecesOfInstalledFiles()
    {
        const QString dir = mRoot.filePath(settled(kSettledFolders - 1, ""));
        const QString a = dir + "a.kcel", b = dir + "b.kcel";
        cacheDigests(dir, {"a.kcel", "b.kcel"});
        QCOMPARE(rebuild({a.toStdWString(), b.toStdWString()}), QString());
        const QByteArray pieceA = md5Of(readFile(a)), pieceB = md5Of(readFile(b));
        const QString cut = piecePath(pieceB) + ".Xy12ab", foreign = piecePath("") + "notes";
        QVERIFY(writeFile(cut, "# kaiwo") && writeFile(foreign, "mine"));

        QCOMPARE(rebuild({a.toStdWString()}), QString());
        QCOMPARE(readFile(mPinyin + CellDictionaryStore::dataFileName()),
                 "# kaiwo cell data 2\n" + pieceA + '\n');
        QVERIFY(QFile::exists(piecePath(pieceB)) && QFile::exists(foreign));
        QVERIFY(!QFile::exists(cut));

        QVERIFY(QFile::remove(b));
        QCOMPARE(rebuild({a.toStdWString()}), QString());
        QVERIFY(!QFile::exists(piecePath(pieceB)) && QFile::exists(piecePath(pieceA)));
    }

    void makerToolBuildsDictionary()
    {
        const QString list = mRoot.filePath(QStringLiteral("words.txt"));
        writeFile(list, "# comment\n一\n二 er\n\n三  san \n四\n五\n六\n七\n八\n");
        const QString out = mRoot.filePath(QStringLiteral("数字.kcel"));
        QCOMPARE(QProcess::execute(
                     QStringLiteral(KAIWO_MAKE_KCEL),
                     {"--name", "数字", "--category", "数学", "--date", "86400", list, out}),
                 0);
        KcelFile kcel;
        QVERIFY(kcel.read(out.toStdString()));
        QCOMPARE(QString::fromStdString(kcel.id), QStringLiteral("数字"));
        QCOMPARE(QString::fromStdString(kcel.category), QStringLiteral("数学"));
        QCOMPARE(QString::fromStdString(kcel.examples), QStringLiteral("一 二 三 四 五 六 七"));
        QCOMPARE(kcel.entries.size(), size_t(8));
        QCOMPARE(QString::fromStdString(kcel.entries[2].pinyin), QStringLiteral("san"));
        QCOMPARE(kcel.date, int64_t(86400));
        for (const QStringList &bad : {QStringList{list, out}, QStringList{"--name", "x", list},
                                       QStringList{"--name", "x", "--date", "-5", list, out}})
            QVERIFY(QProcess::execute(QStringLiteral(KAIWO_MAKE_KCEL), bad) != 0);
    }
};

QTEST_GUILESS_MAIN(TestStandInCells)
#include "tst_standin_cells.moc"
