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

// The service's own dictionary files by name, with their contents.
QMap<QString, QByteArray> storedDictionaries(const QString &home)
{
    const QDir dir(home + QStringLiteral("/.config/kaiwoimebs/userdict"));
    QMap<QString, QByteArray> files;
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden))
        files.insert(name, readFile(dir.filePath(name)));
    return files;
}

// Every file and folder below dir, to see that nothing was left behind.
QStringList listTree(const QString &dir)
{
    QStringList paths;
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        paths << it.next();
    paths.sort();
    return paths;
}

// The header line of the dictionaries' text format for one kind.
QByteArray header(const char *kind)
{
    return QByteArray("KaiwoUserDictionary 1 ") + kind + '\n';
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
    // The reply's arguments, or the error's name; a null path sends none.
    QVariantList ask(const QString &method, const QString &path = QString()) const
    {
        const QDBusMessage reply =
            call({method, path.isNull() ? QVariantList() : QVariantList{path}});
        return reply.type() == QDBusMessage::ReplyMessage ? reply.arguments()
                                                          : QVariantList{reply.errorName()};
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

    // Import, backup and clear of one dictionary, with its text kind.
    static void dictionaryColumns()
    {
        QTest::addColumn<QString>("import");
        QTest::addColumn<QString>("backup");
        QTest::addColumn<QString>("clear");
        QTest::addColumn<QByteArray>("header");
        QTest::newRow("Chinese") << QStringLiteral("UsrDictImport")
                                 << QStringLiteral("UsrDictBackup")
                                 << QStringLiteral("clearCnThesaurus") << header("pinyin");
        QTest::newRow("Wubi") << QStringLiteral("UsrWuBiDictImport")
                              << QStringLiteral("UsrWuBiDictBackup")
                              << QStringLiteral("clearWuBiCnThesaurus") << header("wubi");
        QTest::newRow("Wubi pinyin")
            << QStringLiteral("UsrPinYinWuBiDictImportPinYin")
            << QStringLiteral("UsrWuBiPinYinDictBackupPinYin")
            << QStringLiteral("clearPinYinWuBiCnThesaurusPinYin") << header("wubi-pinyin");
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
        for (const char *folder :
             {"/.config/KaiwoShell/usr/PCPYDict", "/.config/KaiwoShell/usr/PCWBDict",
              "/.config/kaiwoimebs", "/.config/kaiwoimebs/userdict"})
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

    void reloadConfigSkipsSerialisedValues()
    {
        // QSettings aborted the service on this line (fuzz_settings_store).
        const QString home = newHome();
        const QString folder = home + QStringLiteral("/.config/KaiwoShell/usr/PCPYDict");
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(writeFile(folder + QStringLiteral("/env.ini"),
                          "[Setting]\nPageSize=5\nx=@Variant(\\0\\0\\0\\v\\x7f\\xff\\xff\\xff)\n"));
        Service service(home);
        QVERIFY2(service.waitUntilOnBus(), qPrintable(service.errors()));
        QCOMPARE(service.call({QStringLiteral("ReloadConfig"), {}}).type(),
                 QDBusMessage::ReplyMessage);
        QVERIFY(QTest::qWaitFor([&] { return service.errors().contains("serialised values"); }));
        QCOMPARE(service.mProcess.state(), QProcess::Running);
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
        const auto dictionaries = storedDictionaries(home);
        QCOMPARE(dictionaries.size(), 7);

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
            // Told to answer true, the service acts: the files to import are missing.
            const bool value =
                answer.isEmpty() && !calls[i].first.contains(QLatin1String("Import"));
            if (!error) {
                QCOMPARE(reply.signature(), QLatin1String(i < 3 ? "" : "b"));
                QCOMPARE(reply.arguments(), i < 3 ? QVariantList() : QVariantList{value});
            }
            // Told to fail, it changes no dictionary.
            if (!answer.isEmpty())
                QCOMPARE(storedDictionaries(home), dictionaries);
        }
        expected.last() = QStringLiteral("UsrDictImport\ta\\tb\\nc\\\\d");
        QCOMPARE(readLines(answer.isEmpty() ? service.mJournal : journal), expected);
        QCOMPARE(QFile::exists(service.mJournal), answer.isEmpty());

        // Told to fail, it writes no backup.
        for (const Call &call : calls.mid(6, 3))
            QCOMPARE(QFile::exists(call.second[0].toString()), answer.isEmpty());
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
        for (const Call &call : everyMethod(QString()).mid(1, 2) +
                                    QList<Call>{{QStringLiteral("clearCnThesaurus"), {}}})
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

    void importsMergeAndBackupsWriteThemBack_data() { dictionaryColumns(); }

    void importsMergeAndBackupsWriteThemBack()
    {
        QFETCH(QString, import);
        QFETCH(QString, backup);
        QFETCH(QString, clear);
        QFETCH(QByteArray, header);
        const QString home = newHome();
        Service service(home);
        QVERIFY2(service.waitUntilOnBus(), qPrintable(service.errors()));

        const QVariantList yes{true};
        const QString first = home + QStringLiteral("/导入 \"一\" it's.txt");
        const QString second = home + QStringLiteral("/导入 二.bin");
        QVERIFY(writeFile(first, header + "b\t乙\t5\na\t甲\t1\n"));
        QVERIFY(writeFile(second, header + "b\t乙\t3\r\na\t甲\t9\n\na\t丙\t2\n"));
        QCOMPARE(service.ask(clear), yes);
        QCOMPARE(service.ask(import, first), yes);
        QCOMPARE(service.ask(import, second), yes);

        // A word imported twice keeps its higher frequency.
        const QString saved = home + QStringLiteral("/备份 \"词库\" it's.bin");
        const QByteArray merged = header + "a\t丙\t2\na\t甲\t9\nb\t乙\t5\n";
        QCOMPARE(service.ask(backup, saved), yes);
        QCOMPARE(readFile(saved), merged);

        // A backup imports again, and a second backup replaces the first.
        QCOMPARE(service.ask(clear), yes);
        QCOMPARE(service.ask(backup, saved), yes);
        QCOMPARE(readFile(saved), header);
        QVERIFY(writeFile(first, merged));
        QCOMPARE(service.ask(import, first), yes);
        QCOMPARE(service.ask(backup, saved), yes);
        QCOMPARE(readFile(saved), merged);
        QStringList files{first, second, saved}; // and no temporary file left
        for (QString &file : files)
            file = QFileInfo(file).fileName();
        files.sort();
        QCOMPARE(QDir(home).entryList(QDir::Files, QDir::Name), files);
    }

    void refusesBadImportsAndKeepsTheDictionary_data()
    {
        QTest::addColumn<QString>("name"); // of the file to import, in HOME
        QTest::addColumn<QByteArray>("content");
        const QByteArray good = "HEADER\nnew\t新\t1\n";
        QTest::newRow("missing") << QStringLiteral("missing.txt") << QByteArray();
        QTest::newRow("empty") << QStringLiteral("空 \"x\".txt") << QByteArray("");
        QTest::newRow("the service's compiled dictionary")
            << QStringLiteral(".config/kaiwoimebs/userdict/pinyin.kwd") << QByteArray();
        QTest::newRow("another kind")
            << QStringLiteral("web.txt") << QByteArray(header("web-email") + "www\twww.\t1\n");
        QTest::newRow("no header") << QStringLiteral("plain.txt") << QByteArray("new\t新\t1\n");
        QTest::newRow("one bad line") << QStringLiteral("bad.txt") << good + "garbage\n";
        QTest::newRow("binary tail") << QStringLiteral("nul.txt") << good + QByteArray(64, '\0');
        QByteArray huge = good;
        while (huge.size() <= 16 * 1024 * 1024)
            huge += "new\t新\t1\nnew\t新\t1\nnew\t新\t1\nnew\t新\t1\nnew\t新\t1\n";
        QTest::newRow("over 16 MiB") << QStringLiteral("huge.txt") << huge;
        QTest::newRow("a folder") << QStringLiteral(".config") << QByteArray();
        QTest::newRow("a device") << QStringLiteral("/dev/zero") << QByteArray();
    }

    void refusesBadImportsAndKeepsTheDictionary()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        const QString home = newHome();
        Service service(home);
        QVERIFY2(service.waitUntilOnBus(), qPrintable(service.errors()));
        const QString path = name.startsWith(QLatin1Char('/')) ? name : home + '/' + name;
        const auto before = storedDictionaries(home);

        const char *const imports[][2] = {{"UsrDictImport", "pinyin"},
                                          {"UsrWuBiDictImport", "wubi"},
                                          {"UsrPinYinWuBiDictImportPinYin", "wubi-pinyin"}};
        for (const auto &import : imports) {
            if (!content.isNull())
                QVERIFY(
                    writeFile(path, QByteArray(content).replace("HEADER\n", header(import[1]))));
            QCOMPARE(service.ask(QLatin1String(import[0]), path), QVariantList{false});
        }
        QCOMPARE(storedDictionaries(home), before);
    }

    void clearsEmptyOneDictionaryEach_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("file");
        QTest::newRow("Chinese") << QStringLiteral("clearCnThesaurus") << "pinyin.kwd";
        QTest::newRow("English") << QStringLiteral("clearEnThesaurus") << "english.txt";
        QTest::newRow("web") << QStringLiteral("clearWebEmailThesaurus") << "web-email.txt";
        QTest::newRow("Wubi") << QStringLiteral("clearWuBiCnThesaurus") << "wubi.txt";
        QTest::newRow("Wubi English")
            << QStringLiteral("clearWuBiEnThesaurus") << "wubi-english.txt";
        QTest::newRow("Wubi web") << QStringLiteral("clearWuBiWebEmailThesaurus")
                                  << "wubi-web-email.txt";
        QTest::newRow("Wubi pinyin")
            << QStringLiteral("clearPinYinWuBiCnThesaurusPinYin") << "wubi-pinyin.txt";
    }

    void clearsEmptyOneDictionaryEach()
    {
        QFETCH(QString, method);
        QFETCH(QString, file);
        const QString home = newHome();
        Service service(home);
        QVERIFY2(service.waitUntilOnBus(), qPrintable(service.errors()));
        auto expected = storedDictionaries(home);
        QVERIFY(expected.contains(file));

        QCOMPARE(service.ask(method), QVariantList{true});
        auto after = storedDictionaries(home);
        QVERIFY(after.take(file) != expected.take(file));
        QCOMPARE(after, expected);
        // Empty: a text dictionary keeps its header line only, and so does a backup.
        const QString saved = home + QStringLiteral("/saved.txt");
        if (file.endsWith(QLatin1String(".kwd")))
            QCOMPARE(service.ask(QStringLiteral("UsrDictBackup"), saved), QVariantList{true});
        else
            QVERIFY(QFile::copy(home + "/.config/kaiwoimebs/userdict/" + file, saved));
        QCOMPARE(readFile(saved).count('\n'), 1);
    }

    void recoveriesRestoreTheShippedState()
    {
        const QString home = newHome();
        Service service(home);
        QVERIFY2(service.waitUntilOnBus(), qPrintable(service.errors()));
        const auto shipped = storedDictionaries(home);
        for (const char *clear : {"clearCnThesaurus", "clearEnThesaurus", "clearWebEmailThesaurus",
                                  "clearWuBiCnThesaurus", "clearWuBiEnThesaurus",
                                  "clearWuBiWebEmailThesaurus", "clearPinYinWuBiCnThesaurusPinYin"})
            QCOMPARE(service.ask(QLatin1String(clear)), QVariantList{true});
        const auto cleared = storedDictionaries(home);
        for (const QString &file : shipped.keys())
            QVERIFY2(cleared[file] != shipped[file], qPrintable(file)); // seeds are not empty

        // Each recovery restores its own dictionaries, and only those.
        const auto mixed = [&](const QStringList &restored) {
            auto files = cleared;
            for (const QString &file : restored)
                files[file] = shipped[file];
            return files;
        };
        const QStringList english{QStringLiteral("english.txt")};
        const QStringList pinyin = english + QStringList{"pinyin.kwd", "web-email.txt"};
        QCOMPARE(service.ask(QStringLiteral("recoveryEnThesaurus")), QVariantList{true});
        QCOMPARE(storedDictionaries(home), mixed(english));
        QCOMPARE(service.ask(QStringLiteral("recoveryDefaultThesaurus")), QVariantList{true});
        QCOMPARE(storedDictionaries(home), mixed(pinyin));
        QCOMPARE(service.ask(QStringLiteral("recoveryWuBiDefaultThesaurus")), QVariantList{true});
        QCOMPARE(storedDictionaries(home), shipped);
    }

    void failOnRefusesMatchingPathsOnly()
    {
        const QString home = newHome();
        Service service(home, {QStringLiteral("--fail-on"), QStringLiteral("坏"),
                               QStringLiteral("--fail-on"), QStringLiteral("bad")});
        QVERIFY2(service.waitUntilOnBus(), qPrintable(service.errors()));
        QCOMPARE(service.ask(QStringLiteral("clearCnThesaurus")), QVariantList{true});

        const QString import = QStringLiteral("UsrDictImport");
        QStringList paths;
        QVariantList replies;
        for (const char *file : {"一 \"1\".txt", "坏 2.txt", "三 it's.txt", "bad.txt"}) {
            const QString name = QString::fromUtf8(file);
            paths << home + '/' + name;
            QVERIFY(writeFile(paths.last(), header("pinyin") + name.left(1).toUtf8() + "\tw\t1\n"));
            replies << service.ask(import, paths.last());
        }
        QCOMPARE(replies, (QVariantList{true, false, true, false}));

        const QString backup = QStringLiteral("UsrDictBackup");
        QCOMPARE(service.ask(backup, home + QStringLiteral("/坏 backup.txt")), QVariantList{false});
        QVERIFY(!QFile::exists(home + QStringLiteral("/坏 backup.txt")));
        QCOMPARE(service.ask(backup, home + QStringLiteral("/good.txt")), QVariantList{true});
        QCOMPARE(readFile(home + QStringLiteral("/good.txt")),
                 header("pinyin") + "一\tw\t1\n三\tw\t1\n");

        QStringList journal{QStringLiteral("clearCnThesaurus")};
        for (const QString &path : paths)
            journal << import + '\t' + path;
        journal << backup + '\t' + home + QStringLiteral("/坏 backup.txt")
                << backup + '\t' + home + QStringLiteral("/good.txt");
        QCOMPARE(readLines(service.mJournal), journal);
    }

    void backupsToUnwritablePathsFailAndLeaveNoFile_data() { dictionaryColumns(); }

    void backupsToUnwritablePathsFailAndLeaveNoFile()
    {
        QFETCH(QString, backup);
        const QString home = newHome();
        Service service(home);
        QVERIFY2(service.waitUntilOnBus(), qPrintable(service.errors()));
        const QString folder = home + QStringLiteral("/备份 \"目录\"");
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/a folder")));
        QVERIFY(writeFile(folder + QStringLiteral("/a file"), "kept"));
        const QStringList tree = listTree(home);
        const auto dictionaries = storedDictionaries(home);

        for (const QString &path :
             {folder + QStringLiteral("/no folder/x.bin"), folder + QStringLiteral("/a folder"),
              folder + QStringLiteral("/a file/x.bin"),
              home + QStringLiteral("/.config/kaiwoimebs/userdict/wubi.txt"), QStringLiteral("")})
            QVERIFY2(service.ask(backup, path) == QVariantList{false}, qPrintable(path));
        QCOMPARE(listTree(home), tree);
        QCOMPARE(readFile(folder + QStringLiteral("/a file")), QByteArray("kept"));
        QCOMPARE(storedDictionaries(home), dictionaries); // not even over its own files
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
        QTest::newRow("unknown option") << QStringLiteral("--bogus");
        QTest::newRow("unknown answer") << QStringLiteral("--answer maybe");
        QTest::newRow("negative delay") << QStringLiteral("--delay=-5");
        QTest::newRow("missing journal name") << QStringLiteral("--journal");
        QTest::newRow("empty fail-on") << QStringLiteral("--fail-on=");
        QTest::newRow("stray argument") << QStringLiteral("extra");
    }

    void rejectsBadCommandLines()
    {
        QFETCH(QString, arguments);
        Service service(newHome(), arguments.split(QLatin1Char(' ')));
        QVERIFY(service.waitForExit());
        QCOMPARE(service.mProcess.exitCode(), 2);
        QVERIFY(!service.errors().isEmpty());
        QVERIFY(!nameOwned(service.mName));
    }
};

QTEST_GUILESS_MAIN(TestStandInService)
#include "tst_standin_service.moc"
