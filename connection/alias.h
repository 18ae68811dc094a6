// SQL Server client aliases: a value under
// HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\MSSQLServer\Client\ConnectTo named
// as the server text sends the driver elsewhere. Its data is the network
// library, a comma, then the target: "DBMSSOCN,host[,port]" for TCP/IP,
// "DBNMPNTW,\\host\pipe\…" for named pipes. The key is read in the
// program's own registry view, the one its ODBC driver reads.
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"

namespace connection {

struct Alias {
    enum class Kind { None, Tcp, Other };
    Kind kind = Kind::None;
    std::string target;  // for Tcp, "host[,port]" to read as a server text; else all the data
};

// The alias for `server`, if any.
Alias FindAlias(platform::Registry& registry, std::string_view server);

// The data of an alias value, read.
Alias ReadAlias(std::string_view data);

}  // namespace connection
