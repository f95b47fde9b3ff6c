// Reading and writing group "Setting" of env.ini through the two settings
// objects, chosen by load mode, and what a broken or absent file reads as.
#include "TestFiles.h"
#include "config/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

// Opened the way the controller opens env.ini.
std::unique_ptr<QSettings> openIni(const QString &path)
{
    auto settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
    settings->setIniCodec("UTF-8");
    return settings;
}

QByteArray randomBytes(int size)
{
    QRandomGenerator generator(7);
    QByteArray bytes(size, '\0');
    for (char &c : bytes)
        c = char(generator.bounded(256));
    // Make sure NULs are among them.
    bytes[0] = bytes[size / 2] = '\0';
    return bytes;
}

} // namespace

class TestSettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void readByMode_data();
    void readByMode();
    void readInteger_data();
    void readInteger();
    void readOtherTypes();
    void unusableFile_data();
    void unusableFile();
    void unreadableFile();
    void nothingAttached();

    void writerSyncsOnScopeExit();
    void writerKeepsEverythingElse();
    void absentKeyWrittenOnNextSave();
    void readingWritesNothing();

private:
    void attach(const QByteArray &userContent, const QByteArray &defaultContent);

    std::unique_ptr<QTemporaryDir> mDir;
    QString mUserPath;
    QString mDefaultPath;
    std::unique_ptr<QSettings> mUser;
    std::unique_ptr<QSettings> mDefault;
};

void TestSettingsStore::init()
{
    mDir.reset(new QTemporaryDir);
    QVERIFY(mDir->isValid());
    QVERIFY(QDir().mkpath(mDir->filePath(QStringLiteral("user"))));
    QVERIFY(QDir().mkpath(mDir->filePath(QStringLiteral("system"))));
    mUserPath = mDir->filePath(QStringLiteral("user/env.ini"));
    mDefaultPath = mDir->filePath(QStringLiteral("system/env.ini"));
}

void TestSettingsStore::cleanup()
{
    SettingsStore::attach(nullptr, nullptr);
    mUser.reset();
    mDefault.reset();
}

// A null content leaves that file absent.
void TestSettingsStore::attach(const QByteArray &userContent, const QByteArray &defaultContent)
{
    if (!userContent.isNull())
        QVERIFY(writeFile(mUserPath, userContent));
    if (!defaultContent.isNull())
        QVERIFY(writeFile(mDefaultPath, defaultContent));
    mUser = openIni(mUserPath);
    mDefault = openIni(mDefaultPath);
    SettingsStore::attach(mUser.get(), mDefault.get());
}

void TestSettingsStore::readByMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("expected");

    // Each mode reads its own file only; a key missing there takes the
    // caller's default, not the other file's value.
    QTest::newRow("current, in both") << int(CON_CURRENT) << QStringLiteral("Both") << 1;
    QTest::newRow("default, in both") << int(CON_DEFAULT) << QStringLiteral("Both") << 2;
    QTest::newRow("current, only in the user's") << int(CON_CURRENT) << QStringLiteral("User") << 3;
    QTest::newRow("default, only in the user's")
        << int(CON_DEFAULT) << QStringLiteral("User") << -1;
    QTest::newRow("current, only in the shipped")
        << int(CON_CURRENT) << QStringLiteral("Shipped") << -1;
    QTest::newRow("default, only in the shipped")
        << int(CON_DEFAULT) << QStringLiteral("Shipped") << 4;
    QTest::newRow("current, outside group Setting")
        << int(CON_CURRENT) << QStringLiteral("Elsewhere") << -1;
    QTest::newRow("default, outside group Setting")
        << int(CON_DEFAULT) << QStringLiteral("Elsewhere") << -1;
    QTest::newRow("names are case-sensitive") << int(CON_CURRENT) << QStringLiteral("both") << -1;
}

void TestSettingsStore::readByMode()
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

void TestSettingsStore::readInteger_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("expected");

    QTest::newRow("number") << QByteArray("Key=12") << 12;
    QTest::newRow("zero") << QByteArray("Key=0") << 0;
    QTest::newRow("negative") << QByteArray("Key=-3") << -3;
    QTest::newRow("blanks around") << QByteArray("Key = 5 ") << 5;
    QTest::newRow("word") << QByteArray("Key=abc") << 42;
    QTest::newRow("digits then letters") << QByteArray("Key=12abc") << 42;
    QTest::newRow("empty value") << QByteArray("Key=") << 42;
    QTest::newRow("absent") << QByteArray("Other=1") << 42;
}

