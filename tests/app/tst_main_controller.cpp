// The controller's paths and bus names, first-run copies, engine shell start,
// settings objects, one-instance name and IME service calls on a private bus.
#include "DataRoot.h"
#include "ImeServiceClient.h"
#include "MainController.h"
#include "ServiceProcess.h"
#include "TestFiles.h"
#include "config/SettingsStore.h"
#include "window/SettingsWidget.h"

#include <QtDBus>
#include <QtTest>

#include <memory>

namespace
{

QStringList gLog;
QtMessageHandler gPreviousHandler = nullptr;

// Keeps the tool's own debug lines; everything else goes where it went.
void recordMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (context.category && qstrcmp(context.category, "kaiwo.configtool") == 0)
        gLog << message;
    else if (gPreviousHandler)
        gPreviousHandler(type, context, message);
}

QStringList logLinesMatching(const char *pattern)
{
    return gLog.filter(QRegularExpression(QLatin1String(pattern)));
}

QString toolBusName(int display)
{
    return QStringLiteral("com.kaiwoimeservice_configtool.hotel_%1").arg(display);
}

QString serviceBusName(int display)
{
    return QStringLiteral("com.kaiwoimeservice.hotel_%1").arg(display);
}

bool nameOwned(const QString &name)
{
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(name).value();
}

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

    MainController *controller()
    {
        mControllerCreated = true;
        return MainController::self();
    }

    // A fresh HOME under the test's folder, set in the environment.
    QString makeHome(const QString &name)
    {
        const QString home = mDir->filePath(name);
        qputenv("HOME", QFile::encodeName(home));
        return QDir().mkpath(home) ? home : QString();
    }

    // A private copy of the shipped data that a test may change.
    bool makeDataRoot()
    {
        const QString root = mDir->filePath(QStringLiteral("system data"));
        qputenv("KAIWOIMEBS_DATA_ROOT", QFile::encodeName(root));
        return QProcess::execute(QStringLiteral("cp"),
                                 {QStringLiteral("-a"), QFile::decodeName(mDataRoot), root}) == 0;
    }

    std::unique_ptr<QTemporaryDir> mDir;
    const QByteArray mHome = qgetenv("HOME");
    const QByteArray mDataRoot = qgetenv("KAIWOIMEBS_DATA_ROOT");
    bool mControllerCreated = false;

