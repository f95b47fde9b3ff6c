// The IME service stand-in's cell words: reading the cell data the engine
// shells rebuild, and reloading it on ReloadDictionary 1 over a private bus.
#include "CellWordsFile.h"
#include "KcelFile.h"
#include "ShellWrapperInterface.h"
#include "TestFiles.h"

#include <QtDBus>
#include <QtTest>

#include <array>
#include <vector>

namespace
{

const QByteArray kHeader = "# kaiwo cell data 1\n";

bool nameOwned(const QString &name)
{
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(name).value();
}

// One run of the service binary with its own HOME; stopped when it goes.
class Service
{
public:
    explicit Service(const QString &home, const QStringList &arguments = {})
        : mJournal(home + QStringLiteral("/.config/kaiwoimebs/service-journal.log")),
          mSnapshot(home + QStringLiteral("/.config/kaiwoimebs/service-cell-words.txt"))
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home);
        env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":0"));
        mProcess.setProcessEnvironment(env);
        mProcess.start(qEnvironmentVariable("KAIWO_BUILD_DIR") +
                           QStringLiteral("/bin/kaiwoimebs-service"),
                       arguments);
    }
    ~Service()
    {
        mProcess.terminate();
        if (!mProcess.waitForFinished(5000))
            mProcess.kill();
        mProcess.waitForFinished(5000);
        static_cast<void>(QTest::qWaitFor([this] { return !nameOwned(mName); }, 5000));
    }

    bool waitUntilOnBus()
    {
        static_cast<void>(QTest::qWaitFor(
            [this] { return nameOwned(mName) || mProcess.state() == QProcess::NotRunning; },
            10000));
        return nameOwned(mName);
    }
    // The error's name, or an empty string for a plain reply.
    QString call(const char *method, const QVariantList &arguments = {}) const
    {
        QDBusMessage message = QDBusMessage::createMethodCall(
            mName, QStringLiteral("/"), QStringLiteral("com.kaiwoimebs_service.hotel"),
            QString::fromLatin1(method));
        message.setArguments(arguments);
        return QDBusConnection::sessionBus().call(message).errorName();
    }
    QString reload(int kind) const { return call("ReloadDictionary", {kind}); }
    QString errors()
    {
        mErrors += mProcess.readAllStandardError();
        return QString::fromLocal8Bit(mErrors);
    }

    const QString mName = QStringLiteral("com.kaiwoimeservice.hotel_0");
    const QString mJournal;
    const QString mSnapshot;
    QProcess mProcess;

private:
    QByteArray mErrors;
};

} // namespace

class TestStandInCellWords : public QObject
{
    Q_OBJECT

    QTemporaryDir mRoot;
    int mHomes = 0;

    QString newHome()
    {
        const QString home = mRoot.path() + QStringLiteral("/家 \"it's\" %1").arg(++mHomes);
        QDir().mkpath(home);
        return home;
    }
    static QString pinyinDir(const QString &home)
    {
        return home + QStringLiteral("/.config/KaiwoShell/usr/PCPYDict/");
    }
    static QString wubiDir(const QString &home)
    {
        return home + QStringLiteral("/.config/KaiwoShell/usr/PCWBDict/");
    }

    // Both real stand-in shells, pointed at the per-user folders the service made.
    static bool initShells(const QString &home)
    {
        const QString system = home + QStringLiteral("/share");
        const std::wstring py = pinyinDir(home).toStdWString(), wb = wubiDir(home).toStdWString(),
                           sys = system.toStdWString();
        const std::wstring pyNoSlash = py.substr(0, py.size() - 1),
                           wbNoSlash = wb.substr(0, wb.size() - 1);
        return QDir().mkpath(system) &&
               GetKaiwoShellWrapper()->Init(L"1", py.c_str(), sys.c_str(), pyNoSlash.c_str()) &&
               GetWbKaiwoShellWrapper()->Init(L"1", wbNoSlash.c_str(), sys.c_str(),
                                              wbNoSlash.c_str());
    }

    static QString makeKcel(const QString &path, const std::string &id,
                            const std::vector<KcelFile::Entry> &entries)
    {
        KcelFile kcel;
        kcel.id = id;
        kcel.name = id;
        kcel.category = "测试";
        kcel.date = 1700000000;
        kcel.entries = entries;
        return kcel.write(path.toStdString()) ? path : QString();
    }

