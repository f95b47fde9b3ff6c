// Cell dictionaries in the engine-shell stand-ins: the .kcel reader's checks,
// filling records (5,5), rebuilding the cell data (5,0) and the maker tool.
#include "CellDictionaryStore.h"
#include "KcelFile.h"
#include "ShellWrapperInterface.h"
#include "TestFiles.h"

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
    }

    void readerChecksFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("valid");
        const QByteArray good = bytesOf(sample());
        QTest::newRow("valid") << good << true;
        QTest::newRow("no entries") << bytesOf(sample(0)) << true;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("identifier only") << QByteArray("KCEL") << false;
        QTest::newRow("truncated header") << good.left(18) << false;
        QTest::newRow("truncated entry") << good.left(good.size() - 3) << false;
        QTest::newRow("missing last NUL") << good.left(good.size() - 1) << false;
        QTest::newRow("trailing byte") << good + 'x' << false;
        QTest::newRow("other identifier") << patched(good, 0, "KCEX") << false;
        QTest::newRow("future version") << patched(good, 4, literalBytes("\x02\x00")) << false;
        QTest::newRow("count too high") << patched(good, 16, literalBytes("\x04\0\0\0")) << false;
        QTest::newRow("count too low") << patched(good, 16, literalBytes("\x02\0\0\0")) << false;
        QTest::newRow("huge count") << patched(good, 16, "\xff\xff\xff\xff") << false;
        QTest::newRow("string length past end") << patched(good, 20, "\xff\xff\0\0") << false;
        QTest::newRow("no terminator") << patched(good, kIdNul, "x") << false;
        QTest::newRow("negative date") << patched(good, 8, QByteArray(8, '\xff')) << false;
        QTest::newRow("date after 2038")
            << patched(good, 8, literalBytes("\0\0\0\x80\0\0\0\0")) << false;
        QByteArray binary(4096, '\0');
        for (int i = 0; i < binary.size(); ++i)
            binary[i] = char(i * 37 + 11);
        QTest::newRow("binary") << binary << false;
        QTest::newRow("binary after identifier") << QByteArray("KCEL") + binary << false;
        QTest::newRow("latin-1 name")
            << patched(good, kIdNul + 1 + 4, literalBytes("\xe9\xe9\xe9")) << false;
    }

    void readerChecksFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, valid);
        s_inputOutputDicData data;
        data.cellDicList.resize(1);
        data.cellDicList[0].strFilePath = write(QStringLiteral("t.kcel"), bytes);
        QVERIFY(GetKaiwoShellWrapper()->DicOperation(ed_cellDict, ec_getCellDictInfo, data));
        const s_cellDicInfo &info = data.cellDicList[0];
        QCOMPARE(info.bValid, valid);
        if (!valid) {
            QVERIFY(info.strId.empty() && info.strName.empty() && info.nWordsCount == 0);
            return;
        }
        const KcelFile expected = bytes == bytesOf(sample()) ? sample() : sample(0);
        QCOMPARE(info.strId, std::wstring(L"demo"));
        QCOMPARE(info.strName, std::wstring(L"演示词库"));
        QCOMPARE(info.strType, std::wstring(L"测试"));
        QCOMPARE(info.strExample, std::wstring(L"苹果 香蕉"));
        QCOMPARE(info.nWordsCount, int32_t(expected.entries.size()));
        QCOMPARE(info.nDate, 1700000000);
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

    // Each shell writes its own data file from the listed dictionaries only.
    void rebuildWritesListedWordsPerShell()
    {
        KcelFile other = sample(1);
        other.id = "fruit";
        other.entries = {{"榴莲", "liu lian"}};
        std::wstring paths[] = {write(QStringLiteral("demo.kcel"), bytesOf(sample(2))),
                                write(QStringLiteral("fruit.kcel"), bytesOf(other)),
                                write(QStringLiteral("bad.kcel"), "KCEL")};
        wchar_t buffers[2][flat::kPathChars] = {};
        wcsncpy(buffers[0], paths[0].c_str(), flat::kPathChars - 1);
        wcsncpy(buffers[1], paths[2].c_str(), flat::kPathChars - 1);
        wchar_t *list[] = {buffers[0], buffers[1]};
        flat::Request request{};
        wcsncpy(request.inputPath, mPinyin.toStdWString().c_str(), flat::kPathChars - 1);
        request.cellPaths = list;
        request.cellCount = 2;
        const QByteArray expected = "# kaiwo cell data 1\n苹果\tpin yin\tdemo\n香蕉\t\tdemo\n";
        for (auto *shell : {GetKaiwoShellWrapper(), GetWbKaiwoShellWrapper()}) {
            flat::Result *result = nullptr;
            QVERIFY(shell->DicOperationFlat(ed_cellDict, ec_rebuildCellDict, &request, &result));
            QVERIFY(!result);
        }
        for (const QString &dir : {mPinyin, mWubi + '/'})
            QCOMPARE(readFile(dir + CellDictionaryStore::dataFileName()), expected);

        // Switching every dictionary off empties the data.
        request.cellCount = 0;
        request.cellPaths = nullptr;
        flat::Result *result = nullptr;
        QVERIFY(GetKaiwoShellWrapper()->DicOperationFlat(ed_cellDict, ec_rebuildCellDict, &request,
                                                         &result));
        QCOMPARE(readFile(mPinyin + CellDictionaryStore::dataFileName()),
                 QByteArray("# kaiwo cell data 1\n"));
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
