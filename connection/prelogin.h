// The first exchange of SQL Server's wire protocol (TDS): the client's
// PRELOGIN message and the server's answer, which says the server's
// version, how it encrypts and whether the instance asked for is the one
// on that port. Neither carries a user name or a password.
//
// A TDS packet is an 8-byte header (type, status, big-endian length of the
// whole packet, two bytes of process id, a packet number, a window byte)
// and its data; a message is one or more packets, the last with status
// bit 0x01. A PRELOGIN's data is a list of options, each a token byte and
// a big-endian offset and length of its value within the data, ended by
// 0xFF, then the values.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace connection {

// The server's answer to how the client asks to encrypt.
enum class Encryption : std::uint8_t {
    Off = 0,           // only the login is encrypted
    On = 1,            // encrypted, as the client asked
    NotSupported = 2,  // the server has no certificate
    Required = 3,      // the server encrypts every connection
};

// A PRELOGIN message: the client asks to encrypt when `encrypt`, and names
// `instance` ("MSSQLServer" for the default instance).
std::string PreloginRequest(std::string_view instance, bool encrypt);

struct PreloginAnswer {
    enum class Status { Incomplete, NotTds, Ok };
    Status status = Status::Incomplete;
    std::uint8_t major = 0, minor = 0;
    std::uint16_t build = 0;
    Encryption encryption = Encryption::NotSupported;
    bool otherInstance = false;  // the server says the instance named is not this one
};

// Reads the bytes received so far: Incomplete while they are the start of
// a well-formed answer, NotTds as soon as they cannot be one (another
// packet type, bad lengths, an option outside the data, no version or
// encryption, or more than kMaxPreloginAnswer bytes), Ok with what it says.
PreloginAnswer ReadPreloginAnswer(std::string_view received);

constexpr std::size_t kMaxPreloginAnswer = 65536;

// "SQL Server 15.0.4123 (2019)": the version as major.minor.build, and the
// product's name where the major version is one of them.
std::string ServerVersion(const PreloginAnswer& answer);

// "só na entrada", "disponível", "não suportada", "obrigatória".
const char* EncryptionName(Encryption encryption);

// Whether the driver `name` encrypts by default and checks the server's
// certificate: "ODBC Driver 18 for SQL Server" and later.
bool EncryptsByDefault(std::string_view driver);

}  // namespace connection