void TestSettingsStore::readInteger()
{
    QFETCH(QByteArray, line);
    QFETCH(int, expected);
    attach("[Setting]\n" + line + "\n", QByteArray());

    SettingsReader reader(CON_CURRENT);
    QCOMPARE(reader.intValue(QStringLiteral("Key"), 42), expected);
}

void TestSettingsStore::readOtherTypes()
{
    attach("[Setting]\nOn=1\nOff=0\nSkinName=经典 蓝\nFont=\"Noto Sans, 12\"\n", QByteArray());

    SettingsReader reader(CON_CURRENT);
    QCOMPARE(reader.boolValue(QStringLiteral("On"), false), true);
    QCOMPARE(reader.boolValue(QStringLiteral("Off"), true), false);
    QCOMPARE(reader.boolValue(QStringLiteral("Absent"), true), true);
    QCOMPARE(reader.boolValue(QStringLiteral("Absent"), false), false);
    QCOMPARE(reader.stringValue(QStringLiteral("SkinName"), QString()), QStringLiteral("经典 蓝"));
    QCOMPARE(reader.stringValue(QStringLiteral("Font"), QString()),
             QStringLiteral("Noto Sans, 12"));
    QCOMPARE(reader.stringValue(QStringLiteral("Absent"), QStringLiteral("默认")),
             QStringLiteral("默认"));
    QCOMPARE(reader.value(QStringLiteral("Absent"), 3).toInt(), 3);
}

void TestSettingsStore::unusableFile_data()
{
    QTest::addColumn<QByteArray>("content");

    QTest::newRow("missing") << QByteArray();
    QTest::newRow("empty") << QByteArray("");
    QTest::newRow("binary") << randomBytes(8192);
    QTest::newRow("keys without a section") << QByteArray("CandidateCount=9\nSkinName=x\n");
    QTest::newRow("section header only") << QByteArray("[Setting]\n");
}

void TestSettingsStore::unusableFile()
{
    QFETCH(QByteArray, content);
    attach(content, content);

    for (CON_TPYE mode : {CON_CURRENT, CON_DEFAULT}) {
        SettingsReader reader(mode);
        QCOMPARE(reader.intValue(QStringLiteral("CandidateCount"), 5), 5);
        QCOMPARE(reader.boolValue(QStringLiteral("Enabled"), true), true);
        QCOMPARE(reader.stringValue(QStringLiteral("SkinName"), QStringLiteral("默认")),
                 QStringLiteral("默认"));
    }
}

void TestSettingsStore::unreadableFile()
{
    // A folder where the file should be cannot be read by anyone.
    QVERIFY(QDir().mkpath(mDefaultPath));
    QVERIFY(writeFile(mUserPath, "[Setting]\nCandidateCount=9\n"));
    if (geteuid() != 0)
        QCOMPARE(chmod(QFile::encodeName(mUserPath).constData(), 0), 0);
    attach(QByteArray(), QByteArray());

    SettingsReader defaults(CON_DEFAULT);
    QCOMPARE(defaults.intValue(QStringLiteral("CandidateCount"), 5), 5);
    if (geteuid() == 0)
        QSKIP("the superuser reads files whatever their mode");
    SettingsReader current(CON_CURRENT);
    QCOMPARE(current.intValue(QStringLiteral("CandidateCount"), 5), 5);
}

void TestSettingsStore::nothingAttached()
{
    SettingsStore::attach(nullptr, nullptr);
    QVERIFY(!SettingsStore::settings(CON_CURRENT));
    QVERIFY(!SettingsStore::settings(CON_DEFAULT));

    for (CON_TPYE mode : {CON_CURRENT, CON_DEFAULT}) {
        SettingsReader reader(mode);
        QVERIFY(!reader.isValid());
        QCOMPARE(reader.intValue(QStringLiteral("CandidateCount"), 5), 5);
        QCOMPARE(reader.boolValue(QStringLiteral("Enabled"), true), true);
        QCOMPARE(reader.stringValue(QStringLiteral("SkinName"), QStringLiteral("x")),
                 QStringLiteral("x"));
    }
    {
        SettingsWriter writer;
        QVERIFY(!writer.isValid());
        writer.setValue(QStringLiteral("CandidateCount"), 7);
    }
    QVERIFY(QDir(mDir->filePath(QStringLiteral("user"))).isEmpty());
    QVERIFY(QDir(mDir->filePath(QStringLiteral("system"))).isEmpty());
}

