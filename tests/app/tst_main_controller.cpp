// The controller's directories and bus names, the first-run copy of the
// per-user files, the engine shell start, the settings objects, the
// one-instance name and the calls to the IME service on a private bus.
#include "DataRoot.h"
#include "ImeServiceClient.h"
#include "MainController.h"
#include "ServiceProcess.h"
#include "TestFiles.h"
#include "config/SettingsStore.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace
{

const char kToolInterface[] = "com.kaiwoimeservice_configtool";

QStringList gLog;
QtMessageHandler gPreviousHandler = nullptr;

// Keeps the tool's own debug lines; everything else goes where it went.
void recordMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (context.category && qstrcmp(context.category, "kaiwo.configtool") == 0) {
        gLog << message;
        return;
    }
    if (gPreviousHandler)
        gPreviousHandler(type, context, message);
}

QStringList logLinesStartingWith(const QStringList &prefixes)
{
    QStringList lines;
    for (const QString &line : qAsConst(gLog)) {
        for (const QString &prefix : prefixes) {
            if (line.startsWith(prefix)) {
                lines << line;
                break;
            }
        }
    }
    return lines;
}

bool copyTree(const QString &from, const QString &to)
{
    if (!QDir().mkpath(to))
        return false;
    QDirIterator it(from, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + source.mid(from.size());
        if (it.fileInfo().isDir()) {
            if (!QDir().mkpath(target))
                return false;
        } else if (!QFile::copy(source, target)) {
            return false;
        }
    }
    return true;
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

const QStringList kProvisionedFiles = {QStringLiteral("env.ini"), QStringLiteral("Correction.ini"),
                                       QStringLiteral("Fuzzy.dat")};

} // namespace

class TestMainController : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void userDirectories_data();
    void userDirectories();
    void systemDirectories_data();
    void systemDirectories();
    void busNames_data();
    void busNames();

    void settingsObjects();
    void firstRunCopies_data();
    void firstRunCopies();
    void engineShellStart_data();
    void engineShellStart();

    void askAnswers_data();
    void askAnswers();
    void askWaitsForTheReply();
    void sentCallsInOrder();
    void serviceOfAnotherDisplay();

    void toolNameOwner();
    void toolNameExportsActivation();

private:
    MainController *controller();
    QString makeHome(const QString &name);
    QString makeDataRoot();

    std::unique_ptr<QTemporaryDir> mDir;
    QByteArray mHome;
    QByteArray mDataRoot;
    QByteArray mDisplay;
    bool mDisplaySet = false;
    bool mControllerCreated = false;
};

void TestMainController::initTestCase()
{
    QVERIFY(QDBusConnection::sessionBus().isConnected());
    mHome = qgetenv("HOME");
    mDataRoot = qgetenv("KAIWOIMEBS_DATA_ROOT");
    mDisplaySet = qEnvironmentVariableIsSet("DISPLAY");
    mDisplay = qgetenv("DISPLAY");
    gPreviousHandler = qInstallMessageHandler(recordMessage);
}

void TestMainController::init()
{
    qputenv("DISPLAY", ":0");
    mDir.reset(new QTemporaryDir);
    QVERIFY(mDir->isValid());
    gLog.clear();
}

void TestMainController::cleanup()
{
    if (mControllerCreated) {
        delete MainController::self();
        mControllerCreated = false;
    }
    qputenv("HOME", mHome);
    qputenv("KAIWOIMEBS_DATA_ROOT", mDataRoot);
    if (mDisplaySet)
        qputenv("DISPLAY", mDisplay);
    else
        qunsetenv("DISPLAY");
}

MainController *TestMainController::controller()
{
    mControllerCreated = true;
    return MainController::self();
}

// A fresh HOME under the test's folder, set in the environment.
QString TestMainController::makeHome(const QString &name)
{
    const QString home = mDir->filePath(name);
    if (!QDir().mkpath(home))
        return QString();
    qputenv("HOME", QFile::encodeName(home));
    return home;
}

