// The stand-ins' files against damaged input: the engine shells' Init, their
// phrase files and cell dictionaries (.kcel, the rebuilt cell data, the
// maker tool), and the IME service's user dictionary formats.
#include "CellDictionaryStore.h"
#include "DigestCache.h"
#include "FlatResultStore.h"
#include "KcelFile.h"
#include "PhraseBinaryFile.h"
#include "PhraseTextFile.h"
#include "PinyinDictionaryFile.h"
#include "ShellWrapperInterface.h"
#include "TestFiles.h"
#include "TextDictionaryFile.h"
#include "UserDictionary.h"

#include <QCryptographicHash>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using Phrases = std::vector<UserPhraseItem>;
using Kind = TextDictionaryFile::Kind;

namespace
{

ShellWrapperInterface *const kPinyin = GetKaiwoShellWrapper();
ShellWrapperInterface *const kWubi = GetWbKaiwoShellWrapper();

QString describe(const Phrases &phrases)
{
    QStringList out;
    for (const UserPhraseItem &p : phrases)
        out << QString::fromStdWString(p.abbr) + ',' + QString::number(p.position) + '=' +
                   QString::fromStdWString(p.phrase);
    return out.join('|');
}

QByteArray bytes(const std::string &s)
{
    return QByteArray(s.data(), int(s.size()));
}

KcelFile sample(int words = 3)
{
    KcelFile kcel;
    kcel.id = "demo";
    kcel.name = "演示词库";
    kcel.category = "测试";
    kcel.examples = "苹果 香蕉";
    kcel.date = 1700000000;
    const char *all[] = {"苹果", "香蕉", "橙子"};
    for (int i = 0; i < words; ++i)
        kcel.entries.push_back({all[i], i % 2 ? "" : "pin yin"});
    return kcel;
}

QByteArray bytesOf(const KcelFile &kcel)
{
    std::string out;
    kcel.serialize(out);
    return bytes(out);
}

QByteArray patched(QByteArray data, int offset, const QByteArray &with)
{
    return data.replace(offset, with.size(), with);
}

QByteArray md5Of(const QByteArray &data)
{
    return QCryptographicHash::hash(data, QCryptographicHash::Md5).toHex();
}

QByteArray piece(const QByteArray &lines, const QString &source)
{
    return "# kaiwo cell words 1\t" + QByteArray::number(lines.count('\n')) + '\t' +
           QByteArray::number(lines.size()) + '\t' + source.toUtf8() + '\n' + lines;
}

UserDictionary dictionary()
{
    return UserDictionary({{"ni'hao", "你好", 7},
                           {"a", "啊 \"'", 0},
                           {"ni'hao", "拟好", 4294967295u},
                           {"xiao", "𠀀笑", 1}});
}

// Folders whose files the digest cache may remember: made at the start and
// left alone long enough to count as settled.
const int kSettledFolders = 6;

} // namespace

class TestStandInFiles : public QObject
{
    Q_OBJECT

    QTemporaryDir mRoot;
    // A home whose name holds spaces, quotes, "$(...)" and Chinese.
    const QString mHome = mRoot.filePath(QStringLiteral("用户 $(touch x) \"o'neil\""));
    const QString mPinyin = mHome + QStringLiteral("/PCPYDict/");
    const QString mWubi = mHome + QStringLiteral("/PCWBDict");
    const QString mSystem = mRoot.filePath(QStringLiteral("share/PCPYDict/"));

    std::wstring write(const QString &name, const QByteArray &data)
    {
        writeFile(mRoot.filePath(name), data);
        return mRoot.filePath(name).toStdWString();
    }

    // Init with a leading "U" standing for the user's pinyin folder and "S"
    // for the system one; a null user path is passed as null.
    bool init(ShellWrapperInterface *shell, const QString &user, const QString &system,
              const QString &noSlash, const std::wstring &version = L"1.0.0")
    {
        const auto expand = [this](const QString &path) {
            return (path.startsWith('U')   ? mPinyin.chopped(1) + path.mid(1)
                    : path.startsWith('S') ? mSystem.chopped(1) + path.mid(1)
                                           : path)
                .toStdWString();
        };
        const std::wstring u = expand(user), s = expand(system), n = expand(noSlash);
        return shell->Init(version.c_str(), user.isNull() ? nullptr : u.c_str(), s.c_str(),
                           n.c_str());
    }

