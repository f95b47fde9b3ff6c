// Group "Setting" of the two env.ini files, read by load mode and written.
#include "TestFiles.h"
#include "config/SettingsStore.h"

#include <QtTest>

#include <memory>

namespace
{

// Opened the way the controller opens env.ini.
std::unique_ptr<QSettings> openIni(const QString &path)
{
    auto settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
    settings->setIniCodec("UTF-8");
    return settings;
}

// Every read of the three kinds falls back to the caller's default.
void readsOnlyDefaults(CON_TPYE mode)
{
    SettingsReader reader(mode);
    QCOMPARE(reader.intValue(QStringLiteral("CandidateCount"), 5), 5);
    QCOMPARE(reader.boolValue(QStringLiteral("Enabled"), true), true);
    QCOMPARE(reader.stringValue(QStringLiteral("SkinName"), QStringLiteral("默认")),
             QStringLiteral("默认"));
}

} // namespace

class TestSettingsStore : public QObject
{
    Q_OBJECT

    // A null content leaves that file absent.
    void attach(const QByteArray &userContent, const QByteArray &defaultContent)
    {
        QVERIFY(userContent.isNull() || writeFile(mUserPath, userContent));
        QVERIFY(defaultContent.isNull() || writeFile(mDefaultPath, defaultContent));
        mUser = openIni(mUserPath);
        mDefault = openIni(mDefaultPath);
        SettingsStore::attach(mUser.get(), mDefault.get());
    }

    std::unique_ptr<QTemporaryDir> mDir;
    QString mUserPath;
    QString mDefaultPath;
    std::unique_ptr<QSettings> mUser;
    std::unique_ptr<QSettings> mDefault;

private slots:
    void init()
    {
        mDir.reset(new QTemporaryDir);
        QVERIFY(mDir->isValid());
        QVERIFY(QDir(mDir->path()).mkdir(QStringLiteral("user")));
        QVERIFY(QDir(mDir->path()).mkdir(QStringLiteral("system")));
        mUserPath = mDir->filePath(QStringLiteral("user/env.ini"));
        mDefaultPath = mDir->filePath(QStringLiteral("system/env.ini"));
    }

    void cleanup()
    {
        SettingsStore::attach(nullptr, nullptr);
        mUser.reset();
        mDefault.reset();
    }

