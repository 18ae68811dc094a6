// The report log: one line per report, appended to
// %ProgramData%\Brevanta\reports.log (the common application data folder).
#pragma once

#include <windows.h>

#include <array>
#include <string>

namespace reporter {

// Appends "<UTC time stamp>\t<arg1>\t...\t<arg5>\n" in UTF-8, with tabs and
// line breaks inside the arguments turned into spaces. Returns false, with
// the reason in GetLastError(), when the log cannot be written.
bool AppendReport(const std::array<std::wstring, 5>& args);

// The log's full path, "" when the folder is unknown.
std::wstring LogPath();

}  // namespace reporter
