// Looking at the libraries at start without letting one of them cost more
// than that start: each is written down in the journal while it is loaded
// and its strings read, and a watchdog thread ends the program when that
// takes longer than the bound (a library stuck there would hang every
// start). The note then says the library was too slow, and the next start
// leaves it out.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "extensions/extension_catalog.h"
#include "extensions/library_journal.h"
#include "extensions/listing_fault.h"

namespace prambus {

// How long one library may take to be loaded, listed and unloaded.
inline constexpr std::chrono::seconds kListingBound{5};

class ListingGuard : public LibraryWatch {
 public:
  // onTooSlow(path, noted) runs on the watchdog thread once the journal is
  // marked (`noted`: the mark was written); it is expected to end the
  // program (EndSlowStart, FreshStart::Replace do).
  using TooSlow = std::function<void(const std::string& path, bool noted)>;
  // With `faults`, a fault while a library is loaded starts the program
  // afresh (when the journal could note the library).
  ListingGuard(LibraryJournal& journal, std::chrono::milliseconds bound, TooSlow onTooSlow,
               ListingFaultRestart* faults = nullptr);
  ~ListingGuard() override;
  ListingGuard(const ListingGuard&) = delete;
  ListingGuard& operator=(const ListingGuard&) = delete;

  bool LeftOut(const std::string& path) override { return journal_.IsLeftOut(path); }
  void Begin(const std::string& path) override;
  void End() override;

 private:
  void Watch();

  LibraryJournal& journal_;
  const std::chrono::milliseconds bound_;
  TooSlow onTooSlow_;
  ListingFaultRestart* faults_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool armed_ = false, quit_ = false;
  std::string path_;
  std::chrono::steady_clock::time_point deadline_;
  std::thread thread_;
};

// Tells on the standard error that the library was too slow and ends the
// program at once: the main thread is stuck inside the library.
[[noreturn]] void EndSlowStart(const std::string& path);

}  // namespace prambus
