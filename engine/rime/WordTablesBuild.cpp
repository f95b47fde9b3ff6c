#include "WordTablesBuild.h"
#include "EnglishSchema.h"
#include "RimeSchema.h"

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

WordTablesBuild::WordTablesBuild(const QString &shellDir, const QString &rimeDir,
                                 const std::string &sharedDir)
    : mShellDir(shellDir), mRimeDir(rimeDir), mSharedDir(sharedDir)
{
}

WordTablesBuild::~WordTablesBuild()
{
    if (mThread.joinable())
        mThread.join();
}

void WordTablesBuild::start()
{
    if (running()) {
        mAgain = true;
        return;
    }
    mDone = false;
    mThread = std::thread(&WordTablesBuild::run, this);
}

std::optional<CellWords::Outcome> WordTablesBuild::takeFinished()
{
    if (!running() || !mDone)
        return std::nullopt;
    mThread.join();
    const CellWords::Outcome outcome = mOutcome;
    if (std::exchange(mAgain, false))
        start();
    return outcome;
}

void WordTablesBuild::run()
{
    // Typing comes first: this thread and the deployer it starts (which
    // inherits the value) yield the processor to fcitx's main loop.
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 10);
    QString englishProblem;
    const bool english = compileIfStale(QLatin1String(EnglishSchema::wordsSchemaId()),
                                        QLatin1String(RimeSchema::englishDictionary()),
                                        "english-words.log", &englishProblem);
    mOutcome = CellWords::build(mShellDir, mRimeDir,
                                QString::fromStdString(mSharedDir) +
                                    QStringLiteral("/luna_pinyin.dict.yaml"));
    const QString cells = QLatin1String(CellWords::dictionaryName());
    if (mOutcome.problem.isEmpty())
        mOutcome.changed = compileIfStale(cells, cells, "cell-words.log", &mOutcome.problem);
    if (mOutcome.problem.isEmpty())
        mOutcome.problem = englishProblem;
    mOutcome.changed = mOutcome.changed || english;
    mDone = true;
}

// The stamp names the sources a whole build was made from: a changed
// spelling removes the old prism, a first start has none, and a build cut
// short (fcitx killed) left no stamp for these words.
bool WordTablesBuild::compileIfStale(const QString &schemaId, const QString &dictionary,
                                     const char *log, QString *problem) const
{
    const QString words = mRimeDir + dictionary + QStringLiteral(".dict.yaml");
    if (!QFile::exists(words))
        return false; // nothing to build: the word list was never read
    const QString built = mRimeDir + QStringLiteral("build/");
    const QString stamp = built + schemaId + QStringLiteral(".stamp");
    QCryptographicHash sources(QCryptographicHash::Md5);
    sources.addData(readAll(words));
    sources.addData(readAll(mRimeDir + schemaId + QStringLiteral(".schema.yaml")));
    const QByteArray digest = sources.result().toHex();
    const bool whole = QFile::exists(built + dictionary + QStringLiteral(".table.bin")) &&
                       QFile::exists(built + schemaId + QStringLiteral(".prism.bin")) &&
                       readAll(stamp) == digest;
    if (whole)
        return false;
    QFile::remove(stamp);
    if (!compile(schemaId, log)) {
        *problem = QStringLiteral("Rime's deployer could not compile %1 (see log/%2)")
                       .arg(dictionary, QLatin1String(log));
        return false;
    }
    writeFileAtomically(QFile::encodeName(stamp).constData(), digest);
    return true;
}

bool WordTablesBuild::compile(const QString &schemaId, const char *log) const
{
    const std::string user = QFile::encodeName(mRimeDir).toStdString();
    const std::string schema = user + schemaId.toStdString() + ".schema.yaml";
    const std::string staging = user + "build";
    // Arguments, never a shell command: the paths may hold anything.
    const char *argv[] = {"rime_deployer",    "--compile",     schema.c_str(), user.c_str(),
                          mSharedDir.c_str(), staging.c_str(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // What the deployer says stays beside Rime's own logs.
    const std::string logFile = user + "log/" + log;
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    pid_t child = 0;
    const int spawned =
        posix_spawnp(&child, argv[0], &actions, nullptr, const_cast<char *const *>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (spawned != 0 || waitpid(child, &status, 0) != child)
        return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