// A private copy of the shipped data that a test may change.
QString TestMainController::makeDataRoot()
{
    const QString root = mDir->filePath(QStringLiteral("system data"));
    if (!copyTree(QFile::decodeName(mDataRoot), root))
        return QString();
    qputenv("KAIWOIMEBS_DATA_ROOT", QFile::encodeName(root));
    return root;
}

void TestMainController::userDirectories_data()
{
    QTest::addColumn<QString>("home");

    QTest::newRow("plain") << QStringLiteral("/home/user");
    QTest::newRow("blanks") << QStringLiteral("/home/a user/x y");
    QTest::newRow("quotes") << QStringLiteral("/home/it's \"quoted\"");
    QTest::newRow("Chinese") << QStringLiteral("/home/用户 目录");
    QTest::newRow("empty") << QString();
}

void TestMainController::userDirectories()
{
    QFETCH(QString, home);
    // Read afresh at each call: every row sets another HOME.
    qputenv("HOME", QFile::encodeName(home));

    const QString pinyin = home + QStringLiteral("/.config/KaiwoShell/usr/PCPYDict/");
    QCOMPARE(MainController::localPath(), pinyin);
    QCOMPARE(MainController::localEnvDirPath(), pinyin);
    QCOMPARE(MainController::localPcPyDirPath(), pinyin);
    // The Wubi directory alone has no trailing slash.
    QCOMPARE(MainController::localPcWbDirPath(),
             home + QStringLiteral("/.config/KaiwoShell/usr/PCWBDict"));
}

void TestMainController::systemDirectories_data()
{
    QTest::addColumn<QByteArray>("root");
    QTest::addColumn<QString>("expected");

    QTest::newRow("override") << QByteArray("/opt/kaiwo") << QStringLiteral("/opt/kaiwo");
    QTest::newRow("override with a slash")
        << QByteArray("/opt/kaiwo/") << QStringLiteral("/opt/kaiwo");
    QTest::newRow("override with slashes")
        << QByteArray("/opt/kaiwo///") << QStringLiteral("/opt/kaiwo");
    QTest::newRow("override with blanks and Chinese")
        << QByteArray("/opt/凯沃 data/") << QStringLiteral("/opt/凯沃 data");
    QTest::newRow("empty override") << QByteArray("") << QStringLiteral(KAIWO_EXPECTED_DATA_ROOT);
}

void TestMainController::systemDirectories()
{
    QFETCH(QByteArray, root);
    QFETCH(QString, expected);
    qputenv("KAIWOIMEBS_DATA_ROOT", root);

    QCOMPARE(kaiwoDataRoot(), expected);
    QCOMPARE(MainController::sysEnvPyDirPath(),
             expected + QStringLiteral("/KaiwoShell/dict/PCPYDict/"));
    QCOMPARE(MainController::sysEnvWbDirPath(),
             expected + QStringLiteral("/KaiwoShell/dict/PCWBDict/"));

    qunsetenv("KAIWOIMEBS_DATA_ROOT");
    QCOMPARE(MainController::sysEnvPyDirPath(),
             QStringLiteral(KAIWO_EXPECTED_DATA_ROOT "/KaiwoShell/dict/PCPYDict/"));
}

void TestMainController::busNames_data()
{
    QTest::addColumn<QByteArray>("display");
    QTest::addColumn<int>("number");

    QTest::newRow(":0") << QByteArray(":0") << 0;
    QTest::newRow(":1") << QByteArray(":1") << 1;
    QTest::newRow(":1.0") << QByteArray(":1.0") << 1;
    QTest::newRow(":12") << QByteArray(":12") << 12;
    QTest::newRow("host:3.0") << QByteArray("localhost:3.0") << 3;
    QTest::newRow("unset") << QByteArray() << 0;
}

