#pragma once

#include <QString>

namespace platform {

// A lock file held for this process's life. The system lets it go when the process
// ends, however it ends (a crash, a kill), so a lock is never left behind to be judged
// stale; a stopped or busy process still holds it. Not for threads of one process.
class ProcessLock {
public:
    explicit ProcessLock(QString path) : path_(std::move(path)) {}
    ~ProcessLock();
    ProcessLock(const ProcessLock&) = delete;
    ProcessLock& operator=(const ProcessLock&) = delete;

    enum class Result {
        Taken,          // this process holds it now
        HeldElsewhere,  // another living process holds it
        Unavailable,    // no lock can be made there (the folder, the file system)
    };
    // Takes the lock without waiting (again and again until Taken).
    Result tryLock();

private:
    QString path_;
    int fd_ = -1;
};

}  // namespace platform
