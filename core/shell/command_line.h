// The program's command line: at most one file to open, the two options
// that print and end (--help, --version), and the toolkit's own options
// (-platform, -style, -display...), which are handed to it untouched. The
// file is never handed to the toolkit, so a file whose name begins with "-"
// (written after "--") cannot be taken for one of its options.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace prambus {

struct CommandLine {
  enum class Request {
    kOpen,     // start the window, with `file` when it is not empty
    kHelp,     // print HelpText() and end with status 0
    kVersion,  // print VersionText() and end with status 0
    kMisuse,   // print MisuseText(problem) to the error stream, end with status 2
  };
  Request request = Request::kOpen;
  std::string file;
  // The toolkit's options with their values, in the order given.
  std::vector<std::string> toolkitOptions;
  // kMisuse: what is wrong, as a sentence.
  std::string problem;
};

// `arguments` without the program's own name. Options may come before or
// after the file, up to "--", after which every argument is a file name;
// the first option that asks to print something or that is wrong decides.
// An empty argument names no file; a single "-" is a file of that name.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

std::string HelpText();
std::string VersionText(std::string_view version);
// The message for a command line that cannot be obeyed, with where to read
// about the options.
std::string MisuseText(const std::string& problem);

}  // namespace prambus
