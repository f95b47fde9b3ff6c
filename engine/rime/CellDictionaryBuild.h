#pragma once

#include "CellWords.h"

#include <QString>

#include <atomic>
#include <optional>
#include <string>
#include <thread>

// Rebuilds the cell words' Rime dictionary beside the typing session: the
// words are gathered on a thread of their own and compiled by Rime's own
// deployer in a child process, so typing goes on with the words the session
// has. When a build has finished the caller redeploys, which then finds
// everything built and only reopens the session.
class CellDictionaryBuild
{
public:
    CellDictionaryBuild(const QString &shellDir, const QString &rimeDir,
                        const std::string &sharedDir);
    ~CellDictionaryBuild();
    CellDictionaryBuild(const CellDictionaryBuild &) = delete;
    CellDictionaryBuild &operator=(const CellDictionaryBuild &) = delete;

    // Starts a build now, or once more after the one in flight.
    void start();
    bool running() const { return mThread.joinable(); }
    // What a finished build did, once; nothing while one runs.
    std::optional<CellWords::Outcome> takeFinished();

private:
    void run();
    bool compile() const;

    QString mShellDir;
    QString mRimeDir;
    std::string mSharedDir;
    std::thread mThread;
    std::atomic<bool> mDone{false};
    bool mAgain = false;
    CellWords::Outcome mOutcome;
};
