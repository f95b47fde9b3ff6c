// The controller: paths and bus names, settings objects, first-run copies,
// engine shell start, the fixed-layout blocks to the shells, the one-instance
// name and the IME service calls on a private bus.
#include "DataRoot.h"
#include "FlatTransfer.h"
#include "ImeServiceClient.h"
#include "MainController.h"
#include "ServiceProcess.h"
#include "TestFiles.h"
#include "config/SettingsStore.h"
#include "window/SettingsWidget.h"

#include <QtDBus>
#include <QtTest>

#include <cwchar>
#include <memory>

namespace
{

QStringList gLog;
QtMessageHandler gPreviousHandler = nullptr;

// A shell that reads the request at its byte offsets, as a shell built
// elsewhere would, and answers with a result block of its own.
class CheckingShell : public ShellWrapperInterface
{
public:
    bool Init(const wchar_t *, const wchar_t *, const wchar_t *, const wchar_t *) override
    {
        return true;
    }
    bool DicOperation(e_dicType, e_operDicType, s_inputOutputDicData &) override { return false; }
    bool DicOperationFlat(e_dicType, e_operDicType operation, const flat::Request *request,
                          flat::Result **result) override
    {
        const auto *bytes = reinterpret_cast<const char *>(request);
        const auto text = [](const void *at) {
            return QString::fromWCharArray(static_cast<const wchar_t *>(at));
        };
        seen = QStringList{QString::number(operation), text(bytes), text(bytes + 1040)};
        const auto *cells = *reinterpret_cast<wchar_t *const *const *>(bytes + 2080);
        for (int i = 0; i < *reinterpret_cast<const int32_t *>(bytes + 2088); ++i)
            seen << text(cells[i]);
        if (!cells)
            seen << "no cells";
        const char *phrases = *reinterpret_cast<const char *const *>(bytes + 2096);
        for (int i = 0; i < *reinterpret_cast<const int32_t *>(bytes + 2104); ++i) {
            const char *entry = phrases + 24 * i;
            seen << text(*reinterpret_cast<wchar_t *const *>(entry)) + '=' +
                        text(*reinterpret_cast<wchar_t *const *>(entry + 8)) + '@' +
                        QString::number(*reinterpret_cast<const int16_t *>(entry + 16));
        }
        ++calls;
        if (answer) {
            mBlock = flat::Result{};
            mBlock.cells = &cell;
            mBlock.cellCount = 1;
            *result = &mBlock;
        }
        return true;
    }
    void FreeDicResult(flat::Result **result) override
    {
        ++frees;
        *result = nullptr;
    }

    int calls = 0, frees = 0;
    bool answer = false;
    QStringList seen;
    flat::CellEntry cell{};

private:
    flat::Result mBlock{};
};

} // namespace

// Answers the tool's questions with values of the wrong type.
class WrongTypesService : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.kaiwoimebs_service.hotel")

public:
    QStringList calls;

public slots:
    QString clearCnThesaurus()
    {
        calls << QStringLiteral("clearCnThesaurus");
        return QStringLiteral("true");
    }
    int UsrDictImport(const QString &)
    {
        calls << QStringLiteral("UsrDictImport");
        return 1;
    }
};

class TestMainController : public QObject
{
    Q_OBJECT

    // Keeps the tool's own debug lines; everything else goes where it went.
    static void recordMessage(QtMsgType type, const QMessageLogContext &context,
                              const QString &message)
    {
        if (context.category && qstrcmp(context.category, "kaiwo.configtool") == 0)
            gLog << message;
        else if (gPreviousHandler)
            gPreviousHandler(type, context, message);
    }

    static QString toolBusName(int display, const char *name = "kaiwoimeservice_configtool")
    {
        return QStringLiteral("com.%1.hotel_%2").arg(QLatin1String(name)).arg(display);
    }

    static QString serviceBusName(int display) { return toolBusName(display, "kaiwoimeservice"); }

    MainController *controller()
    {
        mControllerCreated = true;
        return MainController::self();
    }

    QString makeHome(const QString &name)
    {
        const QString home = mDir->filePath(name);
        qputenv("HOME", QFile::encodeName(home));
        return QDir().mkpath(home) ? home : QString();
    }

    bool makeDataRoot()
    {
        const QString root = mDir->filePath(QStringLiteral("system data"));
        qputenv("KAIWOIMEBS_DATA_ROOT", QFile::encodeName(root));
        return QProcess::execute("cp", {"-a", QFile::decodeName(mDataRoot), root}) == 0;
    }

