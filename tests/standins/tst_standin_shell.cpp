// The engine-shell stand-ins: Init against real folders, refused dictionary
// operations and the flat result blocks.
#include "FlatResultStore.h"
#include "ShellWrapperInterface.h"
#include "TestFiles.h"

#include <QtTest>

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

QList<ShellWrapperInterface *> shells()
{
    return {GetKaiwoShellWrapper(), GetWbKaiwoShellWrapper()};
}

} // namespace

class TestStandInShell : public QObject
{
    Q_OBJECT

    // A leading "U" in a path stands for the user's pinyin directory (no
    // slash) and "S" for the system one; a null user path is passed as null.
    bool callInit(ShellWrapperInterface *shell, const QString &user, const QString &system,
                  const QString &userNoSlash, const std::wstring &version = L"1.0.0")
    {
        const auto expand = [this](const QString &path) {
            return path.startsWith(QLatin1Char('U'))   ? mUser + path.mid(1)
                   : path.startsWith(QLatin1Char('S')) ? mSystem + path.mid(1)
                                                       : path;
        };
        const std::wstring u = expand(user).toStdWString(), s = expand(system).toStdWString(),
                           n = expand(userNoSlash).toStdWString();
        return shell->Init(version.c_str(), user.isNull() ? nullptr : u.c_str(), s.c_str(),
                           n.c_str());
    }

    QTemporaryDir mRoot;
    // A home whose name holds spaces, quotes and Chinese, as a real one can.
    const QString mUser = mRoot.filePath(QStringLiteral("用户 \"o'neil\" 家/.config/PCPYDict"));
    const QString mSystem = mRoot.filePath(QStringLiteral("share/PCPYDict"));

private slots:
    void initTestCase()
    {
        QVERIFY(QDir().mkpath(mUser + QStringLiteral("/\U00020000 𝄞")));
        QVERIFY(QDir().mkpath(mSystem));
        QVERIFY(writeFile(mUser + QStringLiteral("/env.ini"), "x"));
        QVERIFY(writeFile(mSystem + QStringLiteral("/env.ini"), "x"));
    }

