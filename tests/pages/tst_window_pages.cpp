#include "PageFixture.h"
#include "window/SettingsWidget.h"

// The real pages inside the real window: OK writes every key the pages own
// (the font family aside, which depends on the fonts installed), with the
// shipped defaults when the user's file had none, and Cancel after a
// restore leaves the file as it was.
class TestWindowPages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { startService(mService); }

    void okWritesEveryPageKey()
    {
        QVERIFY(writeFile(userEnvIni(), "[Setting]\n"));
        MainController::self()->openSettings();
        SettingsWidget window(nullptr);
        mService->clearJournal();
        buttonWithText(&window, QStringLiteral("确定"))->click();

        QSettings written(userEnvIni(), QSettings::IniFormat);
        QSettings shipped(MainController::sysEnvPyDirPath() + QStringLiteral("env.ini"),
                          QSettings::IniFormat);
        for (const char *key : kPageKeys) {
            const QString name = QStringLiteral("Setting/") + QLatin1String(key);
            QVERIFY2(written.contains(name), key);
            // "Default" is never listed, so the skin combo falls back to the
            // first shipped skin in name order.
            const QString expected = QLatin1String(key) == QLatin1String("ActiveSkinName")
                                         ? QStringLiteral("autumn")
                                         : shipped.value(name).toString();
            QCOMPARE(written.value(name).toString(), expected);
        }
        // Read, never written.
        QVERIFY(!written.contains(QStringLiteral("Setting/ColorBorder")));
        QVERIFY(!written.contains(QStringLiteral("Setting/ColorBackground")));
        QCOMPARE(mService->journal(), (QStringList{"ReloadConfig", "RebuildKeyMap"}));
    }

    void restoreThenCancelKeepsFile()
    {
        QVERIFY(writeFile(userEnvIni(), "[Setting]\nDefaultNative=0\nCandStyle=1\n"
                                        "KeyEnCnSwitch=1\nPageSize=9\n"));
        const QByteArray before = readFile(userEnvIni());
        MainController::self()->openSettings();
        SettingsWidget window(nullptr);
        mService->clearJournal();
        for (const char *category : {"  常用", "  外观", "  高级"}) {
            buttonWithText(&window, QString::fromUtf8(category))->click();
            KaiwoPromptDialog::setNextAnswer(1);
            buttonWithText(&window, QStringLiteral("恢复本页默认设置"))->click();
        }
        buttonWithText(&window, QStringLiteral("取消"))->click();
        QCOMPARE(readFile(userEnvIni()), before);
        QVERIFY(mService->journal().isEmpty());
    }

private:
    static constexpr const char *kPageKeys[] = {
        "DefaultNative",
        "DefaultTradition",
        "DefaultShape",
        "DefaultPinyin",
        "StatusAppearance",
        "SymbolCompletion",
        "SmartSymbolsAfterNum",
        "UserPhrase",
        "CandStyle",
        "PageSize",
        "CursorFollow",
        "SkinEnabled",
        "ActiveSkinName",
        "IgnoreSkinColorSetting",
        "IgnoreSkinFontSetting",
        "IgnoreSkinFontSizeSetting",
        "FontSize",
        "ColorPinyin",
        "ColorPrimary",
        "ColorNonPrimary",
        "KeyEnCnSwitch",
        "TruncateInputWhnEnOn",
        "ShortcutPunct",
        "ShortCutShape",
        "KeyPageUpDown",
        "HalfSymbolOnPad",
        "PadNumAsSelect",
        "ActiveTempPY",
    };

    std::unique_ptr<ServiceProcess> mService;
};

QTEST_MAIN(TestWindowPages)
#include "tst_window_pages.moc"
