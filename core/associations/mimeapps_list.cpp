#include "associations/mimeapps_list.h"

#include <unordered_set>

#include "associations/ascii_text.h"

namespace prambus {
namespace {

// The first item of a ";"-separated list and the length it takes with its
// separator.
std::string_view FirstItem(std::string_view list, size_t* taken = nullptr) {
  const size_t semi = list.find(';');
  if (taken) *taken = semi == std::string_view::npos ? list.size() : semi + 1;
  return TrimBlanks(list.substr(0, semi));
}

std::vector<std::string_view> Items(std::string_view list) {
  std::vector<std::string_view> items;
  while (!list.empty()) {
    size_t taken = 0;
    const std::string_view item = FirstItem(list, &taken);
    if (!item.empty()) items.push_back(item);
    list.remove_prefix(taken);
  }
  return items;
}

}  // namespace

std::string FirstDefault(const KeyFileText& list, std::string_view type) {
  const std::vector<size_t> lines = list.FindKey(kDefaultApplications, type);
  if (lines.empty()) return {};
  const std::string value = list.Value(lines.front());
  const std::vector<std::string_view> items = Items(value);
  return items.empty() ? std::string() : std::string(items.front());
}

void PrependDefault(KeyFileText& list, std::string_view type, std::string_view id) {
  const std::vector<size_t> lines = list.FindKey(kDefaultApplications, type);
  const std::string front = std::string(id) + ";";
  for (size_t line : lines) {
    const std::string value = list.Value(line);
    if (FirstItem(value) != id) list.SetValue(line, front + value);
  }
  if (lines.empty()) list.AddKey(kDefaultApplications, type, front);

  // Erased from the last line backwards, so the earlier indexes stay valid.
  const std::vector<size_t> removed = list.FindKey(kRemovedAssociations, type);
  for (auto it = removed.rbegin(); it != removed.rend(); ++it) {
    const std::string value = list.Value(*it);
    std::string kept;
    bool dropped = false;
    for (std::string_view item : Items(value)) {
      if (item == id) {
        dropped = true;
      } else {
        kept += std::string(item) + ";";
      }
    }
    if (!dropped) continue;
    if (kept.empty())
      list.EraseLine(*it);
    else
      list.SetValue(*it, kept);
  }
}

void RemoveLeadingDefault(KeyFileText& list, std::string_view type, std::string_view id) {
  const std::vector<size_t> lines = list.FindKey(kDefaultApplications, type);
  for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
    const std::string value = list.Value(*it);
    size_t taken = 0;
    if (FirstItem(value, &taken) != id) continue;
    const std::string rest = value.substr(taken);
    // The type's only entry goes when nothing is left of it; among several
    // an empty one stays, since it hides the entries after it.
    if (Items(rest).empty() && lines.size() == 1)
      list.EraseLine(*it);
    else
      list.SetValue(*it, rest);
  }
}

// One pass over the entries: a list of tens of thousands of lines is read
// once, not once per entry.
std::vector<std::string> TypesDefaultingTo(const KeyFileText& list, std::string_view id) {
  std::vector<std::string> types;
  std::unordered_set<std::string> seen;
  for (const auto& [type, value] : list.Entries(kDefaultApplications)) {
    // Only the first entry of a type counts, as for FirstDefault.
    if (!seen.insert(type).second) continue;
    const std::vector<std::string_view> items = Items(value);
    if (!items.empty() && items.front() == id) types.push_back(type);
  }
  return types;
}

bool MentionsType(const KeyFileText& list, std::string_view type) {
  for (std::string_view group : {kDefaultApplications, kAddedAssociations})
    for (size_t line : list.FindKey(group, type))
      if (!Items(list.Value(line)).empty()) return true;
  return false;
}

std::string EffectiveDefault(const MimeAppsLists& lists, std::string_view type) {
  for (const KeyFileText& list : lists) {
    std::string first = FirstDefault(list, type);
    if (!first.empty()) return first;
  }
  return {};
}

std::vector<bool> PrependEffectiveDefault(MimeAppsLists& lists, std::string_view type,
                                          std::string_view id) {
  std::vector<bool> changed(lists.size(), false);
  for (size_t i = 0; i < lists.size(); ++i) {
    const std::string first = FirstDefault(lists[i], type);
    const bool common = i + 1 == lists.size();
    if (first == id || (first.empty() && !common)) continue;
    PrependDefault(lists[i], type, id);
    changed[i] = true;
  }
  return changed;
}

std::vector<bool> RemoveLeadingDefaults(MimeAppsLists& lists, std::string_view type,
                                        std::string_view id) {
  std::vector<bool> changed(lists.size(), false);
  for (size_t i = 0; i < lists.size(); ++i) {
    if (FirstDefault(lists[i], type) != id) continue;
    RemoveLeadingDefault(lists[i], type, id);
    changed[i] = true;
  }
  return changed;
}

}  // namespace prambus