void TestMainController::busNames()
{
    QFETCH(QByteArray, display);
    QFETCH(int, number);
    if (display.isNull())
        qunsetenv("DISPLAY");
    else
        qputenv("DISPLAY", display);

    QCOMPARE(ImeServiceClient::displayNumber(), number);
    QCOMPARE(MainController::configtoolBusName(), toolBusName(number));
    QCOMPARE(ImeServiceClient::serviceName(), serviceBusName(number));
}

void TestMainController::settingsObjects()
{
    const QString home = makeHome(QStringLiteral("家 'home' \"dir\""));
    const QString root = makeDataRoot();
    QVERIFY(!home.isEmpty() && !root.isEmpty());
    const QString userDir = MainController::localPcPyDirPath();
    QVERIFY(QDir().mkpath(userDir));
    QVERIFY(writeFile(userDir + QStringLiteral("env.ini"),
                      "[Setting]\nCandidateCount=7\nSkinName=蓝色\n"));
    QVERIFY(writeFile(MainController::sysEnvPyDirPath() + QStringLiteral("env.ini"),
                      "[Setting]\nCandidateCount=5\nSkinName=默认\n"));

    MainController *main = controller();
    QVERIFY(!main->settings(CON_CURRENT));
    main->openSettings();
    QVERIFY(main->userSettings());
    QVERIFY(main->defaultSettings());
    QCOMPARE(main->userSettings()->fileName(), userDir + QStringLiteral("env.ini"));
    QCOMPARE(main->defaultSettings()->fileName(),
             MainController::sysEnvPyDirPath() + QStringLiteral("env.ini"));
    QCOMPARE(main->settings(CON_CURRENT), main->userSettings());
    QCOMPARE(main->settings(CON_DEFAULT), main->defaultSettings());

    {
        SettingsReader current(CON_CURRENT);
        QCOMPARE(current.intValue(QStringLiteral("CandidateCount"), 0), 7);
        QCOMPARE(current.stringValue(QStringLiteral("SkinName"), QString()),
                 QStringLiteral("蓝色"));
        SettingsReader defaults(CON_DEFAULT);
        QCOMPARE(defaults.intValue(QStringLiteral("CandidateCount"), 0), 5);
        QCOMPARE(defaults.stringValue(QStringLiteral("SkinName"), QString()),
                 QStringLiteral("默认"));
    }
    {
        SettingsWriter writer;
        writer.setValue(QStringLiteral("SkinName"), QStringLiteral("红色"));
    }
    // UTF-8 on disk, as the IME service reads it.
    const QByteArray bytes = readFile(userDir + QStringLiteral("env.ini"));
    QVERIFY2(bytes.contains("\nSkinName=红色\n"), bytes.constData());
    QCOMPARE(readFile(MainController::sysEnvPyDirPath() + QStringLiteral("env.ini")),
             QByteArray("[Setting]\nCandidateCount=5\nSkinName=默认\n"));
}

void TestMainController::firstRunCopies_data()
{
    QTest::addColumn<QString>("homeName");
    QTest::addColumn<bool>("usrDir");
    QTest::addColumn<bool>("pinyinDir");
    QTest::addColumn<QStringList>("userFiles");
    QTest::addColumn<QStringList>("missingShipped");
    QTest::addColumn<QStringList>("failures");

    QTest::newRow("first run") << QStringLiteral("home") << true << true << QStringList()
                               << QStringList() << QStringList();
    QTest::newRow("first run, unusual HOME") << QStringLiteral("用户 it's \"home\"") << true << true
                                             << QStringList() << QStringList() << QStringList();
    QTest::newRow("existing files are kept")
        << QStringLiteral("home") << true << true
        << QStringList{QStringLiteral("env.ini"), QStringLiteral("Fuzzy.dat")} << QStringList()
        << QStringList();
    QTest::newRow("all files exist") << QStringLiteral("home") << true << true << kProvisionedFiles
                                     << QStringList() << QStringList();
    QTest::newRow("pinyin folder created one level deep")
        << QStringLiteral("home") << true << false << QStringList() << QStringList()
        << QStringList();
    QTest::newRow("no usr folder: every copy fails")
        << QStringLiteral("home") << false << false << QStringList() << QStringList()
        << QStringList{QStringLiteral("env.ini copy fail"),
                       QStringLiteral("Correction.ini copy fail"),
                       QStringLiteral("Fuzzy.dat copy fail")};
    QTest::newRow("a shipped file missing")
        << QStringLiteral("home") << true << true << QStringList()
        << QStringList{QStringLiteral("Correction.ini")}
        << QStringList{QStringLiteral("Correction.ini copy fail")};
}

