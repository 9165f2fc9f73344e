#pragma once
// Where the help text file is and how it is read. The file has the program's name with the help
// extension; it sits beside the program in a build, and in the data folder of an installation.

#include <string>
#include <string_view>
#include <vector>

namespace tarvex {

// The paths to try, in order: beside the program, then "share/tarvex" beside the program's
// folder (an installation that was moved keeps finding its file), then installedDataDir (empty:
// none). The first is the one to name when none of them can be read. programPath is a resolved
// path, as the running program's own is.
std::vector<std::string> HelpFileCandidates(const std::string& programPath,
                                            std::string_view extName,
                                            const std::string& installedDataDir);

// The file's lines, decoded for display (UTF-8, else CP932) and without a leading byte order
// mark; a line ends at CR LF, CR or LF. False when the file cannot be read.
bool ReadHelpLines(const std::string& path, std::vector<std::string>& lines);

}  // namespace tarvex
