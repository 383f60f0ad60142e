#pragma once

#include <QLockFile>
#include <QString>

namespace vorlane {

// One running program per user: a lock file in the user's runtime folder. A lock left by a
// program that died is taken over.
class SingleInstance
{
public:
    SingleInstance();
    // False when another instance holds the lock.
    bool TryAcquire();

    static QString LockFileName();

private:
    QLockFile lock_;
};

} // namespace vorlane
