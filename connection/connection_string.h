// The ODBC connection string for a connection test.
#pragma once

#include <string>

#include "platform/wipe.h"

namespace connection {

// What a test connects with, in UTF-8.
struct Target {
    std::string driver = "SQL Server";
    std::string server;
    std::string database;
    std::string user;
    std::string password;

    // The password is wiped however the target ends. A target is handed on
    // by pointer, never moved, so that no short password is left behind in
    // the buffer of a string it was moved out of.
    ~Target() { platform::Wipe(password); }
};

// "Driver={…};Server={…};Database={…};UID={…};PWD={…};" with each value in
// braces and each "}" in it doubled, so that no value can add a keyword.
// An empty database leaves out Database; an empty user leaves out UID and
// PWD.
std::string ConnectionString(const Target& target);

// A value as the string carries it between its braces: each "}" doubled.
std::string Escaped(const std::string& value);

}  // namespace connection
