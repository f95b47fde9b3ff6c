// Every writer of the tool and of the engine stand-ins replaces its file
// whole or not at all, on a full disk (full_disk.sh mounts one) or killed
// mid-save, and leaves no temporary file the next save would trip over. The
// tool's own files follow the user's rights: read-only stays, a symbolic
// link keeps pointing at the file written, a closed folder is no obstacle.
#include "KcelFile.h"
#include "PhraseBinaryFile.h"
#include "PhraseTextFile.h"
#include "TestFiles.h"
#include "config/AtomicFile.h"
#include "pinyin/CorrectionFile.h"
#include "pinyin/FuzzyFile.h"
#include "pinyin/KcdListFile.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QSettings>
#include <QtTest>

#include <csignal>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

// The child of killedDuringSave cycles through versions 1 .. kLoopVersions.
constexpr int kLoopVersions = 5;

using Writer = std::function<bool(const QString &path, int version)>;

QByteArray bulk(int version, int size)
{
    QByteArray bytes;
    while (bytes.size() < size)
        bytes += "version " + QByteArray::number(version) + " line " +
                 QByteArray::number(bytes.size()) + '\n';
    return bytes;
}

std::string str(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

std::vector<UserPhraseItem> phrases(int version, int count)
{
    std::vector<UserPhraseItem> items;
    for (int i = 0; i < count; ++i)
        items.push_back({L"abc" + std::to_wstring(i),
                         L"短语" + std::to_wstring(version * 100000 + i), int16_t(i % 9 + 1)});
    return items;
}

KcelFile kcel(int version, int words)
{
    KcelFile file;
    file.id = "id" + std::to_string(version);
    file.name = "词库";
    for (int i = 0; i < words; ++i)
        file.entries.push_back({"词" + std::to_string(version * 100000 + i), "ci"});
    return file;
}

// The writers, each making a big file for version > 0 so it cannot fit on a
// full disk.
std::map<QString, Writer> writers()
{
    const int big = 256 * 1024;
    std::map<QString, Writer> all;
    all["atomic file"] = [big](const QString &path, int version) {
        return writeFileAtomically(str(path).c_str(), bulk(version, version ? big : 100)) ==
               AtomicWriteResult::Written;
    };
    all["Fuzzy.dat"] = [](const QString &path, int version) {
        if (!version)
            return writeFile(path, "[Fuzzy]\n");
        FuzzyFile::Pairs on{};
        on.fill(true);
        return FuzzyFile::write(path, on, true);
    };
    all["Correction.ini"] = [](const QString &path, int version) {
        if (!version)
            return writeFile(path, "[Correction]\n");
        CorrectionFile::Rules on{};
        on.fill(true);
        return CorrectionFile::write(path, on);
    };
    all["QSettings (env.ini, kcdlist.ini)"] = [](const QString &path, int version) {
        QSettings settings(path, QSettings::IniFormat);
        for (int i = 0; i < (version ? 4000 : 1); ++i)
            settings.setValue(QStringLiteral("Setting/key%1").arg(i), version);
        settings.sync();
        return settings.status() == QSettings::NoError;
    };
    all["kwim_phrases.bin"] = [](const QString &path, int version) {
        return PhraseBinaryFile::write(str(path), phrases(version, version ? 8000 : 1));
    };
    all["PhraseEdit.txt"] = [](const QString &path, int version) {
        return PhraseTextFile::write(str(path), phrases(version, version ? 8000 : 1));
    };
    all[".kcel and cell data"] = [](const QString &path, int version) {
        return kcel(version, version ? 20000 : 1).write(str(path));
    };
    return all;
}

// The writers of the tool's own files; the stand-ins' are the engine's.
const QStringList kToolWriters = {"atomic file", "Fuzzy.dat", "Correction.ini",
                                  "QSettings (env.ini, kcdlist.ini)"};

ino_t inode(const QString &path)
{
    struct stat info;
    return stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

// Saves version 1 in a child that has no right to override file
// permissions: as root it runs as nobody, without capabilities.
void saveAsUser(const QString &writer, const QString &path)
{
    QStringList arguments{QCoreApplication::applicationFilePath(), "--save-once", writer, path};
    if (geteuid() == 0)
        arguments =
            QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", "--inh-caps=-all"} +
            arguments;
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(geteuid() == 0 ? QStringLiteral("setpriv") : arguments.takeFirst(), arguments);
    QVERIFY(child.waitForFinished());
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
}

QStringList otherFiles(const QString &dir, const QStringList &keep)
{
    QStringList names = QDir(dir).entryList(QDir::Files | QDir::Hidden);
    for (const QString &name : keep)
        names.removeAll(name);
    return names;
}

void fillUp(const QString &path)
{
    QFile filler(path);
    filler.open(QIODevice::WriteOnly);
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size() && filler.flush()) {
    }
    const QByteArray byte(1, 'x');
    while (filler.write(byte) == 1 && filler.flush()) {
    }
}

} // namespace

class TestAtomicWrites : public QObject
{
    Q_OBJECT

private slots:
    void fullDisk_data()
    {
        QTest::addColumn<QString>("writer");
        for (const auto &entry : writers())
            QTest::newRow(qPrintable(entry.first)) << entry.first;
    }

