#include "CellDictionaryBuild.h"
#include "ConfigTranslator.h"

#include "config/AtomicFile.h"

#include <QCryptographicHash>
#include <QFile>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <utility>

extern char **environ;

namespace
{

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

CellDictionaryBuild::CellDictionaryBuild(const QString &shellDir, const QString &rimeDir,
                                         const std::string &sharedDir)
    : mShellDir(shellDir), mRimeDir(rimeDir), mSharedDir(sharedDir)
{
}

CellDictionaryBuild::~CellDictionaryBuild()
{
    if (mThread.joinable())
        mThread.join();
}

void CellDictionaryBuild::start()
{
    if (running()) {
        mAgain = true;
        return;
    }
    mDone = false;
    mThread = std::thread(&CellDictionaryBuild::run, this);
}

std::optional<CellWords::Outcome> CellDictionaryBuild::takeFinished()
{
    if (!running() || !mDone)
        return std::nullopt;
    mThread.join();
    const CellWords::Outcome outcome = mOutcome;
    if (std::exchange(mAgain, false))
        start();
    return outcome;
}

void CellDictionaryBuild::run()
{
    // Typing comes first: this thread and the deployer it starts (which
    // inherits the value) yield the processor to fcitx's main loop.
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 10);
    mOutcome = CellWords::build(mShellDir, mRimeDir,
                                QString::fromStdString(mSharedDir) +
                                    QStringLiteral("/luna_pinyin.dict.yaml"));
    // The stamp names the source a whole build was made from: a changed
    // spelling removes the old prism, a first start has none, and a build
    // cut short (fcitx killed) left no stamp for these words.
    const QString built = mRimeDir + QStringLiteral("build/") + CellWords::dictionaryName();
    const QByteArray source = QCryptographicHash::hash(
        readAll(mRimeDir + CellWords::dictionaryName() + ".dict.yaml"), QCryptographicHash::Md5);
    const bool whole = QFile::exists(built + QStringLiteral(".table.bin")) &&
                       QFile::exists(built + QStringLiteral(".prism.bin")) &&
                       readAll(built + QStringLiteral(".stamp")) == source.toHex();
    if (mOutcome.changed || !whole) {
        QFile::remove(built + QStringLiteral(".stamp"));
        mOutcome.changed = compile();
        if (mOutcome.changed)
            writeFileAtomically(QFile::encodeName(built + QStringLiteral(".stamp")).constData(),
                                source.toHex());
        else
            mOutcome.problem = QStringLiteral("Rime's deployer could not compile the cell words "
                                              "(see log/cell-words.log)");
    }
    mDone = true;
}

bool CellDictionaryBuild::compile() const
{
    const std::string user = QFile::encodeName(mRimeDir).toStdString();
    const std::string schema = user + ConfigTranslator::cellsSchemaFileName();
    const std::string staging = user + "build";
    // Arguments, never a shell command: the paths may hold anything.
    const char *argv[] = {"rime_deployer",    "--compile",     schema.c_str(), user.c_str(),
                          mSharedDir.c_str(), staging.c_str(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // What the deployer says stays beside Rime's own logs.
    const std::string log = user + "log/cell-words.log";
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t child = 0;
    const int spawned =
        posix_spawnp(&child, argv[0], &actions, nullptr, const_cast<char *const *>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (spawned != 0 || waitpid(child, &status, 0) != child)
        return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
