#pragma once

namespace vorlane {

// How far one IMAP dialogue got: its MailState. The socket sets the first three like for POP3,
// the dialogue the rest. AUTHENTICATE PLAIN is the login step too.
enum class ImapStep
{
    NotStarted = 0,
    Resolving = 1,
    Connecting = 2,
    Connected = 3, // waiting for the greeting
    CapabilitySent = 4,
    StartTlsSent = 5,
    TlsHandshake = 6,
    LoginSent = 7,
    ExamineSent = 8,
    SearchSent = 9,
    FetchSent = 10,
    Idling = 11,
    LogoutSent = 12,
    Finished = 13,
};

} // namespace vorlane
