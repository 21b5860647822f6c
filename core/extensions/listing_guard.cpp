#include "extensions/listing_guard.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace prambus {

ListingGuard::ListingGuard(LibraryJournal& journal, std::chrono::milliseconds bound,
                           TooSlow onTooSlow, ListingFaultRestart* faults)
    : journal_(journal), bound_(bound), onTooSlow_(std::move(onTooSlow)), faults_(faults) {
  thread_ = std::thread([this] { Watch(); });
}

ListingGuard::~ListingGuard() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
  }
  changed_.notify_one();
  thread_.join();
}

void ListingGuard::Begin(const std::string& path) {
  // Without the note, a fresh start would load the library again.
  if (journal_.Begin(path) && faults_) faults_->Arm(path);
  {
    std::lock_guard lock(mutex_);
    armed_ = true;
    path_ = path;
    deadline_ = std::chrono::steady_clock::now() + bound_;
  }
  changed_.notify_one();
}

void ListingGuard::End() {
  if (faults_) faults_->Disarm();
  {
    std::lock_guard lock(mutex_);
    armed_ = false;
  }
  journal_.End();
}

void ListingGuard::Watch() {
  std::unique_lock lock(mutex_);
  while (!quit_) {
    if (!armed_) {
      changed_.wait(lock);
      continue;
    }
    if (changed_.wait_until(lock, deadline_) == std::cv_status::timeout && armed_ &&
        std::chrono::steady_clock::now() >= deadline_) {
      // Still holding the lock: End cannot empty the note meanwhile.
      const bool noted = journal_.MarkTooSlow();
      armed_ = false;
      onTooSlow_(path_, noted);
    }
  }
}

void EndSlowStart(const std::string& path) {
  // No allocation here: the stuck library may hold the allocator's lock.
  char text[4096];
  const int n = std::snprintf(text, sizeof text,
                              "Прамбус: библиотека «%s» не ответила за %d секунд, и я завершаю "
                              "программу. При следующем запуске я её не загружу.\n",
                              path.c_str(), static_cast<int>(kListingBound.count()));
  if (n > 0) {
    [[maybe_unused]] const ssize_t written =
        ::write(STDERR_FILENO, text, std::min(static_cast<size_t>(n), sizeof text - 1));
  }
  ::_exit(70);
}

}  // namespace prambus
