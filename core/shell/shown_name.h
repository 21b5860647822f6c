// How a file name is shown: in the title, the recent list and switcher, the
// pinned files, the recovery list and every message. A name is the bytes the
// file system holds, and those need not be text: each byte that is not part
// of well-formed UTF-8 is shown as "\xNN" (two upper-case hex digits), so a
// name in an old single-byte encoding ("caf\xE9.txt") is still told apart
// from its neighbours and says which bytes it holds, where a replacement
// character would make such names look alike. Control characters (legal in
// names) are shown as spaces, so a name stays on one line. The shown form is
// only ever shown: the program keeps the bytes behind it.
#pragma once

#include <string>
#include <string_view>

namespace prambus {

// The whole path, shown as above; always well-formed UTF-8.
std::string ShownPathOf(std::string_view path);
// The file name of a path without its folder, shown the same way.
std::string ShownNameOf(std::string_view path);
// A path as the program's messages quote it: «shown path».
std::string QuotedPath(std::string_view path);

}  // namespace prambus
