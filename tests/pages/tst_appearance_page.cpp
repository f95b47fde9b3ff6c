#include "TestFiles.h"
#include "app/DataRoot.h"
#include "app/MainController.h"
#include "window/PreverSkinWidget.h"
#include "window/SettingAppearanceWidget.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFontDatabase>
#include <QPushButton>
#include <QSettings>
#include <QTest>

namespace
{

using Values = QList<QPair<QString, QString>>;

const QString kEnvIni = QStringLiteral("env.ini");

QString skinRoot()
{
    return kaiwoDataRoot() + QStringLiteral("/Resources/PC/skin/");
}

// "Key=value;Key=value" as pairs.
Values pairs(const QString &text)
{
    Values values;
    for (const QString &item : text.split(';', Qt::SkipEmptyParts))
        values << qMakePair(item.section('=', 0, 0), item.section('=', 1));
    return values;
}

// Replaces group "Setting" of the user's env.ini with these values.
void store(const QString &text)
{
    QSettings *settings = MainController::self()->userSettings();
    settings->remove(QStringLiteral("Setting"));
    for (const auto &value : pairs(text))
        settings->setValue(QStringLiteral("Setting/") + value.first, value.second);
    settings->sync();
}

QString saved(const QString &key)
{
    return QSettings(MainController::localPcPyDirPath() + kEnvIni, QSettings::IniFormat)
        .value(QStringLiteral("Setting/") + key)
        .toString();
}

// The keys of text as the file on disk now holds them, in the same format.
QString reread(const QString &text)
{
    QStringList items;
    for (const auto &value : pairs(text))
        items << value.first + '=' + saved(value.first);
    return items.join(';');
}

// Skin folders with skin.ini, folders without it, and a plain file "Loose".
void makeSkins(const QStringList &skins, const QStringList &bare = {})
{
    QDir(skinRoot()).removeRecursively();
    QVERIFY(QDir().mkpath(skinRoot()));
    QVERIFY(writeFile(skinRoot() + QStringLiteral("Loose"), "[Skin]\n"));
    for (const QString &name : skins + bare)
        QVERIFY(QDir().mkpath(skinRoot() + name));
    for (const QString &name : skins)
        QVERIFY(writeFile(skinRoot() + name + QStringLiteral("/skin.ini"), "[Skin]\n"));
}

void writePreview(const QString &skin, const QColor &color)
{
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(color);
    QVERIFY(image.save(skinRoot() + skin + QStringLiteral("/preview.png")));
}

template <typename T = QWidget> T *child(QWidget *page, const char *name)
{
    T *widget = page->findChild<T *>(QLatin1String(name));
    if (!widget)
        qFatal("no child %s", name);
    return widget;
}

QColor swatch(QWidget *page)
{
    return child<QPushButton>(page, "pushButton_SettingColor")
        ->icon()
        .pixmap(20, 20)
        .toImage()
        .pixelColor(10, 10);
}

QColor previewPixel(QWidget *page, int x, int y)
{
    return page->findChild<PreverSkinWidget *>()->grab().toImage().pixelColor(x, y);
}

// The page's visible state in one line; "-" marks a disabled control.
QString state(QWidget *page)
{
    const auto box = [page](const char *name) {
        return QString::number(child<QAbstractButton>(page, name)->isChecked());
    };
    const auto combo = [page](const char *name) {
        const auto *widget = child<QComboBox>(page, name);
        return widget->currentText() + (widget->isEnabled() ? "" : "-");
    };
    return QStringList{box("radioButton_vertical"),
                       combo("comboBox_CandidateNumbers"),
                       box("checkBox_CursorFollow"),
                       box("checkBox_UseSkin") + combo("comboBox_UseSkin"),
                       box("checkBox_ChangeColor") + combo("comboBox_ChangeColor"),
                       box("checkBox_ChangeFont"),
                       box("checkBox_ChangeFontSize") + combo("comboBox_FontSize"),
                       swatch(page).name(),
                       page->findChild<PreverSkinWidget *>()->skinName()}
        .join(' ');
}

const QString kDefaults = QStringLiteral("0 5 1 0Blue- 0拼音串颜色- 0 016- #b96205 Default");

QStringList items(const QComboBox *combo)
{
    QStringList list;
    for (int i = 0; i < combo->count(); ++i)
        list << combo->itemText(i);
    return list;
}

} // namespace

