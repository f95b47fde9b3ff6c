// The engine-shell libraries as the tool loads them: starting each shell
// against real directories, the not-yet-supported dictionary operations and
// the ownership of the flat result blocks.
#include "FlatResultStore.h"
#include "ShellWrapperInterface.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

namespace
{

using Factory = ShellWrapperInterface *(*)();

struct InitArgs {
    bool nullUser = false;
    QString version = QStringLiteral("1.0.0");
    QString user;
    QString system;
    QString userNoSlash;
    // When set, replaces both user paths, for code units a QString cannot hold.
    std::wstring rawUser;
};

bool callInit(ShellWrapperInterface *shell, const InitArgs &args)
{
    const std::wstring version = args.version.toStdWString();
    const std::wstring user = args.rawUser.empty() ? args.user.toStdWString() : args.rawUser;
    const std::wstring system = args.system.toStdWString();
    const std::wstring userNoSlash =
        args.rawUser.empty() ? args.userNoSlash.toStdWString() : args.rawUser;
    return shell->Init(version.c_str(), args.nullUser ? nullptr : user.c_str(), system.c_str(),
                       userNoSlash.c_str());
}

bool makeFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("x") == 1;
}

} // namespace

Q_DECLARE_METATYPE(std::function<void(InitArgs &)>)

class TestStandInShell : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void initChecksDirectories_data();
    void initChecksDirectories();
    void initRejectsReadOnlyUserDirectory();
    void dictionaryOperationsAreRefused();
    void factoriesReturnOneShellPerLibrary();
    void resultBlocksCarryEntriesAndAreFreedOnce();

private:
    InitArgs usableArgs() const
    {
        InitArgs args;
        args.user = mUser;
        args.system = mSystem;
        args.userNoSlash = mUserNoSlash;
        return args;
    }

    QTemporaryDir mRoot;
    QString mSystem;
    QString mUser; // per-user pinyin directory, with trailing slash
    QString mUserNoSlash;
};

void TestStandInShell::initTestCase()
{
    QVERIFY(mRoot.isValid());
}

void TestStandInShell::init()
{
    // A HOME-like tree whose name holds spaces, quotes and Chinese characters,
    // as a real user's home can.
    const QString home = mRoot.path() + QStringLiteral("/用户 \"o'neil\" 家");
    mSystem = mRoot.path() + QStringLiteral("/share/KaiwoShell/dict/PCPYDict/");
    mUserNoSlash = home + QStringLiteral("/.config/KaiwoShell/usr/PCPYDict");
    mUser = mUserNoSlash + QLatin1Char('/');
    QVERIFY(QDir().mkpath(mSystem));
    QVERIFY(QDir().mkpath(mUser));
}

