#include "shell/help_location.h"

#include <sys/stat.h>

namespace prambus {

std::string HelpDocumentPath(const std::string& exeDir, const std::string& fileName) {
  const std::string beside = exeDir + "/" + fileName;
  const std::string installed = exeDir + "/../share/doc/prambus/" + fileName;
  struct stat st {};
  if (::stat(beside.c_str(), &st) != 0 && ::stat(installed.c_str(), &st) == 0) return installed;
  return beside;
}

}  // namespace prambus
