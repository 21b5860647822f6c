// Paths as the file system takes them, byte strings, worked on by their
// slashes alone: no link is followed and no byte is read as text, so a name
// in any encoding passes through unchanged.
#pragma once

#include <string>
#include <string_view>

namespace prambus {

// The path made absolute against `currentFolder` (itself absolute) and
// cleaned as the toolkit cleans it: repeated slashes, "." and a trailing
// slash go, and ".." takes the name before it away (at the root it stays
// the root). An empty path stays empty.
std::string AbsolutePathOf(std::string_view path, std::string_view currentFolder);
// The same against the process's working folder.
std::string AbsolutePathOf(std::string_view path);

// The folder part of a path: "." for a bare name, "/" for a name at the root.
std::string FolderOf(std::string_view path);

}  // namespace prambus
