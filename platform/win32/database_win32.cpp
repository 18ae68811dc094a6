// Connection attempts through ODBC. odbc32.dll is loaded by name on the
// first attempt and its functions looked up, so that the program neither
// imports it nor pays for loading it at start; the import libraries are
// not linked at all.
#include <windows.h>
#include <sql.h>
#include <sqlext.h>

#include "platform/win32/dll_function.h"
#include "platform/win32/owned.h"
#include "platform/win32/text_win32.h"
#include "platform/win32/win32_platform.h"

namespace platform::win32 {
namespace {

struct Odbc {
    decltype(&SQLAllocHandle) allocHandle;
    decltype(&SQLFreeHandle) freeHandle;
    decltype(&SQLSetEnvAttr) setEnvAttr;
    decltype(&SQLSetConnectAttrW) setConnectAttr;
    decltype(&SQLDriverConnectW) driverConnect;
    decltype(&SQLGetDiagRecW) getDiagRec;
    decltype(&SQLDisconnect) disconnect;
    decltype(&SQLDriversW) drivers;
};

// The functions, or null when the DLL or one of them is missing. The DLL
// stays loaded for the life of the program.
const Odbc* LoadOdbc() {
    static Odbc odbc;
    const bool loaded = LoadDll(L"odbc32.dll", [](HMODULE dll) {
        return FindFunction(dll, "SQLAllocHandle", &odbc.allocHandle) &&
               FindFunction(dll, "SQLFreeHandle", &odbc.freeHandle) &&
               FindFunction(dll, "SQLSetEnvAttr", &odbc.setEnvAttr) &&
               FindFunction(dll, "SQLSetConnectAttrW", &odbc.setConnectAttr) &&
               FindFunction(dll, "SQLDriverConnectW", &odbc.driverConnect) &&
               FindFunction(dll, "SQLGetDiagRecW", &odbc.getDiagRec) &&
               FindFunction(dll, "SQLDisconnect", &odbc.disconnect) &&
               FindFunction(dll, "SQLDriversW", &odbc.drivers);
    });
    return loaded ? &odbc : nullptr;
}

bool Succeeded(SQLRETURN r) { return r == SQL_SUCCESS || r == SQL_SUCCESS_WITH_INFO; }

void ReadDiagnostics(const Odbc& odbc, SQLSMALLINT type, SQLHANDLE handle,
                     std::vector<DiagnosticRecord>* records) {
    for (SQLSMALLINT i = 1;; ++i) {
        SQLWCHAR state[6] = {};
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        // A driver may repeat the connection string in a message.
        WideSecret message;
        message.Resize(SQL_MAX_MESSAGE_LENGTH);
        const SQLSMALLINT room = static_cast<SQLSMALLINT>(message.size());
        SQLRETURN r = odbc.getDiagRec(type, handle, i, state, &native,
                                      reinterpret_cast<SQLWCHAR*>(message.data()), room, &length);
        if (!Succeeded(r)) return;
        if (length >= room) {  // cut short: ask again with the room it needs
            message.Resize(static_cast<std::size_t>(length) + 1);
            r = odbc.getDiagRec(type, handle, i, state, &native,
                                reinterpret_cast<SQLWCHAR*>(message.data()),
                                static_cast<SQLSMALLINT>(message.size()), &length);
            if (!Succeeded(r)) return;
        }
        message.Truncate(std::min<std::size_t>(length, message.size() - 1));
        DiagnosticRecord record{Narrow(reinterpret_cast<const wchar_t*>(state)), {}};
        Narrow(message.view(), &record.message);
        records->push_back(std::move(record));
    }
}

const Odbc* Loaded() {
    static const Odbc* const odbc = LoadOdbc();  // once, even with two threads
    return odbc;
}

// An ODBC 3 environment handle, freed when it goes.
void FreeEnvironment(const Odbc* odbc, SQLHENV env) { odbc->freeHandle(SQL_HANDLE_ENV, env); }
using Environment = Owned<SQLHENV, FreeEnvironment, nullptr, const Odbc*>;

// A new environment, null when none could be made; `*ready` tells whether
// it was set to ODBC 3.
Environment NewEnvironment(const Odbc& odbc, bool* ready) {
    Environment env(SQL_NULL_HENV, &odbc);
    if (!Succeeded(odbc.allocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, env.out()))) env.release();
    *ready = env.get() && Succeeded(odbc.setEnvAttr(env.get(), SQL_ATTR_ODBC_VERSION,
                                                    reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0));
    return env;
}

class Win32Database : public Database {
public:
    ConnectResult Connect(const Secret& utf8ConnectionString, unsigned loginTimeoutSeconds,
                          std::vector<DiagnosticRecord>* diagnostics) override {
        const Odbc* odbc = Loaded();
        if (!odbc) return ConnectResult::NoDriverManager;
        bool ready = false;
        const Environment env = NewEnvironment(*odbc, &ready);
        if (!env.get()) return ConnectResult::Failed;  // no handle, so no record to give
        SQLHDBC dbc = SQL_NULL_HDBC;
        if (!ready || !Succeeded(odbc->allocHandle(SQL_HANDLE_DBC, env.get(), &dbc))) {
            ReadDiagnostics(*odbc, SQL_HANDLE_ENV, env.get(), diagnostics);
            return ConnectResult::Failed;
        }
        const ConnectResult result =
            Attempt(*odbc, dbc, utf8ConnectionString, loginTimeoutSeconds, diagnostics);
        odbc->freeHandle(SQL_HANDLE_DBC, dbc);
        return result;
    }

    bool Drivers(std::vector<std::string>* names) override {
        const Odbc* odbc = Loaded();
        if (!odbc) return false;
        bool ready = false;
        const Environment env = NewEnvironment(*odbc, &ready);
        if (!ready) return false;
        SQLWCHAR name[512], attributes[2];
        SQLSMALLINT length = 0, attributesLength = 0;
        for (SQLUSMALLINT direction = SQL_FETCH_FIRST;; direction = SQL_FETCH_NEXT) {
            const SQLRETURN r = odbc->drivers(env.get(), direction, name, 512, &length, attributes,
                                              2, &attributesLength);
            if (!Succeeded(r)) return true;  // SQL_NO_DATA after the last
            names->push_back(Narrow(reinterpret_cast<const wchar_t*>(name)));
        }
    }

private:
    static ConnectResult Attempt(const Odbc& odbc, SQLHDBC dbc, const Secret& text,
                                 unsigned timeout, std::vector<DiagnosticRecord>* diagnostics) {
        odbc.setConnectAttr(dbc, SQL_ATTR_LOGIN_TIMEOUT,
                            reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(timeout)), 0);
        WideSecret wide;
        Widen(text.view(), &wide);
        const SQLRETURN r = odbc.driverConnect(
            dbc, nullptr, reinterpret_cast<SQLWCHAR*>(wide.data()),
            static_cast<SQLSMALLINT>(wide.size()), nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT);
        if (Succeeded(r)) {
            odbc.disconnect(dbc);  // nothing runs on the connection
            return ConnectResult::Connected;
        }
        ReadDiagnostics(odbc, SQL_HANDLE_DBC, dbc, diagnostics);
        return ConnectResult::Failed;
    }
};

}  // namespace

Database& OdbcDatabase() {
    // Never destroyed: a connection test's thread may still be in it while
    // the program ends.
    static Win32Database* const database = new Win32Database;
    return *database;
}

}  // namespace platform::win32
