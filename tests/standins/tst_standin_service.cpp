// The IME service as the tool meets it on a private session bus: its name per
// display, the answers it gives, the journal of every call and how it ends.
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <functional>
#include <memory>

namespace
{

const char kInterface[] = "com.kaiwoimebs_service.hotel";
const char kErrorName[] = "com.kaiwoimebs_service.hotel.Error.Failed";
constexpr int kStartTimeoutMs = 10000;

QString serviceName(int display)
{
    return QStringLiteral("com.kaiwoimeservice.hotel_%1").arg(display);
}

bool nameOwned(const QString &name)
{
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(name).value();
}

struct MethodCall {
    QString method;
    QVariantList arguments;
    bool hasBoolReply;
};

// Every method of the interface, in the order the interface lists them.
QList<MethodCall> everyMethod(const QString &pathDir)
{
    const auto path = [&](const char *name) { return QVariant(pathDir + QString::fromUtf8(name)); };
    return {
        {QStringLiteral("ReloadConfig"), {}, false},
        {QStringLiteral("RebuildKeyMap"), {}, false},
        {QStringLiteral("ReloadDictionary"), {7}, false},
        {QStringLiteral("ReloadDictionary"), {1}, false},
        {QStringLiteral("UsrDictImport"), {path("/导入 词库.bin")}, true},
        {QStringLiteral("UsrWuBiDictImport"), {path("/五笔 词库.txt")}, true},
        {QStringLiteral("UsrPinYinWuBiDictImportPinYin"), {path("/拼音\"五笔\".txt")}, true},
        {QStringLiteral("UsrDictBackup"), {path("/凯沃词库备份_2025_01_31.bin")}, true},
        {QStringLiteral("UsrWuBiDictBackup"), {path("/凯沃五笔词库备份_2025_01_31.txt")}, true},
        {QStringLiteral("UsrWuBiPinYinDictBackupPinYin"), {path("/it's 备份.txt")}, true},
        {QStringLiteral("clearCnThesaurus"), {}, true},
        {QStringLiteral("clearEnThesaurus"), {}, true},
        {QStringLiteral("clearWebEmailThesaurus"), {}, true},
        {QStringLiteral("clearWuBiCnThesaurus"), {}, true},
        {QStringLiteral("clearWuBiEnThesaurus"), {}, true},
        {QStringLiteral("clearWuBiWebEmailThesaurus"), {}, true},
        {QStringLiteral("clearPinYinWuBiCnThesaurusPinYin"), {}, true},
        {QStringLiteral("recoveryDefaultThesaurus"), {}, true},
        {QStringLiteral("recoveryWuBiDefaultThesaurus"), {}, true},
        {QStringLiteral("recoveryEnThesaurus"), {}, true},
    };
}

QString journalLine(const MethodCall &call)
{
    QString line = call.method;
    for (const QVariant &argument : call.arguments)
        line += QLatin1Char('\t') + argument.toString();
    return line;
}

QStringList readLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("<cannot read %1>").arg(path)};
    const QByteArray content = file.readAll();
    if (content.isEmpty())
        return {};
    if (!content.endsWith('\n'))
        return {QStringLiteral("<unterminated last line>")};
    QStringList lines = QString::fromUtf8(content).split(QLatin1Char('\n'));
    lines.removeLast();
    return lines;
}

// One run of the service binary with its own HOME; stopped when it goes.
class Service
{
public:
    Service(const QString &home, const QStringList &arguments = {}, int display = 0,
            const QString &busAddress = {})
        : mHome(home), mDisplay(display)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home);
        env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":%1").arg(display));
        if (!busAddress.isEmpty())
            env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), busAddress);
        mProcess.setProcessEnvironment(env);
        mProcess.start(QFile::decodeName(qgetenv("KAIWO_BUILD_DIR")) +
                           QStringLiteral("/bin/kaiwoimebs-service"),
                       arguments);
    }

    ~Service()
    {
        if (mProcess.state() == QProcess::NotRunning)
            return;
        mProcess.terminate();
        if (!mProcess.waitForFinished(5000))
            mProcess.kill();
        mProcess.waitForFinished(5000);
        // The next run may claim the same name only once this one let go.
        if (!QTest::qWaitFor([this] { return !nameOwned(name()); }, 5000))
            qWarning("%s is still owned after the service ended", qPrintable(name()));
    }

    QString name() const { return serviceName(mDisplay); }
    QString defaultJournal() const
    {
        return mHome + QStringLiteral("/.config/kaiwoimebs/service-journal.log");
    }

    bool waitUntilOnBus()
    {
        return QTest::qWaitFor(
                   [this] { return nameOwned(name()) || mProcess.state() == QProcess::NotRunning; },
                   kStartTimeoutMs) &&
               nameOwned(name());
    }

    bool waitForExit() { return mProcess.waitForFinished(kStartTimeoutMs); }

    QDBusMessage call(const MethodCall &call) const
    {
        return QDBusConnection::sessionBus().call(createCall(call));
    }

    QDBusMessage createCall(const MethodCall &call) const
    {
        QDBusMessage message = QDBusMessage::createMethodCall(
            name(), QStringLiteral("/"), QString::fromLatin1(kInterface), call.method);
        message.setArguments(call.arguments);
        return message;
    }

    // Everything the service printed to stderr so far.
    QString errors()
    {
        mErrors += mProcess.readAllStandardError();
        return QString::fromLocal8Bit(mErrors);
    }

    QProcess &process() { return mProcess; }

