#include "app/SingleInstance.h"

#include "ui/QtText.h"

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

SingleInstance::SingleInstance(const QString& lockFileName)
    : lock_(lockFileName), fileName_(lockFileName)
{
    lock_.setStaleLockTime(0); // only a dead owner makes the lock stale, never its age
}

SingleInstance::Lock SingleInstance::TryAcquire()
{
    if (lock_.tryLock(0))
        return Lock::Acquired;
    return lock_.error() == QLockFile::LockFailedError ? Lock::HeldByAnother : Lock::Failed;
}

std::string SingleInstance::FailureText() const
{
    const char* reason = lock_.error() == QLockFile::PermissionError
                             ? "the folder cannot be written"
                             : "it cannot be created there";
    return "Vorlane cannot make its lock file " + S(fileName_) + " (" + reason +
           "), so it cannot tell whether it already runs. It goes on, but a Vorlane started "
           "after this one would not notice it.";
}

} // namespace vorlane
