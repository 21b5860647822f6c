// Recovery copies of the modified document while the window runs: one is
// written a few seconds after the typing pauses (and at least once a minute
// of typing that never pauses), before a plug-in runs, and when the
// session ends. The window only copies the document's bytes; the copy is
// written to disk on a thread of its own and handed back when done. The
// copy goes when the document is saved, given up or replaced, and stays
// when the program is taken down. Copies that keep failing are told once
// (RecoveryFailureNotice), when the window is free to show a note.
#pragma once

#include <QObject>
#include <QThreadPool>
#include <QTimer>
#include <memory>
#include <string>

#include "extensions/recovery_copy.h"
#include "shell/recovery_failure_notice.h"
#include "shell/recovery_schedule.h"
#include "views/document_snapshot.h"

namespace prambus {

class MainWindow;

class RecoveryKeeper : public QObject {
  Q_OBJECT
 public:
  explicit RecoveryKeeper(MainWindow& window);
  ~RecoveryKeeper() override;  // waits for a copy being written; the copy held goes

  // Where the copies are written: "recovery" beside data.dat.
  std::string Folder() const;
  // Looks at the document after each change, save, load or replacement.
  void Follow();
  // Writes a copy of the modified document now, on this thread, in place of
  // the one held (a plug-in is about to run; the session ends). False when
  // it could not be written.
  bool WriteNow(const std::string& pluginCaption);
  // The document was restored from this copy: it is the document's copy now.
  bool AdoptRestored(const OrphanCopy& copy);
  // The program ends without the user's word on the document (the session
  // ends): the copy stays for the next start.
  void LeaveForNextStart();
  // The user gave the modified document up ("Нет" to saving it): its copy
  // goes. Should the document stay after all (the command that asked is
  // stopped), the next change or look at it writes a new one.
  void GiveUp();
  // A copy written by a plug-in's run is replaced by an ordinary one soon.
  void RefreshSoon();

  bool Present() const { return copy_.Present(); }
  const std::string& ContentPath() const { return copy_.ContentPath(); }
  // A copy is being written on the other thread.
  bool Writing() const { return inFlight_ != nullptr; }
  // Writes the copy that is due now, whatever the clock says (tests).
  void WriteDueCopy();
  // The bytes of buffer kept for the next copy (tests): a large document's
  // whole copy is not kept between copies.
  size_t SpareBytes() const { return spare_.bytes.capacity(); }

 private:
  struct Job;
  void Arm();
  void PrepareBuffer();
  void Tick();
  void Start();
  void Finished(const std::shared_ptr<Job>& job);
  // A copy could not be written: the user hears of it once the window is
  // free for a note.
  void NoteFailure(int err);
  void TellFailure();
  // Waits for a copy being written and takes it or throws it away now.
  void Settle();
  void Forget();
  RecoveryManifest Manifest(const std::string& pluginCaption) const;

  MainWindow& window_;
  RecoveryCopy copy_;
  RecoverySchedule schedule_;
  QTimer timer_;
  QTimer tellTimer_;  // a failure waiting for the window to be free
  RecoveryFailureNotice failures_;
  QThreadPool pool_;
  std::shared_ptr<Job> inFlight_;
  DocumentSnapshot spare_;     // the last snapshot's buffer, kept while the document is modified
  uint64_t seenRevision_ = 0;  // the revision Follow last saw
  uint64_t generation_ = 0;    // moves when the document is given up: copies under way are stale
  bool leaving_ = false;
  bool preparing_ = false;  // a buffer for the next snapshot is being made
};

}  // namespace prambus
