// The double-pinyin schemes: the shipped ones, what the keyboard view is sent
// for them, and the model that lists, reads, edits and writes them.
#include "TestFiles.h"
#include "config/IniHelpers.h"
#include "config/IniParser.h"
#include "shuangpin/ShuangPinController.h"

#include <QtTest>

#include <map>

class TestShuangPin : public QObject
{
    Q_OBJECT

    static QString schemePath(const QString &scheme)
    {
        return ShuangPinController::ShuangPinInstallPath() + scheme + ".ini";
    }

    static ShuangPinController *model() { return ShuangPinController::self(); }

    static QString userScheme(const QString &name)
    {
        return ShuangPinController::localShuangPinPath() + name;
    }

    // "consonant|vowel1|vowel2" of every key, as shown or as edited.
    static QStringList table(bool edit)
    {
        QStringList items;
        for (int i = 0; i < ShuangPinController::KeyCount; ++i) {
            const SpKeyItem &item = edit ? model()->editItem(i) : model()->displayItem(i);
            items << QStringLiteral("%1|%2|%3").arg(item.consonant, item.vowel1, item.vowel2);
        }
        return items;
    }

    static int indexOf(char key) { return key == ';' ? 26 : key - 'A'; }

private slots:
    void initTestCase() { QVERIFY(QDir().mkpath(ShuangPinController::localShuangPinPath())); }

    // Every shipped scheme against itself: each zero-consonant syllable is
    // the empty key and its final's key, and the keyboard view is sent each
    // consonant on its key and, on every key, as many of its finals as fit.
    void shippedSchemes_data()
    {
        QTest::addColumn<QString>("scheme");
        for (const QFileInfo &file :
             QDir(ShuangPinController::ShuangPinInstallPath()).entryInfoList(QDir::Files))
            QTest::newRow(qPrintable(file.fileName())) << file.completeBaseName();
    }

    void shippedSchemes()
    {
        QFETCH(QString, scheme);
        n_kwxx::t_iniParser doc;
        QVERIFY(doc.Parser(QFile::encodeName(schemePath(scheme)).toStdString()));
        const auto keyOf = [&doc](const char *section, const std::string &name) {
            return QString::fromStdString(doc.GetKeyValueStr(section, name, "-"));
        };
        std::map<QChar, QStringList> finals{
            {'A', {"a"}}, {'E', {"e"}}, {'I', {"i"}}, {'O', {"o"}}, {'U', {"u"}}};
        for (const std::string &final : doc.Options("韵母")) {
            QStringList &onKey = finals[keyOf("韵母", final).at(0)];
            if (!onKey.contains(QString::fromStdString(final)))
                onKey << QString::fromStdString(final);
        }
        for (const std::string &final : doc.Options("零声母音节的韵母"))
            QCOMPARE(keyOf("零声母音节的韵母", final),
                     keyOf("声母", "empty") + (final.size() == 1
                                                   ? QString::fromStdString(final).toUpper()
                                                   : keyOf("韵母", final)));
        QSignalSpy spy(model(), &ShuangPinController::qmlKeyValueChanged);
        model()->showCurrentShuangPin(schemePath(scheme));
        QCOMPARE(spy.size(), ShuangPinController::KeyCount);
        for (const QList<QVariant> &row : spy) {
            const QChar key = row.at(1).toString().at(0);
            // The letter rule: consonant letters stand for themselves.
            QString consonant =
                QString("AEIOUV;").contains(key) ? QString() : QString(key.toLower());
            for (const std::string &name : doc.Options("声母"))
                if (keyOf("声母", name) == key)
                    consonant = name == "empty" ? " " : QString::fromStdString(name);
            QCOMPARE(QString(key) + ':' + row.at(2).toString(), QString(key) + ':' + consonant);
            const QStringList shown =
                QStringList{row.at(3).toString(), row.at(4).toString()}.filter(QRegExp(".+"));
            QCOMPARE(shown.size(), std::min(2, int(finals[key].size())));
            for (const QString &final : shown)
                QVERIFY2(finals[key].contains(final), qPrintable(QString(key) + ": " + final));
        }
    }