private:
    QString mHome;
    int mDisplay;
    QProcess mProcess;
    QByteArray mErrors;
};

} // namespace

class TestStandInService : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void claimsOneNamePerDisplayAndMakesUserFolders();
    void journalsEveryCallInOrder();
    void answersAsConfigured_data();
    void answersAsConfigured();
    void delayedAnswersDoNotBlockOtherCalls();
    void reloadConfigSurvivesAnyEnvIni();
    void endsCleanlyOnSignals_data();
    void endsCleanlyOnSignals();
    void rejectsBadCommandLines_data();
    void rejectsBadCommandLines();
    void failsWithoutSessionBus();

private:
    // A fresh HOME whose name holds spaces, quotes and Chinese characters.
    QString newHome();

    QTemporaryDir mRoot;
    int mHomes = 0;
};

void TestStandInService::initTestCase()
{
    QVERIFY(mRoot.isValid());
    QVERIFY2(QDBusConnection::sessionBus().isConnected(), "the test needs a session bus");
    const QString binary =
        QFile::decodeName(qgetenv("KAIWO_BUILD_DIR")) + QStringLiteral("/bin/kaiwoimebs-service");
    QVERIFY2(QFileInfo(binary).isExecutable(), qPrintable(binary));
}

QString TestStandInService::newHome()
{
    const QString home = mRoot.path() + QStringLiteral("/家 \"it's\" 目录 %1").arg(++mHomes);
    QDir().mkpath(home);
    return home;
}

void TestStandInService::claimsOneNamePerDisplayAndMakesUserFolders()
{
    const QString home = newHome();
    Service first(home);
    QVERIFY2(first.waitUntilOnBus(), qPrintable(first.errors()));
    QCOMPARE(first.name(), QStringLiteral("com.kaiwoimeservice.hotel_0"));
    for (const char *folder : {"/.config/KaiwoShell/usr/PCPYDict",
                               "/.config/KaiwoShell/usr/PCWBDict", "/.config/kaiwoimebs"})
        QVERIFY2(QFileInfo(home + QLatin1String(folder)).isDir(), folder);
    QCOMPARE(readLines(first.defaultJournal()), QStringList());

    Service second(newHome());
    QVERIFY(second.waitForExit());
    QCOMPARE(second.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.process().exitCode(), 1);
    QVERIFY2(second.errors().contains(first.name()), qPrintable(second.errors()));

    const QString otherHome = newHome();
    Service onDisplayOne(otherHome, {}, 1);
    QVERIFY2(onDisplayOne.waitUntilOnBus(), qPrintable(onDisplayOne.errors()));
    QCOMPARE(onDisplayOne.name(), QStringLiteral("com.kaiwoimeservice.hotel_1"));
    const MethodCall reload{QStringLiteral("ReloadConfig"), {}, false};
    QCOMPARE(onDisplayOne.call(reload).type(), QDBusMessage::ReplyMessage);
    QCOMPARE(readLines(onDisplayOne.defaultJournal()), QStringList{QStringLiteral("ReloadConfig")});
    QCOMPARE(readLines(first.defaultJournal()), QStringList());
}

