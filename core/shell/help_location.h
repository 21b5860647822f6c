// Where a help document is: beside the executable in a build folder, or
// in the documentation folder of an installation (prefix/share/doc/prambus
// for prefix/bin/prambus).
#pragma once

#include <string>

namespace prambus {

inline constexpr const char* kHelpFileName = "prambus.html";
// The page on writing skins and plug-ins, installed beside the help.
inline constexpr const char* kExtensionsGuideFileName = "extensions.html";

// The first of the two places that holds the file; the one beside the
// executable when neither does.
std::string HelpDocumentPath(const std::string& exeDir,
                             const std::string& fileName = kHelpFileName);

}  // namespace prambus
