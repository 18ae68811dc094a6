// The hosts file (%SystemRoot%\System32\drivers\etc\hosts): lines of an
// address and the names it gives, "#" starting a comment. A line for the
// server's name sends it where the line says, whatever DNS says.
#pragma once

#include <string>
#include <string_view>

namespace connection {

// The first line of `text` that names `name` (compared without regard to
// case), as "address name…" with single spaces, or "" when none does.
std::string HostsLine(std::string_view text, std::string_view name);

}  // namespace connection
