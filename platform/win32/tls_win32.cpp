// The TLS client of a connection test over Schannel (SSPI), and what this
// computer makes of the server's certificate through CryptoAPI's chain and
// SSL policy, as a driver that checks it would. secur32.dll and
// crypt32.dll are loaded by name on the first handshake, so that neither
// program imports them nor pays for loading them at start.
#define SECURITY_WIN32
#define SCHANNEL_USE_BLACKLISTS  // for SCH_CREDENTIALS
#include <windows.h>
// In this order: SCH_CREDENTIALS needs UNICODE_STRING.
#include <subauth.h>
// clang-format off
#include <wincrypt.h>
#include <schannel.h>
#include <security.h>
// clang-format on

#include <cstdio>
#include <memory>

#include "platform/win32/dll_function.h"
#include "platform/win32/owned.h"
#include "platform/win32/text_win32.h"
#include "platform/win32/win32_platform.h"

namespace platform::win32 {
namespace {

struct Crypto {
    decltype(&CertGetCertificateChain) getChain;
    decltype(&CertVerifyCertificateChainPolicy) verifyPolicy;
    decltype(&CertFreeCertificateChain) freeChain;
    decltype(&CertFreeCertificateContext) freeCertificate;
    decltype(&CertGetNameStringW) getName;
};

// The SSPI functions and CryptoAPI's, or null when either cannot be
// loaded. Both DLLs stay loaded for the life of the program.
struct Loaded {
    const SecurityFunctionTableW* sspi = nullptr;
    Crypto crypto{};
};

const Loaded* Load() {
    static Loaded loaded;
    const bool sspi = LoadDll(L"secur32.dll", [](HMODULE dll) {
        INIT_SECURITY_INTERFACE_W init = nullptr;
        return FindFunction(dll, "InitSecurityInterfaceW", &init) &&
               (loaded.sspi = init()) != nullptr;
    });
    Crypto& c = loaded.crypto;
    const bool crypto =
        sspi && LoadDll(L"crypt32.dll", [&c](HMODULE dll) {
            return FindFunction(dll, "CertGetCertificateChain", &c.getChain) &&
                   FindFunction(dll, "CertVerifyCertificateChainPolicy", &c.verifyPolicy) &&
                   FindFunction(dll, "CertFreeCertificateChain", &c.freeChain) &&
                   FindFunction(dll, "CertFreeCertificateContext", &c.freeCertificate) &&
                   FindFunction(dll, "CertGetNameStringW", &c.getName);
        });
    return crypto ? &loaded : nullptr;
}

const Loaded* Functions() {
    static const Loaded* const loaded = Load();  // once, even with two threads
    return loaded;
}

bool Held(const SecHandle& h) { return h.dwLower != 0 || h.dwUpper != 0; }
void FreeCredentials(CredHandle* h) {
    if (Held(*h)) Functions()->sspi->FreeCredentialsHandle(h);
}
void DeleteContext(CtxtHandle* h) {
    if (Held(*h)) Functions()->sspi->DeleteSecurityContext(h);
}
using Credentials = Owned<CredHandle, FreeCredentials>;
using Context = Owned<CtxtHandle, DeleteContext>;
void FreeCertificate(const Crypto* c, PCCERT_CONTEXT cert) { c->freeCertificate(cert); }
using Certificate = Owned<PCCERT_CONTEXT, FreeCertificate, nullptr, const Crypto*>;
void FreeChain(const Crypto* c, PCCERT_CHAIN_CONTEXT chain) { c->freeChain(chain); }
using Chain = Owned<PCCERT_CHAIN_CONTEXT, FreeChain, nullptr, const Crypto*>;

// The SSL policy's checks a caller may leave out (SSL_EXTRA_CERT_CHAIN_POLICY_PARA).
constexpr DWORD kIgnoreUnknownCa = 0x100, kIgnoreNameInvalid = 0x1000, kIgnoreDateInvalid = 0x2000;

constexpr DWORD kRequest = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT |
                           ISC_REQ_CONFIDENTIALITY | ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM |
                           ISC_REQ_MANUAL_CRED_VALIDATION;

// Credentials for a client with no certificate of its own, with the
// protocols this computer enables by default, leaving the certificate's
// checks to the caller: SCH_CREDENTIALS where the system has it (the one
// that allows TLS 1.3), SCHANNEL_CRED where it does not.
bool AcquireCredentials(const SecurityFunctionTableW& sspi, CredHandle* handle) {
    constexpr DWORD kFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS;
    SCH_CREDENTIALS current = {};
    current.dwVersion = SCH_CREDENTIALS_VERSION;
    current.dwFlags = kFlags;
    SCHANNEL_CRED older = {};
    older.dwVersion = SCHANNEL_CRED_VERSION;
    older.dwFlags = kFlags;
    wchar_t package[] = UNISP_NAME_W;
    for (void* data : {static_cast<void*>(&current), static_cast<void*>(&older)}) {
        TimeStamp expiry;
        if (sspi.AcquireCredentialsHandleW(nullptr, package, SECPKG_CRED_OUTBOUND, nullptr, data,
                                           nullptr, nullptr, handle, &expiry) == SEC_E_OK)
            return true;
    }
    return false;
}

std::string ProtocolName(DWORD protocol) {
    if (protocol & SP_PROT_TLS1_3_CLIENT) return "TLS 1.3";
    if (protocol & SP_PROT_TLS1_2_CLIENT) return "TLS 1.2";
    if (protocol & SP_PROT_TLS1_1_CLIENT) return "TLS 1.1";
    if (protocol & SP_PROT_TLS1_0_CLIENT) return "TLS 1.0";
    if (protocol & SP_PROT_SSL3_CLIENT) return "SSL 3.0";
    return "TLS";
}

// The common name of the certificate's subject, or of its issuer.
std::string CommonName(const Crypto& c, PCCERT_CONTEXT cert, DWORD flags) {
    wchar_t name[256];
    char oid[] = szOID_COMMON_NAME;
    if (c.getName(cert, CERT_NAME_ATTR_TYPE, flags, oid, name, 256) <= 1 &&
        c.getName(cert, CERT_NAME_SIMPLE_DISPLAY_TYPE, flags, nullptr, name, 256) <= 1)
        return "";
    return Narrow(name);
}

// The SSL policy's verdict on `chain` for `server`, with the checks in
// `ignored` left out.
DWORD PolicyError(const Crypto& c, PCCERT_CHAIN_CONTEXT chain, const std::wstring& server,
                  DWORD ignored, DWORD ignoredFlags) {
    SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl = {};
    ssl.cbSize = sizeof ssl;
    ssl.dwAuthType = AUTHTYPE_SERVER;
    ssl.fdwChecks = ignored;
    ssl.pwszServerName = const_cast<wchar_t*>(server.c_str());
    CERT_CHAIN_POLICY_PARA para = {};
    para.cbSize = sizeof para;
    para.dwFlags = ignoredFlags;
    para.pvExtraPolicyPara = &ssl;
    CERT_CHAIN_POLICY_STATUS status = {};
    status.cbSize = sizeof status;
    if (!c.verifyPolicy(CERT_CHAIN_POLICY_SSL, chain, &para, &status)) return GetLastError();
    return status.dwError;
}

class SchannelClient : public TlsClient {
public:
    SchannelClient(const Loaded& loaded, Credentials credentials, std::wstring server)
        : sspi_(*loaded.sspi),
          crypto_(loaded.crypto),
          credentials_(std::move(credentials)),
          server_(std::move(server)) {}