void TestMainController::firstRunCopies()
{
    QFETCH(QString, homeName);
    QFETCH(bool, usrDir);
    QFETCH(bool, pinyinDir);
    QFETCH(QStringList, userFiles);
    QFETCH(QStringList, missingShipped);
    QFETCH(QStringList, failures);

    const QString home = makeHome(homeName);
    QVERIFY(!makeDataRoot().isEmpty());
    const QString userDir = MainController::localEnvDirPath();
    const QString shippedDir = MainController::sysEnvPyDirPath();
    if (usrDir)
        QVERIFY(QDir().mkpath(home + QStringLiteral("/.config/KaiwoShell/usr")));
    else
        QVERIFY(QDir().mkpath(home + QStringLiteral("/.config")));
    if (pinyinDir)
        QVERIFY(QDir().mkpath(userDir));
    for (const QString &name : userFiles)
        QVERIFY(writeFile(userDir + name, "the user's own " + name.toUtf8() + "\n"));
    for (const QString &name : missingShipped)
        QVERIFY(QFile::remove(shippedDir + name));

    // Provisioning happens only inside init(), which also opens the window.
    controller()->init();
    QVERIFY(controller()->settingsWidget());

    QCOMPARE(logLinesStartingWith({QStringLiteral("env.ini"), QStringLiteral("Correction.ini"),
                                   QStringLiteral("Fuzzy.dat")}),
             failures);
    for (const QString &name : kProvisionedFiles) {
        const QString target = userDir + name;
        if (userFiles.contains(name))
            QCOMPARE(readFile(target), "the user's own " + name.toUtf8() + "\n");
        else if (!usrDir || missingShipped.contains(name))
            QVERIFY2(!QFileInfo::exists(target), qPrintable(target));
        else
            QCOMPARE(readFile(target), readFile(shippedDir + name));
    }
    if (!usrDir)
        QVERIFY(!QFileInfo::exists(home + QStringLiteral("/.config/KaiwoShell")));
}

void TestMainController::engineShellStart_data()
{
    QTest::addColumn<QString>("homeName");
    QTest::addColumn<bool>("pinyinDir");
    QTest::addColumn<bool>("wubiDir");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("no user folders") << QStringLiteral("home") << false << false << false
                                     << QStringList{QStringLiteral("InitShell: false")};
    // The Wubi shell is not started when the pinyin shell fails.
    QTest::newRow("Wubi folder only") << QStringLiteral("home") << false << true << false
                                      << QStringList{QStringLiteral("InitShell: false")};
    QTest::newRow("pinyin folder only")
        << QStringLiteral("home") << true << false << false
        << QStringList{QStringLiteral("InitShell: true"), QStringLiteral("InitWBShell: false")};
    QTest::newRow("both folders") << QStringLiteral("home") << true << true << true
                                  << QStringList{QStringLiteral("InitShell: true"),
                                                 QStringLiteral("InitWBShell: true")};
    QTest::newRow("both folders, unusual HOME")
        << QStringLiteral("家 it's \"x\" $(y)") << true << true << true
        << QStringList{QStringLiteral("InitShell: true"), QStringLiteral("InitWBShell: true")};
}

