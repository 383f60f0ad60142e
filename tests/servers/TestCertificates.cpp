#include "servers/TestCertificates.h"

#include <cstdlib>
#include <stdexcept>
#include <unistd.h>

namespace vorlane::test {

namespace {

constexpr const char* kKey = "-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes";

} // namespace

bool TestCertificates::Available(std::string& why)
{
    if (::access("/usr/bin/openssl", X_OK) == 0)
        return true;
    why = "openssl is not installed";
    return false;
}

std::string TestCertificates::KeyOf(const std::string& certificate)
{
    return certificate.substr(0, certificate.size() - 4) + ".key";
}

void TestCertificates::Run(const std::string& command) const
{
    const auto line = "cd '" + dir_.Path().string() + "' && " + command + " >/dev/null 2>&1";
    if (std::system(line.c_str()) != 0)
        throw std::runtime_error("openssl failed: " + command);
}

TestCertificates::TestCertificates()
{
    WriteFile(dir_ / "localhost.ext", "subjectAltName=DNS:localhost,IP:127.0.0.1\n");
    WriteFile(dir_ / "other.ext", "subjectAltName=DNS:mail.example.org\n");
    // A minimal authority for "openssl ca", which alone can write dates in the past.
    WriteFile(dir_ / "ca.cnf",
              "[ca]\ndefault_ca=test\n[test]\ndatabase=index.txt\nnew_certs_dir=.\n"
              "serial=serial\ndefault_md=sha256\npolicy=any\ncopy_extensions=copy\n"
              "[any]\ncommonName=supplied\n");
    WriteFile(dir_ / "index.txt", "");
    WriteFile(dir_ / "serial", "1000\n");
    for (const char* authority : {"ca", "rogue"})
        Run(std::string("openssl req -x509 ") + kKey + " -keyout " + authority + ".key -out " +
            authority + ".pem -days 3650 -subj '/CN=Vorlane test " + authority + "'");
    const auto issue = [this](const std::string& name, const std::string& host,
                              const std::string& authority, const std::string& extensions) {
        Run(std::string("openssl req ") + kKey + " -keyout " + name + ".key -out " + name +
            ".csr -subj '/CN=" + host + "'");
        Run("openssl x509 -req -in " + name + ".csr -CA " + authority + ".pem -CAkey " + authority +
            ".key -CAcreateserial -days 365 -extfile " + extensions + " -out " + name + ".pem");
    };
    issue("good", "localhost", "ca", "localhost.ext");
    issue("other", "mail.example.org", "ca", "other.ext");
    issue("untrusted", "localhost", "rogue", "localhost.ext");
    Run(std::string("openssl req ") + kKey +
        " -keyout expired.key -out expired.csr -subj '/CN=localhost'");
    Run("openssl ca -batch -config ca.cnf -cert ca.pem -keyfile ca.key -startdate 20200101000000Z "
        "-enddate 20200201000000Z -extfile localhost.ext -in expired.csr -out expired.pem");
    // Dovecot's login processes read the files as another user.
    for (const char* name : {"good", "other", "untrusted", "expired"})
        Run(std::string("chmod 644 ") + name + ".pem " + name + ".key");
    Run("chmod 755 .");
}

} // namespace vorlane::test
