// The double-pinyin scheme model: scheme list, key tables, editing rules,
// the scheme file it writes and the signals the keyboard views listen to.
#include "TestFiles.h"
#include "shuangpin/ShuangPinController.h"

#include <QtTest>

namespace
{
ShuangPinController *model()
{
    return ShuangPinController::self();
}

QString sysScheme(const char *name)
{
    return ShuangPinController::ShuangPinInstallPath() + name;
}

QString userScheme(const QString &name)
{
    return ShuangPinController::localShuangPinPath() + name;
}

// "consonant|vowel1|vowel2" of one item.
QString itemText(const SpKeyItem &item)
{
    return QStringLiteral("%1|%2|%3").arg(item.consonant, item.vowel1, item.vowel2);
}

int indexOf(char key)
{
    return key == ';' ? 26 : key - 'A';
}

QStringList table(bool edit)
{
    QStringList items;
    for (int i = 0; i < ShuangPinController::KeyCount; ++i)
        items << itemText(edit ? model()->editItem(i) : model()->displayItem(i));
    return items;
}
} // namespace

class TestShuangPinModel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(QDir().mkpath(ShuangPinController::localShuangPinPath())); }

    void discovery()
    {
        model()->loadShuangPinConf();
        QCOMPARE(model()->mSchemeTitles.size(), 8);
        QVERIFY(model()->mSchemeTitles.contains(QStringLiteral("凯沃双拼")));

        const QByteArray title = "\n[metadata]\ntitle=%1\n";
        writeFile(userScheme("wr.ini"), QByteArray(title).replace("%1", "微软双拼"));
        writeFile(userScheme("one.ini"), QByteArray(title).replace("%1", "我的"));
        writeFile(userScheme("two.ini"), QByteArray(title).replace("%1", "我的"));
        writeFile(userScheme("skip.txt"), QByteArray(title).replace("%1", "不算"));
        writeFile(userScheme("skip.INI"), QByteArray(title).replace("%1", "不算"));
        writeFile(userScheme("junk.ini"), literalBytes("\x00\xff\xfe\x80 no title\n"));
        // A value QSettings would read as an object (it aborted Qt here)
        // leaves the file out.
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
            QSettings scheme(file.absoluteFilePath(), QSettings::IniFormat);
            scheme.setIniCodec("UTF-8");
            const QString t = scheme.value("metadata/title").toString();
            if (t != QStringLiteral("微软双拼"))
                expected << t;
        }
        QCOMPARE(model()->mSchemeTitles, expected);
        QCOMPARE(model()->mSchemeFiles.value(QStringLiteral("微软双拼")), userScheme("wr.ini"));
        QCOMPARE(model()->mSchemeFiles.value(QStringLiteral("我的")), lastMine);
        QCOMPARE(model()->mSchemeFiles.value(QStringLiteral("小鹤双拼")), sysScheme("XiaoHe.ini"));
        for (const char *name :
             {"wr.ini", "one.ini", "two.ini", "skip.txt", "skip.INI", "junk.ini", "bad.ini"})
            QFile::remove(userScheme(name));
    }

    // Defaults: display loads use the default key table, edit loads the
    // final's own letter.
    void defaultsAndBadInput()
    {
        QByteArray kaiwo = readFile(sysScheme("Kaiwo.ini"));
        writeFile(userScheme("noer.x"), kaiwo.replace("er=R\n", "").replace("er=OR\n", ""));
        QVERIFY(model()->LoadSpScheme(userScheme("noer.x")));
        QCOMPARE(itemText(model()->displayItem(indexOf('R'))), QStringLiteral("r|uan|van"));
        QVERIFY(model()->BaseOnScheme(userScheme("noer.x")));
        QCOMPARE(itemText(model()->editItem(indexOf('E'))), QStringLiteral("|e|er"));
        QVERIFY(model()->unassignedSyllables().empty());

        writeFile(userScheme("empty.x"), "");
        writeFile(userScheme("binary.x"), literalBytes("\x00\x01\xff\xfe\x80\x7f\n\x00"));
        writeFile(userScheme("repeat.x"), "[韵母]\nai=B\n[韵母]\n");
        QVERIFY(model()->LoadSpScheme(userScheme("empty.x")));
        const QStringList defaults = table(false);
        QCOMPARE(defaults.at(indexOf('V')), QStringLiteral("zh|ui|"));
        QCOMPARE(defaults.at(indexOf('I')), QStringLiteral("ch|i|"));
        QCOMPARE(defaults.at(indexOf('U')), QStringLiteral("sh|u|"));
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
        QSignalSpy spy(model(), &ShuangPinController::qmlKeyValueChanged);
        model()->showCurrentShuangPin(QString());
        QCOMPARE(spy.size(), 0);
        model()->showCurrentShuangPin(userScheme("missing.x"));
        QCOMPARE(spy.size(), 27);
        QCOMPARE(spy.at(indexOf('O')).at(2).toString(), QStringLiteral(" "));
    }

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
        QSignalSpy border(model(), &ShuangPinController::qmlShuangPinKeyBorderColor);
        QCOMPARE(model()->getSyllablechoiceList(syllable, index).join(QString()), choices);
        QCOMPARE(index, 0);
        QCOMPARE(border.size(), 1);
        QCOMPARE(border.at(0).at(0).toString(), QStringLiteral("-"));
    }

    void editingRules()
    {
        auto *m = model();
        m->LoadBaseSpScheme();
        QVERIFY(!m->IsConflict("ia", "ua"));
        QVERIFY(!m->IsConflict("ua", "ia"));
        QVERIFY(m->IsConflict("er", "a"));
        QVERIFY(!m->IsConflict("er", "ai"));
        QVERIFY(m->IsZeroConsonant("ou") && !m->IsZeroConsonant("o "));

        m->currentSyllableKeyChange("ua", 'W');
        int index = -1;
        QVERIFY(m->getSyllablechoiceList("ia", index).contains("W"));
        m->currentSyllableKeyChange("ia", 'W');
        QCOMPARE(itemText(*m->GetItemByKey('W')), QStringLiteral("w|ua|ia"));
        m->removeCurrentChoiceSyllable("ua");
        QCOMPARE(itemText(*m->GetItemByKey('W')), QStringLiteral("w|ia|"));
        QVERIFY(!m->RemoveSyllable("ua"));
        QVERIFY(!m->AddSyllableOnKey("ch", 'B'));

        m->currentSyllableKeyChange("ing", ';');
        const QStringList list = m->getSyllablechoiceList("ing", index);
        QCOMPARE(list.at(index), QStringLiteral(";"));
        QCOMPARE(m->currentKey(), ';');
    }

    void refreshSignalOrder()
    {
        QStringList log;
        auto *m = model();
        connect(m, &ShuangPinController::qmlNewShuangPinSchemeValue, this,
                [&log](QString id, QString key) { log << id + key; });
        connect(m, &ShuangPinController::qmlShuangPinKeyBorderColor, this,
                [&log](QString id, QString color) { log << id + color; });
        m->LoadBaseSpScheme();
        m->currentSyllableKeyChange("ing", ';');
        m->currentSyllableKeyChange("ing", '-');
        disconnect(m, nullptr, this, nullptr);
        QStringList expected;
        for (char c = 'a'; c <= 'z'; ++c)
            expected << QString(QChar(c)) + QChar(c).toUpper();
        expected << "fenhao;";
        QCOMPARE(log, expected + expected + QStringList{";red"});
    }

    void completion()
    {
        auto *m = model();
        m->LoadBaseSpScheme();
        QVERIFY(!m->IsFinishSpScheme());
        QVERIFY(!m->keepNewSpScheme("未完", "partial.ini"));
        for (const char *s : {"zh", "ch", "sh"})
            m->AddSyllableOnKey(s, s[0] == 'z' ? 'V' : s[0] == 'c' ? 'I' : 'U');
        for (const QString &s : std::vector<QString>(m->unassignedSyllables()))
            if (s != "ve" && s != "er")
                m->AddSyllableOnKey(s, 'B');
        QVERIFY(!m->IsFinishSpScheme());
        m->AddSyllableOnKey("er", 'R');
        QVERIFY(m->IsFinishSpScheme());
        QVERIFY(!QFile::exists(userScheme("partial.ini")));
    }

    void saveByteForByte()
    {
        auto *m = model();
        QVERIFY(m->BaseOnScheme(sysScheme("Kaiwo.ini")));
        QVERIFY(m->keepNewSpScheme("我的双拼", "mine.ini"));
        QCOMPARE(m->mCurrentSchemeName, QStringLiteral("我的双拼"));
        QCOMPARE(QString::fromUtf8(readFile(userScheme("mine.ini"))), QStringLiteral(R"(
[metadata]
title=我的双拼


[零声母音节的韵母]
a=OA
ou=OB
e=OE
en=OF
eng=OG
ang=OH
an=OJ
ao=OK
ai=OL
o=OO
er=OR
ei=OZ


[韵母]
a=A
ou=B
iao=C
iang=D
uang=D
e=E
en=F
eng=G
ang=H
i=I
an=J
ao=K
ai=L
ian=M
in=N
o=O
uo=O
un=P
vn=P
iu=Q
er=R
uan=R
iong=S
ong=S
ue=T
ve=T
u=U
ui=V
ia=W
ua=W
ie=X
uai=Y
v=Y
ei=Z
ing=;


[声母]
ch=I
sh=U
zh=V


)"));
        // A third final on one key (van on R) is dropped; the rest round-trips.
        m->LoadSpScheme(sysScheme("Kaiwo.ini"));
        const QStringList original = table(false);
        m->LoadSpScheme(userScheme("mine.ini"));
        QCOMPARE(table(false), original);
    }
};

QTEST_GUILESS_MAIN(TestShuangPinModel)
#include "tst_shuangpin_model.moc"