class TestAppearancePage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(QDir().mkpath(MainController::localPcPyDirPath()));
        MainController::self()->openSettings();
    }

    void emptyStoreShowsDefaults()
    {
        makeSkins({QStringLiteral("Blue")});
        store(QString());
        SettingAppearanceWidget page;
        QCOMPARE(state(&page), kDefaults);
        QVERIFY(!child(&page, "pushButton_SettingColor")->isEnabled());
        QVERIFY(!child(&page, "CNcomboBox_Chinese")->isEnabled());

        page.saveAppearranceSettings();
        const QString expected = QStringLiteral(
            "CandStyle=0;PageSize=5;CursorFollow=1;SkinEnabled=0;ActiveSkinName=Blue;FontSize=16;"
            "ColorPinyin=4290339333;ColorPrimary=4278190335;ColorNonPrimary=4293231104");
        QCOMPARE(reread(expected), expected);
        // Read for the service's sake, but this page never writes them.
        const QByteArray file = readFile(MainController::localPcPyDirPath() + kEnvIni);
        QVERIFY(!file.contains("ColorBorder") && !file.contains("ColorBackground"));
    }

    void everyKeyRoundTrips()
    {
        makeSkins({QStringLiteral("Blue"), QStringLiteral("Jade")});
        const QStringList families = QFontDatabase().families(QFontDatabase::SimplifiedChinese);
        const QString values =
            QStringLiteral(
                "CandStyle=1;PageSize=7;CursorFollow=0;SkinEnabled=1;ActiveSkinName=Jade;"
                "IgnoreSkinColorSetting=1;IgnoreSkinFontSetting=1;"
                "IgnoreSkinFontSizeSetting=1;FontCh=%1;FontSize=30;ColorPinyin=4278255360;"
                "ColorPrimary=4294901760;ColorNonPrimary=4278190080")
                .arg(families.value(families.size() - 1));
        store(values);
        SettingAppearanceWidget page;
        QCOMPARE(state(&page), QStringLiteral("1 7 0 1Jade 1拼音串颜色 1 130 #00ff00 Jade"));
        QVERIFY(child(&page, "CNcomboBox_Chinese")->isEnabled());

        store(QString());
        page.saveAppearranceSettings();
        QCOMPARE(reread(values), values);
    }

    void skinDiscovery_data()
    {
        QTest::addColumn<QStringList>("skins");
        QTest::addColumn<QString>("active");
        QTest::addColumn<int>("enabled");
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QString>("shown"); // use-skin box, skin combo, preview

        const QStringList two = {"Blue", "autumn", "Default"};
        const QStringList order = {"autumn", "Blue"};
        QTest::newRow("no skin folder")
            << QStringList() << "Blue" << 1 << QStringList() << "0- Default";
        QTest::newRow("order, Default hidden") << two << "Blue" << 1 << order << "1Blue Blue";
        QTest::newRow("active skin missing") << two << "Gone" << 1 << order << "0autumn- Default";
        QTest::newRow("skins off") << two << "Blue" << 0 << order << "0Blue- Default";
        QTest::newRow("no skin.ini, or a file")
            << QStringList{"Blue"} << "Bare" << 1 << QStringList{"Blue"} << "0Blue- Default";
    }

    void skinDiscovery()
    {
        QFETCH(QStringList, skins);
        QFETCH(QString, active);
        QFETCH(int, enabled);
        QFETCH(QStringList, listed);
        QFETCH(QString, shown);

        makeSkins(skins, {QStringLiteral("Bare")});
        if (skins.isEmpty())
            QDir(skinRoot()).removeRecursively();
        store(QStringLiteral("SkinEnabled=%1;ActiveSkinName=%2").arg(enabled).arg(active));
        SettingAppearanceWidget page;
        auto *combo = child<QComboBox>(&page, "comboBox_UseSkin");
        QCOMPARE(items(combo), listed);
        const QStringList parts = state(&page).split(' ');
        QCOMPARE(parts[3] + ' ' + parts[8], shown);
        page.saveAppearranceSettings();
        QCOMPARE(saved(QStringLiteral("ActiveSkinName")), combo->currentText());
    }

    void previewFollowsSkin()
    {
        makeSkins({"Blue", "Broken", "Default"});
        writePreview(QStringLiteral("Blue"), Qt::red);
        writePreview(QStringLiteral("Default"), Qt::green);
        QVERIFY(writeFile(skinRoot() + QStringLiteral("Broken/preview.png"), "not a png"));
        store(QStringLiteral("SkinEnabled=1;ActiveSkinName=Blue"));
        SettingAppearanceWidget page;
        QCOMPARE(previewPixel(&page, 5, 5), QColor(Qt::red));
        QCOMPARE(previewPixel(&page, 100, 100), QColor(Qt::white));

        auto *useSkin = child<QCheckBox>(&page, "checkBox_UseSkin");
        useSkin->click();
        QVERIFY(!child(&page, "comboBox_UseSkin")->isEnabled());
        QCOMPARE(previewPixel(&page, 5, 5), QColor(Qt::green));
        useSkin->click();
        child<QComboBox>(&page, "comboBox_UseSkin")->setCurrentText(QStringLiteral("Broken"));
        QCOMPARE(previewPixel(&page, 5, 5), QColor(Qt::white));
    }

    void colours()
    {
        // Alpha 0 on disk: only the low 24 bits count.
        store(QStringLiteral("IgnoreSkinColorSetting=1;ColorPinyin=1122867"));
        SettingAppearanceWidget page;
        QCOMPARE(swatch(&page), QColor(17, 34, 51));
        QCOMPARE(swatch(&page).alpha(), 255);

        auto *combo = child<QComboBox>(&page, "comboBox_ChangeColor");
        auto *button = child<QPushButton>(&page, "pushButton_SettingColor");
        combo->setCurrentIndex(1);
        QCOMPARE(swatch(&page), QColor(0, 0, 255));
        SettingAppearanceWidget::setNextColor(QColor(17, 34, 51));
        button->click();
        QCOMPARE(SettingAppearanceWidget::lastInitialColor(), QColor(0, 0, 255));
        QCOMPARE(swatch(&page), QColor(17, 34, 51));
        combo->setCurrentIndex(2);
        SettingAppearanceWidget::setNextColor(QColor()); // cancelled
        button->click();
        QCOMPARE(swatch(&page), QColor(229, 130, 0));

        page.saveAppearranceSettings();
        QCOMPARE(saved(QStringLiteral("ColorPinyin")), QStringLiteral("4279312947"));
        QCOMPARE(saved(QStringLiteral("ColorPrimary")), QStringLiteral("4279312947"));
        QCOMPARE(saved(QStringLiteral("ColorNonPrimary")), QStringLiteral("4293231104"));

        // Clearing an override disables its controls; colours go back to the first item.
        child<QCheckBox>(&page, "checkBox_ChangeColor")->setChecked(false);
        QVERIFY(combo->currentIndex() == 0 && !combo->isEnabled() && !button->isEnabled());
        child<QCheckBox>(&page, "checkBox_ChangeFont")->setChecked(true);
        child<QCheckBox>(&page, "checkBox_ChangeFontSize")->setChecked(true);
        QVERIFY(child(&page, "CNcomboBox_Chinese")->isEnabled());
        QVERIFY(child(&page, "comboBox_FontSize")->isEnabled());
    }

    void storedTexts_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("written");
        QTest::newRow("page size 3") << "PageSize"
                                     << "3"
                                     << "3"
                                     << "3";
        QTest::newRow("page size 12") << "PageSize"
                                      << "12"
                                      << ""
                                      << "2";
        QTest::newRow("page size text") << "PageSize"
                                        << "five"
                                        << ""
                                        << "2";
        QTest::newRow("font size 17") << "FontSize"
                                      << "17"
                                      << "16"
                                      << "16";
        QTest::newRow("font size 48") << "FontSize"
                                      << "48"
                                      << "48"
                                      << "48";
    }

    void storedTexts()
    {
        QFETCH(QString, key);
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QFETCH(QString, written);
        store(key + '=' + stored);
        SettingAppearanceWidget page;
        const char *name =
            key == QLatin1String("PageSize") ? "comboBox_CandidateNumbers" : "comboBox_FontSize";
        QCOMPARE(child<QComboBox>(&page, name)->currentText(), shown);
        page.saveAppearranceSettings();
        QCOMPARE(saved(key), written);
    }

    void missingFontFallsBack()
    {
        store(QStringLiteral("FontCh=No Such Font Family"));
        SettingAppearanceWidget page;
        auto *combo = child<QComboBox>(&page, "CNcomboBox_Chinese");
        const int own = combo->findText(QApplication::font().family());
        QCOMPARE(combo->currentIndex(), combo->count() == 0 ? -1 : qMax(own, 0));
    }

    void restoreShowsShippedDefaultsWritesNothing()
    {
        makeSkins({QStringLiteral("Blue")});
        store(QStringLiteral("SkinEnabled=1;ActiveSkinName=Blue;IgnoreSkinColorSetting=1"));
        SettingAppearanceWidget page;
        const QByteArray before = readFile(MainController::localPcPyDirPath() + kEnvIni);
        page.restoreAppearanceDefaultSetting();
        QCOMPARE(state(&page), kDefaults);
        QCOMPARE(readFile(MainController::localPcPyDirPath() + kEnvIni), before);
    }
};

QTEST_MAIN(TestAppearancePage)
#include "tst_appearance_page.moc"
