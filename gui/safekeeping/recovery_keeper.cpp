#include "recovery_keeper.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <new>

#include "encodings/stored_encoding.h"
#include "io/huge_pages.h"
#include "main_window.h"

namespace prambus {

namespace {
RecoverySchedule::Time Now() {
  return RecoverySchedule::Clock::now();
}
}  // namespace

struct RecoveryKeeper::Job {
  DocumentSnapshot snapshot;
  RecoveryManifest manifest;
  std::string folder;
  uint64_t generation = 0;
  WrittenCopy written;
};

RecoveryKeeper::RecoveryKeeper(MainWindow& window) : window_(window) {
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &RecoveryKeeper::Tick);
  tellTimer_.setSingleShot(true);
  connect(&tellTimer_, &QTimer::timeout, this, &RecoveryKeeper::TellFailure);
  pool_.setMaxThreadCount(1);
}

RecoveryKeeper::~RecoveryKeeper() {
  pool_.waitForDone();
  if (inFlight_) DiscardWrittenCopy(inFlight_->written);
}

std::string RecoveryKeeper::Folder() const {
  return QFile::encodeName(QFileInfo(window_.DataFileForWriting()).absolutePath() + "/recovery")
      .toStdString();
}

RecoveryManifest RecoveryKeeper::Manifest(const std::string& pluginCaption) const {
  RecoveryManifest m;
  m.documentPath = window_.doc_.path;
  m.pluginCaption = pluginCaption;
  m.viewKind = window_.viewKind_ == 2 ? 2 : 1;
  const std::vector<LoadedEncoding> loaded = window_.encodings_.LoadedList();
  m.encodingIndex = MenuPositionForOlderReaders(window_.doc_.encoding, loaded);
  m.encodingId = IdBeyondMenuPosition(window_.doc_.encoding, loaded);
  if (ViewBase* view = window_.view_.get())
    m.cursor = static_cast<uint64_t>(
        std::max(0, view->PosToOffset(view->CursorColumn(), view->CursorRow())));
  return m;
}

void RecoveryKeeper::Follow() {
  if (leaving_) return;
  const Document& doc = window_.doc_;
  if (!doc.Modified()) {
    if (copy_.Present() || schedule_.Pending() || inFlight_) Forget();
    seenRevision_ = doc.Revision();
    return;
  }
  if (doc.Revision() == seenRevision_) return;
  seenRevision_ = doc.Revision();
  const bool wasPending = schedule_.Pending();
  schedule_.Changed(Now());
  if (!wasPending) PrepareBuffer();
  Arm();
}

// The first copy of a large hex document would fault in its buffer on this
// thread; the other thread makes it ready during the pause instead.
void RecoveryKeeper::PrepareBuffer() {
  ViewBase* view = window_.view_.get();
  if (!view || preparing_ || window_.Loading()) return;
  const int64_t length = view->GetTextLength();
  if (!SnapshotCopiesEverything(*view) || length < static_cast<int64_t>(kHugePageWorthy) ||
      spare_.bytes.capacity() >= static_cast<size_t>(length))
    return;
  preparing_ = true;
  auto buffer = std::make_shared<SnapshotBuffer>();
  pool_.start([this, buffer, length] {
    try {
      *buffer = SnapshotBuffer(static_cast<size_t>(length));
    } catch (const std::bad_alloc&) {
    }
    QMetaObject::invokeMethod(
        this,
        [this, buffer] {
          preparing_ = false;
          if (buffer->capacity() > spare_.bytes.capacity() && window_.doc_.Modified())
            spare_.bytes = std::move(*buffer);
        },
        Qt::QueuedConnection);
  });
}

// Saved, given up or replaced: no copy is kept, and one under way is stale.
void RecoveryKeeper::Forget() {
  if (inFlight_) {
    // Not a moment later: the copy under way goes with the rest.
    pool_.waitForDone();
    DiscardWrittenCopy(inFlight_->written);
    inFlight_.reset();
    schedule_.Finished(Now(), true);
  }
  copy_.Remove();
  schedule_.Forget();
  ++generation_;
  timer_.stop();
  spare_ = DocumentSnapshot();
}

// The timer is set for when the copy is due; a key that puts it off lets it
// fire early, and Tick sets it again.
void RecoveryKeeper::Arm() {
  if (timer_.isActive()) return;
  const std::optional<RecoverySchedule::Time> due = schedule_.Due();
  if (!due) return;
  const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(*due - Now());
  timer_.start(static_cast<int>(std::max<int64_t>(0, wait.count())));
}

void RecoveryKeeper::Tick() {
  if (!window_.doc_.Modified()) return Follow();
  const RecoverySchedule::Time now = Now();
  if (!schedule_.IsDue(now)) return Arm();
  // A document still loading is not whole yet.
  if (window_.Loading() || !window_.view_) {
    schedule_.Postpone(now);
    return Arm();
  }
  Start();
}