    TlsProgress Step(std::string_view received, std::string* send, unsigned long* code) override {
        input_.append(received);
        if (started_ && input_.empty()) return TlsProgress::More;
        SecBuffer in[2] = {
            {static_cast<unsigned long>(input_.size()), SECBUFFER_TOKEN, input_.data()},
            {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc inDesc = {SECBUFFER_VERSION, 2, in};
        SecBuffer out = {0, SECBUFFER_TOKEN, nullptr};
        SecBufferDesc outDesc = {SECBUFFER_VERSION, 1, &out};
        CredHandle credentials = credentials_.get();
        CtxtHandle context = context_.get();
        unsigned long attributes = 0;
        // The first call makes the context; the later ones name it, in
        // and out.
        const SECURITY_STATUS status = sspi_.InitializeSecurityContextW(
            &credentials, started_ ? &context : nullptr, const_cast<wchar_t*>(server_.c_str()),
            kRequest, 0, 0, started_ ? &inDesc : nullptr, 0, started_ ? &context : context_.out(),
            &outDesc, &attributes, nullptr);
        if (started_ && (context.dwLower != context_.get().dwLower ||
                         context.dwUpper != context_.get().dwUpper)) {
            context_.release();  // the same context, under a new handle
            context_ = Context(context);
        }
        started_ = true;
        if (out.pvBuffer) {
            send->append(static_cast<const char*>(out.pvBuffer), out.cbBuffer);
            sspi_.FreeContextBuffer(out.pvBuffer);
        }
        switch (status) {
        case SEC_E_INCOMPLETE_MESSAGE: return TlsProgress::More;
        case SEC_I_CONTINUE_NEEDED:
        case SEC_E_OK:
            // What the server sent beyond the message just taken.
            input_.erase(0, in[1].BufferType == SECBUFFER_EXTRA ? input_.size() - in[1].cbBuffer
                                                                : input_.size());
            return status == SEC_E_OK ? TlsProgress::Done : TlsProgress::More;
        case SEC_E_ALGORITHM_MISMATCH:
        case SEC_E_UNSUPPORTED_FUNCTION:
            *code = static_cast<unsigned long>(status);
            return TlsProgress::NoCommonProtocol;
        default: *code = static_cast<unsigned long>(status); return TlsProgress::Failed;
        }
    }

    TlsFacts Facts() override {
        TlsFacts facts;
        CtxtHandle context = context_.get();
        SecPkgContext_ConnectionInfo info = {};
        if (sspi_.QueryContextAttributesW(&context, SECPKG_ATTR_CONNECTION_INFO, &info) == SEC_E_OK)
            facts.protocol = ProtocolName(info.dwProtocol);
        Certificate cert(nullptr, &crypto_);
        if (sspi_.QueryContextAttributesW(&context, SECPKG_ATTR_REMOTE_CERT_CONTEXT, cert.out()) !=
                SEC_E_OK ||
            !cert.get())
            return facts;
        facts.subject = CommonName(crypto_, cert.get(), 0);
        facts.issuer = CommonName(crypto_, cert.get(), CERT_NAME_ISSUER_FLAG);
        const CERT_INFO& c = *cert.get()->pCertInfo;
        SYSTEMTIME last = {};
        FileTimeToSystemTime(&c.NotAfter, &last);
        char date[16];
        std::snprintf(date, sizeof date, "%04u-%02u-%02u", last.wYear, last.wMonth, last.wDay);
        facts.expiry = date;
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        facts.expired =
            CompareFileTime(&now, &c.NotAfter) > 0 || CompareFileTime(&now, &c.NotBefore) < 0;
        CERT_CHAIN_PARA para = {};
        para.cbSize = sizeof para;
        Chain chain(nullptr, &crypto_);
        if (!crypto_.getChain(nullptr, cert.get(), nullptr, cert.get()->hCertStore, &para, 0,
                              nullptr, chain.out()))
            return facts;
        // Each question apart: the chain without the name and the dates,
        // the name without the chain and the dates.
        // Some chain engines let the SSL policy pass a chain that reaches
        // no root at all; the chain's own status says so.
        constexpr DWORD kUntrusted = CERT_TRUST_IS_UNTRUSTED_ROOT | CERT_TRUST_IS_PARTIAL_CHAIN |
                                     CERT_TRUST_IS_NOT_SIGNATURE_VALID | CERT_TRUST_IS_REVOKED |
                                     CERT_TRUST_IS_CYCLIC;
        facts.trusted =
            !(chain.get()->TrustStatus.dwErrorStatus & kUntrusted) &&
            PolicyError(crypto_, chain.get(), server_, kIgnoreNameInvalid | kIgnoreDateInvalid,
                        CERT_CHAIN_POLICY_IGNORE_ALL_NOT_TIME_VALID_FLAGS) == 0;
        facts.nameMatches =
            PolicyError(crypto_, chain.get(), server_, kIgnoreUnknownCa | kIgnoreDateInvalid,
                        CERT_CHAIN_POLICY_ALLOW_UNKNOWN_CA_FLAG |
                            CERT_CHAIN_POLICY_IGNORE_ALL_NOT_TIME_VALID_FLAGS) !=
            static_cast<DWORD>(CERT_E_CN_NO_MATCH);
        return facts;
    }

private:
    const SecurityFunctionTableW& sspi_;
    const Crypto& crypto_;
    Credentials credentials_;
    Context context_;
    const std::wstring server_;
    std::string input_;  // the server's bytes not yet taken
    bool started_ = false;
};

}  // namespace

std::unique_ptr<TlsClient> SchannelTls(const std::string& serverName) {
    const Loaded* loaded = Functions();
    if (!loaded) return nullptr;
    Credentials credentials;
    if (!AcquireCredentials(*loaded->sspi, credentials.out())) return nullptr;
    return std::make_unique<SchannelClient>(*loaded, std::move(credentials), Widen(serverName));
}

}  // namespace platform::win32