private slots:
    void initTestCase()
    {
        QVERIFY(QDBusConnection::sessionBus().isConnected());
        gPreviousHandler = qInstallMessageHandler(recordMessage);
    }

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

    void namesFromTheEnvironment_data()
    {
        QTest::addColumn<QString>("home");
        QTest::addColumn<QByteArray>("root");
        QTest::addColumn<QString>("expectedRoot");
        QTest::addColumn<QByteArray>("display");
        QTest::addColumn<int>("number");
        QTest::newRow("plain") << QStringLiteral("/home/user") << QByteArray("/opt/kaiwo")
                               << QStringLiteral("/opt/kaiwo") << QByteArray("localhost:3.0") << 3;
        QTest::newRow("unusual names, trailing slashes")
            << QStringLiteral("/home/用户 it's \"x\"") << QByteArray("/opt/凯沃 data///")
            << QStringLiteral("/opt/凯沃 data") << QByteArray(":12") << 12;
        QTest::newRow("empty") << QString() << QByteArray("")
                               << QStringLiteral(KAIWO_EXPECTED_DATA_ROOT) << QByteArray() << 0;
    }

    void namesFromTheEnvironment()
    {
        QFETCH(QString, home);
        QFETCH(QByteArray, root);
        QFETCH(QString, expectedRoot);
        QFETCH(QByteArray, display);
        QFETCH(int, number);
        // Read afresh at each call: every row sets other values.
        qputenv("HOME", QFile::encodeName(home));
        qputenv("KAIWOIMEBS_DATA_ROOT", root);
        if (display.isNull())
            qunsetenv("DISPLAY");
        else
            qputenv("DISPLAY", display);

        const QString pinyin = home + QStringLiteral("/.config/KaiwoShell/usr/PCPYDict/");
        QCOMPARE(MainController::localPath(), pinyin);
        QCOMPARE(MainController::localEnvDirPath(), pinyin);
        QCOMPARE(MainController::localPcPyDirPath(), pinyin);
        // The Wubi directory alone has no trailing slash.
        QCOMPARE(MainController::localPcWbDirPath(),
                 home + QStringLiteral("/.config/KaiwoShell/usr/PCWBDict"));
        QCOMPARE(kaiwoDataRoot(), expectedRoot);
        QCOMPARE(MainController::sysEnvPyDirPath(),
                 expectedRoot + QStringLiteral("/KaiwoShell/dict/PCPYDict/"));
        QCOMPARE(MainController::sysEnvWbDirPath(),
                 expectedRoot + QStringLiteral("/KaiwoShell/dict/PCWBDict/"));
        QCOMPARE(ImeServiceClient::displayNumber(), number);
        QCOMPARE(MainController::configtoolBusName(), toolBusName(number));
        QCOMPARE(ImeServiceClient::serviceName(), serviceBusName(number));
    }

    void settingsObjects()
    {
        QVERIFY(!makeHome(QStringLiteral("家 'home' \"dir\"")).isEmpty());
        QVERIFY(makeDataRoot());
        const QString user = MainController::localPcPyDirPath() + QStringLiteral("env.ini");
        const QString shipped = MainController::sysEnvPyDirPath() + QStringLiteral("env.ini");
        QVERIFY(QDir().mkpath(MainController::localPcPyDirPath()));
        QVERIFY(writeFile(shipped, "[Setting]\nSkinName=默认\n"));

        MainController *main = controller();
        QVERIFY(!main->settings(CON_CURRENT));
        main->openSettings();
        QCOMPARE(main->settings(CON_CURRENT)->fileName(), user);
        QCOMPARE(main->settings(CON_DEFAULT)->fileName(), shipped);
        QCOMPARE(SettingsReader(CON_DEFAULT).stringValue(QStringLiteral("SkinName"), QString()),
                 QStringLiteral("默认"));
        SettingsWriter().setValue(QStringLiteral("SkinName"), QStringLiteral("红色"));
        // UTF-8 on disk, as the IME service reads it.
        QCOMPARE(readFile(user), QByteArray("[Setting]\nSkinName=红色\n"));
    }

    void settingsWithSerialisedValues()
    {
        // Found by fuzz_settings_store: one such line aborted the tool in Qt.
        QVERIFY(!makeHome(QStringLiteral("home")).isEmpty());
        QVERIFY(makeDataRoot());
        const QString user = MainController::localPcPyDirPath() + QStringLiteral("env.ini");
        const QString shipped = MainController::sysEnvPyDirPath() + QStringLiteral("env.ini");
        const QByteArray bad = "Bad=@Variant(\\0\\0\\0\\v\\x7f\\xff\\xff\\xff)\n";
        QVERIFY(QDir().mkpath(MainController::localPcPyDirPath()));
        QVERIFY(writeFile(user, "[Setting]\n" + bad + "SkinName=蓝色\n"));
        QVERIFY(writeFile(shipped, "[Setting]\nSkinName=默认\n" + bad));

        MainController *main = controller();
        main->openSettings();
        // Read without the line but not written: opening is no save.
        QCOMPARE(readFile(user), "[Setting]\n" + bad + "SkinName=蓝色\n");
        QCOMPARE(SettingsReader(CON_CURRENT).stringValue(QStringLiteral("SkinName"), QString()),
                 QStringLiteral("蓝色"));
        // The shipped copy is left alone and reads as missing: the code's defaults.
        QVERIFY(SettingsReader(CON_DEFAULT).isValid());
        QCOMPARE(SettingsReader(CON_DEFAULT).stringValue(QStringLiteral("SkinName"), "x"),
                 QStringLiteral("x"));

        // The first save drops the line and writes the file itself.
        SettingsWriter().setValue(QStringLiteral("PageSize"), 7);
        QCOMPARE(readFile(user), QByteArray("[Setting]\nPageSize=7\nSkinName=蓝色\n"));
        QCOMPARE(main->settings(CON_CURRENT)->fileName(), user);
        SettingsWriter().setValue(QStringLiteral("PageSize"), 8);
        QVERIFY(readFile(user).contains("PageSize=8\n"));
        QCOMPARE(readFile(shipped), "[Setting]\nSkinName=默认\n" + bad);
    }

    void firstRunCopies_data()
    {
        QTest::addColumn<QString>("homeName");
        QTest::addColumn<QString>("userDir"); // created below HOME
        QTest::addColumn<QStringList>("userFiles");
        QTest::addColumn<QStringList>("missingShipped");
        const auto row = [](const char *name, const char *home, const char *userDir,
                            const QStringList &userFiles, const QStringList &missingShipped) {
            QTest::newRow(name) << QString::fromUtf8(home) << QString::fromLatin1(userDir)
                                << userFiles << missingShipped;
        };
        const char pinyin[] = ".config/KaiwoShell/usr/PCPYDict";
        row("first run, unusual HOME", "用户 it's \"home\"", pinyin, {}, {});
        row("existing files are kept", "home", pinyin, {"env.ini", "Fuzzy.dat"}, {});
        row("pinyin folder created", "home", ".config/KaiwoShell/usr", {}, {});
        row("no usr folder", "home", ".config", {}, {});
        row("brand-new HOME", "home", "", {}, {});
        row("a shipped file missing", "home", pinyin, {}, {"Correction.ini"});
    }

    void firstRunCopies()
    {
        QFETCH(QString, homeName);
        QFETCH(QString, userDir);
        QFETCH(QStringList, userFiles);
        QFETCH(QStringList, missingShipped);
        const QString home = makeHome(homeName);
        QVERIFY(makeDataRoot());
        const QString target = MainController::localEnvDirPath();
        const QString shipped = MainController::sysEnvPyDirPath();
        QVERIFY(QDir().mkpath(home + QLatin1Char('/') + userDir));
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
                failures << name + QStringLiteral(" copy fail");
        }
        QCOMPARE(logLinesMatching(" copy fail$"), failures);
        QCOMPARE(logLinesMatching("^Init(WB)?Shell:"),
                 (QStringList{"InitShell: true", "InitWBShell: true"}));
    }

    void engineShellStart_data()
    {
        QTest::addColumn<bool>("pinyinDir");
        QTest::addColumn<bool>("wubiDir");
        QTest::addColumn<QStringList>("lines");
        const auto row = [](const char *name, bool pinyin, bool wubi, const QStringList &lines) {
            QTest::newRow(name) << pinyin << wubi << lines;
        };
        row("no user folders", false, false, {"InitShell: false"});
        // The Wubi shell is not started when the pinyin shell fails.
        row("Wubi folder only", false, true, {"InitShell: false"});
        row("pinyin folder only", true, false, {"InitShell: true", "InitWBShell: false"});
        row("both folders", true, true, {"InitShell: true", "InitWBShell: true"});
    }

    void engineShellStart()
    {
        QFETCH(bool, pinyinDir);
        QFETCH(bool, wubiDir);
        QFETCH(QStringList, lines);
        QVERIFY(!makeHome(QStringLiteral("家 it's \"x\" $(y)")).isEmpty());
        QVERIFY(!pinyinDir || QDir().mkpath(MainController::localPcPyDirPath()));
        QVERIFY(!wubiDir || QDir().mkpath(MainController::localPcWbDirPath()));
        QCOMPARE(controller()->InitShell(), pinyinDir && wubiDir);
        QCOMPARE(logLinesMatching("^Init(WB)?Shell:"), lines);
    }

    void askAnswers_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("result");
        QTest::newRow("true") << QStringLiteral("true") << true;
        QTest::newRow("false") << QStringLiteral("false") << false;
        QTest::newRow("error reply") << QStringLiteral("error") << false;
        QTest::newRow("no service") << QString() << false;
    }

    void askAnswers()
    {
        QFETCH(QString, answer);
        QFETCH(bool, result);
        std::unique_ptr<ServiceProcess> service;
        if (!answer.isEmpty()) {
            service.reset(new ServiceProcess({QStringLiteral("--answer"), answer}));
            QVERIFY(service->waitUntilReady(serviceBusName(0)));
            service->clearJournal();
        }
        QCOMPARE(nameOwned(serviceBusName(0)), bool(service));

        // A real dictionary, so only the service's answer decides.
        const QString path = mDir->filePath(QStringLiteral("导入 it's.bin"));
        QVERIFY(writeFile(path, "KaiwoUserDictionary 1 pinyin\nkaiwo\t凯沃\t5\n"));
        QCOMPARE(ImeServiceClient::ask(QStringLiteral("clearCnThesaurus"), {}, "clear fail\n"),
                 result);
        QCOMPARE(ImeServiceClient::ask(QStringLiteral("UsrDictImport"), {path}, "import fail\n"),
                 result);
        // A reply that carries no boolean is a failure whatever the service says.
        QVERIFY(!ImeServiceClient::ask(QStringLiteral("ReloadConfig"), {}, "reload fail"));
        // Each failure line is logged exactly once, as given.
        const QStringList failures = {QStringLiteral("clear fail\n"),
                                      QStringLiteral("import fail\n")};
        QCOMPARE(gLog,
                 (result ? QStringList() : failures) + QStringList{QStringLiteral("reload fail")});
        if (service) {
            QCOMPARE(service->journal(), (QStringList{QStringLiteral("clearCnThesaurus"),
                                                      QStringLiteral("UsrDictImport\t") + path,
                                                      QStringLiteral("ReloadConfig")}));
        }
    }

    // A service that answers with the wrong types: a string where a boolean
    // belongs, or several values. None of it counts as success.
    void askRefusesWrongTypes()
    {
        WrongTypesService fake;
        QDBusConnection bus = QDBusConnection::sessionBus();
        QVERIFY(bus.registerObject(QStringLiteral("/"), &fake, QDBusConnection::ExportAllSlots));
        QVERIFY(bus.registerService(serviceBusName(0)));
        const bool cleared =
            ImeServiceClient::ask(QStringLiteral("clearCnThesaurus"), {}, "clear fail");
        const bool imported = ImeServiceClient::ask(QStringLiteral("UsrDictImport"),
                                                    {QStringLiteral("x")}, "import fail");
        bus.unregisterService(serviceBusName(0));
        bus.unregisterObject(QStringLiteral("/"));
        QVERIFY(!cleared);
        QVERIFY(!imported);
        QCOMPARE(gLog, (QStringList{QStringLiteral("clear fail"), QStringLiteral("import fail")}));
        QCOMPARE(fake.calls, (QStringList{QStringLiteral("clearCnThesaurus"),
                                          QStringLiteral("UsrDictImport")}));
    }

    // A service that answers only after the bus has given up: the call
    // fails once the time-out is over, and later calls work again.
    void askGivesUpAfterTheBusTimeout()
    {
        ServiceProcess late({QStringLiteral("--delay"), QStringLiteral("27000")});
        QVERIFY(late.waitUntilReady(serviceBusName(0)));
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!ImeServiceClient::ask(QStringLiteral("clearCnThesaurus"), {}, "clear fail"));
        QVERIFY(timer.elapsed() < 27000);
        QCOMPARE(gLog, QStringList{QStringLiteral("clear fail")});
    }

    void sentCallsBlockAndKeepTheirOrder()
    {
        // The service runs on display 1; the tool on display 0 cannot see it.
        qputenv("DISPLAY", ":1");
        ServiceProcess service({QStringLiteral("--answer"), QStringLiteral("error"),
                                QStringLiteral("--delay"), QStringLiteral("100")});
        QVERIFY(service.waitUntilReady(serviceBusName(1)));
        service.clearJournal();
        qputenv("DISPLAY", ":0");
        ImeServiceClient::reloadConfig();
        QVERIFY(!nameOwned(serviceBusName(0)));

        qputenv("DISPLAY", ":1");
        QElapsedTimer timer;
        timer.start();
        ImeServiceClient::reloadConfig();
        ImeServiceClient::reloadDictionary(7);
        ImeServiceClient::reloadDictionary(1);
        ImeServiceClient::rebuildKeyMap();
        controller()->update_cfg_to_service();
        ImeServiceClient::send(QStringLiteral("UsrDictBackup"),
                               {mDir->filePath(QStringLiteral("备份\tfile.bin"))});
        // Each call waited for its reply.
        QVERIFY(timer.elapsed() >= 6 * 95);
        QCOMPARE(service.journal(),
                 (QStringList{QStringLiteral("ReloadConfig"), QStringLiteral("ReloadDictionary\t7"),
                              QStringLiteral("ReloadDictionary\t1"),
                              QStringLiteral("RebuildKeyMap"), QStringLiteral("ReloadConfig"),
                              QStringLiteral("UsrDictBackup\t") + mDir->path() +
                                  QStringLiteral("/备份\\tfile.bin")}));
        // Replies of sent calls are ignored: nothing is logged for them.
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
            QVERIFY(nameOwned(toolBusName(1)));
            QVERIFY(!main->kaiwoImeServiceConfigtoolIsNotRunning());

            // What a second start does: call the slot through the tool's interface.
            QDBusPendingCall pending = other.asyncCall(
                QDBusMessage::createMethodCall(toolBusName(1), QStringLiteral("/"),
                                               QStringLiteral("com.kaiwoimeservice_configtool"),
                                               QStringLiteral("activeSettingsWidget")));
            QTRY_VERIFY(pending.isFinished());
            QVERIFY2(!pending.isError(), qPrintable(pending.error().message()));
            QCOMPARE(gLog, QStringList{QStringLiteral("activeSettingsWidget")});

            qputenv("DISPLAY", ":0");
            QVERIFY(other.unregisterService(toolBusName(0)));
            QTRY_VERIFY(main->kaiwoImeServiceConfigtoolIsNotRunning());
        }
        QDBusConnection::disconnectFromBus(connectionName);

        // Deleting the controller gives the name back.
        qputenv("DISPLAY", ":1");
        delete MainController::self();
        mControllerCreated = false;
        QTRY_VERIFY(!nameOwned(toolBusName(1)));
        QVERIFY(controller()->kaiwoImeServiceConfigtoolIsNotRunning());
    }
};

QTEST_MAIN(TestMainController)
#include "tst_main_controller.moc"