void RecoveryKeeper::WriteDueCopy() {
  if (window_.doc_.Modified() && schedule_.Due() && !window_.Loading() && window_.view_) Start();
}

void RecoveryKeeper::Start() {
  timer_.stop();
  auto job = std::make_shared<Job>();
  job->snapshot = std::move(spare_);
  const RecoverySchedule::Time now = Now();
  schedule_.Started(now);
  try {
    TakeSnapshot(*window_.view_, job->snapshot);
  } catch (const std::bad_alloc&) {
    schedule_.Finished(now, false);  // memory is short: later
    NoteFailure(ENOMEM);
    return Arm();
  }
  job->manifest = Manifest({});
  job->folder = Folder();
  job->generation = generation_;
  inFlight_ = job;
  pool_.start([this, job] {
    job->written = WriteCopyFiles(job->folder, job->manifest,
                                  [&job](int fd) { WriteSnapshot(fd, job->snapshot); });
    QMetaObject::invokeMethod(
        this, [this, job] { Finished(job); }, Qt::QueuedConnection);
  });
}

void RecoveryKeeper::Finished(const std::shared_ptr<Job>& job) {
  if (job != inFlight_) return;  // settled already
  inFlight_.reset();
  // Written: the document's rows may change their bytes in place again.
  LetGoOfHeldBytes(job->snapshot);
  const bool ok = static_cast<bool>(job->written);
  const bool current = job->generation == generation_ && !leaving_;
  if (ok)
    failures_.Succeeded();
  else if (current)
    NoteFailure(job->written.error);
  if (!ok || !current || !window_.doc_.Modified()) {
    DiscardWrittenCopy(job->written);
  } else {
    // The copy it replaces is removed on the other thread.
    auto earlier = std::make_shared<WrittenCopy>(copy_.Exchange(std::move(job->written)));
    job->written = {};
    if (*earlier) pool_.start([earlier] { DiscardWrittenCopy(*earlier); });
    spare_ = std::move(job->snapshot);
  }
  schedule_.Finished(Now(), ok);
  // A large buffer holding the whole document (the hex view's copy) is not
  // kept until the next copy: it would hold the document twice over for as
  // long as it stays modified. The next change has a new one made ready on
  // the other thread, or now when changes came while this copy was written.
  if (spare_.bytes.capacity() >= kHugePageWorthy) {
    spare_.bytes = SnapshotBuffer();
    if (schedule_.Pending()) PrepareBuffer();
  }
  Arm();
}

void RecoveryKeeper::NoteFailure(int err) {
  failures_.Failed(Folder(), err);
  // Never from within the step that settles a copy (a plug-in about to
  // run, the session's end): from the event loop.
  if (!tellTimer_.isActive()) tellTimer_.start(0);
}

void RecoveryKeeper::TellFailure() {
  if (leaving_) return;
  // A note over another message, a dialog or a running pass would get in
  // their way: it waits for them.
  if (window_.modalDepth_ > 0 || window_.passRunning_ || QApplication::activeModalWidget()) {
    tellTimer_.start(1000);
    return;
  }
  if (!window_.doc_.Modified()) return failures_.Withdraw();
  if (const std::optional<std::string> text = failures_.Take())
    window_.ShowNote(QString::fromStdString(*text));
}

void RecoveryKeeper::Settle() {
  if (!inFlight_) return;
  pool_.waitForDone();
  Finished(inFlight_);
}

bool RecoveryKeeper::WriteNow(const std::string& pluginCaption) {
  Settle();
  ViewBase* view = window_.view_.get();
  if (!view) return false;
  if (!copy_.Write(Folder(), Manifest(pluginCaption), [view](int fd) { view->WriteContent(fd); }))
    return false;
  failures_.Succeeded();
  schedule_.Forget();
  timer_.stop();
  seenRevision_ = window_.doc_.Revision();
  return true;
}

bool RecoveryKeeper::AdoptRestored(const OrphanCopy& copy) {
  Settle();
  if (!copy_.Adopt(copy)) return false;
  schedule_.Forget();
  timer_.stop();
  seenRevision_ = window_.doc_.Revision();
  return true;
}

void RecoveryKeeper::LeaveForNextStart() {
  Settle();
  leaving_ = true;
  timer_.stop();
  copy_.Release();
}

void RecoveryKeeper::GiveUp() {
  Forget();
  seenRevision_ = UINT64_MAX;
}

void RecoveryKeeper::RefreshSoon() {
  if (!window_.doc_.Modified() || !copy_.Present()) return;
  schedule_.Changed(Now());
  Arm();
}

}  // namespace prambus
