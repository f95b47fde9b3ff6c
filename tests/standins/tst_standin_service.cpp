// The IME service stand-in on a private bus: names, answers, journal, ending.
#include "TestFiles.h"

#include <QtDBus>
#include <QtTest>

#include <csignal>

namespace
{

bool nameOwned(const QString &name)
{
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(name).value();
}

// Method and arguments; methods after the first three answer a boolean.
using Call = QPair<QString, QVariantList>;

QList<Call> everyMethod(const QString &dir)
{
    QList<Call> calls = {{QStringLiteral("ReloadConfig"), {}},
                         {QStringLiteral("RebuildKeyMap"), {}},
                         {QStringLiteral("ReloadDictionary"), {7}}};
    for (const char *name : {"UsrDictImport", "UsrWuBiDictImport", "UsrPinYinWuBiDictImportPinYin",
                             "UsrDictBackup", "UsrWuBiDictBackup", "UsrWuBiPinYinDictBackupPinYin"})
        calls.append(
            {QString::fromLatin1(name), {dir + QStringLiteral("/词库 it's \"%1\".bin").arg(name)}});
    for (const char *name :
         {"clearCnThesaurus", "clearEnThesaurus", "clearWebEmailThesaurus", "clearWuBiCnThesaurus",
          "clearWuBiEnThesaurus", "clearWuBiWebEmailThesaurus", "clearPinYinWuBiCnThesaurusPinYin",
          "recoveryDefaultThesaurus", "recoveryWuBiDefaultThesaurus", "recoveryEnThesaurus"})
        calls.append({QString::fromLatin1(name), {}});
    return calls;
}

// The journal's lines; a missing file or an unterminated line shows as such.
QStringList readLines(const QString &path)
{
    const QByteArray content = readFile(path);
    if (!QFile::exists(path) || (!content.isEmpty() && !content.endsWith('\n')))
        return {QStringLiteral("<missing or unterminated>")};
    QStringList lines = QString::fromUtf8(content).split(QLatin1Char('\n'));
    lines.removeLast();
    return lines;
}

// One run of the service binary with its own HOME; stopped when it goes.
class Service
{
public:
    Service(const QString &home, const QStringList &arguments = {}, int display = 0)
        : mName(QStringLiteral("com.kaiwoimeservice.hotel_%1").arg(display)),
          mJournal(home + QStringLiteral("/.config/kaiwoimebs/service-journal.log"))
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home);
        env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":%1").arg(display));
        mProcess.setProcessEnvironment(env);
        mProcess.start(qEnvironmentVariable("KAIWO_BUILD_DIR") +
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
        static_cast<void>(QTest::qWaitFor([this] { return !nameOwned(mName); }, 5000));
    }

    bool waitUntilOnBus()
    {
        const auto ended = [this] { return mProcess.state() == QProcess::NotRunning; };
        static_cast<void>(QTest::qWaitFor([&] { return nameOwned(mName) || ended(); }, 10000));
        return nameOwned(mName);
    }
    bool waitForExit() { return mProcess.waitForFinished(10000); }

    QDBusMessage message(const Call &call) const
    {
        QDBusMessage message = QDBusMessage::createMethodCall(
            mName, QStringLiteral("/"), QStringLiteral("com.kaiwoimebs_service.hotel"), call.first);
        message.setArguments(call.second);
        return message;
    }
    QDBusMessage call(const Call &call) const
    {
        return QDBusConnection::sessionBus().call(message(call));
    }

    // Everything the service printed to stderr so far.
    QString errors()
    {
        mErrors += mProcess.readAllStandardError();
        return QString::fromLocal8Bit(mErrors);
    }

    const QString mName;
    const QString mJournal; // the default one
    QProcess mProcess;

private:
    QByteArray mErrors;
};

} // namespace

class TestStandInService : public QObject
{
    Q_OBJECT

    // A fresh HOME whose name holds spaces, quotes and Chinese characters.
    QString newHome()
    {
        const QString home = mRoot.path() + QStringLiteral("/家 \"it's\" 目录 %1").arg(++mHomes);
        QDir().mkpath(home);
        return home;
    }

