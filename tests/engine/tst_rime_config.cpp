// The translation of the tool's files into Rime, proven by typing through
// librime with what it wrote: settings, fuzzy pairs, corrections, every
// shipped double-pinyin scheme, the sentences the language model makes,
// and bad files that must change nothing.
#include "ConfigTranslator.h"
#include "EnglishTyping.h"
#include "InputModes.h"
#include "PhraseBinaryFile.h"
#include "PhraseBook.h"
#include "PhraseFilter.h"
#include "RimeEngine.h"
#include "RimeSchema.h"
#include "SentenceFilter.h"
#include "SentenceModel.h"
#include "TestFiles.h"
#include "UserDictionaries.h"
#include "WordTablesBuild.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <memory>

namespace
{

const int kForgetWords = 400;

QString forgetWord(int i)
{
    return QStringLiteral("凯沃%1").arg(i);
}

// Run as its own process by killWhileForgetting: forgets every other word
// through the engine's own code, a line out after each.
int forgetEveryOther(const char *rimeDir)
{
    RimeEngine rime("/usr/share/rime-data", rimeDir);
    if (!rime.deploy(false))
        return 1;
    UserDictionaries dictionaries(&rime, QString::fromLocal8Bit(rimeDir));
    for (int i = 0; i < kForgetWords; i += 2) {
        dictionaries.forget(UserDictionaries::Kind::Pinyin, QString(), forgetWord(i));
        std::printf("%d\n", i);
        std::fflush(stdout);
    }
    return 0;
}

} // namespace

class TestRimeConfig : public QObject
{
    Q_OBJECT

    // A HOME of spaces, quotes and Chinese: every path stays one argument.
    QTemporaryDir mHome{QDir::tempPath() + QStringLiteral("/kaiwo home \"凯沃\" 'q'-XXXXXX")};
    ConfigTranslator::Paths mPaths;
    std::unique_ptr<RimeEngine> mRime;
    std::shared_ptr<const SentenceModel> mModel;

    ConfigTranslator::Outcome translate()
    {
        ConfigTranslator::Outcome outcome = ConfigTranslator(mPaths).apply();
        if (outcome.rimeChanged || !mRime->ready())
            mRime->deploy(true);
        if (!QFile::exists(mPaths.rimeDir + QStringLiteral("build/kaiwo_english_words.stamp")))
            buildWordTables();
        return outcome;
    }

    // The English and cell words' tables, built as the addon builds them.
    CellWords::Outcome buildWordTables()
    {
        WordTablesBuild tables(mPaths.pinyinDir, mPaths.rimeDir, "/usr/share/rime-data");
        tables.start();
        std::optional<CellWords::Outcome> outcome;
        for (int wait = 0; wait < 600 && !(outcome = tables.takeFinished()); ++wait)
            QTest::qWait(100);
        if (outcome && outcome->changed)
            mRime->deploy(false);
        return outcome.value_or(CellWords::Outcome{false, 0, QStringLiteral("no end")});
    }

    // Writes env.ini ("Key=Value;..." over the shipped file), Fuzzy.dat and
    // Correction.ini as the tool does, then translates and redeploys.
    ConfigTranslator::Outcome configure(const QString &settings, const QByteArray &fuzzy = {},
                                        const QByteArray &corrections = "[Correction]\n")
    {
        {
            QSettings env(mPaths.pinyinDir + QStringLiteral("env.ini"), QSettings::IniFormat);
            env.beginGroup(QStringLiteral("Setting"));
            for (const QString &pair : settings.split(QLatin1Char(';'), Qt::SkipEmptyParts))
                env.setValue(pair.section(QLatin1Char('='), 0, 0),
                             pair.section(QLatin1Char('='), 1));
        }
        writeFile(mPaths.pinyinDir + QStringLiteral("Fuzzy.dat"),
                  "[Metadata]\nversion=1\n[Fuzzy]\n" + fuzzy + "[Gray]\n");
        writeFile(mPaths.pinyinDir + QStringLiteral("Correction.ini"), corrections);
        return translate();
    }

    QStringList type(const QByteArray &keys)
    {
        mRime->clear();
        for (const char key : keys) // XK_BackSpace, XK_Page_Down
            mRime->processKey(key == '\b' ? 0xff08 : key == '\f' ? 0xff56 : key, 0);
        QStringList candidates;
        for (const RimeEngine::Candidate &candidate : mRime->state().candidates)
            candidates << QString::fromStdString(candidate.text);
        return candidates;
    }

    // Types in the mode the settings start in, through the addon's mode and
    // English rules: '^' is left Ctrl alone, '\r' Return, '\t' Tab.
    QString typeInMode(const EngineSettings &settings, const QByteArray &keys)
    {
        UserDictionaries dictionaries(mRime.get(), mPaths.rimeDir);
        InputModes modes(mRime.get(), &dictionaries);
        EnglishTyping english(mRime.get(), &dictionaries,
                              ConfigTranslator::englishDictionaryFile(mPaths.rimeDir));
        modes.configure(settings);
        english.configure(settings.english, settings.appearance.pageSize);
        mRime->clear();
        QString committed;
        for (const char key : keys) {
            const int sym = key == '\r' ? 0xff0d : key == '\t' ? 0xff09 : key == '^' ? 0xffe3 : key;
            const RimeEngine::State before = modes.english() ? english.state() : mRime->state();
            if (modes.keyPressed(sym, 0, before))
                continue;
            if (key == '^') {
                modes.keyReleased(sym, before);
            } else if (modes.english()) {
                committed += QString::fromStdString(english.keyPressed(sym, 0).commit);
            } else {
                mRime->processKey(sym, 0);
                const std::string text = mRime->takeCommit();
                modes.committed(before, text);
                committed += QString::fromStdString(text);
            }
        }
        return committed;
    }

private slots:

