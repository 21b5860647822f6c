// MIME types of file extensions: the type shared-mime-info gives an
// extension (from a globs2 file of its database), and the user MIME type
// this program makes for an extension that has none.
#pragma once

#include <string>
#include <string_view>

namespace prambus {

// Whether the text is a well-formed "media/subtype" name.
bool IsValidMimeType(std::string_view type);

// Whether the extension (".ext") can be written into a glob and a key file:
// something after the dot, and no glob characters, slashes or control
// characters.
bool IsStorableExtension(std::string_view ext);

// The type a globs2 file gives files named "*" + ext: the heaviest glob that
// is exactly "*" + ext, compared without regard to case unless the glob is
// marked case-sensitive; at equal weight a case-sensitive glob wins, then
// the earlier line. Empty when the file names none.
std::string TypeFromGlobs(std::string_view globs2, std::string_view ext);

// The program's own type for an extension that has none, and the name of
// the package file that defines it; both depend only on the extension's
// letters, without regard to case, as the globs match.
std::string OwnMimeType(std::string_view ext);
std::string OwnPackageFileName(std::string_view ext);
// The package: one type with the description "Текстовый файл" and the glob.
std::string OwnPackageXml(std::string_view ext);

}  // namespace prambus