void TestStandInShell::initChecksDirectories_data()
{
    QTest::addColumn<std::function<void(InitArgs &)>>("prepare");
    QTest::addColumn<bool>("expected");

    using Prepare = std::function<void(InitArgs &)>;
    QTest::newRow("pinyin layout: user dir with and without slash")
        << Prepare([](InitArgs &) {}) << true;
    QTest::newRow("wubi layout: user dir twice without slash")
        << Prepare([](InitArgs &a) { a.user = a.userNoSlash; }) << true;
    QTest::newRow("four-byte UTF-8 characters in the path") << Prepare([](InitArgs &a) {
        const QString dir = a.userNoSlash + QStringLiteral("/\U00020000 𝄞");
        QDir().mkpath(dir);
        a.user = dir + QLatin1Char('/');
        a.userNoSlash = dir;
    }) << true;
    QTest::newRow("missing system dir")
        << Prepare([](InitArgs &a) { a.system += QStringLiteral("missing/"); }) << false;
    QTest::newRow("system dir is a file") << Prepare([](InitArgs &a) {
        a.system += QStringLiteral("env.ini");
        makeFile(a.system);
    }) << false;
    QTest::newRow("missing user dir is not created") << Prepare([](InitArgs &a) {
        a.userNoSlash += QStringLiteral("/new");
        a.user = a.userNoSlash + QLatin1Char('/');
    }) << false;
    QTest::newRow("user dir is a file") << Prepare([](InitArgs &a) {
        a.userNoSlash += QStringLiteral("/env.ini");
        makeFile(a.userNoSlash);
        a.user = a.userNoSlash;
    }) << false;
    QTest::newRow("no-slash path names another dir") << Prepare([](InitArgs &a) {
        a.userNoSlash = a.system;
        a.userNoSlash.chop(1);
    }) << false;
    QTest::newRow("no-slash path missing")
        << Prepare([](InitArgs &a) { a.userNoSlash += QStringLiteral("X"); }) << false;
    QTest::newRow("null user dir") << Prepare([](InitArgs &a) { a.nullUser = true; }) << false;
    QTest::newRow("empty system dir") << Prepare([](InitArgs &a) { a.system.clear(); }) << false;
    QTest::newRow("empty version") << Prepare([](InitArgs &a) { a.version.clear(); }) << false;
    // A naive encoder would turn these into byte names that do exist on disk.
    const struct {
        const char *row;
        wchar_t code;
        const char *bytes;
    } invalid[] = {{"lone surrogate in the user dir", wchar_t(0xD800), "\xED\xA0\x80"},
                   {"code point beyond Unicode", wchar_t(0x110000), "\xF4\x90\x80\x80"}};
    for (const auto &bad : invalid) {
        QTest::newRow(bad.row) << Prepare([bad](InitArgs &a) {
            ::mkdir((QFile::encodeName(a.userNoSlash) + "/" + bad.bytes).constData(), 0700);
            a.rawUser = a.userNoSlash.toStdWString() + L'/' + bad.code;
        }) << false;
    }
}

void TestStandInShell::initChecksDirectories()
{
    QFETCH(std::function<void(InitArgs &)>, prepare);
    QFETCH(bool, expected);

    const QString missingCheck = mUserNoSlash + QStringLiteral("/new");
    for (ShellWrapperInterface *shell : {GetKaiwoShellWrapper(), GetWbKaiwoShellWrapper()}) {
        InitArgs args = usableArgs();
        prepare(args);
        QCOMPARE(callInit(shell, args), expected);
        // The IME service owns the per-user folders; the shell never makes them.
        QVERIFY(!QFileInfo::exists(missingCheck));
    }
}

