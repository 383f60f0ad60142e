#include "net/KeychainPasswordStore.h"

#include "util/Log.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QEventLoop>
#include <QTimer>
#include <qt6keychain/keychain.h>

namespace vorlane {

namespace {

KeyringStatus StatusOf(QKeychain::Error error)
{
    switch (error) {
    case QKeychain::NoError:
        return KeyringStatus::Done;
    case QKeychain::EntryNotFound:
        return KeyringStatus::NotFound;
    case QKeychain::AccessDeniedByUser:
    case QKeychain::AccessDenied:
        return KeyringStatus::Refused;
    case QKeychain::CouldNotDeleteEntry:
    case QKeychain::NoBackendAvailable:
    case QKeychain::NotImplemented:
    case QKeychain::OtherError:
        break;
    }
    return KeyringStatus::Unavailable;
}

// Starts the job and handles events until it has finished or the time is up. A job that
// finishes later deletes itself; nothing waits for it any more.
KeyringResult Run(QKeychain::Job* job, std::chrono::milliseconds timeLimit)
{
    job->setAutoDelete(true);
    job->setInsecureFallback(false); // never QSettings in plain text
    KeyringResult result{KeyringStatus::TimedOut, {}, {}};
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(job, &QKeychain::Job::finished, &loop, [&](QKeychain::Job* done) {
        result.Status = StatusOf(done->error());
        if (result.Status == KeyringStatus::Done) {
            if (auto* read = qobject_cast<QKeychain::ReadPasswordJob*>(done))
                result.Password = read->binaryData().toStdString();
        } else if (result.Status != KeyringStatus::NotFound) {
            result.Detail = EscapeLogText(done->errorString().toStdString());
        }
        loop.quit();
    });
    limit.start(timeLimit);
    job->start();
    if (result.Status == KeyringStatus::TimedOut)
        loop.exec();
    return result;
}

// Whether the Secret Service's default collection is locked. A lookup in a locked one asks the
// user to unlock it; when that prompt is dismissed, or none can be shown, the lookup finds
// nothing, which must not be taken for a password that is missing.
bool DefaultCollectionLocked()
{
    const QString service = QStringLiteral("org.freedesktop.secrets");
    auto bus = QDBusConnection::sessionBus();
    auto alias = QDBusMessage::createMethodCall(service, QStringLiteral("/org/freedesktop/secrets"),
                                                QStringLiteral("org.freedesktop.Secret.Service"),
                                                QStringLiteral("ReadAlias"));
    alias << QStringLiteral("default");
    const auto path = bus.call(alias, QDBus::Block, 5000);
    if (path.type() != QDBusMessage::ReplyMessage || path.arguments().isEmpty())
        return false;
    const auto collection = path.arguments().front().value<QDBusObjectPath>().path();
    if (collection.isEmpty() || collection == QStringLiteral("/"))
        return false;
    auto get = QDBusMessage::createMethodCall(service, collection,
                                              QStringLiteral("org.freedesktop.DBus.Properties"),
                                              QStringLiteral("Get"));
    get << QStringLiteral("org.freedesktop.Secret.Collection") << QStringLiteral("Locked");
    const auto locked = bus.call(get, QDBus::Block, 5000);
    return locked.type() == QDBusMessage::ReplyMessage && !locked.arguments().isEmpty() &&
           locked.arguments().front().value<QDBusVariant>().variant().toBool();
}

} // namespace

KeychainPasswordStore::KeychainPasswordStore(QString service) : service_(std::move(service)) {}

QString KeychainPasswordStore::KeyOf(const PasswordKey& key)
{
    return QString::fromStdString(key.UserName + "@" + key.Host);
}

KeyringResult KeychainPasswordStore::Read(const PasswordKey& key,
                                          std::chrono::milliseconds timeLimit)
{
    auto* job = new QKeychain::ReadPasswordJob(service_);
    job->setKey(KeyOf(key));
    auto result = Run(job, timeLimit);
    if (result.Status == KeyringStatus::NotFound && DefaultCollectionLocked())
        result.Status = KeyringStatus::Refused;
    return result;
}

KeyringResult KeychainPasswordStore::Write(const PasswordKey& key, const std::string& password,
                                           std::chrono::milliseconds timeLimit)
{
    auto* job = new QKeychain::WritePasswordJob(service_);
    job->setKey(KeyOf(key));
    // As text, so that the desktop's password manager shows it; bytes that are no UTF-8 (a
    // password imported from Windows) as they are, which the keyring keeps in base64.
    const auto bytes = QByteArray::fromStdString(password);
    const auto text = QString::fromUtf8(bytes);
    if (text.toUtf8() == bytes)
        job->setTextData(text);
    else
        job->setBinaryData(bytes);
    return Run(job, timeLimit);
}

KeyringResult KeychainPasswordStore::Remove(const PasswordKey& key,
                                            std::chrono::milliseconds timeLimit)
{
    auto* job = new QKeychain::DeletePasswordJob(service_);
    job->setKey(KeyOf(key));
    return Run(job, timeLimit);
}

} // namespace vorlane