    // Rebuilds one shell's cell data from the listed .kcel files, as the tool does.
    static bool rebuild(ShellWrapperInterface *shell, const QString &userDir,
                        const QStringList &kcels)
    {
        std::vector<std::array<wchar_t, flat::kPathChars>> buffers(kcels.size());
        std::vector<wchar_t *> list;
        for (int i = 0; i < kcels.size(); ++i) {
            buffers[i] = {};
            wcsncpy(buffers[i].data(), kcels[i].toStdWString().c_str(), flat::kPathChars - 1);
            list.push_back(buffers[i].data());
        }
        flat::Request request{};
        wcsncpy(request.inputPath, userDir.toStdWString().c_str(), flat::kPathChars - 1);
        request.cellPaths = list.empty() ? nullptr : list.data();
        request.cellCount = int32_t(list.size());
        flat::Result *result = nullptr;
        return shell->DicOperationFlat(ed_cellDict, ec_rebuildCellDict, &request, &result);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(mRoot.isValid());
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "the test needs a session bus");
    }

    void parseKeepsWellFormedWordsOnly_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("words");
        QByteArray binary(4096, '\0');
        for (int i = 0; i < binary.size(); ++i)
            binary[i] = char(i * 37 + 11);
        QTest::newRow("as the shell writes it")
            << kHeader + "苹果\tping guo\tdemo\n香蕉\t\tdemo\n苹果\t\tother\n"
            << QStringList{"苹果", "香蕉", "苹果"};
        QTest::newRow("header only") << kHeader << QStringList();
        QTest::newRow("empty") << QByteArray() << QStringList();
        QTest::newRow("no header") << QByteArray("苹果\tping guo\tdemo\n") << QStringList();
        QTest::newRow("other version")
            << QByteArray("# kaiwo cell data 3\n苹果\t\tdemo\n") << QStringList();
        QTest::newRow("binary") << binary << QStringList();
        QTest::newRow("binary after header") << kHeader + binary << QStringList();
        QTest::newRow("malformed lines skipped")
            << kHeader + "no fields\none\ttab\n\tno word\tx\n\xe9\xe9\t\tx\nbell\x07\t\tx\n"
                         "id\twith\ttab\tx\n\n甲\tjia\tx\n"
            << QStringList{"id", "甲"};
        QTest::newRow("unterminated last line")
            << kHeader + "甲\tjia\tx\n乙\tyi" << QStringList{"甲"};
    }

    void parseKeepsWellFormedWordsOnly()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, words);
        QCOMPARE(CellWordsFile::parse(content), words);
    }

    void readCapsAndToleratesMissingFiles()
    {
        const QString path = mRoot.filePath(QStringLiteral("cells.txt"));
        const QByteArray first = kHeader + "甲\tjia\tx\n";
        QVERIFY(writeFile(path, first + "乙\tyi\tx\n"));
        QCOMPARE(CellWordsFile::read(path), (QStringList{"甲", "乙"}));
        // The cap cuts "乙" mid-line; what lies beyond it is never read.
        QCOMPARE(CellWordsFile::read(path, first.size() + 3), QStringList{"甲"});
        QCOMPARE(CellWordsFile::read(mRoot.filePath(QStringLiteral("none.txt"))), QStringList());
        QCOMPARE(CellWordsFile::read(mRoot.path()), QStringList());
    }

    // Version 2 lists pieces by digest; only whole pieces of this version
    // count, and the cap covers the list and its pieces together.
    void readFollowsListedPieces()
    {
        const QString dir = mRoot.filePath(QStringLiteral("v2"));
        QVERIFY(QDir().mkpath(dir + QStringLiteral("/kaiwo_cells")));
        const QByteArray a(32, 'a'), b(32, 'b'), c(32, 'c');
        const auto piece = [&](const QByteArray &md5, const QByteArray &content) {
            QVERIFY(writeFile(dir + "/kaiwo_cells/" + md5 + ".txt", content));
        };
        piece(a, "# kaiwo cell words 1\t1\t8\t/x.kcel\n甲\t\tx\n");
        piece(b, "# kaiwo cell words 2\t1\t8\t/y.kcel\n乙\t\ty\n");
        piece(c, "# kaiwo cell words 1\t1\t8\t/z.kcel\n丙\t\tz\n");
        const QByteArray list = "# kaiwo cell data 2\n" + a + "\n../x\n" + b + '\n' +
                                QByteArray(32, 'd') + '\n' + c + '\n';
        const QString path = dir + "/kaiwo_cells.txt";
        QVERIFY(writeFile(path, list));
        QCOMPARE(CellWordsFile::read(path), (QStringList{"甲", "丙"}));
        // The cap leaves room for the list and the first piece only.
        QCOMPARE(CellWordsFile::read(path, list.size() + 45), QStringList{"甲"});
    }

    // ReloadDictionary 1 replaces the words with what both shells rebuilt;
    // 7 (phrases) leaves them alone.
    void reloadTakesTheShellsRebuiltWords()
    {
        const QString home = newHome();
        Service service(home);
        QVERIFY2(service.waitUntilOnBus(), qPrintable(service.errors()));
        QVERIFY(initShells(home));
        const QString demo = makeKcel(home + QStringLiteral("/演示 \"demo\".kcel"), "demo",
                                      {{"香蕉", "xiang jiao"}, {"苹果", ""}});
        const QString fruit = makeKcel(home + QStringLiteral("/fruit.kcel"), "fruit",
                                       {{"榴莲", "liu lian"}, {"苹果", "ping guo"}});
        QVERIFY(!demo.isEmpty() && !fruit.isEmpty());

        QVERIFY(rebuild(GetKaiwoShellWrapper(), pinyinDir(home), {demo, fruit}));
        QVERIFY(rebuild(GetWbKaiwoShellWrapper(), wubiDir(home), {demo}));
        QCOMPARE(service.reload(1), QString());
        // Sorted, each word once although both shells and both files list "苹果".
        QCOMPARE(readFile(service.mSnapshot), QByteArray("榴莲\n苹果\n香蕉\n"));
        QTRY_VERIFY2(service.errors().contains(QLatin1String("ReloadDictionary: 3 cell words\n")),
                     qPrintable(service.errors()));

        // Every dictionary switched off: empty lists, rebuilt.
        QVERIFY(rebuild(GetKaiwoShellWrapper(), pinyinDir(home), {}));
        QVERIFY(rebuild(GetWbKaiwoShellWrapper(), wubiDir(home), {}));
        QCOMPARE(service.reload(7), QString());
        QCOMPARE(readFile(service.mSnapshot), QByteArray("榴莲\n苹果\n香蕉\n"));
        QCOMPARE(service.reload(1), QString());
        QVERIFY(QFile::exists(service.mSnapshot));
        QCOMPARE(readFile(service.mSnapshot), QByteArray());
        QTRY_VERIFY2(service.errors().endsWith(QLatin1String("ReloadDictionary: 0 cell words\n")),
                     qPrintable(service.errors()));

        QCOMPARE(readFile(service.mJournal),
                 QByteArray("ReloadDictionary\t1\nReloadDictionary\t7\nReloadDictionary\t1\n"));
        QCOMPARE(QDir(home + QStringLiteral("/.config/kaiwoimebs")).entryList(QDir::Files),
                 (QStringList{"service-cell-words.txt", "service-journal.log"}));
    }

    void unusablePinyinDataAddsNoWords_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: no file at all
        QTest::addColumn<QByteArray>("snapshot");
        QByteArray binary(1 << 16, '\0');
        for (int i = 0; i < binary.size(); ++i)
            binary[i] = char(i * 131 + 7);
        // Beyond the cap, "乙" is not read.
        QByteArray huge = kHeader + "甲\tjia\tx\n";
        const QByteArray filler = QByteArray(200, 'x') + "\t\tx\n";
        while (huge.size() <= CellWordsFile::kMaxBytes)
            huge += filler;
        huge += "乙\tyi\tx\n";
        QTest::newRow("missing") << QByteArray() << QByteArray("好\n");
        QTest::newRow("empty") << QByteArray("") << QByteArray("好\n");
        QTest::newRow("binary") << binary << QByteArray("好\n");
        QTest::newRow("huge") << huge << QByteArray(200, 'x') + "\n好\n甲\n";
    }

    void unusablePinyinDataAddsNoWords()
    {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, snapshot);
        const QString home = newHome();
        Service service(home);
        QVERIFY2(service.waitUntilOnBus(), qPrintable(service.errors()));
        QVERIFY(writeFile(wubiDir(home) + CellWordsFile::fileName(), kHeader + "好\thao\tx\n"));
        if (!content.isNull())
            QVERIFY(writeFile(pinyinDir(home) + CellWordsFile::fileName(), content));

        QCOMPARE(service.reload(1), QString());
        QCOMPARE(readFile(service.mSnapshot), snapshot);
        QCOMPARE(service.call("RebuildKeyMap"), QString());
    }

    void refusedReloadKeepsNothing()
    {
        const QString home = newHome();
        Service service(home, {QStringLiteral("--answer"), QStringLiteral("error")});
        QVERIFY2(service.waitUntilOnBus(), qPrintable(service.errors()));
        QVERIFY(writeFile(pinyinDir(home) + CellWordsFile::fileName(), kHeader + "好\thao\tx\n"));
        QCOMPARE(service.reload(1), QStringLiteral("com.kaiwoimebs_service.hotel.Error.Failed"));
        QVERIFY(!QFile::exists(service.mSnapshot));
        // ReloadConfig prints after it, so by then a reload would have shown.
        QCOMPARE(service.call("ReloadConfig"),
                 QStringLiteral("com.kaiwoimebs_service.hotel.Error.Failed"));
        QTRY_VERIFY(service.errors().contains(QLatin1String("ReloadConfig: ")));
        QVERIFY2(!service.errors().contains(QLatin1String("cell words")),
                 qPrintable(service.errors()));
        QCOMPARE(readFile(service.mJournal), QByteArray("ReloadDictionary\t1\nReloadConfig\n"));
    }
};

QTEST_GUILESS_MAIN(TestStandInCellWords)
#include "tst_standin_cellwords.moc"
