#include "app/SingleInstance.h"

#include <QDir>
#include <QFileInfo>
#include <unistd.h>

namespace vorlane {

QString SingleInstance::LockFileName()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        return runtime + QStringLiteral("/vorlane.lock");
    return QDir::tempPath() + QStringLiteral("/vorlane-%1.lock").arg(::getuid());
}

SingleInstance::SingleInstance() : lock_(LockFileName())
{
    lock_.setStaleLockTime(0); // only a dead owner makes the lock stale, never its age
}

bool SingleInstance::TryAcquire()
{
    return lock_.tryLock(0);
}

} // namespace vorlane