    std::unique_ptr<QTemporaryDir> mDir;
    const QByteArray mHome = qgetenv("HOME");
    const QByteArray mDataRoot = qgetenv("KAIWOIMEBS_DATA_ROOT");
    bool mControllerCreated = false;

private slots:
    void initTestCase() { gPreviousHandler = qInstallMessageHandler(recordMessage); }

    void init()
    {
        qputenv("DISPLAY", ":0");
        mDir.reset(new QTemporaryDir);
        QVERIFY(mDir->isValid());
        gLog.clear();
    }

    void cleanup()
    {
        if (mControllerCreated)
            delete MainController::self();
        mControllerCreated = false;
        qputenv("HOME", mHome);
        qputenv("KAIWOIMEBS_DATA_ROOT", mDataRoot);
    }

    // Read afresh at each call; the Wubi folder alone has no trailing slash.
    void namesFromTheEnvironment()
    {
        qputenv("HOME", "/home/用户");
        qputenv("KAIWOIMEBS_DATA_ROOT", "/opt/凯沃 data///");
        qputenv("DISPLAY", "localhost:3.0");
        QCOMPARE(MainController::localPath(),
                 QStringLiteral("/home/用户/.config/KaiwoShell/usr/PCPYDict/"));
        QCOMPARE(MainController::localPcWbDirPath(),
                 QStringLiteral("/home/用户/.config/KaiwoShell/usr/PCWBDict"));
        QCOMPARE(MainController::sysEnvWbDirPath(),
                 QStringLiteral("/opt/凯沃 data/KaiwoShell/dict/PCWBDict/"));
        QCOMPARE(MainController::configtoolBusName(), toolBusName(3));
        QCOMPARE(ImeServiceClient::serviceName(), serviceBusName(3));
        qputenv("KAIWOIMEBS_DATA_ROOT", "");
        qunsetenv("DISPLAY");
        QCOMPARE(MainController::sysEnvPyDirPath(),
                 KAIWO_EXPECTED_DATA_ROOT "/KaiwoShell/dict/PCPYDict/");
        QCOMPARE(ImeServiceClient::serviceName(), serviceBusName(0));
    }

    // Opening reads a serialised value away without writing; the first
    // save drops it and writes UTF-8, as the IME service reads it.
    void settingsObjects()
    {
        // Found by fuzz_settings_store: one such line aborted the tool in Qt.
        QVERIFY(!makeHome(QStringLiteral("家 'home' \"dir\"")).isEmpty());
        QVERIFY(makeDataRoot());
        const QString user = MainController::localPcPyDirPath() + "env.ini";
        const QString shipped = MainController::sysEnvPyDirPath() + "env.ini";
        const QByteArray bad = "Bad=@Variant(\\0\\0\\0\\v\\x7f\\xff\\xff\\xff)\n";
        QVERIFY(QDir().mkpath(MainController::localPcPyDirPath()));
        QVERIFY(writeFile(user, "[Setting]\n" + bad + "SkinName=蓝色\n"));
        QVERIFY(writeFile(shipped, "[Setting]\nSkinName=默认\n" + bad));

        MainController *main = controller();
        QVERIFY(!main->settings(CON_CURRENT));
        main->openSettings();
        QCOMPARE(readFile(user), "[Setting]\n" + bad + "SkinName=蓝色\n");
        QCOMPARE(SettingsReader(CON_CURRENT).stringValue("SkinName", QString()),
                 QStringLiteral("蓝色"));
        // The shipped copy is left alone and reads as missing: the code's defaults.
        QCOMPARE(SettingsReader(CON_DEFAULT).stringValue("SkinName", "x"), QStringLiteral("x"));
        SettingsWriter().setValue("SkinName", QStringLiteral("红色"));
        QCOMPARE(readFile(user), QByteArray("[Setting]\nSkinName=红色\n"));
        QCOMPARE(main->settings(CON_CURRENT)->fileName(), user);
        QCOMPARE(readFile(shipped), "[Setting]\nSkinName=默认\n" + bad);
    }

    // The user's own files are kept; a shipped file missing is logged and
    // costs the others nothing.
    void firstRunCopies_data()
    {
        addColumns<QStringList, QStringList>({"userFiles", "missingShipped"});
        QTest::newRow("existing files are kept")
            << QStringList{"env.ini", "Fuzzy.dat"} << QStringList();
        QTest::newRow("a shipped file missing") << QStringList() << QStringList{"Correction.ini"};
    }

