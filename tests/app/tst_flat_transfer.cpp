#include "app/FlatTransfer.h"
#include "app/MainController.h"

#include <QTest>

#include <cwchar>

// The fixed-layout blocks between the tool and the engine shells.
class TestFlatTransfer : public QObject
{
    Q_OBJECT

private slots:
    void emptyListsGiveNullAndZero()
    {
        s_inputOutputDicData data;
        data.inputPath = L"/home/用户/.config/KaiwoShell/usr/PCPYDict/";
        FlatRequest request(data);
        const flat::Request *block = request.block();
        QVERIFY(block);
        QCOMPARE(QString::fromWCharArray(block->inputPath),
                 QString::fromStdWString(data.inputPath));
        QCOMPARE(block->outputPath[0], L'\0');
        QVERIFY(!block->cellPaths);
        QCOMPARE(block->cellCount, 0);
        QCOMPARE(block->phraseCount, 0);
    }

    void entriesAreCopiedAndLongPathsCut()
    {
        s_inputOutputDicData data;
        data.inputPath = std::wstring(300, L'p');
        data.cellDicList.resize(2);
        data.cellDicList[0].strFilePath = L"/a b/词库.kcel";
        data.cellDicList[1].strFilePath = std::wstring(400, L'c');
        data.phraseList = {{L"kw", L"凯沃\n输入法", -3}, {L"", L"", 9}};
        FlatRequest request(data);
        const flat::Request *block = request.block();

        QCOMPARE(std::wcslen(block->inputPath), size_t(flat::kPathChars - 1));
        QCOMPARE(block->cellCount, 2);
        QCOMPARE(QString::fromWCharArray(block->cellPaths[0]), QStringLiteral("/a b/词库.kcel"));
        QCOMPARE(std::wcslen(block->cellPaths[1]), size_t(flat::kPathChars - 1));
        QCOMPARE(block->phraseCount, 2);
        QCOMPARE(QString::fromWCharArray(block->phrases[0].phrase), QStringLiteral("凯沃\n输入法"));
        QCOMPARE(block->phrases[0].position, int16_t(-3));
        QCOMPARE(block->phrases[1].abbr[0], L'\0');
        QCOMPARE(block->phrases[1].position, int16_t(9));
    }

    void resultReplacesBothLists()
    {
        flat::CellEntry cell{};
        std::wmemset(cell.strName, L'n', 256); // a full field with no terminator
        std::wcscpy(cell.strFilePath, L"/x.kcel");
        cell.nWordsCount = 10000;
        cell.nDate = 1700000000;
        cell.bValid = true;
        flat::Result result{};
        result.cells = &cell;
        result.cellCount = 1;

        s_inputOutputDicData data;
        data.phraseList = {{L"old", L"phrase", 1}};
        FlatRequest::readResult(result, data);
        QVERIFY(data.phraseList.empty());
        QCOMPARE(data.cellDicList.size(), size_t(1));
        QCOMPARE(data.cellDicList[0].strFilePath, std::wstring(L"/x.kcel"));
        QCOMPARE(data.cellDicList[0].strName, std::wstring(256, L'n'));
        QCOMPARE(data.cellDicList[0].nWordsCount, 10000);
        QCOMPARE(data.cellDicList[0].nDate, 1700000000);
        QVERIFY(data.cellDicList[0].bValid);
    }

    void unknownShellCallsNothing()
    {
        s_inputOutputDicData data;
        data.phraseList = {{L"kw", L"凯沃", 1}};
        QVERIFY(
            !MainController::self()->OperDic(ed_userPhrase, ec_getUserPhrase, data, SHELL_TYPE(0)));
        QCOMPARE(data.phraseList.size(), size_t(1));
        QCOMPARE(data.phraseList[0].abbr, std::wstring(L"kw"));
    }
};

QTEST_GUILESS_MAIN(TestFlatTransfer)
#include "tst_flat_transfer.moc"
