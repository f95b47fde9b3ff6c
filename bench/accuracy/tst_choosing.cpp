// The teach round's choice of candidate: what it reads as a candidate's
// word, and which candidate it takes for what is left of the phrase.
#include "Choosing.h"

#include <QTest>

class ChoosingTest : public QObject
{
    Q_OBJECT

private slots:
    void wordIsLeadingHan_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("word");
        // fcitx 4's panel joins the word, its comment and a space.
        QTest::newRow("separator") << QStringLiteral("推广 ") << QStringLiteral("推广");
        QTest::newRow("pinyin comment") << QStringLiteral("组~zu ") << QStringLiteral("组");
        QTest::newRow("bracketed comment")
            << QStringLiteral("一览〔一覽〕") << QStringLiteral("一览");
        QTest::newRow("no Han") << QStringLiteral("tui") << QString();
        // Past the BMP a character is two QChars; the word keeps both.
        QTest::newRow("surrogates")
            << QStringLiteral("\U00020000字 x") << QStringLiteral("\U00020000字");
    }
    void wordIsLeadingHan()
    {
        QFETCH(QString, text);
        QFETCH(QString, word);
        QCOMPARE(candidateWord(text), word);
    }

    void choice_data()
    {
        QTest::addColumn<QStringList>("candidates");
        QTest::addColumn<QString>("rest");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("length");
        QTest::newRow("longest prefix, not the first")
            << QStringList{"推 ", "推广足以蓝 ", "推广 ", "推广组 "} << QStringLiteral("推广组一览")
            << 3 << 3;
        QTest::newRow("the whole rest")
            << QStringList{"一 ", "一览 "} << QStringLiteral("一览") << 1 << 2;
        QTest::newRow("longer than the rest")
            << QStringList{"一览表 "} << QStringLiteral("一览") << -1 << 0;
        QTest::newRow("equals: the first")
            << QStringList{"组~zu ", "组 "} << QStringLiteral("组一") << 0 << 1;
        // An empty word is a prefix of anything, and choosing it would
        // select a symbol or spelling instead of the phrase.
        QTest::newRow("no Han word") << QStringList{"zu ", "。"} << QStringLiteral("组") << -1 << 0;
        QTest::newRow("no candidates") << QStringList{} << QStringLiteral("组") << -1 << 0;
    }
    void choice()
    {
        QFETCH(QStringList, candidates);
        QFETCH(QString, rest);
        QFETCH(int, index);
        QFETCH(int, length);
        int got = -7;
        QCOMPARE(intendedCandidate(candidates, rest, &got), index);
        QCOMPARE(got, length);
    }
};

QTEST_APPLESS_MAIN(ChoosingTest)
#include "tst_choosing.moc"
