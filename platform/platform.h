// The narrow boundary between the portable core and the operating system.
// The core (registry store, scrambler, dialog logic) calls these interfaces
// only; platform/win32 implements them over the Win32 API, and the tests
// install doubles of them.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/secret.h"

namespace platform {

// An open registry key, as the platform hands it out (an HKEY on Windows).
using KeyHandle = std::uintptr_t;

// Win32 status codes the core and the doubles use by name.
constexpr long kSuccess = 0;
constexpr long kFileNotFound = 2;
constexpr long kAccessDenied = 5;
constexpr long kInvalidHandle = 6;
constexpr long kMoreData = 234;

// Registry value types and access rights, with their Win32 numbers.
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;
constexpr std::uint32_t kRegMultiSz = 7;
constexpr std::uint32_t kKeyRead = 0x20019;
constexpr std::uint32_t kKeyWrite = 0x20006;
constexpr std::uint32_t kKeyWow64_32Key = 0x0200;

// The registry, with the semantics of the ANSI Win32 calls of the same
// names. `root` is a predefined root key number (0x80000000 to 0x80000006);
// sub-key paths and data are bytes of the ANSI code page, and text data
// converts through that code page as the ANSI calls convert it. Value names
// are UTF-8: they are fixed in the program, and a name such as "Segurança"
// must reach the registry as its own characters even where the code page
// lacks one of them. Every call returns a Win32 status (0 for success).
class Registry {
public:
    virtual ~Registry() = default;
    virtual long OpenKey(std::uint32_t root, const std::string& subKey, std::uint32_t access,
                         KeyHandle* key) = 0;
    // `size` goes in as the room in `data` and comes back as the bytes stored.
    // `type` comes back as the value's type. `exact` comes back false when
    // the value's text did not convert to the code page exactly (a
    // character the code page lacks, replaced by a look-alike or "?"): the
    // bytes are then what the ANSI call gives, not what is stored. It is
    // true for data of the types that are not converted.
    virtual long QueryValue(KeyHandle key, const std::string& name, std::uint32_t* type, char* data,
                            std::uint32_t* size, bool* exact) = 0;
    virtual long SetValue(KeyHandle key, const std::string& name, std::uint32_t type,
                          const char* data, std::uint32_t size) = 0;
    virtual long CloseKey(KeyHandle key) = 0;
};

enum class Icon { None, Warning, Information };

// A modal message box with one OK button, captioned with the program's title.
class MessageDialog {
public:
    virtual ~MessageDialog() = default;
    virtual void Show(const std::string& utf8Text, Icon icon) = 0;
};

// The outside error reporter: creates the reporting object, calls its
// "Report" method with the five arguments and releases it. A failure to
// create or call it is thrown as a RuntimeFailure.
class ErrorReporter {
public:
    virtual ~ErrorReporter() = default;
    virtual void Report(const std::array<std::string, 5>& utf8Args) = 0;
};

// Volume information. Returns the volume's serial number, or 0 when the
// query fails (the caller does not look at the query's status).
class Volume {
public:
    virtual ~Volume() = default;
    virtual std::uint32_t SerialNumber(const std::string& rootPath) = 0;
};

// The system's ANSI code page (one byte a character).
class CodePage {
public:
    virtual ~CodePage() = default;
    virtual std::string ToUtf8(const std::string& ansi) = 0;
    // Converts exactly: returns false, leaving `ansi` unspecified, when any
    // character has no form of its own in the code page (no best-fit
    // look-alikes, no "?").
    virtual bool FromUtf8(const std::string& utf8, std::string* ansi) = 0;
    // The same for a secret, such as a password: the result is written into
    // `out`, and no plain copy is left on the way.
    virtual void ToUtf8(std::string_view ansi, Secret* utf8) = 0;
    virtual bool FromUtf8(std::string_view utf8, Secret* ansi) = 0;
    // The code page's number (1252, 932, 65001...), for messages.
    virtual unsigned Number() = 0;
};

// One diagnostic record of the ODBC driver manager or driver (UTF-8). The
// message may repeat the connection string, password and all.
struct DiagnosticRecord {
    std::string sqlState;
    Secret message;
};

enum class ConnectResult { Connected, Failed, NoDriverManager };

// A database connection attempt through ODBC. The driver manager is loaded
// on the first call, not at start; NoDriverManager when it cannot be.
class Database {
public:
    virtual ~Database() = default;
    // Connects with the connection string (UTF-8) without prompting,
    // waiting at most `loginTimeoutSeconds` for the login, and disconnects
    // at once. On failure `diagnostics` gets the records, as the driver
    // gave them (they may repeat the connection string). May be called
    // from any thread.
    virtual ConnectResult Connect(const Secret& utf8ConnectionString, unsigned loginTimeoutSeconds,
                                  std::vector<DiagnosticRecord>* diagnostics) = 0;
    // The names of the installed drivers (SQLDrivers), in the driver
    // manager's order; false when the driver manager cannot be loaded.
    virtual bool Drivers(std::vector<std::string>* names) = 0;
};

enum class NetworkResult { Ok, NotFound, Refused, TimedOut, Failed, Unavailable };

// An open TCP connection. Refused from Receive means the other side closed
// the connection (or reset it) before sending anything more.
class Stream {
public:
    virtual ~Stream() = default;
    // Sends all of `data` within `timeoutMs`.
    virtual NetworkResult Send(std::string_view data, unsigned timeoutMs) = 0;
    // Waits at most `timeoutMs` for bytes and appends what has come (at
    // least one byte on Ok) to `*data`.
    virtual NetworkResult Receive(unsigned timeoutMs, std::string* data) = 0;
};

// What a finished TLS handshake found: the protocol and the server's
// certificate as this computer judges it.
struct TlsFacts {
    std::string protocol;  // "TLS 1.2", "TLS 1.3"
    std::string subject;   // the certificate's subject common name
    std::string issuer;    // its issuer's common name
    std::string expiry;    // "2027-12-31", the last day it is valid
    bool expired = false;  // not valid today (expired, or not yet valid)
    bool trusted = false;  // its chain ends in a root this computer trusts
    bool nameMatches = false;  // it is for the server name given
};

enum class TlsProgress { More, Done, NoCommonProtocol, Failed };

// The client side of a TLS handshake, bytes in and bytes out: the caller
// carries them to and from the server however the protocol frames them.
class TlsClient {
public:
    virtual ~TlsClient() = default;
    // Takes the bytes the server sent since the last call (none on the
    // first) and appends to `*send` those to send it. More: send them and
    // call again with what comes back; Done: the handshake is over (send
    // what was given); NoCommonProtocol or Failed, with the system's code
    // in `*code`.
    virtual TlsProgress Step(std::string_view received, std::string* send,
                             unsigned long* code) = 0;
    // After Done: the protocol and the certificate.
    virtual TlsFacts Facts() = 0;
};

// The network, for the steps of a connection test. Winsock is loaded on
// the first call, not at start; Unavailable when it cannot be. Addresses
// are numeric texts ("10.0.0.5", "::1"). May be called from any thread.
class Network {
public:
    virtual ~Network() = default;
    // The addresses `host` resolves to, IPv4 and IPv6, in the resolver's
    // order; NotFound when it does not resolve.
    virtual NetworkResult Resolve(const std::string& host, std::vector<std::string>* addresses) = 0;
    // Opens a TCP connection to `address` at `port`: Ok with it in
    // `*stream` when accepted, Refused, or TimedOut after `timeoutMs`. The
    // connection closes when the stream goes.
    virtual NetworkResult Open(const std::string& address, std::uint16_t port, unsigned timeoutMs,
                               std::unique_ptr<Stream>* stream) = 0;
    // The system's hosts file, at most 1 MiB of it; false when it cannot
    // be read.
    virtual bool ReadHostsFile(std::string* text) = 0;
    // Sends `request` in one UDP datagram to `address` at `port` and reads
    // the datagrams that come back from that address and port (any other
    // sender's are dropped) for at most `timeoutMs`, until one that
    // `whole` takes: Ok with it. When the time runs out after datagrams
    // `whole` did not take, Ok with the last of them; TimedOut when none
    // came; Refused when the host says nothing listens there.
    virtual NetworkResult Ask(const std::string& address, std::uint16_t port,
                              const std::string& request, unsigned timeoutMs,
                              const std::function<bool(std::string_view)>& whole,
                              std::string* answer) = 0;
    // A TLS client for a handshake with the server `serverName` (the name
    // its certificate is checked against), or null when the system's TLS
    // cannot be loaded. Loaded on the first call, not at start.
    virtual std::unique_ptr<TlsClient> StartTls(const std::string& serverName) = 0;
};

enum class EventKind { Information, Warning };

// The system's event log, under the program's own source. Report records
// one event: `id` is its message's number in the programs' message table;
// the platform fills insertion strings %1 (the account that runs the
// program, domain\user) and %2 (the program's file name), and
// `utf8Strings` fill %3 onwards. A failure to record is not reported: the
// change it records has already been made.
class EventLog {
public:
    virtual ~EventLog() = default;
    virtual void Report(EventKind kind, std::uint32_t id,
                        const std::vector<std::string>& utf8Strings) = 0;
};

// The implementations in use. The program installs the Win32 ones at start;
// tests install doubles.
struct Services {
    Registry* registry = nullptr;
    MessageDialog* messageDialog = nullptr;
    ErrorReporter* reporter = nullptr;
    Volume* volume = nullptr;
    CodePage* codePage = nullptr;
    Database* database = nullptr;
    Network* network = nullptr;
    EventLog* eventLog = nullptr;
};

Services& Current();

// Installs a set of services for its lifetime and puts the previous set back.
class ScopedServices {
public:
    explicit ScopedServices(const Services& services);
    ~ScopedServices();
    ScopedServices(const ScopedServices&) = delete;
    ScopedServices& operator=(const ScopedServices&) = delete;

private:
    Services previous_;
};

}  // namespace platform