void TestSettingsStore::writerSyncsOnScopeExit()
{
    attach(QByteArray(), "[Setting]\nCandidateCount=5\n");
    {
        SettingsWriter writer;
        QVERIFY(writer.isValid());
        writer.setValue(QStringLiteral("CandidateCount"), 7);
        writer.setValue(QStringLiteral("SkinName"), QStringLiteral("默认 皮肤"));
        writer.setValue(QStringLiteral("ShowMinimizedType"), 0);
    }
    // On disk at once, while the settings object is still open.
    const QByteArray bytes = readFile(mUserPath);
    QVERIFY2(bytes.startsWith("[Setting]\n"), bytes.constData());
    QVERIFY(bytes.contains("\nCandidateCount=7\n"));
    QVERIFY(bytes.contains("\nSkinName=默认 皮肤\n"));
    QVERIFY(bytes.contains("\nShowMinimizedType=0\n"));
    // Only the user's copy is written.
    QCOMPARE(readFile(mDefaultPath), QByteArray("[Setting]\nCandidateCount=5\n"));

    // A fresh object on the same path reads what was written.
    QSettings reread(mUserPath, QSettings::IniFormat);
    reread.setIniCodec("UTF-8");
    SettingsReader reader(&reread);
    QCOMPARE(reader.intValue(QStringLiteral("CandidateCount"), 0), 7);
    QCOMPARE(reader.stringValue(QStringLiteral("SkinName"), QString()),
             QStringLiteral("默认 皮肤"));
}

void TestSettingsStore::writerKeepsEverythingElse()
{
    attach("[Other]\nX=1\n\n[Setting]\nA=1\nB=2\n", QByteArray());
    {
        SettingsReader reader(CON_CURRENT);
        QCOMPARE(reader.intValue(QStringLiteral("A"), 0), 1);
    }
    {
        SettingsWriter writer;
        writer.setValue(QStringLiteral("A"), 5);
    }
    // The reader left the group, so the writer's keys land in "Setting"
    // and not in a nested group.
    QVERIFY(mUser->group().isEmpty());
    const QByteArray bytes = readFile(mUserPath);
    QVERIFY2(bytes.contains("[Other]\nX=1\n"), bytes.constData());
    QVERIFY2(bytes.contains("[Setting]\nA=5\nB=2\n"), bytes.constData());
    QVERIFY(!bytes.contains("Setting%2F"));
    QVERIFY(!bytes.contains("Setting/"));
}

void TestSettingsStore::absentKeyWrittenOnNextSave()
{
    attach("[Setting]\nKnown=1\n", "[Setting]\nKnown=2\n");

    int loaded = 0;
    {
        SettingsReader reader(CON_CURRENT);
        loaded = reader.intValue(QStringLiteral("NewOption"), 3);
    }
    QCOMPARE(loaded, 3);
    {
        SettingsReader reader(CON_DEFAULT);
        QCOMPARE(reader.intValue(QStringLiteral("NewOption"), 3), 3);
    }
    QCOMPARE(readFile(mUserPath), QByteArray("[Setting]\nKnown=1\n"));
    {
        SettingsWriter writer;
        writer.setValue(QStringLiteral("NewOption"), loaded);
    }
    const QByteArray bytes = readFile(mUserPath);
    QVERIFY2(bytes.contains("Known=1\n"), bytes.constData());
    QVERIFY2(bytes.contains("NewOption=3\n"), bytes.constData());
    QCOMPARE(readFile(mDefaultPath), QByteArray("[Setting]\nKnown=2\n"));
}

void TestSettingsStore::readingWritesNothing()
{
    // Hand-written files that a rewrite would change: comments, blanks,
    // other groups, no final newline.
    const QByteArray user("; kept\n[Setting]\nCandidateCount = 9\nSkinName=经典\n\n[Other]\nk=v");
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
    QCOMPARE(readFile(mUserPath), user);
    QCOMPARE(readFile(mDefaultPath), shipped);

    // Closing the objects writes nothing either.
    cleanup();
    QCOMPARE(readFile(mUserPath), user);
    QCOMPARE(readFile(mDefaultPath), shipped);
    QCOMPARE(QFileInfo(mUserPath).lastModified(), userTime);
}

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settings_store.moc"
