// A freedesktop key file (mimeapps.list, a desktop entry) held as its lines,
// so that changing one entry leaves every other byte as it was: comments,
// blank lines, unknown groups, duplicate keys, CR LF line ends and all.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace prambus {

class KeyFileText {
 public:
  explicit KeyFileText(std::string_view text = {});
  std::string Text() const;

  // Lines holding `key` in every group named `group`, in file order. Keys are
  // compared exactly, with the spaces around "=" ignored.
  std::vector<size_t> FindKey(std::string_view group, std::string_view key) const;
  // The value of the first such line.
  std::optional<std::string> Get(std::string_view group, std::string_view key) const;
  // Every key line of the groups named `group`: (key, value) in file order.
  std::vector<std::pair<std::string, std::string>> Entries(std::string_view group) const;

  std::string Value(size_t line) const;
  // Replaces the value and keeps the line's "key =" part as it was written.
  void SetValue(size_t line, std::string_view value);
  void EraseLine(size_t line);
  // Adds "key=value" after the last entry of the first group named `group`,
  // or a new group at the end of the file when there is none.
  void AddKey(std::string_view group, std::string_view key, std::string_view value);

 private:
  struct Line {
    std::string text;  // without its line end
    std::string end;   // "\n", "\r\n" or "" for a last line without one
  };
  // The group each line belongs to ("" before the first header).
  std::vector<std::string> GroupOfLines() const;
  // Where the value of a key line starts, or npos for other lines.
  size_t ValueStart(size_t line) const;

  std::vector<Line> lines_;
  std::string newline_ = "\n";  // the line end new lines get: the file's own
};

}  // namespace prambus