    void fullDisk()
    {
        QFETCH(QString, writer);
        const QString dir = qEnvironmentVariable("KAIWO_FULL_DIR");
        if (dir.isEmpty())
            QSKIP("needs a small file system of its own (full_disk.sh)");
        const QString path = dir + "/target";
        const QString filler = dir + "/filler";
        const Writer write = writers().at(writer);

        QVERIFY(write(path, 0));
        const QByteArray before = readFile(path);
        fillUp(filler);
        const bool claimed = write(path, 1);
        const QByteArray after = readFile(path);
        const QStringList leftovers = otherFiles(dir, {"target", "filler"});
        QFile::remove(filler);
        QFile::remove(path);

        QVERIFY2(!claimed, "the writer reported success on a full disk");
        QCOMPARE(after, before);
        QCOMPARE(leftovers, QStringList());
    }

    void killedDuringSave_data() { fullDisk_data(); }

    // A child process saves versions 1, 2, 3 ... of one file as fast as it can;
    // it is killed at random moments, and each time the file must be one whole
    // version.
    void killedDuringSave()
    {
        QFETCH(QString, writer);
        const Writer write = writers().at(writer);
        QTemporaryDir dir;
        // Every whole file the child can leave: version 0, then any of 1 .. 5.
        QSet<QByteArray> wholeFiles;
        for (int version = 0; version <= kLoopVersions; ++version) {
            const QString probe = dir.filePath(QString::number(version));
            QVERIFY(write(probe, 0));
            QVERIFY(write(probe, version));
            wholeFiles.insert(readFile(probe));
        }
        const QString path = dir.filePath("target");
        QVERIFY(write(path, 0));
        QRandomGenerator random(4711);
        for (int round = 0; round < 12; ++round) {
            QProcess child;
            child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            child.start(QCoreApplication::applicationFilePath(), {"--save-loop", writer, path});
            QVERIFY(child.waitForStarted());
            QTest::qWait(int(random.bounded(20, 120)));
            ::kill(pid_t(child.processId()), SIGKILL);
            child.waitForFinished();
            QVERIFY2(wholeFiles.contains(readFile(path)),
                     qPrintable(QStringLiteral("round %1: not a whole file").arg(round)));
        }
        // The temporaries a kill leaves behind never stop the next save.
        QVERIFY(write(path, 1));
    }

    void userRights_data()
    {
        addColumns<QString, QString>({"writer", "kind"});
        for (const QString &writer : kToolWriters) {
            for (const char *kind : {"read-only file", "symbolic link", "closed folder"}) {
                // Qt's own saves never write in place.
                if (writer.startsWith("QSettings") && qstrcmp(kind, "closed folder") == 0)
                    continue;
                QTest::addRow("%s, %s", qPrintable(writer), kind) << writer << QString(kind);
            }
        }
    }

    void userRights()
    {
        QFETCH(QString, writer);
        QFETCH(QString, kind);
        const Writer write = writers().at(writer);
        QTemporaryDir dir;
        QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::Permissions(0x7777)));
        const QString probe = dir.filePath("probe");
        QVERIFY(write(probe, 0) && write(probe, 1));
        const QByteArray written = readFile(probe);

        QString path = dir.filePath("target");
        QString file = path;
        if (kind == "symbolic link") {
            QVERIFY(QDir(dir.path()).mkdir("real"));
            file = dir.filePath("real/target");
            QVERIFY(QFile::link("real/target", path));
        } else if (kind == "closed folder") {
            QVERIFY(QDir(dir.path()).mkdir("closed"));
            path = file = dir.filePath("closed/target");
        }
        QVERIFY(write(file, 0));
        const QByteArray before = readFile(file);
        const ino_t node = inode(file);
        const auto everyone = QFileDevice::Permissions(0x6666);
        QVERIFY(QFile::setPermissions(
            file, kind == "read-only file" ? QFileDevice::Permissions(0x4444) : everyone));
        QVERIFY(QFile::setPermissions(QFileInfo(file).path(),
                                      kind == "closed folder" ? QFileDevice::Permissions(0x5555)
                                                              : QFileDevice::Permissions(0x7777)));

        saveAsUser(writer, path);
        QFile::setPermissions(QFileInfo(file).path(), QFileDevice::Permissions(0x7777));
        QCOMPARE(readFile(file), kind == "read-only file" ? before : written);
        // A link's target is still replaced whole; the others are the same file.
        if (kind == "symbolic link")
            QCOMPARE(QFileInfo(path).symLinkTarget(), file);
        else
            QCOMPARE(inode(file), node);
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // The child sides of userRights (one save) and killedDuringSave (saves
    // of versions 1 .. kLoopVersions until killed).
    const bool once = argc == 4 && qstrcmp(argv[1], "--save-once") == 0;
    if (once || (argc == 4 && qstrcmp(argv[1], "--save-loop") == 0)) {
        const Writer write = writers().at(QString::fromLocal8Bit(argv[2]));
        for (int version = 1;; version = version % kLoopVersions + 1) {
            write(QString::fromLocal8Bit(argv[3]), version);
            if (once)
                return 0;
        }
    }
    TestAtomicWrites test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_atomic_writes.moc"