    void firstRunCopies()
    {
        QFETCH(QStringList, userFiles);
        QFETCH(QStringList, missingShipped);
        makeHome(QStringLiteral("home"));
        QVERIFY(makeDataRoot());
        const QString target = MainController::localPcPyDirPath();
        const QString shipped = MainController::sysEnvPyDirPath();
        QVERIFY(QDir().mkpath(target));
        for (const QString &name : userFiles)
            QVERIFY(writeFile(target + name, "the user's own " + name.toUtf8()));
        for (const QString &name : missingShipped)
            QVERIFY(QFile::remove(shipped + name));
        // Provisioning happens only inside init(), which also opens the window.
        MainController::setWindowFactory([] { return new SettingsWidget(nullptr); });
        controller()->init();
        QVERIFY(controller()->settingsWidget());
        QStringList failures;
        for (const QString &name : QStringList{"env.ini", "Correction.ini", "Fuzzy.dat"}) {
            if (userFiles.contains(name))
                QCOMPARE(readFile(target + name), "the user's own " + name.toUtf8());
            else if (!missingShipped.contains(name))
                QCOMPARE(readFile(target + name), readFile(shipped + name));
            else
                failures << name + " copy fail";
        }
        QCOMPARE(gLog.filter(QRegularExpression(" copy fail$")), failures);
        QCOMPARE(gLog.filter(QRegularExpression("^Init(WB)?Shell:")),
                 (QStringList{"InitShell: true", "InitWBShell: true"}));
    }

    // Every field at the offset a shell built elsewhere reads it from,
    // handed to the right shell; a returned block replaces the list.
    void flatBlocksReachTheRightShell()
    {
        CheckingShell pinyin, wubi;
        MainController::setShellWrappers(&pinyin, &wubi);
        s_inputOutputDicData data;
        data.inputPath = L"/home/a b/PCPYDict/kwim_phrases.bin";
        data.outputPath = L"/home/a b/PCPYDict/phrase/PhraseEdit.txt";
        data.cellDicList.resize(2);
        data.cellDicList[0].strFilePath = L"/词库/城市.kcel";
        data.cellDicList[1].strFilePath = std::wstring(259, L'c');
        data.phraseList = {{L"kw", L"凯沃\n输入法", -2}, {L"", L"", 9}};
        QVERIFY(controller()->OperDic(ed_userPhrase, ec_addUserPhrase, data, SHELL_WUBI));
        QCOMPARE(pinyin.calls, 0);
        QCOMPARE(
            wubi.seen,
            (QStringList{QString::number(ec_addUserPhrase), "/home/a b/PCPYDict/kwim_phrases.bin",
                         "/home/a b/PCPYDict/phrase/PhraseEdit.txt", "/词库/城市.kcel",
                         QString(259, 'c'), "kw=凯沃\n输入法@-2", "=@9"}));
        QCOMPARE(wubi.frees, 0); // no block handed back, none freed
        QCOMPARE(data.phraseList.size(), size_t(2));

        pinyin.answer = true;
        std::wmemset(pinyin.cell.strName, L'n', 256); // a full field with no terminator
        pinyin.cell.nWordsCount = 10000;
        QVERIFY(controller()->OperDic(ed_userPhrase, ec_getUserPhrase, data, SHELL_PINYIN));
        QCOMPARE(pinyin.frees, 1);
        QVERIFY(data.phraseList.empty() && data.cellDicList.size() == 1);
        QCOMPARE(data.cellDicList[0].strName, std::wstring(256, L'n'));
        QCOMPARE(data.cellDicList[0].nWordsCount, 10000);
        data = s_inputOutputDicData();
        QVERIFY(controller()->OperDic(ed_cellDict, ec_rebuildCellDict, data, SHELL_PINYIN));
        QCOMPARE(pinyin.seen.mid(1), (QStringList{"", "", "no cells"}));

        // Too long for the fixed fields, or no shell: refused, nobody called.
        const int before = pinyin.calls;
        data.inputPath = std::wstring(260, L'p');
        QVERIFY(!controller()->OperDic(ed_cellDict, ec_rebuildCellDict, data, SHELL_PINYIN));
        data.inputPath.clear();
        data.cellDicList.resize(1);
        data.cellDicList[0].strFilePath = std::wstring(300, L'c');
        QVERIFY(!controller()->OperDic(ed_cellDict, ec_rebuildCellDict, data, SHELL_PINYIN));
        QVERIFY(!controller()->OperDic(ed_cellDict, ec_rebuildCellDict, data, SHELL_TYPE(0)));
        QCOMPARE(pinyin.calls, before);
        QCOMPARE(data.cellDicList.size(), size_t(1));
        MainController::setShellWrappers(nullptr, nullptr);
    }

