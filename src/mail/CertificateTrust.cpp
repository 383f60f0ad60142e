#include "mail/CertificateTrust.h"

#include <cctype>

namespace vorlane {

std::optional<std::string> ParseCertificateSha256(std::string_view stored)
{
    std::string digits;
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const auto c = static_cast<unsigned char>(stored[i]);
        // A colon only between two pairs of digits, as "openssl x509 -fingerprint" prints them.
        if (c == ':' && digits.size() % 2 == 0 && !digits.empty() && i + 1 < stored.size())
            continue;
        if (!std::isxdigit(c))
            return std::nullopt;
        digits += static_cast<char>(std::tolower(c));
    }
    if (digits.size() != 64)
        return std::nullopt;
    return digits;
}

std::string FingerprintForDisplay(std::string_view sha256)
{
    std::string shown;
    for (std::size_t i = 0; i < sha256.size(); ++i) {
        if (i > 0 && i % 2 == 0)
            shown += ':';
        shown += static_cast<char>(std::toupper(static_cast<unsigned char>(sha256[i])));
    }
    return shown;
}

std::string DescribeCertificate(const CertificateFacts& facts)
{
    return "Subject: " + facts.Subject + "\r\nIssuer: " + facts.Issuer + "\r\nValid from " +
           facts.ValidFrom + " until " + facts.ValidUntil +
           "\r\nSHA-256 fingerprint: " + FingerprintForDisplay(facts.Sha256);
}

std::string CertificateChangedSentence(std::string_view trustedSha256)
{
    return "The mail server presented another certificate than the one you trusted for this "
           "entry (SHA-256 " +
           FingerprintForDisplay(trustedSha256) +
           "). Trust the new one only if you know why it changed.";
}

} // namespace vorlane
