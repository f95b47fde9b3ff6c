#pragma once

#include "CellWords.h"

#include <QString>

#include <atomic>
#include <optional>
#include <string>
#include <thread>

// Builds the two large word tables beside the typing session: the English
// word list's (seconds on a first start) and the cell words'. The words are
// gathered on a thread of their own and compiled by Rime's own deployer in
// a child process, so typing goes on with the words the session has. When
// a build has finished the caller redeploys, which then finds everything
// built and only reopens the session.
class WordTablesBuild
{
public:
    WordTablesBuild(const QString &shellDir, const QString &rimeDir, const std::string &sharedDir);
    ~WordTablesBuild();
    WordTablesBuild(const WordTablesBuild &) = delete;
    WordTablesBuild &operator=(const WordTablesBuild &) = delete;

    // Starts a build now, or once more after the one in flight.
    void start();
    bool running() const { return mThread.joinable(); }
    // What a finished build did, once; nothing while one runs. `changed`
    // when either table was made again.
    std::optional<CellWords::Outcome> takeFinished();

private:
    void run();
    // Compiles the schema's dictionary unless a whole build of these
    // sources is there; true when it was compiled.
    bool compileIfStale(const QString &schemaId, const QString &dictionary, const char *log,
                        QString *problem) const;
    bool compile(const QString &schemaId, const char *log) const;

    QString mShellDir;
    QString mRimeDir;
    std::string mSharedDir;
    std::thread mThread;
    std::atomic<bool> mDone{false};
    bool mAgain = false;
    CellWords::Outcome mOutcome;
};
