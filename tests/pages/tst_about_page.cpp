#include "window/SettingAboutWidget.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QUrl>

namespace
{

// Stands in for the browser: records what the page asks the desktop to open.
class UrlCatcher : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> urls;

public slots:
    void openUrl(const QUrl &url) { urls << url; }
};

QStringList labelTexts(QWidget *page)
{
    QStringList texts;
    for (QLabel *label : page->findChildren<QLabel *>())
        texts << label->text();
    return texts;
}

} // namespace

// The About page's web site button.
class TestAboutPage : public QObject
{
    Q_OBJECT

private slots:
    void visitWebOpensSiteEachClick();
};

void TestAboutPage::visitWebOpensSiteEachClick()
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &catcher, "openUrl");
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "openUrl");
    SettingAboutWidget page;
    page.show();
    const QStringList before = labelTexts(&page);
    auto *button = page.findChild<QPushButton *>();
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(catcher.urls.size(), 2);
    QCOMPARE(catcher.urls[0], catcher.urls[1]);
    QVERIFY(catcher.urls[0].isValid());
    QVERIFY(catcher.urls[0].scheme().startsWith(QLatin1String("http")));
    QVERIFY(!catcher.urls[0].host().isEmpty());
    // Restore on this page is a no-op and clicking changes nothing shown.
    page.restoreDefaultSettings();
    QCOMPARE(labelTexts(&page), before);
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
}

QTEST_MAIN(TestAboutPage)
#include "tst_about_page.moc"
