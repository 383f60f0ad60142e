#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vorlane {

// A server certificate as the user is shown it before trusting it.
struct CertificateFacts
{
    std::string Subject;
    std::string Issuer;
    std::string ValidFrom;  // "2024-01-01 00:00:00 UTC"
    std::string ValidUntil; // likewise
    std::string Sha256;     // 64 lower-case hex digits
};

// A stored fingerprint in the form the program compares: 64 hex digits, with or without the
// colons between the bytes that tools print, in lower case. Anything else is no fingerprint.
std::optional<std::string> ParseCertificateSha256(std::string_view stored);

// "AB:CD:..." for the eye: the digits in pairs, upper case, colons between.
std::string FingerprintForDisplay(std::string_view sha256);

// The lines that let the user decide on a certificate: subject, issuer, validity, fingerprint.
std::string DescribeCertificate(const CertificateFacts& facts);

// What a poll's report adds when the server presents another certificate than the one the user
// trusted for this entry.
std::string CertificateChangedSentence(std::string_view trustedSha256);

// The command the report window offers when verification failed.
inline constexpr std::string_view kTrustCertificateCommand = "Trust this certificate";

} // namespace vorlane