    QTemporaryDir mRoot;
    int mHomes = 0;

private slots:
    void initTestCase()
    {
        QVERIFY(mRoot.isValid());
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "the test needs a session bus");
    }

    void claimsOneNamePerDisplayAndMakesUserFolders()
    {
        const QString home = newHome();
        Service first(home);
        QVERIFY2(first.waitUntilOnBus(), qPrintable(first.errors()));
        QCOMPARE(first.mName, QStringLiteral("com.kaiwoimeservice.hotel_0"));
        for (const char *folder : {"/.config/KaiwoShell/usr/PCPYDict",
                                   "/.config/KaiwoShell/usr/PCWBDict", "/.config/kaiwoimebs"})
            QVERIFY2(QFileInfo(home + QLatin1String(folder)).isDir(), folder);
        QCOMPARE(readLines(first.mJournal), QStringList());

        // A second instance on the same display gives up.
        Service second(newHome());
        QVERIFY(second.waitForExit());
        QCOMPARE(second.mProcess.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.mProcess.exitCode(), 1);
        QVERIFY2(second.errors().contains(first.mName), qPrintable(second.errors()));

        Service onDisplayOne(newHome(), {}, 1);
        QVERIFY2(onDisplayOne.waitUntilOnBus(), qPrintable(onDisplayOne.errors()));
        QCOMPARE(onDisplayOne.mName, QStringLiteral("com.kaiwoimeservice.hotel_1"));
        QCOMPARE(onDisplayOne.call({QStringLiteral("ReloadConfig"), {}}).type(),
                 QDBusMessage::ReplyMessage);
        QCOMPARE(readLines(onDisplayOne.mJournal), QStringList{QStringLiteral("ReloadConfig")});
        QCOMPARE(readLines(first.mJournal), QStringList());
    }

    void answersAndJournalsEveryCall_data()
    {
        QTest::addColumn<QString>("answer"); // empty: the default, true
        QTest::newRow("true, default journal") << QString();
        QTest::newRow("false") << QStringLiteral("false");
        QTest::newRow("error") << QStringLiteral("error");
    }

    void answersAndJournalsEveryCall()
    {
        QFETCH(QString, answer);
        const QString home = newHome();
        const QString journal = home + QStringLiteral("/日志 \"journal\".log");
        Service service(home, answer.isEmpty() ? QStringList()
                                               : QStringList{QStringLiteral("--answer"), answer,
                                                             QStringLiteral("--journal"), journal});
        QVERIFY2(service.waitUntilOnBus(), qPrintable(service.errors()));

        QList<Call> calls = everyMethod(home);
        // A separator inside an argument must not split the call's line.
        calls.append({QStringLiteral("UsrDictImport"), {QStringLiteral("a\tb\nc\\d")}});
        QStringList expected;
        for (int i = 0; i < calls.size(); ++i) {
            const QDBusMessage reply = service.call(calls[i]);
            const QVariantList &arguments = calls[i].second;
            expected << calls[i].first +
                            (arguments.isEmpty() ? QString() : '\t' + arguments[0].toString());
            const bool error = answer == QLatin1String("error");
            QCOMPARE(reply.errorName(),
                     error ? QStringLiteral("com.kaiwoimebs_service.hotel.Error.Failed")
                           : QString());
            if (!error) {
                QCOMPARE(reply.signature(), QLatin1String(i < 3 ? "" : "b"));
                QCOMPARE(reply.arguments(),
                         i < 3 ? QVariantList() : QVariantList{QVariant(answer.isEmpty())});
            }
        }
        expected.last() = QStringLiteral("UsrDictImport\ta\\tb\\nc\\\\d");
        QCOMPARE(readLines(answer.isEmpty() ? service.mJournal : journal), expected);
        QCOMPARE(QFile::exists(service.mJournal), answer.isEmpty());
    }

    void delayedAnswersDoNotBlockOtherCalls()
    {
        constexpr int delayMs = 300;
        Service service(newHome(), {QStringLiteral("--delay"), QString::number(delayMs)});
        QVERIFY2(service.waitUntilOnBus(), qPrintable(service.errors()));

        // Three calls in flight finish in about one delay: timers, not sleeps.
        QList<QDBusPendingCall> pending;
        QElapsedTimer timer;
        timer.start();
        for (const Call &call : everyMethod(QString()).mid(1, 3))
            pending << QDBusConnection::sessionBus().asyncCall(service.message(call));
        for (QDBusPendingCall &call : pending) {
            call.waitForFinished();
            QVERIFY2(!call.isError(), qPrintable(call.error().message()));
        }
        const qint64 elapsed = timer.elapsed();
        QVERIFY2(elapsed >= delayMs - 10 && elapsed < 2 * delayMs,
                 qPrintable(QString::number(elapsed)));
        QCOMPARE(pending.last().reply().arguments(), QVariantList{true});
    }

    void endsCleanlyOnSignals_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
    }

    void endsCleanlyOnSignals()
    {
        QFETCH(int, signalNumber);
        Service service(newHome());
        QVERIFY2(service.waitUntilOnBus(), qPrintable(service.errors()));
        QCOMPARE(service.call({QStringLiteral("RebuildKeyMap"), {}}).type(),
                 QDBusMessage::ReplyMessage);

        QCOMPARE(::kill(pid_t(service.mProcess.processId()), signalNumber), 0);
        QVERIFY(service.waitForExit());
        QCOMPARE(service.mProcess.exitStatus(), QProcess::NormalExit);
        QCOMPARE(service.mProcess.exitCode(), 0);
        QVERIFY(QTest::qWaitFor([&] { return !nameOwned(service.mName); }, 5000));
        QCOMPARE(readLines(service.mJournal), QStringList{QStringLiteral("RebuildKeyMap")});
    }

    void rejectsBadCommandLines_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("help") << QStringLiteral("--help") << 0;
        QTest::newRow("unknown option") << QStringLiteral("--bogus") << 2;
        QTest::newRow("unknown answer") << QStringLiteral("--answer maybe") << 2;
        QTest::newRow("negative delay") << QStringLiteral("--delay=-5") << 2;
        QTest::newRow("missing journal name") << QStringLiteral("--journal") << 2;
        QTest::newRow("stray argument") << QStringLiteral("extra") << 2;
    }

    void rejectsBadCommandLines()
    {
        QFETCH(QString, arguments);
        QFETCH(int, exitCode);
        Service service(newHome(), arguments.split(QLatin1Char(' ')));
        QVERIFY(service.waitForExit());
        QCOMPARE(service.mProcess.exitCode(), exitCode);
        if (exitCode == 0) {
            const QString usage = QString::fromLocal8Bit(service.mProcess.readAllStandardOutput());
            for (const char *option : {"--answer", "--delay", "--journal"})
                QVERIFY2(usage.contains(QLatin1String(option)), qPrintable(usage));
        } else {
            QVERIFY(!service.errors().isEmpty());
        }
        QVERIFY(!nameOwned(service.mName));
    }
};

QTEST_GUILESS_MAIN(TestStandInService)
#include "tst_standin_service.moc"