void TestStandInService::journalsEveryCallInOrder()
{
    const QString home = newHome();
    Service service(home);
    QVERIFY2(service.waitUntilOnBus(), qPrintable(service.errors()));

    QList<MethodCall> calls = everyMethod(home + QStringLiteral("/备份 目录"));
    // A separator inside an argument must not split the call's line.
    calls.append({QStringLiteral("UsrDictImport"), {QStringLiteral("a\tb\nc\\d")}, true});

    QStringList expected;
    for (const MethodCall &call : calls) {
        const QDBusMessage reply = service.call(call);
        QVERIFY2(reply.type() == QDBusMessage::ReplyMessage,
                 qPrintable(call.method + QLatin1String(": ") + reply.errorMessage()));
        if (call.hasBoolReply) {
            QCOMPARE(reply.arguments().size(), 1);
            QCOMPARE(reply.arguments().first().userType(), int(QMetaType::Bool));
            QVERIFY2(reply.arguments().first().toBool(), qPrintable(call.method));
        } else {
            QVERIFY2(reply.arguments().isEmpty(), qPrintable(call.method));
        }
        expected << journalLine(call);
    }
    expected.last() = QStringLiteral("UsrDictImport\ta\\tb\\nc\\\\d");

    QCOMPARE(readLines(service.defaultJournal()), expected);
}

void TestStandInService::answersAsConfigured_data()
{
    QTest::addColumn<QString>("answer");
    QTest::newRow("false") << QStringLiteral("false");
    QTest::newRow("error") << QStringLiteral("error");
}

void TestStandInService::answersAsConfigured()
{
    QFETCH(QString, answer);
    const QString home = newHome();
    const QString journal = home + QStringLiteral("/日志 \"journal\".log");
    Service service(home,
                    {QStringLiteral("--answer"), answer, QStringLiteral("--journal"), journal});
    QVERIFY2(service.waitUntilOnBus(), qPrintable(service.errors()));

    QStringList expected;
    for (const MethodCall &call : everyMethod(home)) {
        const QDBusMessage reply = service.call(call);
        expected << journalLine(call);
        if (answer == QLatin1String("error")) {
            QVERIFY2(reply.type() == QDBusMessage::ErrorMessage, qPrintable(call.method));
            QCOMPARE(reply.errorName(), QString::fromLatin1(kErrorName));
        } else if (call.hasBoolReply) {
            QVERIFY2(reply.type() == QDBusMessage::ReplyMessage, qPrintable(call.method));
            QCOMPARE(reply.arguments().size(), 1);
            QCOMPARE(reply.arguments().first().userType(), int(QMetaType::Bool));
            QVERIFY2(!reply.arguments().first().toBool(), qPrintable(call.method));
        } else {
            QVERIFY2(reply.type() == QDBusMessage::ReplyMessage, qPrintable(call.method));
        }
    }
    QCOMPARE(readLines(journal), expected);
    QVERIFY(!QFile::exists(service.defaultJournal()));
}

void TestStandInService::delayedAnswersDoNotBlockOtherCalls()
{
    constexpr int delayMs = 300;
    Service service(newHome(), {QStringLiteral("--delay"), QString::number(delayMs)});
    QVERIFY2(service.waitUntilOnBus(), qPrintable(service.errors()));

    QElapsedTimer timer;
    timer.start();
    const QDBusMessage reply =
        service.call({QStringLiteral("UsrDictImport"), {QStringLiteral("/tmp/a.bin")}, true});
    QVERIFY(timer.elapsed() >= delayMs - 10);
    QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
    QCOMPARE(reply.arguments().value(0).toBool(), true);

    // Three calls in flight together finish in about one delay, not three:
    // the service waits on timers, not by sleeping.
    const QList<MethodCall> calls = {{QStringLiteral("clearCnThesaurus"), {}, true},
                                     {QStringLiteral("ReloadDictionary"), {1}, false},
                                     {QStringLiteral("recoveryEnThesaurus"), {}, true}};
    QList<QDBusPendingCall> pending;
    timer.restart();
    for (const MethodCall &call : calls)
        pending << QDBusConnection::sessionBus().asyncCall(service.createCall(call));
    for (QDBusPendingCall &call : pending) {
        call.waitForFinished();
        QVERIFY2(!call.isError(), qPrintable(call.error().message()));
    }
    const qint64 elapsed = timer.elapsed();
    QVERIFY2(elapsed >= delayMs - 10 && elapsed < 2 * delayMs,
             qPrintable(QString::number(elapsed)));
    QCOMPARE(pending.first().reply().arguments().value(0).toBool(), true);
}

