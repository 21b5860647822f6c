#include "shell/handover_request.h"

namespace prambus {

namespace {
HandOverRequest Parse(std::string_view line) {
  HandOverRequest r;
  const size_t tab = line.find('\t');
  if (tab == 0 || tab == std::string_view::npos || tab > 10) return r;
  uint64_t hash = 0;
  for (char c : line.substr(0, tab)) {
    if (c < '0' || c > '9') return r;
    hash = hash * 10 + static_cast<uint64_t>(c - '0');
  }
  if (hash > UINT32_MAX) return r;
  r.hash = static_cast<uint32_t>(hash);
  r.title = std::string(line.substr(tab + 1));
  r.valid = true;
  return r;
}
}  // namespace

std::string FormatHandOverRequest(uint32_t hash, std::string_view title) {
  std::string out = std::to_string(hash);
  out += '\t';
  out += title;
  out += '\n';
  return out;
}

bool HandOverRequestReader::Feed(std::string_view bytes, std::vector<HandOverRequest>& complete) {
  while (!bytes.empty()) {
    const size_t end = bytes.find('\n');
    const size_t take = end == std::string_view::npos ? bytes.size() : end;
    if (pending_.size() + take > kMaxHandOverRequest) {
      pending_.clear();
      return false;
    }
    pending_.append(bytes.substr(0, take));
    if (end == std::string_view::npos) break;
    complete.push_back(Parse(pending_));
    pending_.clear();
    bytes.remove_prefix(end + 1);
  }
  return true;
}

}  // namespace prambus