void TestStandInShell::initRejectsReadOnlyUserDirectory()
{
    if (::geteuid() == 0)
        QSKIP("root may write into any directory");
    QVERIFY(QFile::setPermissions(mUserNoSlash, QFile::ReadOwner | QFile::ExeOwner));
    const InitArgs args = usableArgs();
    const bool result = callInit(GetKaiwoShellWrapper(), args);
    QFile::setPermissions(mUserNoSlash, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(!result);
}

void TestStandInShell::dictionaryOperationsAreRefused()
{
    for (ShellWrapperInterface *shell : {GetKaiwoShellWrapper(), GetWbKaiwoShellWrapper()}) {
        const InitArgs args = usableArgs();
        QVERIFY(callInit(shell, args));

        s_inputOutputDicData data;
        data.inputPath = mUser.toStdWString();
        data.phraseList.push_back({L"abc", L"短语", 1});
        QVERIFY(!shell->DicOperation(ed_userPhrase, ec_getUserPhrase, data));
        QVERIFY(!shell->DicOperation(ed_cellDict, ec_getCellDictInfo, data));
        QCOMPARE(data.phraseList.size(), std::size_t(1));

        flat::Request request{};
        flat::Result *result = nullptr;
        QVERIFY(!shell->DicOperationFlat(ed_cellDict, ec_rebuildCellDict, &request, &result));
        QVERIFY(!result);

        // Freeing "no block" must be harmless in both spellings.
        shell->FreeDicResult(&result);
        QVERIFY(!result);
        shell->FreeDicResult(nullptr);
    }
}

void TestStandInShell::factoriesReturnOneShellPerLibrary()
{
    ShellWrapperInterface *pinyin = GetKaiwoShellWrapper();
    ShellWrapperInterface *wubi = GetWbKaiwoShellWrapper();
    QVERIFY(pinyin && wubi);
    QCOMPARE(GetKaiwoShellWrapper(), pinyin);
    QCOMPARE(GetWbKaiwoShellWrapper(), wubi);
    QVERIFY(pinyin != wubi);

    // The tool finds the libraries by these exact file names; each exports
    // its own factory and the same process-wide shell.
    const QByteArray libDir = qgetenv("KAIWO_BUILD_DIR") + "/lib/";
    const struct {
        const char *file;
        const char *factory;
        ShellWrapperInterface *shell;
    } libraries[] = {{"libKaiwoShell.so", "GetKaiwoShellWrapper", pinyin},
                     {"libKaiwoWbShell.so", "GetWbKaiwoShellWrapper", wubi}};
    for (const auto &library : libraries) {
        void *handle = ::dlopen((libDir + library.file).constData(), RTLD_NOW);
        QVERIFY2(handle, ::dlerror());
        auto factory = reinterpret_cast<Factory>(::dlsym(handle, library.factory));
        QVERIFY2(factory, library.factory);
        QCOMPARE(factory(), library.shell);
        ::dlclose(handle);
    }
}

void TestStandInShell::resultBlocksCarryEntriesAndAreFreedOnce()
{
    FlatResultStore store;

    s_cellDicInfo cell;
    cell.strFilePath = L"/词库/天文.kcd";
    cell.strId = std::wstring(100, L'i'); // longer than its 64-character field
    cell.strName = L"天文";
    cell.nWordsCount = 1234;
    cell.nDate = 20250131;
    cell.bValid = true;
    const std::vector<UserPhraseItem> phrases = {{L"yx", L"邮箱 a@b.c", 2}, {L"", L"", -1}};

    flat::Result *block = store.create({cell}, phrases);
    QVERIFY(block);
    QCOMPARE(block->cellCount, 1);
    QCOMPARE(std::wstring(block->cells[0].strFilePath), cell.strFilePath);
    QCOMPARE(std::wstring(block->cells[0].strId), std::wstring(63, L'i'));
    QCOMPARE(std::wstring(block->cells[0].strName), cell.strName);
    QCOMPARE(std::wstring(block->cells[0].strExample), std::wstring());
    QCOMPARE(block->cells[0].nWordsCount, 1234);
    QCOMPARE(block->cells[0].nDate, 20250131);
    QVERIFY(block->cells[0].bValid);
    QCOMPARE(block->phraseCount, 2);
    QCOMPARE(std::wstring(block->phrases[0].abbr), std::wstring(L"yx"));
    QCOMPARE(std::wstring(block->phrases[0].phrase), std::wstring(L"邮箱 a@b.c"));
    QCOMPARE(block->phrases[0].position, int16_t(2));
    QCOMPARE(std::wstring(block->phrases[1].abbr), std::wstring());
    QCOMPARE(block->phrases[1].position, int16_t(-1));

    flat::Result *empty = store.create({}, {});
    QVERIFY(empty && empty != block);
    QVERIFY(!empty->cells && empty->cellCount == 0);
    QVERIFY(!empty->phrases && empty->phraseCount == 0);
    QCOMPARE(store.count(), std::size_t(2));

    flat::Result foreign{};
    QVERIFY(!store.release(&foreign));
    QVERIFY(!store.release(nullptr));
    QVERIFY(store.release(block));
    QVERIFY(!store.release(block));
    QVERIFY(store.release(empty));
    QCOMPARE(store.count(), std::size_t(0));
}

QTEST_GUILESS_MAIN(TestStandInShell)
#include "tst_standin_shell.moc"
