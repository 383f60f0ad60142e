#pragma once

namespace vorlane {

// How far one POP3 dialogue got: its MailState. The numbers are the ones the program has always
// used; the socket sets the first three, the dialogue the rest. With STLS the dialogue passes
// StlsSent and TlsHandshake between the greeting and USER; asking for the server's
// capabilities, CapaSent before USER; listing unique ids, UidlSent after STAT.
enum class Pop3Step
{
    NotStarted = 0,
    Resolving = 1,
    Connecting = 2,
    Connected = 3, // waiting for the greeting
    UserSent = 4,
    PasswordSent = 5,
    StatSent = 6,
    ReceivingHeaders = 7,
    QuitSent = 8,
    Finished = 9,
    StlsSent = 10,
    TlsHandshake = 11,
    CapaSent = 12,
    UidlSent = 13,
};

} // namespace vorlane
