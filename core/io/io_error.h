// The failure raised by file operations of the views and the settings store.
#pragma once

#include <stdexcept>
#include <string>

namespace prambus {

class IoError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace prambus