    // A string where a boolean belongs, or a number: no success.
    void askRefusesWrongTypes()
    {
        WrongTypesService fake;
        QDBusConnection bus = QDBusConnection::sessionBus();
        QVERIFY(bus.registerObject("/", &fake, QDBusConnection::ExportAllSlots));
        QVERIFY(bus.registerService(serviceBusName(0)));
        const bool cleared = ImeServiceClient::ask("clearCnThesaurus", {}, "clear fail");
        const bool imported = ImeServiceClient::ask("UsrDictImport", {"x"}, "import fail");
        bus.unregisterService(serviceBusName(0));
        bus.unregisterObject("/");
        QVERIFY(!cleared && !imported);
        QCOMPARE(gLog, (QStringList{"clear fail", "import fail"}));
        QCOMPARE(fake.calls, (QStringList{"clearCnThesaurus", "UsrDictImport"}));
    }

    // Each sent call waits for its reply, in order, to the service of the
    // tool's own display; replies are not logged.
    void sentCallsBlockAndKeepTheirOrder()
    {
        ServiceProcess service({"--answer", "error", "--delay", "100"}, QString(), 1);
        QVERIFY(service.waitUntilReady());
        ImeServiceClient::reloadConfig();
        qputenv("DISPLAY", ":1");
        QElapsedTimer timer;
        timer.start();
        ImeServiceClient::reloadConfig();
        ImeServiceClient::reloadDictionary(7);
        ImeServiceClient::reloadDictionary(1);
        ImeServiceClient::rebuildKeyMap();
        controller()->update_cfg_to_service();
        ImeServiceClient::send("UsrDictBackup", {mDir->filePath("备份\tfile.bin")});
        QVERIFY(timer.elapsed() >= 6 * 95);
        QCOMPARE(service.journal(),
                 (QStringList{"ReloadConfig", "ReloadDictionary\t7", "ReloadDictionary\t1",
                              "RebuildKeyMap", "ReloadConfig",
                              "UsrDictBackup\t" + mDir->path() + "/备份\\tfile.bin"}));
        QCOMPARE(gLog, QStringList());
    }

    void toolNameOwner()
    {
        MainController *main = controller();
        QVERIFY(main->kaiwoImeServiceConfigtoolIsNotRunning());
        const QString connectionName = QStringLiteral("another instance");
        {
            QDBusConnection other =
                QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName);
            QVERIFY(other.registerService(toolBusName(0)));
            QVERIFY(!main->kaiwoImeServiceConfigtoolIsNotRunning());

            // Another display has a name of its own, which this instance takes.
            qputenv("DISPLAY", ":1");
            QVERIFY(main->kaiwoImeServiceConfigtoolIsNotRunning());
            main->creatDBusService();
            QVERIFY(!main->kaiwoImeServiceConfigtoolIsNotRunning());

            // What a second start does: call the slot through the tool's interface.
            QDBusPendingCall pending = other.asyncCall(QDBusMessage::createMethodCall(
                toolBusName(1), "/", "com.kaiwoimeservice_configtool", "activeSettingsWidget"));
            QTRY_VERIFY(pending.isFinished());
            QVERIFY2(!pending.isError(), qPrintable(pending.error().message()));
            QCOMPARE(gLog, QStringList{"activeSettingsWidget"});
        }
        QDBusConnection::disconnectFromBus(connectionName);
        qputenv("DISPLAY", ":0");
        QTRY_VERIFY(main->kaiwoImeServiceConfigtoolIsNotRunning());

        // Deleting the controller gives the name back.
        qputenv("DISPLAY", ":1");
        delete MainController::self();
        mControllerCreated = false;
        QTRY_VERIFY(!busNameOwned(toolBusName(1)));
    }
};

QTEST_MAIN(TestMainController)
#include "tst_main_controller.moc"