    // The product's own scheme is the model's default table with er and
    // the ü-forms placed.
    void kaiwoIsTheDefaultTable()
    {
        QTemporaryFile blank;
        QVERIFY(blank.open());
        QVERIFY(model()->LoadSpScheme(blank.fileName()));
        QStringList expected = table(false);
        expected[indexOf('R')] = QStringLiteral("r|er|uan");
        expected[indexOf('P')] = QStringLiteral("p|un|vn");
        QVERIFY(model()->LoadSpScheme(schemePath("Kaiwo")));
        QCOMPARE(table(false), expected);
    }

    // Per-user schemes first, then the shipped ones; a per-user title hides
    // a shipped one of the same title, and of equal titles the last listed
    // file wins. Files that are not ".ini" or hold serialised values are
    // left out; junk lists untitled.
    void discovery()
    {
        const QByteArray title = "\n[metadata]\ntitle=%1\n";
        writeFile(userScheme("wr.ini"), QByteArray(title).replace("%1", "微软双拼"));
        writeFile(userScheme("one.ini"), QByteArray(title).replace("%1", "我的"));
        writeFile(userScheme("two.ini"), QByteArray(title).replace("%1", "我的"));
        writeFile(userScheme("skip.INI"), QByteArray(title).replace("%1", "不算"));
        writeFile(userScheme("junk.ini"), literalBytes("\x00\xff\xfe\x80 no title\n"));
        // QSettings aborted Qt on such a value.
        writeFile(userScheme("bad.ini"), QByteArray(title).replace("%1", "坏") +
                                             "x=@Variant(\\0\\0\\0\\v\\x7f\\xff\\xff\\xff)\n");
        model()->loadShuangPinConf();
        QStringList expected;
        QString lastMine;
        for (const QFileInfo &file : QDir(ShuangPinController::localShuangPinPath())
                                         .entryInfoList(QDir::Files, QDir::Unsorted)) {
            const QString name = file.fileName();
            if (name.endsWith("ini") && name != "bad.ini") {
                expected << (name == "junk.ini" ? QString()
                             : name == "wr.ini" ? QStringLiteral("微软双拼")
                                                : QStringLiteral("我的"));
                if (expected.last() == QStringLiteral("我的"))
                    lastMine = file.absoluteFilePath();
            }
        }
        for (const QFileInfo &file : QDir(ShuangPinController::ShuangPinInstallPath())
                                         .entryInfoList(QDir::Files, QDir::Unsorted)) {
            const QString t = QString::fromUtf8(getCfgValueString(
                QFile::encodeName(file.absoluteFilePath()), "metadata:title", ""));
            if (t != QStringLiteral("微软双拼"))
                expected << t;
        }
        QCOMPARE(model()->mSchemeTitles, expected);
        QCOMPARE(model()->mSchemeFiles.value("微软双拼"), userScheme("wr.ini"));
        QCOMPARE(model()->mSchemeFiles.value("我的"), lastMine);
        QCOMPARE(model()->mSchemeFiles.value("小鹤双拼"), schemePath("XiaoHe"));
        for (const char *name : {"wr.ini", "one.ini", "two.ini", "skip.INI", "junk.ini", "bad.ini"})
            QFile::remove(userScheme(name));
    }

