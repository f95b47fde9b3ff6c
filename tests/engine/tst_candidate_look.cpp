// The candidate window's look: which skin the settings select, what fcitx is
// handed for it, and the Appearance page's preview drawing exactly what the
// engine's painter draws for the settings the page saves.
#include "ClassicUiSkin.h"
#include "PageFixture.h"
#include "SkinPainter.h"
#include "config/SettingsStore.h"
#include "window/PreverSkinWidget.h"
#include "window/SettingAppearanceWidget.h"

#include <QApplication>
#include <QComboBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

class TestCandidateLook : public QObject
{
    Q_OBJECT

    static QString skinFile(const QString &skin)
    {
        return CandidateLook::skinRoot() + QLatin1Char('/') + skin + QStringLiteral("/skin.ini");
    }

    static AppearanceChoices savedChoices()
    {
        QSettings settings(userEnvIni(), QSettings::IniFormat);
        return AppearanceChoices::read(SettingsReader(&settings));
    }

private slots:
    void initTestCase() { setEnv(QByteArray()); }

    // A skin that cannot be used gives Default's look and says why.
    void skinSelection_data()
    {
        // skinIni: written as Extra/skin.ini.
        addColumns<QString, QByteArray, QColor, QString>({"name", "skinIni", "primary", "problem"});
        const QColor blue(0x15, 0x65, 0xC0), fallback(0, 0, 0xFF);
        QTest::newRow("shipped") << "Blue" << QByteArray() << blue << "";
        QTest::newRow("missing") << "Gone" << QByteArray() << fallback << "Gone/skin.ini: missing";
        QTest::newRow("bad colour") << "Extra" << QByteArray("[Skin]\nColorPrimary=#12345G\n")
                                    << fallback << "ColorPrimary has an unusable value";
        QTest::newRow("binary") << "Extra" << QByteArray("\x89PNG\0\xff\xfe", 7) << fallback
                                << "no [Skin] group";
        QTest::newRow("oversized") << "Extra" << QByteArray(100000, '#') << fallback << "too large";
        QTest::newRow("climbs out")
            << "../skin/Blue" << QByteArray() << fallback << "is not a folder name";
        QTest::newRow("good extra") << "Extra" << QByteArray("[Skin]\nColorPrimary=#102030\n")
                                    << QColor(0x10, 0x20, 0x30) << "";
    }
    void skinSelection()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, skinIni);
        QFETCH(QColor, primary);
        QFETCH(QString, problem);
        QDir().mkpath(QFileInfo(skinFile("Extra")).path());
        QVERIFY(writeFile(skinFile("Extra"), skinIni));
        AppearanceChoices choices;
        choices.skinEnabled = true;
        choices.skinName = name;
        QStringList problems;
        const SkinStyle style =
            CandidateLook::selectSkin(CandidateLook::skinRoot(), choices, &problems);
        QCOMPARE(style.primary, primary);
        QCOMPARE(problems.join('|').contains(problem), true);
        QCOMPARE(problems.isEmpty(), problem.isEmpty());
    }

    // What fcitx reads: the skin's colours and margins, the interface's keys,
    // and a font name that cannot break out of its line.
    void classicInterface()
    {
        const QString home = qEnvironmentVariable("HOME");
        const ClassicUiSkin fcitx(home, CandidateLook::skinRoot());
        AppearanceChoices choices;
        choices.vertical = true;
        choices.overrideColors = choices.overrideFont = true;
        choices.primary = QColor(0, 160, 0);
        choices.font = QStringLiteral("Evil\n[ClassicUI]\nSkinType=default");
        QStringList problems;
        QVERIFY(fcitx.apply(choices, false, &problems));
        QVERIFY(!fcitx.apply(choices, false, &problems)); // nothing changed, no reload

        const QByteArray skin = readFile(fcitx.skinDir() + "/fcitx_skin.conf");
        QVERIFY(skin.contains("\nFirstCandColor=0 160 0\nUserPhraseColor=229 130 0\n"));
        QVERIFY(skin.contains("\nInputColor=185 98 5\n"));
        QVERIFY(skin.contains("\nBackImg=input.png\nMarginLeft=8\nMarginRight=8\nMarginTop=6\n"));
        const QImage background(fcitx.skinDir() + "/input.png");
        QCOMPARE(background.pixelColor(0, 0), QColor(0xD8, 0xD8, 0xD8));
        QCOMPARE(background.pixelColor(10, 10), QColor(Qt::white));

        const QByteArray ui = readFile(home + "/.config/fcitx/conf/fcitx-classic-ui.config");
        QCOMPARE(ui, QByteArray("[ClassicUI]\nMainWindowHideMode=Hide\nSkinType=kaiwo\n"
                                "Font=Evil [ClassicUI] SkinType=default\nFontSize=0\n"
                                "VerticalList=True\n"));
        choices.vertical = false;
        QVERIFY(fcitx.apply(choices, false, &problems));
    }

    // The preview is the engine's painter on what the page will save: live
    // once a choice changes the skin's own look, the skin's picture before.
    void previewMatchesSavedLook()
    {
        setEnv("[Setting]\n");
        auto page = std::make_unique<SettingAppearanceWidget>();
        page->show();
        auto *preview = page->findChild<PreverSkinWidget *>();
        QVERIFY(!preview->showsLiveSample());
        page->findChild<QRadioButton *>("radioButton_vertical")->click();
        QVERIFY(preview->showsLiveSample());
        page->findChild<QCheckBox *>("checkBox_ChangeColor")->click();
        SettingAppearanceWidget::setNextColor(QColor(0, 160, 0));
        page->findChild<QComboBox *>("comboBox_ChangeColor")->setCurrentIndex(1);
        page->findChild<QPushButton *>("pushButton_SettingColor")->click();
        QVERIFY(preview->showsLiveSample());
        page->saveSettings();

        const AppearanceChoices saved = savedChoices();
        QStringList problems;
        const QImage expected = SkinPainter::sampleWindow(CandidateLook::resolve(
            CandidateLook::selectSkin(CandidateLook::skinRoot(), saved, &problems), saved));
        QImage shown = preview->grab().toImage().convertToFormat(QImage::Format_ARGB32);
        QImage onWhite(expected.size(), QImage::Format_ARGB32);
        onWhite.fill(Qt::white);
        QPainter(&onWhite).drawImage(0, 0, expected);
        QCOMPARE(shown.copy(QRect(QPoint(0, 0), expected.size())), onWhite);
    }
};

QTEST_MAIN(TestCandidateLook)
#include "tst_candidate_look.moc"