    bool run(ShellWrapperInterface *shell, e_operDicType op, Phrases &phrases,
             const QString &in = QString(), const QString &out = QString())
    {
        s_inputOutputDicData data;
        data.inputPath = (in.isNull() ? mPinyin : in).toStdWString();
        data.outputPath = out.toStdWString();
        data.phraseList = phrases;
        const bool ok = shell->DicOperation(ed_userPhrase, op, data);
        phrases = data.phraseList;
        return ok;
    }

    QString list(ShellWrapperInterface *shell)
    {
        Phrases p;
        return run(shell, ec_getUserPhrase, p) ? describe(p) : QStringLiteral("<failed>");
    }

    // The pinyin shell's rebuild of these files; the skip notices, or "failed".
    static QString rebuild(const std::vector<std::wstring> &paths, int *words = nullptr)
    {
        s_inputOutputDicData data;
        data.inputPath = L"/";
        for (const std::wstring &path : paths) {
            data.cellDicList.emplace_back();
            data.cellDicList.back().strFilePath = path;
        }
        if (!kPinyin->DicOperation(ed_cellDict, ec_rebuildCellDict, data))
            return QStringLiteral("failed");
        if (words)
            *words = data.nResult;
        return QString::fromStdWString(data.resultText);
    }

    // Caches the digests of a folder's files as the tool does on OK.
    static QByteArray cacheDigests(const QString &dir, const QStringList &names)
    {
        DigestCache cache(QFile::encodeName(dir).toStdString());
        for (const QString &name : names)
            cache.digest(QFile::encodeName(name).toStdString());
        const std::string text = cache.serialize();
        writeFile(QString::fromStdString(cache.path()), bytes(text));
        return bytes(text);
    }

    QString settled(int folder, const QString &name = QString()) const
    {
        return mRoot.filePath(QStringLiteral("settled%1/%2").arg(folder).arg(name));
    }

    QString piecePath(const QByteArray &md5) const
    {
        return mPinyin + CellDictionaryStore::piecesDirName() + '/' + md5 + ".txt";
    }

    QByteArray cellData() const { return readFile(mPinyin + CellDictionaryStore::dataFileName()); }

private slots:
    void initTestCase()
    {
        QVERIFY(QDir().mkpath(mPinyin + QStringLiteral("phrase/\U00020000 𝄞")));
        QVERIFY(QDir().mkpath(mWubi));
        QVERIFY(QDir().mkpath(mSystem));
        QVERIFY(writeFile(mPinyin + "env.ini", "x"));
        QVERIFY(QFile::copy(KAIWO_SOURCE_DATA_DIR
                            "/KaiwoShell/dict/PCPYDict/kwim_default_phrases.txt",
                            mSystem + "kwim_default_phrases.txt"));
        for (int folder = 0; folder < kSettledFolders; ++folder) {
            QVERIFY(QDir().mkpath(settled(folder)));
            writeFile(settled(folder, "a.kcel"), bytesOf(sample(2)));
            KcelFile other = sample(1);
            other.id = "fruit";
            writeFile(settled(folder, "b.kcel"), bytesOf(other));
        }
        QTest::qWait(2100);
    }