    void initTestCase()
    {
        QVERIFY(mHome.isValid());
        mPaths =
            ConfigTranslator::Paths::forHome(mHome.path(), QStringLiteral(KAIWO_SOURCE_DATA_DIR));
        // Copies of Debian's word list and Wubi table, which rows may spoil.
        mPaths.wordList = mPaths.pinyinDir + QStringLiteral("words.txt");
        mPaths.wubiTable = mPaths.pinyinDir + QStringLiteral("wubi86.dict.yaml");
        QVERIFY(QDir().mkpath(mPaths.userSchemeDir()));
        // A scheme made in the editor: 小鹤 with "ong" moved from S to ';',
        // and no "ve", which is then typed on the key of "ue".
        QByteArray mine =
            readFile(KAIWO_SOURCE_DATA_DIR "/KaiwoShell/dict/PCPYDict/ShuangPinSchemes/XiaoHe.ini");
        mine.replace("ong=S", "ong=;").replace("ve=T\n", "").replace("title=小鹤", "title=我的");
        QVERIFY(writeFile(mPaths.userSchemeDir() + "1234567.ini", mine));
        mRime.reset(new RimeEngine("/usr/share/rime-data",
                                   QFile::encodeName(mPaths.rimeDir).toStdString()));
        std::string problem;
        mModel = SentenceModel::load(std::string(), &problem);
        QVERIFY2(mModel, problem.c_str());
        SentenceFilter::setModel(mModel);
    }

    void init()
    {
        mRime->selectSchema(RimeSchema::schemaId());
        QFile::copy(QStringLiteral("/usr/share/dict/american-english"), mPaths.wordList);
        QFile::copy(QStringLiteral("/usr/share/rime-data/wubi86.dict.yaml"), mPaths.wubiTable);
        QFile::remove(mPaths.pinyinDir + QStringLiteral("env.ini"));
        QFile::copy(QStringLiteral(KAIWO_SOURCE_DATA_DIR "/KaiwoShell/dict/PCPYDict/env.ini"),
                    mPaths.pinyinDir + QStringLiteral("env.ini"));
        QFile(mPaths.pinyinDir + QStringLiteral("env.ini"))
            .setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    }