void TestMainController::engineShellStart()
{
    QFETCH(QString, homeName);
    QFETCH(bool, pinyinDir);
    QFETCH(bool, wubiDir);
    QFETCH(bool, result);
    QFETCH(QStringList, lines);

    QVERIFY(!makeHome(homeName).isEmpty());
    if (pinyinDir)
        QVERIFY(QDir().mkpath(MainController::localPcPyDirPath()));
    if (wubiDir)
        QVERIFY(QDir().mkpath(MainController::localPcWbDirPath()));

    QCOMPARE(controller()->InitShell(), result);
    QCOMPARE(logLinesStartingWith({QStringLiteral("InitShell:"), QStringLiteral("InitWBShell:")}),
             lines);
}

void TestMainController::askAnswers_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("result");

    QTest::newRow("true") << QStringLiteral("true") << true;
    QTest::newRow("false") << QStringLiteral("false") << false;
    QTest::newRow("error reply") << QStringLiteral("error") << false;
    QTest::newRow("no service") << QString() << false;
}

void TestMainController::askAnswers()
{
    QFETCH(QString, answer);
    QFETCH(bool, result);

    std::unique_ptr<ServiceProcess> service;
    if (!answer.isEmpty()) {
        service.reset(new ServiceProcess({QStringLiteral("--answer"), answer}));
        QVERIFY(service->waitUntilReady(serviceBusName(0)));
        service->clearJournal();
    } else {
        QVERIFY(!nameOwned(serviceBusName(0)));
    }

    const char failure[] = "clearCnThesaurus In fail!\n";
    QCOMPARE(ImeServiceClient::ask(QStringLiteral("clearCnThesaurus"), {}, failure), result);
    QCOMPARE(gLog.count(QString::fromLatin1(failure)), result ? 0 : 1);

    const QString path = mDir->filePath(QStringLiteral("导入 it's.bin"));
    QCOMPARE(
        ImeServiceClient::ask(QStringLiteral("UsrDictImport"), {path}, "UsrDictImport In fail!\n"),
        result);
    QCOMPARE(gLog.count(QStringLiteral("UsrDictImport In fail!\n")), result ? 0 : 1);

    // A reply that carries no boolean is a failure whatever the service says.
    QVERIFY(!ImeServiceClient::ask(QStringLiteral("ReloadConfig"), {}, "ReloadConfig fail"));
    QCOMPARE(gLog.count(QStringLiteral("ReloadConfig fail")), 1);

    if (service) {
        QCOMPARE(service->journal(), (QStringList{QStringLiteral("clearCnThesaurus"),
                                                  QStringLiteral("UsrDictImport\t") + path,
                                                  QStringLiteral("ReloadConfig")}));
    }
}

void TestMainController::askWaitsForTheReply()
{
    ServiceProcess service({QStringLiteral("--delay"), QStringLiteral("600")});
    QVERIFY(service.waitUntilReady(serviceBusName(0)));
    service.clearJournal();

    QElapsedTimer timer;
    timer.start();
    QVERIFY(ImeServiceClient::ask(QStringLiteral("recoveryEnThesaurus"), {},
                                  "recoveryEnThesaurus In fail!\n"));
    QVERIFY(timer.elapsed() >= 550);
    timer.restart();
    ImeServiceClient::reloadConfig();
    QVERIFY(timer.elapsed() >= 550);
    QCOMPARE(service.journal(),
             (QStringList{QStringLiteral("recoveryEnThesaurus"), QStringLiteral("ReloadConfig")}));
}

void TestMainController::sentCallsInOrder()
{
    ServiceProcess service({QStringLiteral("--answer"), QStringLiteral("error")});
    QVERIFY(service.waitUntilReady(serviceBusName(0)));
    service.clearJournal();

    ImeServiceClient::reloadConfig();
    ImeServiceClient::reloadDictionary(7);
    ImeServiceClient::reloadDictionary(1);
    ImeServiceClient::rebuildKeyMap();
    controller()->update_cfg_to_service();
    ImeServiceClient::send(QStringLiteral("UsrDictBackup"),
                           {mDir->filePath(QStringLiteral("备份\tfile.bin"))});

    QCOMPARE(service.journal(),
             (QStringList{QStringLiteral("ReloadConfig"), QStringLiteral("ReloadDictionary\t7"),
                          QStringLiteral("ReloadDictionary\t1"), QStringLiteral("RebuildKeyMap"),
                          QStringLiteral("ReloadConfig"),
                          QStringLiteral("UsrDictBackup\t") + mDir->path() +
                              QStringLiteral("/备份\\tfile.bin")}));
    // Replies of sent calls are ignored: nothing is logged for them.
    QCOMPARE(gLog.filter(QStringLiteral("fail")), QStringList());
}

