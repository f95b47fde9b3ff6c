// The double-pinyin schemes: the shipped ones against the published key
// tables of the schemes they claim to be (every key, the zero-consonant
// section, what the keyboard view is sent), and the model that lists,
// reads, edits and writes them.
#include "TestFiles.h"
#include "config/IniParser.h"
#include "shuangpin/ShuangPinController.h"

#include <QtTest>

#include <map>

namespace
{
// The published tables, one column per scheme. The last column is the
// product's own scheme: the model's default key table with er on R.
const char kConsonantTable[] = R"(
| scheme  | WeiRuan | ZiRanMa | XiaoHe | ZiGuang | ZhiNengABC | PinYinJiaJia | GuoBiao | Kaiwo |
| zh      | V | V | V | U | A | V | V | V |
| ch      | I | I | I | A | E | U | I | I |
| sh      | U | U | U | I | V | I | U | U |
| empty   | O | O | O | O | O | O | A | O |
)";

const char kFinalTable[] = R"(
| final | WeiRuan | ZiRanMa | XiaoHe | ZiGuang | ZhiNengABC | PinYinJiaJia | GuoBiao | Kaiwo |
| ai    | L | L | D | P | L | S | K | L |
| an    | J | J | J | R | J | F | F | J |
| ang   | H | H | H | S | H | G | G | H |
| ao    | K | K | C | Q | K | D | C | K |
| ei    | Z | Z | W | K | Q | W | B | Z |
| en    | F | F | F | W | F | R | R | F |
| eng   | G | G | G | T | G | T | H | G |
| er    | R | R | - | J | R | Q | L | R |
| ia    | W | W | X | X | D | B | Q | W |
| ian   | M | M | M | F | W | J | D | M |
| iang  | D | D | L | G | T | H | N | D |
| iao   | C | C | N | B | Z | K | M | C |
| ie    | X | X | P | D | X | M | T | X |
| in    | N | N | B | Y | C | L | L | N |
| ing   | ; | Y | K | ; | Y | Q | J | ; |
| iong  | S | S | S | H | S | Y | S | S |
| iu    | Q | Q | Q | J | R | N | Y | Q |
| ong   | S | S | S | H | S | Y | S | S |
| ou    | B | B | Z | Z | B | P | P | B |
| ua    | W | W | X | X | D | B | Q | W |
| uai   | Y | Y | K | Y | C | X | Y | Y |
| uan   | R | R | R | L | P | C | W | R |
| uang  | D | D | L | G | T | H | N | D |
| ue    | T | T | T | N | M | X | X | T |
| ui    | V | V | V | N | M | V | V | V |
| un    | P | P | Y | M | N | Z | Z | P |
| uo    | O | O | O | O | O | O | O | O |
| ve    | V | T | T | N | M | X | X | T |
| v     | Y | V | V | V | V | V | V | Y |
)";

const std::map<QString, QString> kTitles{
    {"WeiRuan", "微软双拼"}, {"ZiRanMa", "自然码"},     {"XiaoHe", "小鹤双拼"},
    {"ZiGuang", "紫光双拼"}, {"ZhiNengABC", "智能ABC"}, {"PinYinJiaJia", "拼音加加"},
    {"GuoBiao", "国标双拼"}, {"Kaiwo", "凯沃双拼"},
};

const QStringList kZeroConsonantFinals{"a",  "o",  "e",  "ai",  "ei",  "ao",
                                       "ou", "an", "en", "ang", "eng", "er"};

using Column = std::map<QString, QString>; // syllable -> key

// One column of a table above.
Column column(const char *table, const QString &scheme)
{
    const QStringList lines = QString::fromUtf8(table).split('\n', Qt::SkipEmptyParts);
    auto cells = [](const QString &line) {
        QStringList parts = line.split('|');
        parts = parts.mid(1, parts.size() - 2);
        for (QString &part : parts)
            part = part.trimmed();
        return parts;
    };
    const int index = cells(lines.first()).indexOf(scheme);
    Column result;
    for (const QString &line : lines.mid(1))
        result[cells(line).first()] = cells(line).at(index);
    return result;
}

