// The IME service stand-in on a private bus: its name and per-user folders,
// the user dictionaries it imports, backs up, clears and recovers, and the
// cell words it reloads from what the engine shells rebuilt.
#include "KcelFile.h"
#include "ServiceProcess.h"
#include "ShellWrapperInterface.h"
#include "TestFiles.h"

#include <QtDBus>
#include <QtTest>

#include <array>

namespace
{

QString makeKcel(const QString &path, const std::string &id,
                 const std::vector<KcelFile::Entry> &entries)
{
    KcelFile kcel;
    kcel.id = kcel.name = id;
    kcel.category = "测试";
    kcel.date = 1700000000;
    kcel.entries = entries;
    return kcel.write(path.toStdString()) ? path : QString();
}

} // namespace

class TestStandInService : public QObject
{
    Q_OBJECT

    static QMap<QString, QByteArray> storedDictionaries(const QString &home)
    {
        const QDir dir(home + QStringLiteral("/.config/kaiwoimebs/userdict"));
        QMap<QString, QByteArray> files;
        for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden))
            files.insert(name, readFile(dir.filePath(name)));
        return files;
    }

    static QByteArray header(const char *kind)
    {
        return QByteArray("KaiwoUserDictionary 1 ") + kind + '\n';
    }

    static QString pinyinDir(const QString &home)
    {
        return home + QStringLiteral("/.config/KaiwoShell/usr/PCPYDict/");
    }

    static QString wubiDir(const QString &home)
    {
        return home + QStringLiteral("/.config/KaiwoShell/usr/PCWBDict/");
    }

    static QString snapshot(const QString &home)
    {
        return home + QStringLiteral("/.config/kaiwoimebs/service-cell-words.txt");
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

    QTemporaryDir mRoot;
    int mHomes = 0;
    std::unique_ptr<ServiceProcess> mService;

    // A fresh HOME whose name holds spaces, quotes and Chinese characters.
    QString newHome()
    {
        const QString home = mRoot.path() + QStringLiteral("/家 \"it's\" 目录 %1").arg(++mHomes);
        QDir().mkpath(home);
        return home;
    }

    QString start(const QStringList &arguments = {})
    {
        const QString home = newHome();
        mService.reset();
        mService = std::make_unique<ServiceProcess>(arguments, home, 0);
        if (!mService->waitUntilReady())
            qWarning() << mService->errors();
        return home;
    }

    QVariantList ask(const QString &method, const QString &path = QString())
    {
        return mService->ask(method, path);
    }

private slots:
    void cleanup() { mService.reset(); }

    void claimsItsNameOnceAndMakesUserFolders()
    {
        const QString home = start();
        QCOMPARE(mService->mName, QStringLiteral("com.kaiwoimeservice.hotel_0"));
        for (const char *folder :
             {"/.config/KaiwoShell/usr/PCPYDict", "/.config/KaiwoShell/usr/PCWBDict",
              "/.config/kaiwoimebs/userdict"})
            QVERIFY2(QFileInfo(home + QLatin1String(folder)).isDir(), folder);
        QVERIFY(QFile::exists(mService->mJournal));

        // A second instance on the same display gives up.
        ServiceProcess second({}, newHome(), 0);
        QVERIFY(second.mProcess.waitForFinished(10000));
        QCOMPARE(second.mProcess.exitCode(), 1);
        QVERIFY2(second.errors().contains(mService->mName), qPrintable(second.errors()));
    }

    // A word imported twice keeps its higher frequency; a backup imports
    // again, and a second backup replaces the first.
    void importsMergeAndBackupsWriteThemBack_data()
    {
        addColumns<QString, QString, QString, QByteArray>({"import", "backup", "clear", "header"});
        QTest::newRow("Chinese") << QString("UsrDictImport") << QString("UsrDictBackup")
                                 << QString("clearCnThesaurus") << header("pinyin");
        QTest::newRow("Wubi pinyin")
            << QString("UsrPinYinWuBiDictImportPinYin") << QString("UsrWuBiPinYinDictBackupPinYin")
            << QString("clearPinYinWuBiCnThesaurusPinYin") << header("wubi-pinyin");
    }

    void importsMergeAndBackupsWriteThemBack()
    {
        QFETCH(QString, import);
        QFETCH(QString, backup);
        QFETCH(QString, clear);
        QFETCH(QByteArray, header);
        const QString home = start();
        const QVariantList yes{true};
        const QString first = home + QStringLiteral("/导入 \"一\" it's.txt");
        const QString second = home + QStringLiteral("/导入 二.bin");
        QVERIFY(writeFile(first, header + "b\t乙\t5\na\t甲\t1\n"));
        QVERIFY(writeFile(second, header + "b\t乙\t3\r\na\t甲\t9\n\na\t丙\t2\n"));
        QCOMPARE(ask(clear), yes);
        QCOMPARE(ask(import, first), yes);
        QCOMPARE(ask(import, second), yes);
        const QString saved = home + QStringLiteral("/备份 \"词库\" it's.bin");
        const QByteArray merged = header + "a\t丙\t2\na\t甲\t9\nb\t乙\t5\n";
        QCOMPARE(ask(backup, saved), yes);
        QCOMPARE(readFile(saved), merged);
        // Cleared, a backup keeps the header line only.
        QCOMPARE(ask(clear), yes);
        QCOMPARE(ask(backup, saved), yes);
        QCOMPARE(readFile(saved), header);
        QVERIFY(writeFile(first, merged));
        QCOMPARE(ask(import, first), yes);
        QCOMPARE(ask(backup, saved), yes);
        QCOMPARE(readFile(saved), merged);
        // No temporary file left.
        QCOMPARE(QDir(home).entryList(QDir::Files, QDir::Name).size(), 3);
    }

    void refusesBadImportsAndKeepsTheDictionary_data()
    {
        // name: of the file to import, in HOME.
        addColumns<QString, QByteArray>({"name", "content"});
        const QByteArray good = "HEADER\nnew\t新\t1\n";
        QTest::newRow("missing") << "missing.txt" << QByteArray();
        QTest::newRow("empty") << "空 \"x\".txt" << QByteArray("");
        QTest::newRow("the service's compiled dictionary")
            << ".config/kaiwoimebs/userdict/pinyin.kwd" << QByteArray();
        QTest::newRow("another kind")
            << "web.txt" << QByteArray(header("web-email") + "w\tw.\t1\n");
        QTest::newRow("one bad line") << "bad.txt" << good + "garbage\n";
        QByteArray huge = good;
        while (huge.size() <= 16 * 1024 * 1024)
            huge += QByteArray("new\t新\t1\n").repeated(64);
        QTest::newRow("over 16 MiB") << "huge.txt" << huge;
        QTest::newRow("a folder") << ".config" << QByteArray();
        QTest::newRow("a device") << "/dev/zero" << QByteArray();
    }

    void refusesBadImportsAndKeepsTheDictionary()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        const QString home = start();
        const QString path = name.startsWith('/') ? name : home + '/' + name;
        const auto before = storedDictionaries(home);
        const char *const imports[][2] = {{"UsrDictImport", "pinyin"},
                                          {"UsrWuBiDictImport", "wubi"},
                                          {"UsrPinYinWuBiDictImportPinYin", "wubi-pinyin"}};
        for (const auto &import : imports) {
            if (!content.isNull())
                QVERIFY(
                    writeFile(path, QByteArray(content).replace("HEADER\n", header(import[1]))));
            QCOMPARE(ask(import[0], path), QVariantList{false});
        }
        QCOMPARE(storedDictionaries(home), before);
    }

    // Each clear empties its own dictionary only; each recovery restores
    // its own from the shipped state, and only those.
    void clearsAndRecoveries()
    {
        const QString home = start();
        const auto shipped = storedDictionaries(home);
        const char *const clears[][2] = {{"clearCnThesaurus", "pinyin.kwd"},
                                         {"clearEnThesaurus", "english.txt"},
                                         {"clearWebEmailThesaurus", "web-email.txt"},
                                         {"clearWuBiCnThesaurus", "wubi.txt"},
                                         {"clearWuBiEnThesaurus", "wubi-english.txt"},
                                         {"clearWuBiWebEmailThesaurus", "wubi-web-email.txt"},
                                         {"clearPinYinWuBiCnThesaurusPinYin", "wubi-pinyin.txt"}};
        auto expected = shipped;
        for (const auto &clear : clears) {
            QCOMPARE(ask(clear[0]), QVariantList{true});
            const auto now = storedDictionaries(home);
            QVERIFY2(now[clear[1]] != shipped[clear[1]], clear[1]);
            expected[clear[1]] = now[clear[1]];
            QCOMPARE(now, expected);
        }
        const auto cleared = expected;
        const auto mixed = [&](const QStringList &restored) {
            auto result = cleared;
            for (const QString &file : restored)
                result[file] = shipped[file];
            return result;
        };
        QCOMPARE(ask("recoveryEnThesaurus"), QVariantList{true});
        QCOMPARE(storedDictionaries(home), mixed({"english.txt"}));
        QCOMPARE(ask("recoveryDefaultThesaurus"), QVariantList{true});
        QCOMPARE(storedDictionaries(home), mixed({"english.txt", "pinyin.kwd", "web-email.txt"}));
        QCOMPARE(ask("recoveryWuBiDefaultThesaurus"), QVariantList{true});
        QCOMPARE(storedDictionaries(home), shipped);
    }

    // ReloadDictionary 1 replaces the words with what both shells rebuilt;
    // 7 (phrases) leaves them alone.
    void reloadTakesTheShellsRebuiltWords()
    {
        const QString home = start();
        const QString system = home + "/share";
        const std::wstring py = pinyinDir(home).toStdWString(),
                           wb = wubiDir(home).chopped(1).toStdWString(),
                           sys = system.toStdWString(), pyNoSlash = py.substr(0, py.size() - 1);
        QVERIFY(QDir().mkpath(system));
        QVERIFY(GetKaiwoShellWrapper()->Init(L"1", py.c_str(), sys.c_str(), pyNoSlash.c_str()));
        QVERIFY(GetWbKaiwoShellWrapper()->Init(L"1", wb.c_str(), sys.c_str(), wb.c_str()));
        const QString demo =
            makeKcel(home + "/演示 \"demo\".kcel", "demo", {{"香蕉", "xiang jiao"}, {"苹果", ""}});
        const QString fruit =
            makeKcel(home + "/fruit.kcel", "fruit", {{"榴莲", "liu lian"}, {"苹果", "ping guo"}});
        QVERIFY(rebuild(GetKaiwoShellWrapper(), pinyinDir(home), {demo, fruit}));
        QVERIFY(rebuild(GetWbKaiwoShellWrapper(), wubiDir(home), {demo}));
        QCOMPARE(mService->call("ReloadDictionary", {1}).errorName(), QString());
        // Sorted, each word once although both shells and both files list "苹果".
        QCOMPARE(readFile(snapshot(home)), QByteArray("榴莲\n苹果\n香蕉\n"));
        QTRY_VERIFY(mService->errors().contains("ReloadDictionary: 3 cell words\n"));
        QVERIFY(rebuild(GetKaiwoShellWrapper(), pinyinDir(home), {}));
        QVERIFY(rebuild(GetWbKaiwoShellWrapper(), wubiDir(home), {}));
        QCOMPARE(mService->call("ReloadDictionary", {7}).errorName(), QString());
        QCOMPARE(readFile(snapshot(home)), QByteArray("榴莲\n苹果\n香蕉\n"));
        QCOMPARE(mService->call("ReloadDictionary", {1}).errorName(), QString());
        QVERIFY(QFile::exists(snapshot(home)));
        QCOMPARE(readFile(snapshot(home)), QByteArray());
        QTRY_VERIFY(mService->errors().endsWith("ReloadDictionary: 0 cell words\n"));
        QCOMPARE(mService->journal(), (QStringList{"ReloadDictionary\t1", "ReloadDictionary\t7",
                                                   "ReloadDictionary\t1"}));
    }
};

QTEST_GUILESS_MAIN(TestStandInService)
#include "tst_standin_service.moc"
