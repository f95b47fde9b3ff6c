// The engine shells' custom phrases: the operations through both entry
// points, and the two phrase file formats against damaged input.
#include "PhraseBinaryFile.h"
#include "PhraseTextFile.h"
#include "ShellWrapperInterface.h"
#include "TestFiles.h"

#include <QtTest>

namespace
{

using Phrases = std::vector<UserPhraseItem>;

QString describe(const Phrases &phrases)
{
    QStringList out;
    for (const UserPhraseItem &p : phrases)
        out << QString::fromStdWString(p.abbr) + QLatin1Char(',') + QString::number(p.position) +
                   QLatin1Char('=') + QString::fromStdWString(p.phrase);
    return out.join(QLatin1Char('|'));
}

} // namespace

class TestStandInPhrases : public QObject
{
    Q_OBJECT

    QTemporaryDir mRoot;
    // Spaces, quotes and "$(...)" in the home must never matter.
    const QString mHome = mRoot.filePath(QStringLiteral("home $(touch x) 'q\"/"));
    const QString mPinyin = mHome + QStringLiteral("PCPYDict/");
    const QString mWubi = mHome + QStringLiteral("PCWBDict");
    const QString mSystem = mRoot.filePath(QStringLiteral("share/PCPYDict/"));
    ShellWrapperInterface *mPy = GetKaiwoShellWrapper();
    ShellWrapperInterface *mWb = GetWbKaiwoShellWrapper();

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

private slots:
    void initTestCase()
    {
        QVERIFY(QDir().mkpath(mPinyin + QStringLiteral("phrase")));
        QVERIFY(QDir().mkpath(mWubi));
        QVERIFY(QDir().mkpath(mSystem));
        QVERIFY(QFile::copy(QStringLiteral(KAIWO_SOURCE_DATA_DIR
                                           "/KaiwoShell/dict/PCPYDict/kwim_default_phrases.txt"),
                            mSystem + QStringLiteral("kwim_default_phrases.txt")));
        const std::wstring p = mPinyin.toStdWString(), w = mWubi.toStdWString(),
                           s = mSystem.toStdWString(), pn = p.substr(0, p.size() - 1);
        QVERIFY(mPy->Init(L"1", p.c_str(), s.c_str(), pn.c_str()));
        QVERIFY(mWb->Init(L"1", w.c_str(), s.c_str(), w.c_str()));
    }

    void addListDeleteAndExportRoundTrip()
    {
        Phrases add = {{L"dh", L"电话：\n0571-1234", 2},
                       {L"Off", L"a\\b", -3},
                       {L"bad1", L"digits refused", 1},
                       {L"zero", L"position 0 refused", 0},
                       {L"ok", L"✓ 𝄞", 9}};
        QVERIFY(run(mPy, ec_addUserPhrase, add));
        const QString expected = QStringLiteral("dh,2=电话：\n0571-1234|Off,-3=a\\b|ok,9=✓ 𝄞");
        QCOMPARE(list(mPy), expected);
        QCOMPARE(list(mWb), QString()); // Wubi keeps its own set

        // Adding again only switches the phrase on; nothing is doubled.
        Phrases again = {{L"Off", L"a\\b", 3}};
        QVERIFY(run(mPy, ec_addUserPhrase, again));
        QCOMPARE(list(mPy), QString(expected).replace(QStringLiteral("-3"), QStringLiteral("3")));

        const QString bin = mPinyin + QStringLiteral("kwim_phrases.bin");
        const QString txt = mPinyin + QStringLiteral("phrase/PhraseEdit.txt");
        Phrases none;
        QVERIFY(run(mPy, ec_genPhraseEditText, none, bin, txt));
        const QString text = QString::fromUtf8(readFile(txt));
        QVERIFY2(
            text.contains(QStringLiteral("\ndh,2=电话：\\n0571-1234\nOff,3=a\\\\b\nok,9=✓ 𝄞\n")),
            qPrintable(text));

        // An editor's change comes back through the compiled file.
        QVERIFY(writeFile(txt, text.toUtf8() + "new,1=line1\\nline2\r\nbroken line\n"));
        QVERIFY(run(mPy, ec_convertTextToDic, none, bin, txt));
        QVERIFY(list(mPy).endsWith(QStringLiteral("|new,1=line1\nline2")));

        Phrases all;
        QVERIFY(run(mPy, ec_getUserPhrase, all));
        Phrases first(all.begin(), all.begin() + 1);
        QVERIFY(run(mPy, ec_deleteUserPhrase, first));
        QCOMPARE(int(all.size()) - 1, list(mPy).count(QLatin1Char('|')) + 1);
        QVERIFY(run(mPy, ec_deleteUserPhrase, all));
        QCOMPARE(list(mPy), QString());
    }