// The finals a scheme puts on each key, the single-letter finals and the
// ü-forms included.
std::map<QChar, QStringList> finalsByKey(Column finals)
{
    finals["van"] = finals["uan"];
    finals["vn"] = finals["un"];
    for (const char *letter : {"a", "e", "i", "o", "u"})
        finals[letter] = QString(letter).toUpper();
    std::map<QChar, QStringList> byKey;
    for (const auto &[final, key] : finals)
        if (key != "-")
            byKey[key.at(0)] << final;
    return byKey;
}

QString value(n_kwxx::t_iniParser &doc, const char *section, const QString &key)
{
    return QString::fromStdString(doc.GetKeyValueStr(section, key.toStdString(), "<missing>"));
}

QString schemePath(const QString &scheme)
{
    return ShuangPinController::ShuangPinInstallPath() + scheme + ".ini";
}
ShuangPinController *model()
{
    return ShuangPinController::self();
}

QString userScheme(const QString &name)
{
    return ShuangPinController::localShuangPinPath() + name;
}

// "consonant|vowel1|vowel2" of every key, as shown or as edited.
QStringList table(bool edit)
{
    QStringList items;
    for (int i = 0; i < ShuangPinController::KeyCount; ++i) {
        const SpKeyItem &item = edit ? model()->editItem(i) : model()->displayItem(i);
        items << QStringLiteral("%1|%2|%3").arg(item.consonant, item.vowel1, item.vowel2);
    }
    return items;
}

int indexOf(char key)
{
    return key == ';' ? 26 : key - 'A';
}
} // namespace