    // Settings, fuzzy pairs and corrections as the tool writes them, then the
    // first candidate, a word that must be offered and one that must not ("" for
    // none). Continuous pinyin that Rime's word frequencies alone turn into
    // other words: the model's sentence comes first, through every spelling rule.
    void typing_data()
    {
        addColumns<QString, QByteArray, QString, QString, QString, QByteArray, QByteArray>(
            {"settings", "keys", "first", "offered", "absent", "fuzzy", "corrections"});
        const auto row = [](const char *name, const QString &settings, const char *keys,
                            const char *first, const char *offered = "", const char *absent = "",
                            const char *fuzzy = "", const char *corrections = "[Correction]\n") {
            QTest::newRow(name) << settings << QByteArray(keys) << first << offered << absent
                                << QByteArray(fuzzy) << QByteArray(corrections);
        };
        const QString none, on = QStringLiteral("SplitZi=1;MakeName=1");
        const QString xiaohe = QStringLiteral("QuanPin=0;ShuangPin=1;ShuangPinName=XiaoHe;");
        const char *gn = "[Correction]\ngn=ng\n";
        row("full pinyin", none, "nihao", "你好");
        row("traditional by default", "DefaultTradition=1", "zhongguo", "中國", "", "中国");
        row("english by default", "DefaultNative=0", "nihao", "", "", "你好");
        row("initials abbreviate", none, "bjdx", "北京大学");
        row("no abbreviations", "ZCSForZhChSh=0", "bjdx", "", "", "北京大学");
        row("z = zh", "MohuSmart=0", "zongguo", "中国", "", "", "zh=z\n");
        row("without z = zh", "MohuSmart=0", "zongguo", "", "", "中国");
        row("smart fuzzy offers the others", "MohuSmart=1", "zongguo", "中国");
        row("in = ing", "MohuSmart=0", "bingxiang", "冰箱", "", "", "ing=in\n");
        row("correction gn", none, "zhognguo", "中国", "", "", "", gn);
        row("correction off", "Correction=0", "zhognguo", "", "", "中国", "", gn);
        row("a name never comes first", "MakeName=1", "wangluo", "网络");
        row("double pinyin also takes full pinyin", xiaohe + "AllowQuanPin=1", "zhongguo", "中国");
        row("double pinyin alone", xiaohe + "AllowQuanPin=0", "zhongguo", "", "", "中国");
        row("犇 by its parts", on, "niuniuniu", "", "犇");
        row("淼 by its parts", on, "shuishuishui", "", "淼");
        row("no parts with SplitZi off", "SplitZi=0", "niuniuniu", "", "", "犇");
        row("parts only where they end the input", on, "riyuehao", "", "日月", "明");
        row("a sentence before a character by its parts", on, "zaihei", "在黑", "䵧");
        row("a name", on, "wangxiaoming", "", "王晓明");
        row("no name with MakeName off", "MakeName=0", "wangxiaoming", "", "", "王晓明");
        row("history", none, "zaidangqianxingjinxinglishikuozhan", "在当前行进行历史扩展");
        row("features", none, "xinxizhongbaohanlesuoyouzhichidetexing",
            "信息中包含了所有支持的特性");
        row("place", none, "zhixingwenjianfangzhidedifang", "执行文件放置的地方");
        row("wish", none, "yuxiankankanpipeijieguoshifourunisuoyuan",
            "预先看看匹配结果是否如你所愿");
        row("service", none, "zishenyetigongyixiexiaodefuwu", "自身也提供一些小的服务");
        row("too fast", none, "danshinayoutaikuaile", "但是那又太快了");
        // Rime's 次 and 想 are likelier than 此 and 相, but not by as much as
        // the model's context says otherwise.
        row("this machine", none, "shezhicijiqidediliweizhi", "设置此机器的地理位置");
        row("matching", none, "xiangpipeidesuoyoubanbendebao", "相匹配的所有版本的包");
        // The model saw 一个 as 一 个: as a whole it is rare, and 十一 wins.
        row("one word as the model's two", none, "ranhoushiyige", "然后是一个");
        // 描述符 is a word of the model's dictionary, not of Rime's.
        row("model's word", none, "wenjianmiaoshufu", "文件描述符");
        // 手机与 reads better than 收集与, but not before 数据库.
        row("the word before the last", none, "shoujiyushujukuyouguandetongji",
            "收集与数据库有关的统计");
        // xu an where xuan is a syllable too: Rime all but forbids the split.
        row("an ambiguous joint", none, "yiyunxuanzhuang", "以允许安装");
        // The words kept from the last key must not outlive the letters erased.
        row("typed on, erased", none, "zaidangqianxingjinxinglishikuozhanxu\b\b",
            "在当前行进行历史扩展");
        // A sentence committed teaches its words too, 制定 misread for 指定
        // among them: that must not make it the next sentence's word.
        row("a sentence's misread word", none,
            "zaizhidingleyonghuminghezhongduanmingdeqingkuangxia yonglaizhidingcong", "用来指定从");
        row("double pinyin sentence", xiaohe + "AllowQuanPin=0", "xbxivsbchjlesoyzviiidetexk",
            "信息中包含了所有支持的特性");
        // Rime makes its own sentence whatever it is told: it must go too.
        row("no sentences", "NoPhrase=1", "zhixingwenjianfangzhidedifang", "", "",
            "执行文件房子的地方");
        // 空心 is kongxin, read through the in/ing pair only smart fuzzy offers.
        row("exact before fuzzy", "MohuSmart=1", "kongxing", "空行");
        // A word covering the input is weighed by the model too (Rime's 对其
        // is likelier), and a fuzzy one against words spelled as typed:
        // 社子岛 (she zi dao) is the only word covering shezhidao.
        row("a word as the model weighs it", none, "duiqi", "对齐");
        row("a sentence before a fuzzy word", "MohuSmart=1", "shezhidao", "设置到");
        // A page of smart-fuzzy near misses (显著 先哲 贤哲…) must leave
        // the single characters within reach.
        row("near misses leave room", "MohuSmart=1;PageSize=9", "xiangzhe", "", "相者", "香泽");
        // The first syllable's likeliest characters open the second page,
        // long input or one word's ('\f' turns the page).
        row("characters within reach", "PageSize=5", "zhiyuegao\f", "之", "值");
        row("characters of one word within reach", "PageSize=5", "xianyou\f", "先", "县");
        // Mid-syllable, Rime keeps every abbreviated reading of the letters
        // before (cha z h a: 查字法); they go a key later and must not
        // fill the pages meanwhile.
        row("no abbreviated readings mid-syllable", none, "chazhaolujingzhon\f\f", "", "",
            "查字法");
        // Trailing sh is the initial typed, not s and h (二十四号).
        row("sh at the end is one initial", none, "ershish", "", "", "二十四号");
        // And so is ch that letters follow, not c and ho (成佛).
        row("ch in the first syllable is one initial", none, "cho", "", "", "成佛");
        // Keys from the schemes' published tables, not from our files;
        // 1234567 is the user's scheme of initTestCase.
        const char *const schemes[][3] = {
            {"WeiRuan", "nihk", "vsgo"},    {"ZiRanMa", "nihk", "vsgo"},
            {"XiaoHe", "nihc", "vsgo"},     {"ZiGuang", "nihq", "uhgo"},
            {"ZhiNengABC", "nihk", "asgo"}, {"PinYinJiaJia", "nihd", "vygo"},
            {"GuoBiao", "nihc", "vsgo"},    {"Kaiwo", "nihk", "vsgo"},
            {"1234567", "nihc", "v;go"}};
        const QString scheme =
            QStringLiteral("QuanPin=0;ShuangPin=1;AllowQuanPin=0;ShuangPinName=");
        for (const auto &keys : schemes) {
            row(qPrintable(keys[0] + QStringLiteral(" nihao")), scheme + keys[0], keys[1], "你好");
            row(qPrintable(keys[0] + QStringLiteral(" zhongguo")), scheme + keys[0], keys[2],
                "中国");
        }
        row("1234567: lve wei", scheme + "1234567", "ltww", "", "略微");
    }

    void typing()
    {
        QFETCH(QString, settings);
        QFETCH(QByteArray, keys);
        QFETCH(QString, first);
        QFETCH(QString, offered);
        QFETCH(QString, absent);
        QFETCH(QByteArray, fuzzy);
        QFETCH(QByteArray, corrections);
        const ConfigTranslator::Outcome outcome = configure(settings, fuzzy, corrections);
        QVERIFY2(outcome.problems.isEmpty(), qPrintable(outcome.problems.join(QLatin1Char('\n'))));
        const QStringList candidates = type(keys);
        const QString page = candidates.join(QLatin1Char(' '));
        QVERIFY2(first.isEmpty() || candidates.value(0) == first, qPrintable(page));
        QVERIFY2(offered.isEmpty() || candidates.contains(offered), qPrintable(page));
        QVERIFY2(absent.isEmpty() || !candidates.contains(absent), qPrintable(page));
    }

    // The code line: the letters split at every syllable of the first
    // candidate, as Rime shows its words, sentences or not.
    void preedit_data()
    {
        addColumns<QString, QByteArray, QString>({"settings", "keys", "preedit"});
        const QString none, xiaohe = QStringLiteral("QuanPin=0;ShuangPin=1;ShuangPinName=XiaoHe");
        QTest::newRow("sentence") << none << QByteArray("bingbuqinglihuod")
                                  << "bing bu qing li huo d";
        QTest::newRow("double pinyin") << xiaohe << QByteArray("xbxivs") << "xb xi vs";
        QTest::newRow("word") << none << QByteArray("xianzai") << "xian zai";
        QTest::newRow("delimiter typed") << none << QByteArray("xi'an") << "xi'an";
    }

