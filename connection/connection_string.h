// The ODBC connection string for a connection test.
#pragma once

#include <string>
#include <string_view>

#include "platform/secret.h"

namespace connection {

// The ODBC driver a test asks for, and how long it waits for the login,
// unless told otherwise.
inline constexpr char kDefaultDriver[] = "SQL Server";
inline constexpr unsigned kDefaultLoginTimeoutSeconds = 15;

// What a test connects with, in UTF-8.
struct Target {
    std::string driver = kDefaultDriver;
    std::string server;
    std::string database;
    std::string user;
    platform::Secret password;  // wiped however the target ends
};

// "Driver={…};Server={…};Database={…};UID={…};PWD={…};" with each value in
// braces and each "}" in it doubled, so that no value can add a keyword.
// An empty database leaves out Database; an empty user leaves out UID and
// PWD.
platform::Secret ConnectionString(const Target& target);

// A value as the string carries it between its braces: each "}" doubled.
platform::Secret Escaped(std::string_view value);

}  // namespace connection