class TestShuangPin : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(QDir().mkpath(ShuangPinController::localShuangPinPath())); }

    void onlyTheBuiltInsShip()
    {
        QStringList files =
            QDir(ShuangPinController::ShuangPinInstallPath()).entryList(QDir::Files, QDir::Name);
        QStringList expected;
        for (const auto &entry : kTitles)
            expected << entry.first + ".ini";
        expected.sort();
        QCOMPARE(files, expected);
    }

    void fileMatchesTable_data()
    {
        QTest::addColumn<QString>("scheme");
        for (const auto &entry : kTitles)
            QTest::newRow(qPrintable(entry.first)) << entry.first;
    }
    void fileMatchesTable()
    {
        QFETCH(QString, scheme);
        n_kwxx::t_iniParser doc;
        QVERIFY(doc.Parser(QFile::encodeName(schemePath(scheme)).toStdString()));
        QCOMPARE(value(doc, "metadata", "title"), kTitles.at(scheme));

        const Column consonants = column(kConsonantTable, scheme);
        for (const auto &[consonant, key] : consonants)
            QCOMPARE(consonant + '=' + value(doc, "声母", consonant), consonant + '=' + key);
        QCOMPARE(doc.Options("声母").size(), consonants.size());

        Column finals = column(kFinalTable, scheme);
        finals["van"] = finals["uan"];
        finals["vn"] = finals["un"];
        for (const auto &[final, key] : finals)
            QCOMPARE(final + '=' + value(doc, "韵母", final), final + '=' + key);

        // A zero-consonant syllable is the empty key followed by its final's key.
        const QString empty = consonants.at("empty");
        QStringList zeroFinals;
        for (const QString &final : kZeroConsonantFinals) {
            const QString key = final.size() == 1 ? final.toUpper() : finals.at(final);
            if (key == "-")
                continue;
            zeroFinals << final;
            QCOMPARE(final + '=' + value(doc, "零声母音节的韵母", final),
                     final + '=' + empty + key);
        }
        QCOMPARE(int(doc.Options("零声母音节的韵母").size()), zeroFinals.size());
    }

    // What the selection dialog's keyboard shows: the consonants on their
    // keys and, on every key, as many of its finals as a key can show.
    void keyboardShowsTable_data() { fileMatchesTable_data(); }
    void keyboardShowsTable()
    {
        QFETCH(QString, scheme);
        QSignalSpy spy(ShuangPinController::self(), &ShuangPinController::qmlKeyValueChanged);
        ShuangPinController::self()->showCurrentShuangPin(schemePath(scheme));
        QCOMPARE(spy.size(), ShuangPinController::KeyCount);
        // The views find their keys by these names.
        QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("a"));
        QCOMPARE(spy.at(26).at(0).toString(), QStringLiteral("fenhao"));

        const Column consonants = column(kConsonantTable, scheme);
        const std::map<QChar, QStringList> byKey = finalsByKey(column(kFinalTable, scheme));
        for (const QList<QVariant> &row : spy) {
            const QChar key = row.at(1).toString().at(0);
            // The letter rule: consonant letters stand for themselves.
            QString consonant =
                QString("AEIOUV;").contains(key) ? QString() : QString(key.toLower());
            for (const auto &[name, onKey] : consonants)
                if (onKey == key)
                    consonant = name == "empty" ? " " : name;
            QCOMPARE(QString(key) + ':' + row.at(2).toString(), QString(key) + ':' + consonant);

            const QStringList expected = byKey.count(key) ? byKey.at(key) : QStringList();
            const QStringList shown =
                QStringList{row.at(3).toString(), row.at(4).toString()}.filter(QRegExp(".+"));
            QCOMPARE(shown.size(), std::min(2, int(expected.size())));
            for (const QString &final : shown)
                QVERIFY2(expected.contains(final), qPrintable(QString(key) + ": " + final));
        }
    }

    // The product's own scheme is the model's default table with er and
    // the ü-forms placed.
    void kaiwoIsTheDefaultTable()
    {
        auto *model = ShuangPinController::self();
        QTemporaryFile blank;
        QVERIFY(blank.open());
        QVERIFY(model->LoadSpScheme(blank.fileName()));
        std::vector<QString> defaults;
        for (int i = 0; i < ShuangPinController::KeyCount; ++i) {
            const SpKeyItem &item = model->displayItem(i);
            defaults.push_back(QString("%1|%2|%3").arg(item.consonant, item.vowel1, item.vowel2));
        }
        QVERIFY(model->LoadSpScheme(schemePath("Kaiwo")));
        for (int i = 0; i < ShuangPinController::KeyCount; ++i) {
            const SpKeyItem &item = model->displayItem(i);
            const QString shown = QString("%1|%2|%3").arg(item.consonant, item.vowel1, item.vowel2);
            if (item.key == 'R')
                QCOMPARE(shown, QStringLiteral("r|er|uan"));
            else if (item.key == 'P')
                QCOMPARE(shown, QStringLiteral("p|un|vn"));
            else
                QCOMPARE(shown, defaults[i]);
        }
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
            const QString t = kTitles.at(file.completeBaseName());
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

    // The keys a syllable may take; its border colour goes back to none.
    void choices_data()
    {
        QTest::addColumn<QString>("syllable");
        QTest::addColumn<QString>("choices");
        QTest::newRow("zh") << "zh"
                            << "-AEIUV";
        QTest::newRow("ai refused on o") << "ai"
                                         << "-BCDFGHJKLMNPQRSTVWXYZ;";
        QTest::newRow("uo allowed on o") << "uo"
                                         << "-BCDFGHJKLMNOPQRSTVWXYZ;";
    }

    void choices()
    {
        QFETCH(QString, syllable);
        QFETCH(QString, choices);
        model()->LoadBaseSpScheme();
        int index = 7;
        QCOMPARE(model()->getSyllablechoiceList(syllable, index).join(QString()), choices);
        QCOMPARE(index, 0);
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
