// The network steps of a connection test over Winsock. ws2_32.dll is
// loaded by name on the first call and its functions looked up, so that
// neither program imports it nor pays for loading it at start.
#include <windows.h>
#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <chrono>
#include <iterator>
#include <memory>
#include <vector>

#include "platform/win32/dll_function.h"
#include "platform/win32/owned.h"
#include "platform/win32/text_win32.h"
#include "platform/win32/win32_platform.h"

namespace platform::win32 {
namespace {

struct Winsock {
    decltype(&WSAStartup) startup;
    decltype(&WSAGetLastError) lastError;
    decltype(&GetAddrInfoW) getAddrInfo;
    decltype(&FreeAddrInfoW) freeAddrInfo;
    decltype(&GetNameInfoW) getNameInfo;
    decltype(&socket) openSocket;
    decltype(&closesocket) closeSocket;
    decltype(&ioctlsocket) ioctl;
    decltype(&connect) connectTo;
    decltype(&select) selectOn;
    decltype(&getsockopt) getOption;
    decltype(&sendto) sendTo;
    decltype(&recvfrom) receiveFrom;
    decltype(&send) sendOn;
    decltype(&recv) receiveOn;
};

// The functions, with Winsock started, or null when it cannot be. The DLL
// stays loaded, and Winsock started, for the life of the program.
const Winsock* LoadWinsock() {
    static Winsock ws;
    const bool loaded = LoadDll(L"ws2_32.dll", [](HMODULE dll) {
        WSADATA data;
        return FindFunction(dll, "WSAStartup", &ws.startup) &&
               FindFunction(dll, "WSAGetLastError", &ws.lastError) &&
               FindFunction(dll, "GetAddrInfoW", &ws.getAddrInfo) &&
               FindFunction(dll, "FreeAddrInfoW", &ws.freeAddrInfo) &&
               FindFunction(dll, "GetNameInfoW", &ws.getNameInfo) &&
               FindFunction(dll, "socket", &ws.openSocket) &&
               FindFunction(dll, "closesocket", &ws.closeSocket) &&
               FindFunction(dll, "ioctlsocket", &ws.ioctl) &&
               FindFunction(dll, "connect", &ws.connectTo) &&
               FindFunction(dll, "select", &ws.selectOn) &&
               FindFunction(dll, "getsockopt", &ws.getOption) &&
               FindFunction(dll, "sendto", &ws.sendTo) &&
               FindFunction(dll, "recvfrom", &ws.receiveFrom) &&
               FindFunction(dll, "send", &ws.sendOn) && FindFunction(dll, "recv", &ws.receiveOn) &&
               ws.startup(MAKEWORD(2, 2), &data) == 0;
    });
    return loaded ? &ws : nullptr;
}

const Winsock* Loaded() {
    static const Winsock* const ws = LoadWinsock();  // once, even with two threads
    return ws;
}

// A socket, and a list of addresses, given back to Winsock when they go.
void CloseSocket(const Winsock* ws, SOCKET s) { ws->closeSocket(s); }
using Socket = Owned<SOCKET, CloseSocket, INVALID_SOCKET, const Winsock*>;
void FreeAddresses(const Winsock* ws, ADDRINFOW* list) { ws->freeAddrInfo(list); }
using AddressList = Owned<ADDRINFOW*, FreeAddresses, nullptr, const Winsock*>;

Socket OpenSocket(const Winsock& ws, const ADDRINFOW& a) {
    return Socket(ws.openSocket(a.ai_family, a.ai_socktype, a.ai_protocol), &ws);
}

// A numeric address and port as the socket calls take it, or null.
AddressList Numeric(const Winsock& ws, const std::string& address, std::uint16_t port, int type) {
    ADDRINFOW hints = {};
    hints.ai_flags = AI_NUMERICHOST;
    hints.ai_socktype = type;
    AddressList list(nullptr, &ws);
    if (ws.getAddrInfo(Widen(address).c_str(), std::to_wstring(port).c_str(), &hints, list.out()) !=
        0)
        list.reset();
    return list;
}

// Waits at most `timeoutMs` for `s` to be ready for writing (a connection
// made or failed) or reading (a datagram come); false when the time runs out.
bool Wait(const Winsock& ws, SOCKET s, bool write, unsigned timeoutMs) {
    fd_set ready = {}, failed = {};
    ready.fd_count = failed.fd_count = 1;
    ready.fd_array[0] = failed.fd_array[0] = s;
    timeval limit = {static_cast<long>(timeoutMs / 1000),
                     static_cast<long>(timeoutMs % 1000) * 1000};
    return ws.selectOn(0, write ? nullptr : &ready, write ? &ready : nullptr, &failed, &limit) > 0;
}

// True when a datagram came from the address and port it was sent to.
bool SameSender(const sockaddr_storage& from, const sockaddr& to) {
    if (from.ss_family != to.sa_family) return false;
    if (to.sa_family == AF_INET) {
        const auto& f = reinterpret_cast<const sockaddr_in&>(from);
        const auto& t = reinterpret_cast<const sockaddr_in&>(to);
        return f.sin_port == t.sin_port && f.sin_addr.s_addr == t.sin_addr.s_addr;
    }
    if (to.sa_family == AF_INET6) {
        const auto& f = reinterpret_cast<const sockaddr_in6&>(from);
        const auto& t = reinterpret_cast<const sockaddr_in6&>(to);
        return f.sin6_port == t.sin6_port &&
               std::equal(std::begin(f.sin6_addr.s6_addr), std::end(f.sin6_addr.s6_addr),
                          std::begin(t.sin6_addr.s6_addr));
    }
    return false;
}

NetworkResult FromError(int error) {
    switch (error) {
    case WSAECONNREFUSED:
    case WSAECONNRESET: return NetworkResult::Refused;  // UDP: the port is closed
    case WSAETIMEDOUT: return NetworkResult::TimedOut;
    default: return NetworkResult::Failed;
    }
}

// A TCP connection over a non-blocking socket, each call bounded by its
// time limit.
class Win32Stream : public Stream {
public:
    Win32Stream(const Winsock& ws, const ADDRINFOW& a)
        : ws_(ws), s_(OpenSocket(ws, a)) {}