    void preedit()
    {
        QFETCH(QString, settings);
        QFETCH(QByteArray, keys);
        QFETCH(QString, preedit);
        configure(settings);
        type(keys);
        QCOMPARE(QString::fromStdString(mRime->state().preedit), preedit);
    }

    void damagedDataTables_data()
    {
        // names: the names' table, or else the parts'.
        addColumns<bool, QByteArray>({"names", "bytes"});
        QTest::newRow("names missing") << true << QByteArray();
        QTest::newRow("names binary") << true << QByteArray("# Kaiwo names 1\n\0\x01s\t\xff", 19);
        QTest::newRow("names cut short") << true << QByteArray("# Kaiwo names 1\ns\t王\twang\t");
        QTest::newRow("parts missing") << false << QByteArray();
        QTest::newRow("parts of nothing") << false << QByteArray("# Kaiwo chaizi 1\n犇\n");
    }

    void damagedDataTables()
    {
        QFETCH(bool, names);
        QFETCH(QByteArray, bytes);

        const QString on = QStringLiteral("SplitZi=1;MakeName=1");
        configure(on);
        QString &table = names ? mPaths.namesTable : mPaths.chaiziTable;
        const QString shipped = table;
        table = mHome.path() + QStringLiteral("/damaged table");
        if (!bytes.isEmpty())
            QVERIFY(writeFile(table, bytes));
        const ConfigTranslator::Outcome outcome = configure(on);
        table = shipped;
        // Reported, and the last good table goes on working.
        QVERIFY(!outcome.problems.isEmpty());
        QVERIFY(type("wangxiaoming").contains(QStringLiteral("王晓明")));
        QVERIFY(type("niuniuniu").contains(QStringLiteral("犇")));
        QCOMPARE(type("nihao").value(0), QStringLiteral("你好"));
        QFile::remove(mHome.path() + QStringLiteral("/damaged table"));
    }

    void badInputKeepsLastGoodConfiguration_data()
    {
        addColumns<QString, QByteArray>({"file", "bytes"});
        QTest::newRow("binary env.ini") << "env.ini" << literalBytes("\177ELF\0\1\2[Setting]");
        QTest::newRow("empty env.ini") << "env.ini" << QByteArray();
        QTest::newRow("huge env.ini")
            << "env.ini"
            << (QByteArray("[Setting]\nPageSize=5\n") + QByteArray(2 * 1024 * 1024, '#'));
        QTest::newRow("serialised value")
            << "env.ini" << QByteArray("[Setting]\nPageSize=@Variant(\\0\\0\\0\\x7f)\n");
        QTest::newRow("binary Fuzzy.dat") << "Fuzzy.dat" << QByteArray("[Fuzzy]\nzh=z\0\0", 13);
        QTest::newRow("scheme missing a syllable")
            << "ShuangPinSchemes/XiaoHe.ini" << QByteArray("[韵母]\nao=C\n[声母]\nzh=V\n");
        QTest::newRow("binary word list") << "words.txt" << QByteArray("hello\n\0\x01world\n", 14);
        QTest::newRow("word list without a word") << "words.txt" << QByteArray("Bach's\n3D\n");
        QTest::newRow("wubi table without characters")
            << "wubi86.dict.yaml" << QByteArray("---\nname: wubi86\n...\n中国\tkhlg\n");
    }

