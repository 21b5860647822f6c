// The entries of mimeapps.list that make a program the default for a MIME
// type. A binding puts the program's desktop ID in front of the type's
// default list, so the former handlers stay listed behind it and are the
// defaults again once the program's ID is taken off the front.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "associations/key_file_text.h"

namespace prambus {

inline constexpr std::string_view kDefaultApplications = "Default Applications";
inline constexpr std::string_view kAddedAssociations = "Added Associations";
inline constexpr std::string_view kRemovedAssociations = "Removed Associations";

// The first desktop ID of the type's first default entry, the one desktop
// tools read; empty when there is none.
std::string FirstDefault(const KeyFileText& list, std::string_view type);

// Puts id in front of every default entry of the type, or adds an entry
// naming only id when there is none. Also takes id off the type's removed
// associations, which would hide it from the desktop.
void PrependDefault(KeyFileText& list, std::string_view type, std::string_view id);

// Takes id off the front of every default entry of the type that starts
// with it; the type's only entry goes altogether when left empty.
void RemoveLeadingDefault(KeyFileText& list, std::string_view type, std::string_view id);

// The types whose first default is id.
std::vector<std::string> TypesDefaultingTo(const KeyFileText& list, std::string_view id);

// Whether any default or added association still names the type.
bool MentionsType(const KeyFileText& list, std::string_view type);

}  // namespace prambus
