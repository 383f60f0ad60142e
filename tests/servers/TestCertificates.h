#pragma once

#include "support/TempDir.h"

#include <string>

namespace vorlane::test {

// Certificates made with openssl for one test run: a certificate authority trusted only by the
// test, and server certificates (key beside each) that are good, for another host, expired, and
// from an authority nobody trusts.
class TestCertificates
{
public:
    TestCertificates();
    static bool Available(std::string& why);

    std::string Authority() const { return Path("ca.pem"); }
    std::string Good() const { return Path("good.pem"); }           // localhost and 127.0.0.1
    std::string OtherHost() const { return Path("other.pem"); }     // mail.example.org
    std::string Expired() const { return Path("expired.pem"); }     // localhost, ended in 2020
    std::string Untrusted() const { return Path("untrusted.pem"); } // localhost, unknown authority
    // The key of a certificate: the same name ending in .key.
    static std::string KeyOf(const std::string& certificate);

private:
    std::string Path(const char* name) const { return (dir_ / name).string(); }
    void Run(const std::string& command) const;

    TempDir dir_{"certificates"};
};

} // namespace vorlane::test