    // Shown, a final without a key takes the default table's; edited, its
    // own letter. Empty and binary files show the default table; missing
    // and damaged ones change nothing.
    void defaultsAndBadInput()
    {
        QByteArray kaiwo = readFile(schemePath("Kaiwo"));
        writeFile(userScheme("noer.x"), kaiwo.replace("er=R\n", "").replace("er=OR\n", ""));
        QVERIFY(model()->LoadSpScheme(userScheme("noer.x")));
        QCOMPARE(table(false).at(indexOf('R')), QStringLiteral("r|uan|van"));
        QVERIFY(model()->BaseOnScheme(userScheme("noer.x")));
        QCOMPARE(table(true).at(indexOf('E')), QStringLiteral("|e|er"));
        QVERIFY(model()->unassignedSyllables().empty());

        writeFile(userScheme("empty.x"), "");
        writeFile(userScheme("binary.x"), literalBytes("\x00\x01\xff\xfe\x80\x7f\n\x00"));
        writeFile(userScheme("repeat.x"), "[韵母]\nai=B\n[韵母]\n");
        QVERIFY(model()->LoadSpScheme(userScheme("empty.x")));
        const QStringList defaults = table(false);
        QCOMPARE(defaults.at(indexOf('V')), QStringLiteral("zh|ui|"));
        QCOMPARE(defaults.at(indexOf('O')), QStringLiteral(" |o|uo"));
        QCOMPARE(defaults.at(indexOf('L')), QStringLiteral("l|ai|"));
        QVERIFY(model()->LoadSpScheme(userScheme("binary.x")));
        QCOMPARE(table(false), defaults);
        const QStringList edit = table(true);
        for (const char *bad : {"missing.x", "repeat.x"}) {
            QVERIFY(!model()->LoadSpScheme(userScheme(bad)));
            QVERIFY(!model()->BaseOnScheme(userScheme(bad)));
            QCOMPARE(table(false), defaults);
            QCOMPARE(table(true), edit);
        }
    }

    void editingRules()
    {
        auto *m = model();
        m->LoadBaseSpScheme();
        QVERIFY(!m->IsConflict("ia", "ua"));
        QVERIFY(m->IsConflict("er", "a"));
        QVERIFY(!m->IsConflict("er", "ai"));
        m->currentSyllableKeyChange("ua", 'W');
        int index = -1;
        QVERIFY(m->getSyllablechoiceList("ia", index).contains("W"));
        m->currentSyllableKeyChange("ia", 'W');
        QCOMPARE(table(true).at(indexOf('W')), QStringLiteral("w|ua|ia"));
        m->removeCurrentChoiceSyllable("ua");
        QCOMPARE(table(true).at(indexOf('W')), QStringLiteral("w|ia|"));
        QVERIFY(!m->RemoveSyllable("ua"));
        QVERIFY(!m->AddSyllableOnKey("ch", 'B'));
        m->currentSyllableKeyChange("ing", ';');
        QCOMPARE(m->getSyllablechoiceList("ing", index).at(index), QStringLiteral(";"));
        QCOMPARE(m->currentKey(), ';');
        QVERIFY(!m->IsFinishSpScheme());
        QVERIFY(!m->keepNewSpScheme("未完", "partial.ini"));
        QVERIFY(!QFile::exists(userScheme("partial.ini")));
    }

    void saveByteForByte()
    {
        // An older, longer file of the same name is replaced whole.
        QVERIFY(writeFile(userScheme("mine.ini"), QByteArray(20000, 'x')));
        QVERIFY(model()->BaseOnScheme(schemePath("Kaiwo")));
        QVERIFY(model()->keepNewSpScheme("我的双拼", "mine.ini"));
        QCOMPARE(model()->mCurrentSchemeName, QStringLiteral("我的双拼"));
        // The shipped file's layout, without what no key table holds: a
        // third final on one key (van on R) and the zero consonant's key.
        QCOMPARE(readFile(userScheme("mine.ini")), readFile(schemePath("Kaiwo"))
                                                       .replace("title=凯沃双拼", "title=我的双拼")
                                                       .replace("van=R\n", "")
                                                       .replace("empty=O\n", ""));
        model()->LoadSpScheme(schemePath("Kaiwo"));
        const QStringList original = table(false);
        model()->LoadSpScheme(userScheme("mine.ini"));
        QCOMPARE(table(false), original);
        QFile::remove(userScheme("mine.ini"));
    }
};

QTEST_GUILESS_MAIN(TestShuangPin)
#include "tst_shuangpin.moc"
