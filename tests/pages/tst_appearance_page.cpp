#include "PageFixture.h"
#include "app/DataRoot.h"
#include "window/PreverSkinWidget.h"
#include "window/SettingAppearanceWidget.h"

#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QPushButton>
#include <QSettings>

namespace
{

using Values = QList<QPair<QString, QString>>;

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
    return QSettings(pyFile("env.ini"), QSettings::IniFormat)
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

template <typename T = QWidget> T *child(QWidget *page, const char *name)
{
    T *widget = page->findChild<T *>(QLatin1String(name));
    if (!widget)
        qFatal("no child %s", name);
    return widget;
}

QColor swatch(QWidget *page)
{
    const QIcon icon = child<QPushButton>(page, "pushButton_SettingColor")->icon();
    return icon.pixmap(20, 20).toImage().pixelColor(10, 10);
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

} // namespace

class TestAppearancePage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { openUserSettings(); }

    void defaultsRoundTripAndRestore()
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
        const QByteArray file = readFile(pyFile("env.ini"));
        QVERIFY(!file.contains("ColorBorder") && !file.contains("ColorBackground"));

        makeSkins({"Blue", "Jade"});
        const QStringList families = QFontDatabase().families(QFontDatabase::SimplifiedChinese);
        const QString values =
            QStringLiteral(
                "CandStyle=1;PageSize=7;CursorFollow=0;SkinEnabled=1;ActiveSkinName=Jade;"
                "IgnoreSkinColorSetting=1;IgnoreSkinFontSetting=1;"
                "IgnoreSkinFontSizeSetting=1;FontCh=%1;FontSize=30;ColorPinyin=4278255360;"
                "ColorPrimary=4294901760;ColorNonPrimary=4278190080")
                .arg(families.value(families.size() - 1));
        store(values);
        SettingAppearanceWidget other;
        QCOMPARE(state(&other), QStringLiteral("1 7 0 1Jade 1拼音串颜色 1 130 #00ff00 Jade"));
        QVERIFY(child(&other, "CNcomboBox_Chinese")->isEnabled());

        store(QString());
        other.saveAppearranceSettings();
        QCOMPARE(reread(values), values);
        // Restoring shows the shipped defaults and writes nothing.
        const QByteArray before = readFile(pyFile("env.ini"));
        other.restoreAppearanceDefaultSetting();
        QCOMPARE(state(&other), kDefaults);
        QCOMPARE(readFile(pyFile("env.ini")), before);
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
        QTest::newRow("hidden folder") << QStringList{"Blue", ".night"} << ".night" << 1
                                       << QStringList{".night", "Blue"} << "1.night .night";
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
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        QCOMPARE(items, listed);
        const QStringList parts = state(&page).split(' ');
        QCOMPARE(parts[3] + ' ' + parts[8], shown);
        page.saveAppearranceSettings();
        QCOMPARE(saved(QStringLiteral("ActiveSkinName")), combo->currentText());
    }

    void previewFollowsSkin()
    {
        makeSkins({"Blue", "Broken", "Default"});
        const auto preview = [](const QString &skin, Qt::GlobalColor color) {
            QImage image(40, 20, QImage::Format_ARGB32);
            image.fill(color);
            for (int x = 20; x < 40; ++x) {
                for (int y = 0; y < 20; ++y)
                    image.setPixelColor(x, y, Qt::transparent);
            }
            QVERIFY(image.save(skinRoot() + skin + "/preview.png"));
        };
        preview("Blue", Qt::red);
        preview("Default", Qt::green);
        QVERIFY(writeFile(skinRoot() + "Broken/preview.png", "not a png"));
        store(QStringLiteral("SkinEnabled=1;ActiveSkinName=Blue"));
        SettingAppearanceWidget page;
        QCOMPARE(previewPixel(&page, 5, 5), QColor(Qt::red));
        QCOMPARE(previewPixel(&page, 100, 100), QColor(Qt::white));
        // Drawn in Source mode: the picture's transparent part is not white.
        QCOMPARE(previewPixel(&page, 30, 5).alpha(), 0);

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
        // A colour not picked again goes back as it was stored.
        const QString written("ColorPinyin=1122867;ColorPrimary=4279312947;"
                              "ColorNonPrimary=4293231104");
        QCOMPARE(reread(written), written);

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
        QTest::addColumn<QStringList>("values"); // key, stored, shown, written
        QTest::newRow("page size 3") << QStringList{"PageSize", "3", "3", "3"};
        QTest::newRow("page size 12") << QStringList{"PageSize", "12", "", "2"};
        QTest::newRow("page size text") << QStringList{"PageSize", "five", "", "2"};
        QTest::newRow("font size 17") << QStringList{"FontSize", "17", "16", "16"};
        QTest::newRow("font size 48") << QStringList{"FontSize", "48", "48", "48"};
        QTest::newRow("colour text") << QStringList{"ColorPinyin", "red", "#000000", "0"};
    }

    void storedTexts()
    {
        QFETCH(QStringList, values);
        store(values[0] + '=' + values[1]);
        SettingAppearanceWidget page;
        if (values[0] == "ColorPinyin") {
            QCOMPARE(swatch(&page).name(), values[2]);
        } else {
            const char *name =
                values[0] == "PageSize" ? "comboBox_CandidateNumbers" : "comboBox_FontSize";
            QCOMPARE(child<QComboBox>(&page, name)->currentText(), values[2]);
        }
        page.saveAppearranceSettings();
        QCOMPARE(saved(values[0]), values[3]);
    }

    void missingFontFallsBack()
    {
        store(QStringLiteral("FontCh=No Such Font Family"));
        SettingAppearanceWidget page;
        page.show(); // the font list is filled when the page is first shown
        auto *combo = child<QComboBox>(&page, "CNcomboBox_Chinese");
        QVERIFY(combo->count() > 0);
        const int own = combo->findText(QApplication::font().family());
        QCOMPARE(combo->currentIndex(), qMax(own, 0));
    }
};

QTEST_MAIN(TestAppearancePage)
#include "tst_appearance_page.moc"
