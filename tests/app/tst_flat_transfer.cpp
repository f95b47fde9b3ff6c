#include "app/FlatTransfer.h"
#include "app/MainController.h"

#include <QTest>

#include <cwchar>

namespace
{

// A shell that checks the request at its byte offsets and answers with a
// result block of its own.
class CheckingShell : public ShellWrapperInterface
{
public:
    bool Init(const wchar_t *, const wchar_t *, const wchar_t *, const wchar_t *) override
    {
        return true;
    }
    bool DicOperation(e_dicType, e_operDicType, s_inputOutputDicData &) override { return false; }
    bool DicOperationFlat(e_dicType type, e_operDicType operation, const flat::Request *request,
                          flat::Result **result) override
    {
        ++calls;
        lastType = type;
        lastOperation = operation;
        const auto *bytes = reinterpret_cast<const char *>(request);
        inputPath = QString::fromWCharArray(reinterpret_cast<const wchar_t *>(bytes));
        outputPath = QString::fromWCharArray(reinterpret_cast<const wchar_t *>(bytes + 1040));
        cellPaths.clear();
        const auto *cells = *reinterpret_cast<wchar_t *const *const *>(bytes + 2080);
        cellCount = *reinterpret_cast<const int32_t *>(bytes + 2088);
        for (int i = 0; i < cellCount; ++i)
            cellPaths << QString::fromWCharArray(cells[i]);
        cellArrayNull = cells == nullptr;
        const char *phrases = *reinterpret_cast<const char *const *>(bytes + 2096);
        phraseCount = *reinterpret_cast<const int32_t *>(bytes + 2104);
        phraseTexts.clear();
        for (int i = 0; i < phraseCount; ++i) {
            const char *entry = phrases + 24 * i;
            phraseTexts << QString::fromWCharArray(*reinterpret_cast<wchar_t *const *>(entry)) +
                               QLatin1Char('=') +
                               QString::fromWCharArray(
                                   *reinterpret_cast<wchar_t *const *>(entry + 8)) +
                               QLatin1Char('@') +
                               QString::number(*reinterpret_cast<const int16_t *>(entry + 16));
        }
        if (answer) {
            mBlock = flat::Result{};
            mBlock.phrases = answerPhrases.data();
            mBlock.phraseCount = int32_t(answerPhrases.size());
            *result = &mBlock;
        }
        return true;
    }
    void FreeDicResult(flat::Result **result) override
    {
        ++frees;
        *result = nullptr;
    }

    int calls = 0;
    int frees = 0;
    e_dicType lastType = ed_cellDict;
    e_operDicType lastOperation = ec_rebuildCellDict;
    QString inputPath, outputPath;
    QStringList cellPaths, phraseTexts;
    int cellCount = -1, phraseCount = -1;
    bool cellArrayNull = false;
    bool answer = false;
    std::vector<flat::PhraseEntry> answerPhrases;

private:
    flat::Result mBlock{};
};

} // namespace

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

    void operDicHandsTheRightShellEveryField()
    {
        CheckingShell pinyin, wubi;
        MainController::setShellWrappers(&pinyin, &wubi);
        s_inputOutputDicData data;
        data.inputPath = L"/home/a b/PCPYDict/kwim_phrases.bin";
        data.outputPath = L"/home/a b/PCPYDict/phrase/PhraseEdit.txt";
        data.cellDicList.resize(1);
        data.cellDicList[0].strFilePath = L"/词库/城市.kcel";
        data.phraseList = {{L"kw", L"凯沃\n输入法", -2}};
        QVERIFY(MainController::self()->OperDic(ed_userPhrase, ec_addUserPhrase, data, SHELL_WUBI));

        QCOMPARE(pinyin.calls, 0);
        QCOMPARE(wubi.calls, 1);
        QCOMPARE(wubi.lastOperation, ec_addUserPhrase);
        QCOMPARE(wubi.inputPath, QStringLiteral("/home/a b/PCPYDict/kwim_phrases.bin"));
        QCOMPARE(wubi.outputPath, QStringLiteral("/home/a b/PCPYDict/phrase/PhraseEdit.txt"));
        QCOMPARE(wubi.cellPaths, QStringList{QStringLiteral("/词库/城市.kcel")});
        QCOMPARE(wubi.phraseTexts, QStringList{QStringLiteral("kw=凯沃\n输入法@-2")});
        QCOMPARE(wubi.frees, 0); // no block handed back, none freed
        QCOMPARE(data.phraseList.size(), size_t(1));

        // A returned block replaces the list, even when it holds nothing.
        pinyin.answer = true;
        QVERIFY(
            MainController::self()->OperDic(ed_userPhrase, ec_getUserPhrase, data, SHELL_PINYIN));
        QCOMPARE(pinyin.frees, 1);
        QVERIFY(data.phraseList.empty());

        data = s_inputOutputDicData();
        QVERIFY(
            MainController::self()->OperDic(ed_cellDict, ec_rebuildCellDict, data, SHELL_PINYIN));
        QVERIFY(pinyin.cellArrayNull);
        QCOMPARE(pinyin.cellCount, 0);
        QCOMPARE(pinyin.phraseCount, 0);

        // Too long for the fixed fields: refused before any shell sees it.
        const int before = pinyin.calls;
        data.inputPath = std::wstring(260, L'p');
        QVERIFY(
            !MainController::self()->OperDic(ed_cellDict, ec_rebuildCellDict, data, SHELL_PINYIN));
        data.inputPath.clear();
        data.cellDicList.resize(1);
        data.cellDicList[0].strFilePath = std::wstring(300, L'c');
        QVERIFY(
            !MainController::self()->OperDic(ed_cellDict, ec_rebuildCellDict, data, SHELL_PINYIN));
        QCOMPARE(pinyin.calls, before);
        MainController::setShellWrappers(nullptr, nullptr);
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