    void readByMode_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("expected");
        const auto row = [](const char *name, CON_TPYE mode, const char *key, int expected) {
            QTest::newRow(name) << int(mode) << QString::fromLatin1(key) << expected;
        };
        // Each mode reads its own file only; missing keys take the caller's default.
        row("current, in both", CON_CURRENT, "Both", 1);
        row("default, in both", CON_DEFAULT, "Both", 2);
        row("current, only in the user's", CON_CURRENT, "User", 3);
        row("default, only in the user's", CON_DEFAULT, "User", -1);
        row("current, only in the shipped", CON_CURRENT, "Shipped", -1);
        row("default, only in the shipped", CON_DEFAULT, "Shipped", 4);
        row("current, outside group Setting", CON_CURRENT, "Elsewhere", -1);
    }

    void readByMode()
    {
        QFETCH(int, mode);
        QFETCH(QString, key);
        QFETCH(int, expected);
        attach("[General]\nElsewhere=9\n\n[Setting]\nBoth=1\nUser=3\n\n[Other]\nElsewhere=8\n",
               "Elsewhere=7\n[Setting]\nBoth=2\nShipped=4\n");
        SettingsReader reader(static_cast<CON_TPYE>(mode));
        QVERIFY(reader.isValid());
        QCOMPARE(reader.intValue(key, -1), expected);
        QCOMPARE(SettingsStore::settings(static_cast<CON_TPYE>(mode)),
                 mode == CON_DEFAULT ? mDefault.get() : mUser.get());
    }

    void readValues()
    {
        attach("[Setting]\nNegative=-3\nBlanks = 5 \nWord=abc\nMixed=12abc\nEmpty=\nTrue=true\n"
               "On=1\nOff=0\nSkinName=经典 蓝\nFont=\"Noto Sans, 12\"\n",
               QByteArray());
        SettingsReader reader(CON_CURRENT);
        QCOMPARE(reader.intValue(QStringLiteral("Negative"), 42), -3);
        QCOMPARE(reader.intValue(QStringLiteral("Blanks"), 42), 5);
        // Values that are no whole number read as 0, only absent keys as the default.
        for (const char *key : {"Word", "Mixed", "Empty", "True"})
            QVERIFY2(reader.intValue(QLatin1String(key), 42) == 0, key);
        QCOMPARE(reader.boolValue(QStringLiteral("On"), false), true);
        QCOMPARE(reader.boolValue(QStringLiteral("Off"), true), false);
        QCOMPARE(reader.stringValue(QStringLiteral("SkinName"), QString()),
                 QStringLiteral("经典 蓝"));
        QCOMPARE(reader.stringValue(QStringLiteral("Font"), QString()),
                 QStringLiteral("Noto Sans, 12"));
        QCOMPARE(reader.value(QStringLiteral("Absent"), 3).toInt(), 3);
    }

    void unusableFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QByteArray binary;
        for (int i = 0; i < 8192; ++i)
            binary += char(i % 2 ? (i * 131 + 7) % 256 : 0);
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("binary with NULs") << binary;
        QTest::newRow("keys without a section") << QByteArray("CandidateCount=9\nSkinName=x\n");
    }

    void unusableFile()
    {
        QFETCH(QByteArray, content);
        attach(content, content);
        readsOnlyDefaults(CON_CURRENT);
        readsOnlyDefaults(CON_DEFAULT);
    }

    void nothingAttached()
    {
        QVERIFY(!SettingsStore::settings(CON_CURRENT));
        QVERIFY(!SettingsStore::settings(CON_DEFAULT));
        QVERIFY(!SettingsReader(CON_CURRENT).isValid());
        readsOnlyDefaults(CON_CURRENT);
        readsOnlyDefaults(CON_DEFAULT);
        {
            SettingsWriter writer;
            QVERIFY(!writer.isValid());
            writer.setValue(QStringLiteral("CandidateCount"), 7);
        }
        QVERIFY(QDir(mDir->filePath(QStringLiteral("user"))).isEmpty());
    }

    void writerSyncsAndKeepsEverythingElse()
    {
        attach("[Other]\nX=1\n\n[Setting]\nA=1\nB=2\n", "[Setting]\nA=5\n");
        QCOMPARE(SettingsReader(CON_CURRENT).intValue(QStringLiteral("A"), 0), 1);
        {
            SettingsWriter writer;
            QVERIFY(writer.isValid());
            writer.setValue(QStringLiteral("A"), 7);
            writer.setValue(QStringLiteral("SkinName"), QStringLiteral("默认 皮肤"));
        }
        // On disk at once, and not in a group nested in the reader's.
        QVERIFY(mUser->group().isEmpty());
        const QByteArray bytes = readFile(mUserPath);
        QVERIFY2(bytes.contains("[Other]\nX=1\n"), bytes.constData());
        QVERIFY2(bytes.contains("[Setting]\nA=7\nB=2\nSkinName=默认 皮肤\n"), bytes.constData());
        QVERIFY(!bytes.contains("Setting%2F") && !bytes.contains("Setting/"));
        // Only the user's copy is written.
        QCOMPARE(readFile(mDefaultPath), QByteArray("[Setting]\nA=5\n"));
    }

    void readingWritesNothing()
    {
        // Comments, blanks, other groups, no final newline: a rewrite would show.
        const QByteArray user(
            "; kept\n[Setting]\nCandidateCount = 9\nSkinName=经典\n\n[Other]\nk=v");
        const QByteArray shipped("[Setting]\r\nCandidateCount=5\r\n");
        attach(user, shipped);
        const QDateTime userTime = QFileInfo(mUserPath).lastModified();
        // Restoring defaults reads the shipped file; Cancel reloads the user's.
        for (CON_TPYE mode : {CON_DEFAULT, CON_CURRENT, CON_DEFAULT}) {
            SettingsReader reader(mode);
            reader.intValue(QStringLiteral("CandidateCount"), 0);
            reader.stringValue(QStringLiteral("SkinName"), QString());
            reader.intValue(QStringLiteral("Absent"), 1);
        }
        // Closing the objects writes nothing either.
        cleanup();
        QCOMPARE(readFile(mUserPath), user);
        QCOMPARE(readFile(mDefaultPath), shipped);
        QCOMPARE(QFileInfo(mUserPath).lastModified(), userTime);
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settings_store.moc"