    SOCKET get() const { return s_.get(); }

    NetworkResult Send(std::string_view data, unsigned timeoutMs) override {
        while (!data.empty()) {
            if (!Wait(ws_, s_.get(), true, timeoutMs)) return NetworkResult::TimedOut;
            const int sent = ws_.sendOn(s_.get(), data.data(), static_cast<int>(data.size()), 0);
            if (sent == SOCKET_ERROR) {
                if (ws_.lastError() == WSAEWOULDBLOCK) continue;
                return FromError(ws_.lastError());
            }
            data.remove_prefix(static_cast<std::size_t>(sent));
        }
        return NetworkResult::Ok;
    }

    NetworkResult Receive(unsigned timeoutMs, std::string* data) override {
        if (!Wait(ws_, s_.get(), false, timeoutMs)) return NetworkResult::TimedOut;
        char buffer[8192];
        const int size = ws_.receiveOn(s_.get(), buffer, sizeof buffer, 0);
        if (size == 0) return NetworkResult::Refused;  // closed by the other side
        if (size == SOCKET_ERROR)
            return ws_.lastError() == WSAEWOULDBLOCK ? NetworkResult::TimedOut
                                                     : FromError(ws_.lastError());
        data->append(buffer, static_cast<std::size_t>(size));
        return NetworkResult::Ok;
    }

private:
    const Winsock& ws_;
    Socket s_;
};

using File = Owned<HANDLE, CloseHandle>;

class Win32Network : public Network {
public:
    NetworkResult Resolve(const std::string& host, std::vector<std::string>* addresses) override {
        const Winsock* ws = Loaded();
        if (!ws) return NetworkResult::Unavailable;
        ADDRINFOW hints = {};
        hints.ai_socktype = SOCK_STREAM;
        AddressList list(nullptr, ws);
        const int error = ws->getAddrInfo(Widen(host).c_str(), nullptr, &hints, list.out());
        if (error != 0) {
            list.release();  // nothing was given
            return error == WSAHOST_NOT_FOUND || error == WSANO_DATA ? NetworkResult::NotFound
                                                                     : NetworkResult::Failed;
        }
        for (const ADDRINFOW* a = list.get(); a; a = a->ai_next) {
            wchar_t text[NI_MAXHOST];
            if (ws->getNameInfo(a->ai_addr, static_cast<socklen_t>(a->ai_addrlen), text, NI_MAXHOST,
                                nullptr, 0, NI_NUMERICHOST) != 0)
                continue;
            const std::string address = Narrow(text);
            if (std::find(addresses->begin(), addresses->end(), address) == addresses->end())
                addresses->push_back(address);
        }
        return NetworkResult::Ok;
    }