    void flatTransferAndDefaults()
    {
        Phrases add = {{L"fl", L"扁平", 4}};
        QVERIFY(run(mWb, ec_addUserPhrase, add));
        flat::Request request{};
        flat::Result *result = nullptr;
        QVERIFY(mWb->DicOperationFlat(ed_userPhrase, ec_getUserPhrase, &request, &result));
        QVERIFY(result);
        QCOMPARE(result->phraseCount, 1);
        QCOMPARE(QString::fromWCharArray(result->phrases[0].phrase), QStringLiteral("扁平"));
        QCOMPARE(result->phrases[0].position, int16_t(4));
        mWb->FreeDicResult(&result);
        QVERIFY(!result);

        Phrases defaults;
        QVERIFY(run(mPy, ec_getDefaultPhrase, defaults));
        QVERIFY(defaults.size() >= 5);
        QVERIFY(!run(mWb, ec_getDefaultPhrase, defaults));
    }

    void textDecoding_data()
    {
        QTest::addColumn<QByteArray>("bytes");
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
    void textDecoding()
    {
        QFETCH(QByteArray, bytes);
        Phrases phrases;
        const int status = PhraseTextFile::decode(bytes.toStdString(), phrases);
        QTEST(describe(phrases), "expected");
        QTEST(status, "status");
    }

    void textEncodingWritesOnlyReadableLines()
    {
        // A compiled phrase of carriage returns alone was exported as a line
        // the text reader refuses (fuzz_phrase_binary checks every export).
        const Phrases phrases{{L"a", L"\r", 1}, {L"b", L"x\r\ny", 2}};
        QCOMPARE(QString::fromStdString(PhraseTextFile::encode(phrases)).section('\n', 2),
                 QStringLiteral("b,2=x\\ny\n"));
        Phrases read;
        QCOMPARE(int(PhraseTextFile::decode(PhraseTextFile::encode(phrases), read)),
                 int(PhraseBinaryFile::Ok));
        QCOMPARE(describe(read), QStringLiteral("b,2=x\ny"));
    }

    void binaryDecoding_data()
    {
        const std::string good = PhraseBinaryFile::encode({{L"a", L"x", 1}, {L"b", L"好", -2}});
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("status");
        const auto bytes = [](const std::string &s) { return QByteArray(s.data(), int(s.size())); };
        QTest::newRow("good") << bytes(good) << "a,1=x|b,-2=好" << int(PhraseBinaryFile::Ok);
        QTest::newRow("truncated keeps the whole entries")
            << bytes(good.substr(0, good.size() - 2)) << "a,1=x" << int(PhraseBinaryFile::Damaged);
        std::string version = good;
        version[8] = 2;
        QTest::newRow("other version") << bytes(version) << "" << int(PhraseBinaryFile::Refused);
        QTest::newRow("foreign") << QByteArray("PK\3\4 not ours at all") << ""
                                 << int(PhraseBinaryFile::Refused);
        QTest::newRow("empty") << QByteArray() << "" << int(PhraseBinaryFile::Refused);
        std::string huge = good;
        huge[15] = '\x7F';
        QTest::newRow("hostile count") << bytes(huge) << "" << int(PhraseBinaryFile::Refused);
        std::string longLength = good;
        longLength[16 + 4] = '\xFF', longLength[16 + 5] = '\xFF';
        QTest::newRow("hostile length")
            << bytes(longLength) << "" << int(PhraseBinaryFile::Damaged);
        std::string badPos = good;
        badPos[16] = 10;
        QTest::newRow("position out of range skipped")
            << bytes(badPos) << "b,-2=好" << int(PhraseBinaryFile::Damaged);
    }
    void binaryDecoding()
    {
        QFETCH(QByteArray, bytes);
        Phrases phrases;
        const int status = PhraseBinaryFile::decode(bytes.toStdString(), phrases);
        QTEST(describe(phrases), "expected");
        QTEST(status, "status");
    }

    void damagedFilesNeverReplaceGoodOnes()
    {
        const QString bin = mRoot.filePath(QStringLiteral("c.bin"));
        const QString txt = mRoot.filePath(QStringLiteral("c.txt"));
        QVERIFY(PhraseBinaryFile::write(bin.toStdString(), {{L"keep", L"me", 1}}));
        Phrases none;
        QVERIFY(!run(mPy, ec_convertTextToDic, none, bin, txt)); // no text file
        QVERIFY(writeFile(txt, "x"));
        QVERIFY(!run(mPy, ec_genPhraseEditText, none, txt, bin)); // foreign input
        Phrases kept;
        QCOMPARE(int(PhraseBinaryFile::read(bin.toStdString(), kept)), int(PhraseBinaryFile::Ok));
        QCOMPARE(describe(kept), QStringLiteral("keep,1=me"));

        QByteArray many;
        for (int i = 0; i < 100000; ++i)
            many += "ab,1=" + QByteArray::number(i) + '\n';
        QVERIFY(writeFile(txt, many));
        QVERIFY(run(mPy, ec_convertTextToDic, none, bin, txt));
        QCOMPARE(int(PhraseBinaryFile::read(bin.toStdString(), kept)), int(PhraseBinaryFile::Ok));
        QCOMPARE(int(kept.size()), 100000);
    }
};

QTEST_GUILESS_MAIN(TestStandInPhrases)
#include "tst_standin_phrases.moc"