    void badInputKeepsLastGoodConfiguration()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);

        // A good configuration first: double pinyin on 小鹤, nine candidates.
        configure(QStringLiteral("PageSize=9;QuanPin=0;ShuangPin=1;ShuangPinName=XiaoHe"));
        QCOMPARE(type("ui").size(), 9);
        QCOMPARE(type("nihc").value(0), QStringLiteral("你好"));

        QVERIFY(writeFile(mPaths.pinyinDir + file, bytes));
        const ConfigTranslator::Outcome outcome = translate();
        QVERIFY(!outcome.problems.isEmpty());
        QCOMPARE(type("ui").size(), 9);
        QCOMPARE(type("nihc").value(0), QStringLiteral("你好"));
        QVERIFY(QFileInfo(ConfigTranslator::englishDictionaryFile(mPaths.rimeDir)).size() >
                1000000);
        QFile::remove(mPaths.pinyinDir + file);
    }

    void modes_data()
    {
        // commit: all that was committed; left: the input still composed; offered: a candidate
        // ("text comment" checks both); absent: a candidate that must not be there.
        addColumns<QString, QByteArray, QString, QString, QString, QString>(
            {"settings", "keys", "commit", "left", "offered", "absent"});

        const auto row = [](const char *name, const QString &settings, const char *keys,
                            const char *commit, const char *left, const char *offered = "",
                            const char *absent = "") {
            QTest::newRow(name) << settings << QByteArray(keys) << commit << left << offered
                                << absent;
        };
        const QString wubi = QStringLiteral("DefaultPinyin=0;");
        const QString english = QStringLiteral("DefaultEnglishInput=1;");
        const QString none;
        // Codes from Debian's wubi86.dict.yaml: 中国 khlg, 我 trnt, 工厂 aadg
        // (its only common word), 䔍 acu (a rare character), nothing begins
        // with "ach". Rows that commit leave what they teach to later rows.
        row("wubi code", wubi, "khlg", "", "khlg", "中国");
        row("wubi code hints", wubi, "khl", "", "khl", "中国 ~g");
        row("phrases on their full code only", wubi + "PhraseOnlyWhenFull=1", "khl", "", "khl",
            "盅", "中国");
        row("single characters", wubi + "SingleWordMode=1", "khl", "", "khl", "盅", "中国");
        row("unique four codes commit", wubi, "aadg", "工厂", "");
        row("unless MergeAutoOnScreen is off", wubi + "MergeAutoOnScreen=0", "aadg", "", "aadg",
            "工厂");
        row("fifth code commits the first", wubi, "trntk", "我", "k", "中");
        row("fifth code waits", wubi + "SubmitForFifth=0", "trntk", "", "trnt", "我");
        // Mixed input: a fifth letter ends only a full Wubi code ("shan" would).
        row("mixed: five letters of pinyin", wubi + "InputMode=0", "xiang", "", "xiang");
        row("temporary pinyin shows the codes", wubi, "^zhongguo", "", "zzhongguo", "中国 khlg");
        row("no temporary pinyin", wubi + "ActiveTempPY=0", "^zhongguo", "", "zhongguo", "",
            "中国");
        row("mixed pinyin", wubi + "InputMode=0;ActiveTempPY=0", "zhongguo", "", "zhongguo",
            "中国");
        row("rare characters hidden", wubi, "acu", "", "acu", "", "䔍");
        row("rare characters", wubi + "ActiveGBK=1", "acu", "", "acu", "䔍");
        row("empty code kept", wubi, "ach", "", "ach");
        row("empty code cleared", wubi + "CancelEmptyCode=1", "ach", "", "");
        row("Enter commits the code", wubi, "khlg\r", "khlg", "");
        row("Enter cancels", wubi + "MergeEnterUsage=1", "khlg\r", "", "");

        row("english word and a space", english, "hello ", "hello ", "");
        row("english completion by Tab", english, "helicopt\t", "helicopter ", "");
        row("capital first letter", english + "EnglishInput_AddSpace=0", "Helicopt\t", "Helicopter",
            "");
        const QString noLearning = english + "EnglishInput_LearnNewWord=0";
        row("Enter keeps what was typed", noLearning, "helicopt\r", "helicopt", "");
        row("a mark ends the word", noLearning, "helicopt.", "helicopt", "");
        row("star wildcard", english, "x*lophone", "", "x*lophone", "xylophone");
        row("star typed as is", english + "EnglishInput_StarAsWildcard=0", "x*", "x", "");
        row("new word learned", english, "qzxv qzx", "qzxv ", "qzx", "qzxv");
        row("english among pinyin", "PageSize=9", "hello", "", "hello", "hello");
        row("no english among pinyin", "EngFill=0;PageSize=9", "hello", "", "hello", "", "hello");
        row("web address typed whole", none, "www.kaiwo.cn/a?b=1\r", "www.kaiwo.cn/a?b=1", "");
        row("web address learned", none, "kai@wo.cn\rkai@", "kai@wo.cn", "kai@", "kai@wo.cn");
        row("no web addresses", "MailUrlFill=0", "kai@", "", "kai@", "", "kai@wo.cn");
        // KeyPageUpDown bits: 1 [ ], 2 - =, 4 , .
        row("- = turns pages", "KeyPageUpDown=2", "shi=", "", "shi", "", "是");
        row("- = turns back", "KeyPageUpDown=2", "shi=-", "", "shi", "是");
        row("[ ] turns pages", "KeyPageUpDown=1", "shi]", "", "shi", "", "是");
        row("[ ] turns back", "KeyPageUpDown=1", "shi][", "", "shi", "是");
        row(", . turns pages", "KeyPageUpDown=4", "shi.", "", "shi", "", "是");
        row(", . turns back", "KeyPageUpDown=4", "shi.,", "", "shi", "是");
        row("- = off: typed", "KeyPageUpDown=5", "shi=", "", "shi=");
        const QString hints = QStringLiteral("QuanPin=0;ShuangPin=1;ShuangPinName=XiaoHe;HintSP=");
        row("double pinyin hints", hints + "1", "nihc", "", "nihc", "你好 ni hao");
        row("a sentence's hints", hints + "5", "xbxivs", "", "xbxivs", "信息中 xin xi zhong");
        row("no double pinyin hints", hints + "0", "nihc", "", "nihc", "你好", "你好 ni hao");
    }

    void modes()
    {
        QFETCH(QString, settings);
        QFETCH(QByteArray, keys);
        QFETCH(QString, commit);
        QFETCH(QString, left);
        QFETCH(QString, offered);
        QFETCH(QString, absent);

        const ConfigTranslator::Outcome outcome = configure(settings);
        QVERIFY2(outcome.problems.isEmpty(), qPrintable(outcome.problems.join(QLatin1Char('\n'))));
        QCOMPARE(typeInMode(outcome.settings, keys), commit);
        EnglishTyping english(mRime.get(), nullptr,
                              ConfigTranslator::englishDictionaryFile(mPaths.rimeDir));
        english.configure(outcome.settings.english, outcome.settings.appearance.pageSize);
        const RimeEngine::State state = english.state();
        QCOMPARE(QString::fromStdString(state.input), left);
        QStringList candidates;
        for (const RimeEngine::Candidate &c : state.candidates)
            candidates << QString::fromStdString(c.comment.empty() ? c.text
                                                                   : c.text + ' ' + c.comment)
                       << QString::fromStdString(c.text);
        const QString page = candidates.join(QLatin1Char('|'));
        QVERIFY2(offered.isEmpty() || candidates.contains(offered), qPrintable(page));
        QVERIFY2(absent.isEmpty() || !candidates.contains(absent), qPrintable(page));
    }

    // Order learning off while new words are kept: a candidate chosen stays
    // where it was. In English input a completion chosen comes before the word
    // typed in full only when exact matches need not come first. The keys end
    // with the choice; "order" lists the fresh candidates that lead afterwards.
    void learnedOrder_data()
    {
        addColumns<QString, QByteArray, QList<int>>({"settings", "keys", "order"});
        const QString english = QStringLiteral("DefaultEnglishInput=1;EnglishInput_ExactMatches=");
        QTest::newRow("wubi, fixed")
            << QString("DefaultPinyin=0;MergeAdjustRate=0;AutoLearnNewWord=1")
            << QByteArray("khlg3") << QList<int>{0, 1, 2};
        QTest::newRow("english, fixed")
            << english + "0;EnglishInput_LearnFreq=0;EnglishInput_LearnNewWord=1"
            << QByteArray("the3") << QList<int>{0, 1, 2};
        QTest::newRow("english, exact first")
            << english + '1' << QByteArray("the2") << QList<int>{0};
        QTest::newRow("english, learned first")
            << english + '0' << QByteArray("the2") << QList<int>{1, 0};
    }

    void learnedOrder()
    {
        QFETCH(QString, settings);
        QFETCH(QByteArray, keys);
        QFETCH(QList<int>, order);
        const EngineSettings chosen = configure(settings).settings;
        typeInMode(chosen, "");
        const QStringList fresh = type(keys.chopped(1));
        QVERIFY(fresh.size() >= 3);
        QVERIFY(typeInMode(chosen, keys).startsWith(fresh.at(keys.back() - '1')));
        const QStringList after = type(keys.chopped(1));
        for (int i = 0; i < order.size(); ++i)
            QCOMPARE(after.value(i), fresh.at(order[i]));
        using Kind = UserDictionaries::Kind;
        QVERIFY(UserDictionaries(mRime.get(), mPaths.rimeDir).clear({Kind::Wubi, Kind::English}));
    }

    void learnedWordsExportClearImport_data()
    {
        // A third candidate chosen comes first next time, and is exported with
        // its code; clearing one dictionary leaves the pinyin words alone.
        // line: of the export, after the word.
        addColumns<int, QString, QByteArray, QByteArray>({"kind", "settings", "keys", "line"});
        using Kind = UserDictionaries::Kind;
        QTest::newRow("pinyin") << int(Kind::Pinyin) << "" << QByteArray("shiyan")
                                << QByteArray("\tshi yan\t1\n");
        QTest::newRow("wubi") << int(Kind::Wubi) << "DefaultPinyin=0" << QByteArray("khlg")
                              << QByteArray("\tkhlg\t1\n");
        QTest::newRow("english") << int(Kind::English) << "DefaultEnglishInput=1"
                                 << QByteArray("xyl") << QByteArray("xylophones\txylophones\t1\n");
    }

    void learnedWordsExportClearImport()
    {
        QFETCH(int, kind);
        QFETCH(QString, settings);
        QFETCH(QByteArray, keys);
        QFETCH(QByteArray, line);
        const UserDictionaries::Kind dictionary = UserDictionaries::Kind(kind);

        UserDictionaries dictionaries(mRime.get(), mPaths.rimeDir);
        InputModes(mRime.get(), &dictionaries).configure(configure(settings).settings);
        const QString exported = mHome.filePath(QStringLiteral("导出 'words'.txt"));
        // Rime has not created the mixed-input pinyin dictionary yet.
        QVERIFY(dictionaries.exportTo(UserDictionaries::Kind::WubiPinyin, exported));
        QCOMPARE(readFile(exported),
                 QByteArray("# Kaiwo user dictionary 1 wubi-pinyin\n# end 0\n"));
        const QStringList fresh = type(keys);
        QVERIFY(fresh.size() >= 3);
        const QString chosen = fresh.at(2);
        QVERIFY(mRime->selectOnPage(2));
        QCOMPARE(QString::fromStdString(mRime->takeCommit()), chosen);
        QCOMPARE(type(keys).value(0), chosen);

        QVERIFY(dictionaries.exportTo(dictionary, exported));
        const QByteArray withWord = readFile(exported);
        const QByteArray header = QByteArray("# Kaiwo user dictionary 1 ") +
                                  UserDictionaries::kindName(dictionary) + '\n';
        QVERIFY2(withWord.startsWith(header), withWord.constData());
        // Rime keeps luna_pinyin's traditional forms; the code tells the word.
        QVERIFY2(withWord.contains(line), withWord.constData());

        QVERIFY(dictionaries.clear({dictionary}));
        QVERIFY(dictionaries.exportTo(dictionary, exported));
        QCOMPARE(readFile(exported), header + "# end 0\n");
        QCOMPARE(type(keys).value(0), fresh.at(0));
        QVERIFY(dictionaries.exportTo(UserDictionaries::Kind::Pinyin, exported));
        QVERIFY2(dictionary == UserDictionaries::Kind::Pinyin ||
                     readFile(exported).contains("shi yan"),
                 "clearing one dictionary emptied the pinyin one");

        QVERIFY(writeFile(exported, withWord));
        QString error;
        QVERIFY2(dictionaries.importFrom(dictionary, exported, &error), qPrintable(error));
        QCOMPARE(type(keys).value(0), chosen);
    }

    void badImportChangesNothing_data()
    {
        const QByteArray header = "# Kaiwo user dictionary 1 pinyin\n";
        const QByteArray entry = "好人\thao ren\t3\n";
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("binary") << literalBytes("\177ELF\0\0\1");
        QTest::newRow("another kind")
            << QByteArray("# Kaiwo user dictionary 1 wubi\n" + entry + "# end 1\n");
        QTest::newRow("truncated after a line") << header + entry + entry;
        QTest::newRow("truncated in a line") << header + entry + "好";
        QTest::newRow("count that lies") << header + entry + "# end 2\n";
        QTest::newRow("invalid UTF-8") << header + "\xff\xfe\thao\t1\n# end 1\n";
        QTest::newRow("line of 1 MB")
            << header + QByteArray(1024 * 1024, 'a') + "\thao\t1\n# end 1\n";
        QTest::newRow("no uses") << header + "好人\thao ren\n# end 1\n";
    }

    void badImportChangesNothing()
    {
        QFETCH(QByteArray, bytes);
        configure(QString());
        UserDictionaries dictionaries(mRime.get(), mPaths.rimeDir);
        const QString before = mHome.filePath(QStringLiteral("before.txt"));
        const QString after = mHome.filePath(QStringLiteral("after.txt"));
        const QString bad = mHome.filePath(QStringLiteral("bad.txt"));
        QVERIFY(dictionaries.exportTo(UserDictionaries::Kind::Pinyin, before));
        QVERIFY(writeFile(bad, bytes));
        QString error;
        QVERIFY(!dictionaries.importFrom(UserDictionaries::Kind::Pinyin, bad, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(dictionaries.exportTo(UserDictionaries::Kind::Pinyin, after));
        QCOMPARE(readFile(after), readFile(before));
    }

    void unchangedFilesCostNoRedeploy()
    {
        QVERIFY(configure(QStringLiteral("PageSize=7")).rimeChanged);
        // The tool sends ReloadConfig and then RebuildKeyMap: the second call
        // finds nothing new.
        QVERIFY(!translate().rimeChanged);
        // A changed page size leaves the English words' index as it was.
        const QString index =
            mPaths.rimeDir + QStringLiteral("build/kaiwo_english_words.prism.bin");
        const QDateTime built = QFileInfo(index).lastModified();
        QVERIFY(built.isValid());
        QVERIFY(configure(QStringLiteral("PageSize=6")).rimeChanged);
        QCOMPARE(type("shi").size(), 6);
        QCOMPARE(QFileInfo(index).lastModified(), built);
    }

    // The phrases the shells compiled, at their positions among Rime's words;
    // a damaged file keeps the phrases loaded before.
    void customPhrases_data()
    {
        // expected: the first candidates, "*" for any.
        addColumns<QByteArray, bool, QStringList>({"keys", "builtIn", "expected"});

        QTest::newRow("second of hi")
            << QByteArray("hi") << false << QStringList{"*", "您好！", "*", "Hi\nthere"};
        QTest::newRow("first, then disabled left out")
            << QByteArray("ks") << false << QStringList{"凯沃输入法", "*"};
        QTest::newRow("built-in phrases on") << QByteArray("dh") << true << QStringList{"☎"};
        QTest::newRow("not a whole abbreviation") << QByteArray("hik") << false << QStringList{"*"};
    }

    void customPhrases()
    {
        QFETCH(QByteArray, keys);
        QFETCH(bool, builtIn);
        QFETCH(QStringList, expected);
        translate();
        const QString file = mPaths.pinyinDir + QStringLiteral("kwim_phrases.bin");
        QVERIFY(PhraseBinaryFile::write(QFile::encodeName(file).toStdString(),
                                        {{L"hi", L"您好！", 2},
                                         {L"HI", L"Hi\nthere", 4},
                                         {L"ks", L"凯沃输入法", 1},
                                         {L"ks", L"关掉的", -1}}));
        PhraseBook book;
        QString problem;
        const auto sources = PhraseBook::Sources::forFolders(
            mPaths.pinyinDir, QStringLiteral(KAIWO_SOURCE_DATA_DIR), builtIn);
        QVERIFY(PhraseBook::load(sources, &book, &problem));
        QVERIFY(writeFile(file, "KWPHRASE garbage"));
        QVERIFY(!PhraseBook::load(sources, &book, &problem)); // the book stays as it was
        QVERIFY(problem.contains(QLatin1String("kwim_phrases.bin")));
        PhraseFilter::setBook(std::make_shared<const PhraseBook>(book));

        const QStringList candidates = type(keys);
        for (int i = 0; i < expected.size(); ++i) {
            QVERIFY2(i < candidates.size(), qPrintable(candidates.join(' ')));
            if (expected[i] != QLatin1String("*"))
                QCOMPARE(candidates[i], expected[i]);
            else
                QVERIFY2(!candidates[i].contains(QLatin1String("关掉")), qPrintable(candidates[i]));
        }
        PhraseFilter::setBook(nullptr);
        QCOMPARE(type(keys).contains(expected.first()) && expected.first() != "*", false);
    }

    // The shell's cell data (a list of digests, a piece of words each) becomes
    // candidates once the build beside the session is done; words without
    // pinyin take their characters' readings; a cut piece keeps the words.
    void cellWords()
    {
        translate();
        const QString digest = QStringLiteral("0123456789abcdef0123456789abcdef");
        const auto writeCells = [&](const QByteArray &body, qint64 declared) {
            QDir().mkpath(mPaths.pinyinDir + "kaiwo_cells");
            QVERIFY(writeFile(mPaths.pinyinDir + "kaiwo_cells.txt",
                              "# kaiwo cell data 2\n" + digest.toLatin1() + "\n"));
            QVERIFY(writeFile(mPaths.pinyinDir + "kaiwo_cells/" + digest + ".txt",
                              "# kaiwo cell words 1\t2\t" + QByteArray::number(declared) +
                                  "\t/x.kcel\n" + body));
        };
        const auto build = [&] { return buildWordTables(); };
        const QByteArray words = "窝楷\t\tid\n楷窝\two'kai\tid\n";
        writeCells(words, words.size());
        CellWords::Outcome outcome = build();
        QVERIFY2(outcome.problem.isEmpty(), qPrintable(outcome.problem));
        QCOMPARE(outcome.words, 2);
        QCOMPARE(type("wokai").value(0), QStringLiteral("窝楷"));
        QVERIFY(type("wokai").contains(QStringLiteral("楷窝")));
        QVERIFY(!build().changed);
        // A build cut short (fcitx killed) leaves no stamp: the next one redoes it.
        QFile::remove(mPaths.rimeDir + "build/kaiwo_cells.stamp");
        QVERIFY(build().changed);

        writeCells(words, words.size() + 10); // cut short
        outcome = build();
        QVERIFY(outcome.problem.contains(QLatin1String("cut short")));
        QCOMPARE(type("wokai").value(0), QStringLiteral("窝楷"));

        // None checked.
        QVERIFY(writeFile(mPaths.pinyinDir + "kaiwo_cells.txt", "# kaiwo cell data 2\n"));
        QVERIFY(build().changed);
        QVERIFY(!type("wokai").contains(QStringLiteral("窝楷")));
    }

    void forgetLearnedWord_data()
    {
        QTest::addColumn<bool>("whileTyping"); // Shift+Delete, or the tool's delete
        QTest::newRow("while typing") << true;
        QTest::newRow("the tool") << false;
    }

    void forgetLearnedWord()
    {
        QFETCH(bool, whileTyping);
        using Kind = UserDictionaries::Kind;
        configure(QString());
        UserDictionaries dictionaries(mRime.get(), mPaths.rimeDir);
        QVERIFY(dictionaries.clear({Kind::Pinyin}));
        // Two words learned: a sentence taken whole (Rime's memory learns the
        // model's sentence as it learns its own), and one of two choices.
        type("danshinayoutaikuaile");
        QVERIFY(mRime->selectOnPage(0));
        type("nihaoshijie");
        QVERIFY(mRime->selectOnPage(1) && mRime->selectOnPage(2));
        QCOMPARE(QString::fromStdString(mRime->takeCommit()),
                 QStringLiteral("但是那又太快了你好时节"));
        const LearnedWordList::Word learned{QStringLiteral("ni hao shi jie"),
                                            QStringLiteral("你好时节"), 1};
        QVector<LearnedWordList::Word> words;
        QVERIFY(dictionaries.learnedWords(Kind::Pinyin, &words));
        QVERIFY(words.contains(learned));
        QCOMPARE(type("nihaoshijie").value(0), learned.word);

        if (whileTyping) {
            QVERIFY(dictionaries.forgetHighlighted());
            QCOMPARE(mRime->state().input, std::string("nihaoshijie"));
        } else {
            QVERIFY(dictionaries.forget(Kind::Pinyin, learned.pinyin, learned.word));
        }
        QVERIFY(!type("nihaoshijie").contains(learned.word));
        QVERIFY(!dictionaries.forget(Kind::Pinyin, learned.pinyin, learned.word));
        QVERIFY(dictionaries.learnedWords(Kind::Pinyin, &words));
        QVERIFY(!words.contains(learned));
        QCOMPARE(words.size(), 1);
        QCOMPARE(words.first().word, QStringLiteral("但是那又太快了"));
    }

    // Killed while forgetting words one after another, the dictionary stays
    // readable and keeps every word that was not asked for.
    void killWhileForgetting()
    {
        using Kind = UserDictionaries::Kind;
        configure(QString());
        UserDictionaries dictionaries(mRime.get(), mPaths.rimeDir);
        QVERIFY(dictionaries.clear({Kind::Pinyin}));
        QVector<QPair<QString, QString>> entries;
        for (int i = 0; i < kForgetWords; ++i)
            entries.append({forgetWord(i), QStringLiteral("kai wo")});
        QVERIFY(dictionaries.learn(Kind::Pinyin, entries));
        // Only while no session holds the dictionary can another process open it.
        mRime->withSessionClosed([&] {
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(),
                        {QStringLiteral("--forget-every-other"), mPaths.rimeDir});
            QByteArray progress;
            while (progress.count('\n') < 50 && child.waitForReadyRead(30000))
                progress += child.readAllStandardOutput();
            child.kill();
            child.waitForFinished();
            return true;
        });
        QVector<LearnedWordList::Word> words;
        QVERIFY(dictionaries.learnedWords(Kind::Pinyin, &words));
        QSet<QString> kept;
        for (const LearnedWordList::Word &word : words)
            kept.insert(word.word);
        int forgotten = 0;
        for (int i = 0; i < kForgetWords; ++i) {
            if (i % 2)
                QVERIFY2(kept.contains(forgetWord(i)), qPrintable(forgetWord(i)));
            else
                forgotten += !kept.contains(forgetWord(i));
        }
        QVERIFY2(forgotten >= 50, qPrintable(QString::number(forgotten)));
    }

    // A model that cannot be read is refused with a reason, and typing goes
    // on with Rime's own sentences.
    void damagedModel_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // the file's bytes; "-" for no file

        QFile model(QStringLiteral("/usr/lib/" KAIWO_MULTIARCH "/libime/zh_CN.lm"));
        QVERIFY(model.open(QIODevice::ReadOnly));
        QTest::newRow("missing") << QByteArray("-");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("truncated") << model.read(1 << 20);
        QTest::newRow("binary") << QByteArray(4096, '\xA5');
        QTest::newRow("header only") << model.read(64);
    }

    void damagedModel()
    {
        QFETCH(QByteArray, bytes);
        const QString path = mHome.filePath(QStringLiteral("模型 'lm'.bin"));
        QFile::remove(path);
        if (bytes != "-")
            QVERIFY(writeFile(path, bytes));
        std::string problem;
        QVERIFY(!SentenceModel::load(QFile::encodeName(path).toStdString(), &problem));
        QVERIFY(!problem.empty());

        SentenceFilter::setModel(nullptr);
        configure(QString());
        const QStringList candidates = type("zhixingwenjianfangzhidedifang");
        SentenceFilter::setModel(mModel);
        QVERIFY(!candidates.isEmpty());
        QVERIFY(candidates.first() != QStringLiteral("执行文件放置的地方"));
    }
};

int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--forget-every-other") == 0)
        return forgetEveryOther(argv[2]);
    QCoreApplication app(argc, argv);
    TestRimeConfig test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_rime_config.moc"