    NetworkResult Open(const std::string& address, std::uint16_t port, unsigned timeoutMs,
                       std::unique_ptr<Stream>* stream) override {
        const Winsock* ws = Loaded();
        if (!ws) return NetworkResult::Unavailable;
        const AddressList target = Numeric(*ws, address, port, SOCK_STREAM);
        if (!target.get()) return NetworkResult::Failed;
        const ADDRINFOW& a = *target.get();
        auto opened = std::make_unique<Win32Stream>(*ws, a);
        const SOCKET s = opened->get();
        u_long nonBlocking = 1;
        if (s == INVALID_SOCKET || ws->ioctl(s, FIONBIO, &nonBlocking) != 0)
            return NetworkResult::Failed;
        if (ws->connectTo(s, a.ai_addr, static_cast<int>(a.ai_addrlen)) != 0) {
            if (ws->lastError() != WSAEWOULDBLOCK) return FromError(ws->lastError());
            if (!Wait(*ws, s, true, timeoutMs)) return NetworkResult::TimedOut;
            int error = 0;
            int size = sizeof error;
            if (ws->getOption(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) != 0)
                return NetworkResult::Failed;
            if (error != 0) return FromError(error);
        }
        *stream = std::move(opened);
        return NetworkResult::Ok;
    }

    bool ReadHostsFile(std::string* text) override {
        wchar_t system[MAX_PATH];
        const UINT size = GetSystemDirectoryW(system, MAX_PATH);
        if (size == 0 || size >= MAX_PATH) return false;
        const std::wstring path = std::wstring(system) + L"\\drivers\\etc\\hosts";
        const HANDLE opened = CreateFileW(path.c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (opened == INVALID_HANDLE_VALUE) return false;
        const File file(opened);
        text->assign(1 << 20, '\0');
        DWORD read = 0;
        const bool ok =
            ReadFile(file.get(), text->data(), static_cast<DWORD>(text->size()), &read, nullptr);
        text->resize(ok ? read : 0);
        return ok;
    }

    NetworkResult Ask(const std::string& address, std::uint16_t port, const std::string& request,
                      unsigned timeoutMs, const std::function<bool(std::string_view)>& whole,
                      std::string* answer) override {
        const Winsock* ws = Loaded();
        if (!ws) return NetworkResult::Unavailable;
        const AddressList target = Numeric(*ws, address, port, SOCK_DGRAM);
        if (!target.get()) return NetworkResult::Failed;
        const ADDRINFOW& a = *target.get();
        const Socket s = OpenSocket(*ws, a);
        if (s.get() == INVALID_SOCKET ||
            ws->sendTo(s.get(), request.data(), static_cast<int>(request.size()), 0, a.ai_addr,
                       static_cast<int>(a.ai_addrlen)) == SOCKET_ERROR)
            return NetworkResult::Failed;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        bool any = false;
        std::vector<char> buffer(65535);
        while (true) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0 || !Wait(*ws, s.get(), false, static_cast<unsigned>(left.count())))
                return any ? NetworkResult::Ok : NetworkResult::TimedOut;
            sockaddr_storage from = {};
            int fromSize = sizeof from;
            const int size = ws->receiveFrom(s.get(), buffer.data(), static_cast<int>(buffer.size()),
                                             0, reinterpret_cast<sockaddr*>(&from), &fromSize);
            if (size == SOCKET_ERROR) return FromError(ws->lastError());
            if (!SameSender(from, *a.ai_addr)) continue;
            answer->assign(buffer.data(), size);
            any = true;
            if (whole(*answer)) return NetworkResult::Ok;
        }
    }

    std::unique_ptr<TlsClient> StartTls(const std::string& serverName) override {
        return SchannelTls(serverName);
    }
};

}  // namespace

Network& WinsockNetwork() {
    // Never destroyed, as the database: a connection test's thread may
    // still be in it while the program ends.
    static Win32Network* const network = new Win32Network;
    return *network;
}

}  // namespace platform::win32