    void initChecksDirectories_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("system");
        QTest::addColumn<QString>("noSlash");
        QTest::addColumn<bool>("expected");
        const auto row = [](const char *name, const char *user, const char *system,
                            const char *noSlash, bool expected) {
            QTest::newRow(name) << (user ? QString::fromUtf8(user) : QString())
                                << QString::fromUtf8(system) << QString::fromUtf8(noSlash)
                                << expected;
        };
        row("four-byte UTF-8 characters in the path", "U/phrase/\U00020000 𝄞/", "S/",
            "U/phrase/\U00020000 𝄞", true);
        row("missing system dir", "U/", "S/missing/", "U", false);
        row("system dir is a file", "U/", "S/kwim_default_phrases.txt", "U", false);
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
        QFETCH(QString, noSlash);
        QFETCH(bool, expected);
        for (ShellWrapperInterface *shell : {kPinyin, kWubi})
            QCOMPARE(init(shell, user, system, noSlash), expected);
        QVERIFY(!QFileInfo::exists(mPinyin + "new"));
    }

    void initRefusesBadTextAndReadOnlyDirectory()
    {
        QVERIFY(!init(kPinyin, "U/", "S/", "U", L""));
        // A naive encoder would turn these into byte names that do exist on disk.
        const std::pair<wchar_t, const char *> invalid[] = {
            {wchar_t(0xD800), "\xED\xA0\x80"}, {wchar_t(0x110000), "\xF4\x90\x80\x80"}};
        for (const auto &bad : invalid) {
            QCOMPARE(::mkdir((QFile::encodeName(mPinyin) + bad.second).constData(), 0700), 0);
            const std::wstring raw = mPinyin.toStdWString() + bad.first;
            const std::wstring system = mSystem.toStdWString();
            for (ShellWrapperInterface *shell : {kPinyin, kWubi})
                QVERIFY(!shell->Init(L"1.0.0", raw.c_str(), system.c_str(), raw.c_str()));
        }
        if (::geteuid() != 0) {
            QVERIFY(QFile::setPermissions(mPinyin, QFile::ReadOwner | QFile::ExeOwner));
            const bool result = init(kPinyin, "U/", "S/", "U");
            QFile::setPermissions(mPinyin, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QVERIFY(!result);
        }
        // Both shells ready for the cases below.
        QVERIFY(init(kPinyin, "U/", "S/", "U"));
        const std::wstring w = mWubi.toStdWString(), s = mSystem.toStdWString();
        QVERIFY(kWubi->Init(L"1", w.c_str(), s.c_str(), w.c_str()));
    }

    void resultBlocksAreCutAndFreedOnce()
    {
        s_inputOutputDicData data;
        QVERIFY(!kPinyin->DicOperation(ed_cellDict, ec_getCellDictInfo, data));
        flat::Request request{};
        flat::Result *result = nullptr;
        QVERIFY(!kWubi->DicOperationFlat(ed_cellDict, ec_rebuildCellDict, &request, &result));
        QVERIFY(!result);
        kWubi->FreeDicResult(&result);
        kWubi->FreeDicResult(nullptr);

        FlatResultStore store;
        s_cellDicInfo cell;
        cell.strId = std::wstring(100, L'i'); // longer than its 64-character field
        flat::Result *block = store.create({cell}, {{L"yx", L"邮箱 a@b.c", -1}});
        QCOMPARE(std::wstring(block->cells[0].strId), std::wstring(63, L'i'));
        QCOMPARE(std::wstring(block->phrases[0].phrase), std::wstring(L"邮箱 a@b.c"));
        QCOMPARE(block->phrases[0].position, int16_t(-1));
        flat::Result *empty = store.create({}, {});
        QVERIFY(empty && empty != block && !empty->cells && !empty->phrases);
        flat::Result foreign{};
        QVERIFY(!store.release(&foreign));
        QVERIFY(store.release(block));
        QVERIFY(!store.release(block));
        QVERIFY(store.release(empty));
        QCOMPARE(store.count(), std::size_t(0));
    }

    void phrasesThroughBothEntryPoints()
    {
        Phrases add = {{L"dh", L"电话：\n0571-1234", 2},
                       {L"Off", L"a\\b", -3},
                       {L"bad1", L"digits refused", 1},
                       {L"zero", L"position 0 refused", 0},
                       {L"ok", L"✓ 𝄞", 9}};
        QVERIFY(run(kPinyin, ec_addUserPhrase, add));
        const QString expected = QStringLiteral("dh,2=电话：\n0571-1234|Off,-3=a\\b|ok,9=✓ 𝄞");
        QCOMPARE(list(kPinyin), expected);
        QCOMPARE(list(kWubi), QString()); // Wubi keeps its own set
        // Adding again only switches the phrase on; nothing is doubled.
        Phrases again = {{L"Off", L"a\\b", 3}};
        QVERIFY(run(kPinyin, ec_addUserPhrase, again));
        QCOMPARE(list(kPinyin), QString(expected).replace("-3", "3"));

        const QString bin = mPinyin + "kwim_phrases.bin", txt = mPinyin + "phrase/PhraseEdit.txt";
        Phrases none;
        QVERIFY(run(kPinyin, ec_genPhraseEditText, none, bin, txt));
        const QString text = QString::fromUtf8(readFile(txt));
        QVERIFY2(text.contains("\ndh,2=电话：\\n0571-1234\nOff,3=a\\\\b\nok,9=✓ 𝄞\n"),
                 qPrintable(text));
        // An editor's change comes back through the compiled file.
        QVERIFY(writeFile(txt, text.toUtf8() + "new,1=line1\\nline2\r\nbroken line\n"));
        QVERIFY(run(kPinyin, ec_convertTextToDic, none, bin, txt));
        QVERIFY(list(kPinyin).endsWith("|new,1=line1\nline2"));
        Phrases all;
        QVERIFY(run(kPinyin, ec_getUserPhrase, all));
        QVERIFY(run(kPinyin, ec_deleteUserPhrase, all));
        QCOMPARE(list(kPinyin), QString());

        QCOMPARE(list(kWubi), QString());
        Phrases defaults;
        QVERIFY(!run(kWubi, ec_getDefaultPhrase, defaults));
    }

    void phraseText_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("status");
        const int ok = PhraseBinaryFile::Ok, damaged = PhraseBinaryFile::Damaged;
        QTest::newRow("ascii") << QByteArray("ab,1=x\n# c\n\n") << "ab,1=x" << ok;
        QTest::newRow("utf-8 bom, crlf") << QByteArray("\xEF\xBB\xBF"
                                                       "ab,-2=好\r\n")
                                         << "ab,-2=好" << ok;
        QTest::newRow("utf-16 le") << literalBytes("\xFF\xFE"
                                                   "a\0b\0,\0"
                                                   "1\0=\0}Y\n\0")
                                   << "ab,1=好" << ok;
        QTest::newRow("utf-16 be, lone surrogate skipped") << literalBytes("\xFE\xFF\0a\0,\0"
                                                                           "1\0=\0x\0\n\0b\0,\0"
                                                                           "1\0=\xD8\0")
                                                           << "a,1=x" << damaged;
        QTest::newRow("invalid utf-8 line skipped")
            << QByteArray("a,1=\xC3\x28\nb,1=y") << "b,1=y" << damaged;
        QTest::newRow("no separator, bad position, bad abbreviation")
            << QByteArray("abc\na,0=x\na,10=x\na,x=y\na1,1=x\n,1=x\na,1=\nok,1=a=b,c")
            << "ok,1=a=b,c" << damaged;
        QTest::newRow("unknown escapes kept") << QByteArray("a,1=\\t\\") << "a,1=\\t\\" << ok;
        // Found by fuzz_phrase_text: the writer drops carriage returns, so a
        // phrase holding one read differently after a round trip.
        QTest::newRow("carriage returns are no part of a phrase")
            << QByteArray("a,1=x\ry\r\nb,1=\r\r\n") << "a,1=xy" << damaged;
        QTest::newRow("too long") << QByteArray("a,1=") + QByteArray(1001, 'x') << "" << damaged;
        QTest::newRow("empty") << QByteArray() << "" << ok;
    }

    void phraseText()
    {
        QFETCH(QByteArray, data);
        Phrases phrases;
        const int status = PhraseTextFile::decode(data.toStdString(), phrases);
        QTEST(describe(phrases), "expected");
        QTEST(status, "status");
    }

    void phraseTextWritesOnlyReadableLines()
    {
        // Found by fuzz_phrase_binary: a phrase of carriage returns alone
        // was exported as a line the reader refuses.
        const Phrases phrases{{L"a", L"\r", 1}, {L"b", L"x\r\ny", 2}};
        QCOMPARE(QString::fromStdString(PhraseTextFile::encode(phrases)).section('\n', 2),
                 QStringLiteral("b,2=x\\ny\n"));
        Phrases read;
        QCOMPARE(int(PhraseTextFile::decode(PhraseTextFile::encode(phrases), read)),
                 int(PhraseBinaryFile::Ok));
        QCOMPARE(describe(read), QStringLiteral("b,2=x\ny"));
    }

    void phraseBinary_data()
    {
        const std::string good = PhraseBinaryFile::encode({{L"a", L"x", 1}, {L"b", L"好", -2}});
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("status");
        const int ok = PhraseBinaryFile::Ok, damaged = PhraseBinaryFile::Damaged,
                  refused = PhraseBinaryFile::Refused;
        QTest::newRow("good") << bytes(good) << "a,1=x|b,-2=好" << ok;
        QTest::newRow("truncated keeps the whole entries")
            << bytes(good.substr(0, good.size() - 2)) << "a,1=x" << damaged;
        QTest::newRow("trailing byte") << bytes(good + 'x') << "a,1=x|b,-2=好" << damaged;
        std::string changed = good;
        changed[8] = 2;
        QTest::newRow("other version") << bytes(changed) << "" << refused;
        QTest::newRow("foreign") << QByteArray("PK\3\4 not ours at all") << "" << refused;
        QTest::newRow("empty") << QByteArray() << "" << refused;
        changed = good;
        changed[15] = '\x7F';
        QTest::newRow("hostile count") << bytes(changed) << "" << refused;
        changed = good;
        changed[16 + 4] = '\xFF', changed[16 + 5] = '\xFF';
        QTest::newRow("hostile length") << bytes(changed) << "" << damaged;
        changed = good;
        changed[16] = 10;
        QTest::newRow("position out of range skipped") << bytes(changed) << "b,-2=好" << damaged;
    }

    void phraseBinary()
    {
        QFETCH(QByteArray, data);
        Phrases phrases;
        const int status = PhraseBinaryFile::decode(data.toStdString(), phrases);
        QTEST(describe(phrases), "expected");
        QTEST(status, "status");
    }

    void damagedPhraseFilesNeverReplaceGoodOnes()
    {
        const QString bin = mRoot.filePath("c.bin"), txt = mRoot.filePath("c.txt");
        QVERIFY(PhraseBinaryFile::write(bin.toStdString(), {{L"keep", L"me", 1}}));
        Phrases none;
        QVERIFY(!run(kPinyin, ec_convertTextToDic, none, bin, txt)); // no text file
        QVERIFY(writeFile(txt, "x"));
        QVERIFY(!run(kPinyin, ec_genPhraseEditText, none, txt, bin)); // foreign input
        Phrases kept;
        QCOMPARE(int(PhraseBinaryFile::read(bin.toStdString(), kept)), int(PhraseBinaryFile::Ok));
        QCOMPARE(describe(kept), QStringLiteral("keep,1=me"));
        QByteArray many;
        for (int i = 0; i < 100000; ++i)
            many += "ab,1=" + QByteArray::number(i) + '\n';
        QVERIFY(writeFile(txt, many));
        QVERIFY(run(kPinyin, ec_convertTextToDic, none, bin, txt));
        QCOMPARE(int(PhraseBinaryFile::read(bin.toStdString(), kept)), int(PhraseBinaryFile::Ok));
        QCOMPARE(int(kept.size()), 100000);
    }

    // "valid" when added (read in full), "listed" when listed as installed
    // (header and size only): a damaged entry still lists.
    void kcelReader_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<bool>("listed");
        const QByteArray good = bytesOf(sample());
        const int idNul = 24 + 4; // header, then id "demo"
        QTest::newRow("valid") << good << true << true;
        QTest::newRow("empty") << QByteArray() << false << false;
        QTest::newRow("truncated entry") << good.left(good.size() - 3) << false << true;
        QTest::newRow("trailing byte") << good + 'x' << false << true;
        QTest::newRow("entries cut off") << good.left(good.size() - 40) << false << false;
        QTest::newRow("other identifier") << patched(good, 0, "KCEX") << false << false;
        QTest::newRow("count too high")
            << patched(good, 16, literalBytes("\x04\0\0\0")) << false << true;
        QTest::newRow("count far too low")
            << patched(bytesOf(sample(0)) + QByteArray(20000, 'x'), 16, literalBytes("\x01\0\0\0"))
            << false << false;
        QTest::newRow("huge count") << patched(good, 16, "\xff\xff\xff\xff") << false << false;
        QTest::newRow("string length past end")
            << patched(good, 20, "\xff\xff\0\0") << false << false;
        QTest::newRow("no terminator") << patched(good, idNul, "x") << false << false;
        QTest::newRow("negative date") << patched(good, 8, QByteArray(8, '\xff')) << false << false;
        QByteArray binary(4096, '\0');
        for (int i = 0; i < binary.size(); ++i)
            binary[i] = char(i * 37 + 11);
        QTest::newRow("binary after identifier") << QByteArray("KCEL") + binary << false << false;
        QTest::newRow("latin-1 name")
            << patched(good, idNul + 1 + 4, literalBytes("\xe9\xe9\xe9")) << false << false;
    }

    void kcelReader()
    {
        QFETCH(QByteArray, data);
        QFETCH(bool, valid);
        QFETCH(bool, listed);
        for (const bool listing : {false, true}) {
            s_inputOutputDicData info;
            if (listing)
                info.inputPath = mRoot.path().toStdWString();
            info.cellDicList.resize(2);
            info.cellDicList[0].strFilePath = write("t.kcel", data);
            info.cellDicList[1].strFilePath = L"/no/such.kcel";
            QVERIFY(kPinyin->DicOperation(ed_cellDict, ec_getCellDictInfo, info));
            const s_cellDicInfo &cell = info.cellDicList[0];
            QCOMPARE(cell.bValid, listing ? listed : valid);
            QVERIFY(!info.cellDicList[1].bValid);
            if (!cell.bValid)
                QVERIFY(cell.strId.empty() && cell.strName.empty() && cell.nWordsCount == 0);
            if (!valid || !cell.bValid)
                continue;
            // A valid file reads the same either way.
            QCOMPARE(QString::fromStdWString(cell.strId + L'|' + cell.strName + L'|' +
                                             cell.strType + L'|' + cell.strExample),
                     QStringLiteral("demo|演示词库|测试|苹果 香蕉"));
            QCOMPARE(cell.nWordsCount, int32_t(data == bytesOf(sample()) ? 3 : 0));
            QCOMPARE(cell.nDate, 1700000000);
        }
    }

    // Each shell writes its own data from the listed dictionaries only; a
    // damaged one is skipped with a notice and costs the others nothing.
    void rebuildWritesListedWordsPerShell()
    {
        KcelFile other = sample(1);
        other.id = "fruit";
        other.entries = {{"榴莲", "liu lian"}};
        const QByteArray demo = bytesOf(sample(2));
        std::wstring paths[] = {write("demo.kcel", demo), write("fruit.kcel", bytesOf(other)),
                                write("bad.kcel", "KCEL"), write("cut.kcel", demo.chopped(1))};
        wchar_t buffers[2][flat::kPathChars] = {};
        wcsncpy(buffers[0], paths[0].c_str(), flat::kPathChars - 1);
        wcsncpy(buffers[1], paths[2].c_str(), flat::kPathChars - 1);
        wchar_t *cells[] = {buffers[0], buffers[1]};
        flat::Request request{};
        wcsncpy(request.inputPath, mPinyin.toStdWString().c_str(), flat::kPathChars - 1);
        request.cellPaths = cells;
        request.cellCount = 2;
        for (auto *shell : {kPinyin, kWubi}) {
            flat::Result *result = nullptr;
            QVERIFY(shell->DicOperationFlat(ed_cellDict, ec_rebuildCellDict, &request, &result));
            QVERIFY(!result);
        }
        for (const QString &dir : {mPinyin, mWubi + '/'}) {
            QCOMPARE(readFile(dir + CellDictionaryStore::dataFileName()),
                     "# kaiwo cell data 2\n" + md5Of(demo) + '\n');
            QCOMPARE(
                readFile(dir + CellDictionaryStore::piecesDirName() + '/' + md5Of(demo) + ".txt"),
                piece("苹果\tpin yin\tdemo\n香蕉\t\tdemo\n", QString::fromStdWString(paths[0])));
        }
        int words = 0;
        QCOMPARE(rebuild({paths[3], paths[1], paths[2]}, &words),
                 "skipped " + QString::fromStdWString(paths[3]) + "\nskipped " +
                     QString::fromStdWString(paths[2]) + '\n');
        QCOMPARE(words, 1);
        QCOMPARE(cellData(), "# kaiwo cell data 2\n" + md5Of(bytesOf(other)) + '\n');
        // Switching every dictionary off empties the data.
        request.cellCount = 0;
        request.cellPaths = nullptr;
        flat::Result *result = nullptr;
        QVERIFY(kPinyin->DicOperationFlat(ed_cellDict, ec_rebuildCellDict, &request, &result));
        QCOMPARE(cellData(), QByteArray("# kaiwo cell data 2\n"));
    }

    // The tool's digest cache tells the shells which piece holds a file's
    // words, so a file it vouches for is not read; a cache that is of
    // another version, damaged or stale is not believed.
    void digestCacheDecidesWhatIsRead_data()
    {
        QTest::addColumn<int>("folder");
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("trusted");
        QTest::newRow("as written") << 0 << "" << true;
        QTest::newRow("other version") << 1 << "version" << false;
        QTest::newRow("damaged line") << 2 << "line" << false;
        QTest::newRow("file replaced") << 3 << "file" << false;
        QTest::newRow("other file size") << 4 << "size" << false;
    }

    void digestCacheDecidesWhatIsRead()
    {
        QFETCH(int, folder);
        QFETCH(QString, change);
        QFETCH(bool, trusted);
        const QString dir = settled(folder), path = dir + "a.kcel";
        QByteArray cache = cacheDigests(dir, {"a.kcel"});
        // A digest no file has, with a piece of its own: only a trusted
        // cache leads the shell there instead of to the file.
        const QByteArray fake(32, 'e');
        cache.replace(md5Of(readFile(path)), fake);
        if (change == "version")
            cache.replace("digests 1", "digests 2");
        else if (change == "line")
            cache += "junk\n";
        else if (change == "file")
            writeFile(path, bytesOf(sample(3)));
        else if (change == "size")
            cache.replace('\t' + QByteArray::number(readFile(path).size()) + '\t', "\t1\t");
        QVERIFY(writeFile(dir + DigestCache::fileName(), cache));
        QVERIFY(QDir().mkpath(mPinyin + CellDictionaryStore::piecesDirName()));
        QVERIFY(writeFile(piecePath(fake), piece("假\t\tdemo\n", path)));
        int words = 0;
        QCOMPARE(rebuild({path.toStdWString()}, &words), QString());
        const QByteArray used = trusted ? fake : md5Of(readFile(path));
        QCOMPARE(cellData(), "# kaiwo cell data 2\n" + used + '\n');
        QCOMPARE(words, trusted ? 1 : change == "file" ? 3 : 2);
        // A piece no file needs any more is dropped.
        QCOMPARE(QFile::exists(piecePath(fake)), trusted);
    }

    // Pieces of files still installed stay when switched off, so switching
    // back reads nothing; those of removed files and cut writes go.
    void rebuildKeepsPiecesOfInstalledFiles()
    {
        const QString dir = settled(kSettledFolders - 1);
        const QString a = dir + "a.kcel", b = dir + "b.kcel";
        cacheDigests(dir, {"a.kcel", "b.kcel"});
        QCOMPARE(rebuild({a.toStdWString(), b.toStdWString()}), QString());
        const QByteArray pieceA = md5Of(readFile(a)), pieceB = md5Of(readFile(b));
        const QString cut = piecePath(pieceB) + ".Xy12ab", foreign = piecePath("") + "notes";
        QVERIFY(writeFile(cut, "# kaiwo") && writeFile(foreign, "mine"));
        QCOMPARE(rebuild({a.toStdWString()}), QString());
        QCOMPARE(cellData(), "# kaiwo cell data 2\n" + pieceA + '\n');
        QVERIFY(QFile::exists(piecePath(pieceB)) && QFile::exists(foreign));
        QVERIFY(!QFile::exists(cut));
        QVERIFY(QFile::remove(b));
        QCOMPARE(rebuild({a.toStdWString()}), QString());
        QVERIFY(!QFile::exists(piecePath(pieceB)) && QFile::exists(piecePath(pieceA)));
    }

    void makerToolBuildsDictionary()
    {
        const QString words = mRoot.filePath("words.txt");
        writeFile(words, "# comment\n一\n二 er\n\n三  san \n四\n五\n六\n七\n八\n");
        const QString out = mRoot.filePath("数字.kcel");
        QCOMPARE(QProcess::execute(KAIWO_MAKE_KCEL, {"--name", "数字", "--category", "数学",
                                                     "--date", "86400", words, out}),
                 0);
        KcelFile kcel;
        QVERIFY(kcel.read(out.toStdString()));
        QCOMPARE(QString::fromStdString(kcel.id + '|' + kcel.category + '|' + kcel.examples),
                 QStringLiteral("数字|数学|一 二 三 四 五 六 七"));
        QCOMPARE(kcel.entries.size(), size_t(8));
        QCOMPARE(QString::fromStdString(kcel.entries[2].pinyin), QStringLiteral("san"));
        QCOMPARE(kcel.date, int64_t(86400));
        for (const QStringList &bad : {QStringList{words, out}, QStringList{"--name", "x", words},
                                       QStringList{"--name", "x", "--date", "-5", words, out}})
            QVERIFY(QProcess::execute(KAIWO_MAKE_KCEL, bad) != 0);
    }

    void dictionaryMergeKeepsTheHigherFrequency()
    {
        UserDictionary merged({{"b", "乙", 5}, {"a", "甲", 1}});
        merged.merge(UserDictionary({{"b", "乙", 3}, {"a", "甲", 9}, {"a", "丙", 2}}));
        QCOMPARE(merged.entries(),
                 (QVector<UserDictionary::Entry>{{"a", "丙", 2}, {"a", "甲", 9}, {"b", "乙", 5}}));
    }

    void dictionaryText()
    {
        const QByteArray text = TextDictionaryFile::encode(dictionary(), Kind::Wubi);
        QCOMPARE(text, QByteArray("KaiwoUserDictionary 1 wubi\na\t啊 \"'\t0\nni'hao\t你好\t7\n"
                                  "ni'hao\t拟好\t4294967295\nxiao\t𠀀笑\t1\n"));
        UserDictionary read;
        QVERIFY(TextDictionaryFile::decode(text, Kind::Wubi, &read));
        QCOMPARE(read, dictionary());
        // Windows line ends, blank lines and a header-only file are fine.
        QVERIFY(TextDictionaryFile::decode("KaiwoUserDictionary 1 wubi\r\n\r\nx\tX\t1\r\n\n",
                                           Kind::Wubi, &read));
        QCOMPARE(read, UserDictionary({{"x", "X", 1}}));
        QVERIFY(TextDictionaryFile::decode("KaiwoUserDictionary 1 english", Kind::English, &read));
        QVERIFY(read.isEmpty());
    }

    void dictionaryTextRefused_data()
    {
        QTest::addColumn<QByteArray>("data");
        const QByteArray header = "KaiwoUserDictionary 1 pinyin\n";
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("another kind") << QByteArray("KaiwoUserDictionary 1 wubi-pinyin\na\tb\t1\n");
        QTest::newRow("another version") << QByteArray("KaiwoUserDictionary 2 pinyin\n");
        QTest::newRow("no header") << QByteArray("a\tb\t1\n");
        QTest::newRow("NUL byte") << header + literalBytes("a\tb\t1\n\0");
        QTest::newRow("bad UTF-8") << header + "a\t\xff\xfe\t1\n";
        QTest::newRow("cut UTF-8") << header + "a\t\xe4\xbd";
        QTest::newRow("two fields") << header + "a\tb\n";
        QTest::newRow("four fields") << header + "a\tb\t1\t2\n";
        QTest::newRow("empty word") << header + "a\t\t1\n";
        QTest::newRow("control char") << header + "a\tb\x1b\t1\n";
        QTest::newRow("delete char") << header + "a\tb\x7f\t1\n";
        QTest::newRow("lone surrogate") << header + "a\t\xed\xa0\x80\t1\n";
        QTest::newRow("too long") << header + "a\t" + QByteArray(257, 'w') + "\t1\n";
        for (const char *frequency : {"", "-1", "+1", " 1", "1.5", "0x1", "4294967296"})
            QTest::addRow("frequency '%s'", frequency) << header + "a\tb\t" + frequency + "\n";
    }

    void dictionaryTextRefused()
    {
        QFETCH(QByteArray, data);
        UserDictionary untouched = dictionary();
        QVERIFY(!TextDictionaryFile::decode(data, Kind::Pinyin, &untouched));
        QCOMPARE(untouched, dictionary());
    }

    void dictionaryCompiledRefusesAnyDamage()
    {
        const QByteArray data = PinyinDictionaryFile::encode(dictionary());
        QVERIFY(data.startsWith("KWPYDICT\x01\x00\x04\x00\x00\x00"));
        UserDictionary read;
        QVERIFY(PinyinDictionaryFile::decode(data, &read));
        QCOMPARE(read, dictionary());
        QVERIFY(PinyinDictionaryFile::decode(PinyinDictionaryFile::encode({}), &read));
        QVERIFY(read.isEmpty());
        // Every cut, every changed byte and any extra byte is refused.
        read = dictionary();
        for (int size = 0; size < data.size(); ++size)
            QVERIFY2(!PinyinDictionaryFile::decode(data.left(size), &read),
                     qPrintable(QString::number(size)));
        for (int i = 0; i < data.size(); ++i) {
            QByteArray damaged = data;
            damaged[i] = char(damaged[i] ^ 0x20);
            QVERIFY2(!PinyinDictionaryFile::decode(damaged, &read), qPrintable(QString::number(i)));
        }
        QVERIFY(!PinyinDictionaryFile::decode(data + '\0', &read));
        QCOMPARE(read, dictionary());
    }

    // Only small regular files are read, up to the limit itself whole; a
    // write replaces the file whole or leaves everything as it was.
    void dictionaryFileAccess()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("词库 \"x\" it's.txt"));
        QByteArray data;
        QVERIFY(UserDictionary::writeFileAtomically(path, "abc"));
        QVERIFY(QFile(path).resize(UserDictionary::kMaxFileSize));
        QVERIFY(UserDictionary::readFile(path, &data));
        QCOMPARE(data, "abc" + QByteArray(int(UserDictionary::kMaxFileSize) - 3, '\0'));
        QVERIFY(QFile(path).resize(UserDictionary::kMaxFileSize + 1));
        for (const QString &refused :
             {path, dir.path(), dir.filePath("missing"), QStringLiteral("/dev/zero"), QString()})
            QVERIFY2(!UserDictionary::readFile(refused, &data), qPrintable(refused));
        QVERIFY(UserDictionary::writeFileAtomically(path, "new"));
        QVERIFY(QDir().mkdir(dir.filePath("sub")));
        for (const QString &refused : {dir.filePath("sub"), dir.filePath("missing/x.txt"),
                                       path + QStringLiteral("/x.txt"), QString()})
            QVERIFY2(!UserDictionary::writeFileAtomically(refused, "x"), qPrintable(refused));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
                 (QStringList{"sub", "词库 \"x\" it's.txt"}));
        QCOMPARE(readFile(path), QByteArray("new"));
    }
};

QTEST_GUILESS_MAIN(TestStandInFiles)
#include "tst_standin_files.moc"