void TestStandInService::reloadConfigSurvivesAnyEnvIni()
{
    const QString home = newHome();
    Service service(home);
    QVERIFY2(service.waitUntilOnBus(), qPrintable(service.errors()));
    const QString envIni = home + QStringLiteral("/.config/KaiwoShell/usr/PCPYDict/env.ini");

    const auto write = [&](const QByteArray &content) {
        QFile file(envIni);
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
               file.write(content) == content.size();
    };
    QByteArray binary;
    for (int i = 0; i < 4096; ++i)
        binary += char((i * 131 + 7) % 256);

    struct Case {
        const char *name;
        std::function<bool()> prepare;
        int keys; // -1: any number, as long as the service answers
    };
    const QList<Case> cases = {
        {"missing", [] { return true; }, 0},
        {"empty", [&] { return write(QByteArray()); }, 0},
        {"binary", [&] { return write(binary); }, -1},
        {"valid",
         [&] {
             return write("[Setting]\nDefaultInputState=1\nSkinName=\xe7\x99\xbd\xe8\x89\xb2\n"
                          "FontSize=12\n\n[Other]\nIgnored=1\n");
         },
         3},
    };
    int reloads = 0;
    for (const Case &c : cases) {
        QVERIFY2(c.prepare(), c.name);
        const QDBusMessage reply = service.call({QStringLiteral("ReloadConfig"), {}, false});
        QVERIFY2(reply.type() == QDBusMessage::ReplyMessage, c.name);
        ++reloads;
        QVERIFY2(
            QTest::qWaitFor(
                [&] { return service.errors().count(QLatin1String("ReloadConfig: ")) == reloads; },
                5000),
            qPrintable(service.errors()));
        if (c.keys >= 0) {
            const QString lastLine = service.errors().trimmed().split(QLatin1Char('\n')).last();
            QCOMPARE(lastLine, QStringLiteral("ReloadConfig: %1 keys").arg(c.keys));
        }
    }
    QCOMPARE(readLines(service.defaultJournal()).size(), reloads);
}

void TestStandInService::endsCleanlyOnSignals_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void TestStandInService::endsCleanlyOnSignals()
{
    QFETCH(int, signalNumber);
    Service service(newHome());
    QVERIFY2(service.waitUntilOnBus(), qPrintable(service.errors()));
    QCOMPARE(service.call({QStringLiteral("RebuildKeyMap"), {}, false}).type(),
             QDBusMessage::ReplyMessage);

    QCOMPARE(::kill(pid_t(service.process().processId()), signalNumber), 0);
    QVERIFY(service.waitForExit());
    QCOMPARE(service.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(service.process().exitCode(), 0);
    QVERIFY(QTest::qWaitFor([&] { return !nameOwned(service.name()); }, 5000));
    QCOMPARE(readLines(service.defaultJournal()), QStringList{QStringLiteral("RebuildKeyMap")});
}

void TestStandInService::rejectsBadCommandLines_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("help") << QStringList{QStringLiteral("--help")} << 0;
    QTest::newRow("unknown option") << QStringList{QStringLiteral("--bogus")} << 2;
    QTest::newRow("unknown answer")
        << QStringList{QStringLiteral("--answer"), QStringLiteral("maybe")} << 2;
    QTest::newRow("negative delay") << QStringList{QStringLiteral("--delay=-5")} << 2;
    QTest::newRow("delay not a number")
        << QStringList{QStringLiteral("--delay"), QStringLiteral("soon")} << 2;
    QTest::newRow("missing journal name") << QStringList{QStringLiteral("--journal")} << 2;
    QTest::newRow("stray argument") << QStringList{QStringLiteral("extra")} << 2;
}

void TestStandInService::rejectsBadCommandLines()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    Service service(newHome(), arguments);
    QVERIFY(service.waitForExit());
    QCOMPARE(service.process().exitCode(), exitCode);
    if (exitCode == 0) {
        const QString usage = QString::fromLocal8Bit(service.process().readAllStandardOutput());
        for (const char *option : {"--answer", "--delay", "--journal"})
            QVERIFY2(usage.contains(QLatin1String(option)), qPrintable(usage));
    } else {
        QVERIFY(!service.errors().isEmpty());
    }
    QVERIFY(!nameOwned(service.name()));
}

void TestStandInService::failsWithoutSessionBus()
{
    Service service(newHome(), {}, 0,
                    QStringLiteral("unix:path=") + mRoot.path() + QStringLiteral("/no-bus"));
    QVERIFY(service.waitForExit());
    QCOMPARE(service.process().exitCode(), 1);
    QVERIFY2(service.errors().contains(QLatin1String("session bus")), qPrintable(service.errors()));
}

QTEST_GUILESS_MAIN(TestStandInService)
#include "tst_standin_service.moc"