void TestMainController::serviceOfAnotherDisplay()
{
    // The service runs on display 1; the tool on display 0 cannot see it.
    qputenv("DISPLAY", ":1");
    ServiceProcess service;
    QVERIFY(service.waitUntilReady(serviceBusName(1)));
    service.clearJournal();
    QVERIFY(!nameOwned(serviceBusName(0)));

    ImeServiceClient::reloadConfig();
    QVERIFY(ImeServiceClient::ask(QStringLiteral("clearEnThesaurus"), {},
                                  "clearEnThesaurus In fail!\n"));
    QCOMPARE(service.journal(),
             (QStringList{QStringLiteral("ReloadConfig"), QStringLiteral("clearEnThesaurus")}));

    qputenv("DISPLAY", ":0");
    ImeServiceClient::reloadConfig();
    QVERIFY(!ImeServiceClient::ask(QStringLiteral("clearEnThesaurus"), {},
                                   "clearEnThesaurus In fail!\n"));
    QCOMPARE(service.journal().size(), 2);
}

void TestMainController::toolNameOwner()
{
    MainController *main = controller();
    QVERIFY(main->kaiwoImeServiceConfigtoolIsNotRunning());

    const QString connectionName = QStringLiteral("another instance");
    {
        QDBusConnection other =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName);
        QVERIFY(other.isConnected());
        QVERIFY(other.registerService(toolBusName(0)));
        QVERIFY(!main->kaiwoImeServiceConfigtoolIsNotRunning());

        // Another display has a name of its own.
        qputenv("DISPLAY", ":1");
        QVERIFY(main->kaiwoImeServiceConfigtoolIsNotRunning());
        qputenv("DISPLAY", ":0");

        QVERIFY(other.unregisterService(toolBusName(0)));
        QTRY_VERIFY(main->kaiwoImeServiceConfigtoolIsNotRunning());
    }
    QDBusConnection::disconnectFromBus(connectionName);
}

void TestMainController::toolNameExportsActivation()
{
    qputenv("DISPLAY", ":1");
    MainController *main = controller();
    QVERIFY(main->kaiwoImeServiceConfigtoolIsNotRunning());
    main->creatDBusService();
    QVERIFY(nameOwned(toolBusName(1)));
    QVERIFY(!main->kaiwoImeServiceConfigtoolIsNotRunning());

    // What a second start does: call the slot through the tool's interface
    // from a connection of its own.
    const QString connectionName = QStringLiteral("second start");
    {
        QDBusConnection other =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName);
        QDBusMessage call = QDBusMessage::createMethodCall(toolBusName(1), QStringLiteral("/"),
                                                           QLatin1String(kToolInterface),
                                                           QStringLiteral("activeSettingsWidget"));
        QDBusPendingCall pending = other.asyncCall(call);
        QTRY_VERIFY(pending.isFinished());
        QVERIFY2(!pending.isError(), qPrintable(pending.error().message()));
        QCOMPARE(gLog.count(QStringLiteral("activeSettingsWidget")), 1);
    }
    QDBusConnection::disconnectFromBus(connectionName);

    // Deleting the controller gives the name back.
    delete MainController::self();
    mControllerCreated = false;
    QTRY_VERIFY(!nameOwned(toolBusName(1)));
    QVERIFY(controller()->kaiwoImeServiceConfigtoolIsNotRunning());
}

QTEST_MAIN(TestMainController)
#include "tst_main_controller.moc"
