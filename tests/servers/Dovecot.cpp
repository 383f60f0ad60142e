#include "servers/Dovecot.h"

#include "servers/ScriptedServer.h"

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <fstream>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace vorlane::test {

namespace {

constexpr uid_t kMailUid = 65534; // nobody
constexpr gid_t kMailGid = 65534;

bool Accepts(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

void Own(const std::filesystem::path& path)
{
    if (::chown(path.c_str(), kMailUid, kMailGid) != 0)
        throw std::runtime_error("cannot hand " + path.string() + " to the mail user");
}

} // namespace

bool Dovecot::Available(std::string& why)
{
    if (::access("/usr/sbin/dovecot", X_OK) != 0) {
        why = "dovecot is not installed (Debian package dovecot-pop3d)";
        return false;
    }
    if (::geteuid() != 0) {
        why = "Dovecot runs its mail processes as another user, which needs root";
        return false;
    }
    return true;
}

Dovecot::Dovecot(int port) : port_(port == 0 ? UnusedPort() : port), imapPort_(UnusedPort())
{
    std::filesystem::permissions(dir_.Path(), std::filesystem::perms::owner_all |
                                                  std::filesystem::perms::group_exec |
                                                  std::filesystem::perms::others_exec);
    std::filesystem::create_directories(dir_ / "home");
    WriteFile(dir_ / "passwd", "");
}

Dovecot::~Dovecot()
{
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
}

void Dovecot::AddUser(const std::string& user, const std::string& password)
{
    std::ofstream(dir_ / "passwd", std::ios::app) << user << ":{PLAIN}" << password << "\n";
    const auto maildir = dir_ / "home" / user / "Maildir";
    for (const char* sub : {"new", "cur", "tmp"})
        std::filesystem::create_directories(maildir / sub);
    for (const auto& path :
         {dir_ / "home" / user, maildir, maildir / "new", maildir / "cur", maildir / "tmp"})
        Own(path);
}

namespace {

std::string MessageText(const std::string& from, const std::string& subject, int number,
                        const std::string& body)
{
    std::string message = "Return-Path: <sender@example.org>\r\n";
    if (!from.empty())
        message += "From: " + from + "\r\n";
    if (!subject.empty())
        message += "Subject: " + subject + "\r\n";
    return message + "Message-ID: <" + std::to_string(number) + "@example.org>\r\n\r\n" + body +
           "\r\n";
}

std::string MaildirName(int number)
{
    return std::to_string(1700000000 + number) + ".M" + std::to_string(number) + ".test";
}

} // namespace

int Dovecot::AddMessage(const std::string& user, const std::string& from,
                        const std::string& subject, const std::string& body)
{
    const auto message = MessageText(from, subject, ++messages_, body);
    const auto file = dir_ / "home" / user / "Maildir" / "new" / MaildirName(messages_);
    WriteFile(file, message);
    Own(file);
    return static_cast<int>(message.size());
}

std::string Dovecot::AddFlaggedMessage(const std::string& user, const std::string& from,
                                       const std::string& subject, const std::string& flags)
{
    const auto message = MessageText(from, subject, ++messages_, "Hello.");
    const auto name = MaildirName(messages_) + ":2," + flags;
    const auto file = dir_ / "home" / user / "Maildir" / "cur" / name;
    WriteFile(file, message);
    Own(file);
    return name;
}

std::vector<std::string> Dovecot::MaildirFiles(const std::string& user) const
{
    std::vector<std::string> names;
    for (const char* sub : {"new", "cur"})
        for (const auto& entry :
             std::filesystem::directory_iterator(dir_ / "home" / user / "Maildir" / sub))
            names.push_back(std::string(sub) + "/" + entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void Dovecot::EnableTls(const std::string& certificateFile, const std::string& keyFile)
{
    certificateFile_ = certificateFile;
    keyFile_ = keyFile;
    tlsPort_ = UnusedPort();
    imapTlsPort_ = UnusedPort();
}

void Dovecot::WriteConfiguration()
{
    const auto d = dir_.Path().string();
    std::string config = "base_dir = " + d + "/run\n";
    config += "state_dir = " + d + "/state\n";
    config += "log_path = " + d + "/dovecot.log\n";
    config += "protocols = pop3 imap\n";
    config += "listen = 127.0.0.1\n";
    if (certificateFile_.empty())
        config += "ssl = no\n";
    else
        config += "ssl = yes\nssl_cert = <" + certificateFile_ + "\nssl_key = <" + keyFile_ +
                  "\nssl_dh = </usr/share/dovecot/dh.pem\n";
    config += "disable_plaintext_auth = no\n";
    config += "auth_mechanisms = plain\n";
    config += "auth_failure_delay = 0\n";
    config += "first_valid_uid = 1\n";
    config += "passdb {\n  driver = passwd-file\n  args = scheme=PLAIN " + d + "/passwd\n}\n";
    config +=
        "userdb {\n  driver = static\n  args = uid=65534 gid=65534 home=" + d + "/home/%u\n}\n";
    config += "mail_location = maildir:~/Maildir\n";
    config += "pop3_lock_session = yes\n";
    config += "service pop3-login {\n  inet_listener pop3 {\n    port = " + std::to_string(port_) +
              "\n  }\n";
    if (tlsPort_ != 0)
        config += "  inet_listener pop3s {\n    port = " + std::to_string(tlsPort_) +
                  "\n    ssl = yes\n  }\n";
    config += "}\n";
    // IMAP on ports of its own; implicit TLS only with a certificate, never on 993.
    config +=
        "service imap-login {\n  inet_listener imap {\n    port = " + std::to_string(imapPort_) +
        "\n  }\n  inet_listener imaps {\n    port = " + std::to_string(imapTlsPort_) + "\n" +
        (imapTlsPort_ != 0 ? "    ssl = yes\n" : "") + "  }\n}\n";
    config += "service anvil {\n  chroot =\n}\n";
    WriteFile(dir_ / "dovecot.conf", config);
}

void Dovecot::Start()
{
    WriteConfiguration();
    const auto config = (dir_ / "dovecot.conf").string();
    pid_ = ::fork();
    if (pid_ == 0) {
        ::execl("/usr/sbin/dovecot", "dovecot", "-F", "-c", config.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    for (int i = 0; i < 200; ++i) {
        if (Accepts(port_) && Accepts(imapPort_))
            return;
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            throw std::runtime_error("dovecot ended at start: " + ReadFile(dir_ / "dovecot.log"));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    throw std::runtime_error("dovecot does not listen on port " + std::to_string(port_));
}

} // namespace vorlane::test
