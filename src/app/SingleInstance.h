#pragma once

#include <QLockFile>
#include <QString>
#include <string>

namespace vorlane {

// One running program per user: a lock file in the user's runtime folder. A lock left by a
// program that died is taken over.
class SingleInstance
{
public:
    enum class Lock
    {
        Acquired,
        HeldByAnother, // another instance runs
        Failed,        // the lock file cannot be made: nobody can tell
    };

    explicit SingleInstance(const QString& lockFileName = LockFileName());
    Lock TryAcquire();
    // Why the lock failed, in plain words for the user.
    std::string FailureText() const;

    static QString LockFileName();

private:
    QLockFile lock_;
    QString fileName_;
};

} // namespace vorlane