    void initChecksDirectories_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("system");
        QTest::addColumn<QString>("userNoSlash");
        QTest::addColumn<bool>("expected");
        const auto row = [](const char *name, const char *user, const char *system,
                            const char *userNoSlash, bool expected) {
            QTest::newRow(name) << (user ? QString::fromUtf8(user) : QString())
                                << QString::fromUtf8(system) << QString::fromUtf8(userNoSlash)
                                << expected;
        };
        row("pinyin layout: user dir with and without slash", "U/", "S/", "U", true);
        row("wubi layout: user dir twice without slash", "U", "S", "U", true);
        row("four-byte UTF-8 characters in the path", "U/\U00020000 𝄞/", "S/", "U/\U00020000 𝄞",
            true);
        row("missing system dir", "U/", "S/missing/", "U", false);
        row("system dir is a file", "U/", "S/env.ini", "U", false);
        // The IME service owns the per-user folders; the shell never makes them.
        row("missing user dir is not created", "U/new/", "S/", "U/new", false);
        row("user dir is a file", "U/env.ini", "S/", "U/env.ini", false);
        row("no-slash path names another dir", "U/", "S/", "S", false);
        row("null user dir", nullptr, "S/", "U", false);
        row("empty system dir", "U/", "", "U", false);
    }

    void initChecksDirectories()
    {
        QFETCH(QString, user);
        QFETCH(QString, system);
        QFETCH(QString, userNoSlash);
        QFETCH(bool, expected);
        for (ShellWrapperInterface *shell : shells()) {
            QCOMPARE(callInit(shell, user, system, userNoSlash), expected);
            QVERIFY(!QFileInfo::exists(mUser + QStringLiteral("/new")));
        }
    }

    void initRejectsBadTextAndReadOnlyDirectory()
    {
        for (ShellWrapperInterface *shell : shells())
            QVERIFY(!callInit(shell, QStringLiteral("U/"), QStringLiteral("S/"),
                              QStringLiteral("U"), L""));
        // A naive encoder would turn these into byte names that do exist on disk.
        const std::pair<wchar_t, const char *> invalid[] = {
            {wchar_t(0xD800), "\xED\xA0\x80"}, {wchar_t(0x110000), "\xF4\x90\x80\x80"}};
        for (const auto &bad : invalid) {
            QCOMPARE(::mkdir((QFile::encodeName(mUser) + "/" + bad.second).constData(), 0700), 0);
            const std::wstring raw = mUser.toStdWString() + L'/' + bad.first;
            const std::wstring system = mSystem.toStdWString();
            for (ShellWrapperInterface *shell : shells())
                QVERIFY(!shell->Init(L"1.0.0", raw.c_str(), system.c_str(), raw.c_str()));
        }
        if (::geteuid() == 0)
            QSKIP("root may write into any directory");
        QVERIFY(QFile::setPermissions(mUser, QFile::ReadOwner | QFile::ExeOwner));
        const bool result = callInit(GetKaiwoShellWrapper(), QStringLiteral("U/"),
                                     QStringLiteral("S/"), QStringLiteral("U"));
        QFile::setPermissions(mUser, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(!result);
    }

    void emptyCellRequestsAreRefused()
    {
        for (ShellWrapperInterface *shell : shells()) {
            QVERIFY(
                callInit(shell, QStringLiteral("U/"), QStringLiteral("S/"), QStringLiteral("U")));
            s_inputOutputDicData data;
            data.phraseList.push_back({L"abc", L"短语", 1});
            QVERIFY(!shell->DicOperation(ed_cellDict, ec_getCellDictInfo, data));
            QCOMPARE(data.phraseList.size(), std::size_t(1));

            flat::Request request{};
            flat::Result *result = nullptr;
            QVERIFY(!shell->DicOperationFlat(ed_cellDict, ec_rebuildCellDict, &request, &result));
            QVERIFY(!result);
            // Freeing "no block" must be harmless in both spellings.
            shell->FreeDicResult(&result);
            shell->FreeDicResult(nullptr);
        }
    }

    void factoriesReturnOneShellPerLibrary()
    {
        QVERIFY(shells()[0] && shells()[1] && shells()[0] != shells()[1]);
        QCOMPARE(shells(), shells());
        // The tool loads the libraries by these names; each gives the same shell.
        const QByteArray libDir = qgetenv("KAIWO_BUILD_DIR") + "/lib/";
        const char *const libraries[][2] = {{"libKaiwoShell.so", "GetKaiwoShellWrapper"},
                                            {"libKaiwoWbShell.so", "GetWbKaiwoShellWrapper"}};
        for (int i = 0; i < 2; ++i) {
            void *handle = ::dlopen((libDir + libraries[i][0]).constData(), RTLD_NOW);
            QVERIFY2(handle, ::dlerror());
            auto factory =
                reinterpret_cast<ShellWrapperInterface *(*)()>(::dlsym(handle, libraries[i][1]));
            QVERIFY2(factory, libraries[i][1]);
            QCOMPARE(factory(), shells()[i]);
            ::dlclose(handle);
        }
    }

    void resultBlocksAreCutAndFreedOnce()
    {
        FlatResultStore store;
        s_cellDicInfo cell;
        cell.strFilePath = L"/词库/天文.kcd";
        cell.strId = std::wstring(100, L'i'); // longer than its 64-character field
        flat::Result *block = store.create({cell}, {{L"yx", L"邮箱 a@b.c", -1}});
        QVERIFY(block && block->cellCount == 1 && block->phraseCount == 1);
        QCOMPARE(std::wstring(block->cells[0].strFilePath), cell.strFilePath);
        QCOMPARE(std::wstring(block->cells[0].strId), std::wstring(63, L'i'));
        QCOMPARE(std::wstring(block->phrases[0].phrase), std::wstring(L"邮箱 a@b.c"));
        QCOMPARE(block->phrases[0].position, int16_t(-1));

        flat::Result *empty = store.create({}, {});
        QVERIFY(empty && empty != block);
        QVERIFY(!empty->cells && !empty->phrases && empty->cellCount + empty->phraseCount == 0);

        flat::Result foreign{};
        QVERIFY(!store.release(&foreign));
        QVERIFY(!store.release(nullptr));
        QVERIFY(store.release(block));
        QVERIFY(!store.release(block));
        QVERIFY(store.release(empty));
        QCOMPARE(store.count(), std::size_t(0));
    }
};

QTEST_GUILESS_MAIN(TestStandInShell)
#include "tst_standin_shell.moc"
