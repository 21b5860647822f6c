// The open document as one object: its view (which holds the bytes, the
// cursor and the undo history), the file it belongs to with that file's
// identity on disk, the encoding it is shown in, its revision and the
// revision it had when it was last loaded or saved, a load still running
// into it, and the window's appearance it was shown with. The window moves
// it as a whole (set aside during a load, brought back by Escape, replaced
// by New and Open) and never copies its fields one by one.
//
// "Modified" is exactly Revision() != the revision at the last load or save:
// every change of the bytes, whoever makes it, advances the revision in the
// view, and a command that changes nothing leaves the mark alone.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "io/disk_identity.h"
#include "settings/stored_state.h"
#include "shell/disk_watch.h"
#include "views/document_load.h"
#include "views/document_revision.h"
#include "views/view_base.h"

namespace prambus {

class Document {
 public:
  Document();
  ~Document();
  Document(Document&&) noexcept;
  Document& operator=(Document&&) noexcept;
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;

  // ---- The view.
  ViewBase* View() const { return view_.get(); }
  // Gives the document its view; from now on the view advances the
  // document's revision. A view that replaces one holding bytes empties the
  // document, which is a change.
  void SetView(std::unique_ptr<ViewBase> view);
  // Puts a view of another kind in place of the current one (a switch of
  // view kind) and returns the old one, whose bytes the new view is to take
  // over. The revision goes on where it stood.
  std::unique_ptr<ViewBase> SwitchView(std::unique_ptr<ViewBase> view);
  // The view has taken over `old`'s bytes: when it writes them otherwise
  // (line ends converted or kept), the document has changed.
  void TookOver(const ViewBase& old);
  // The same document shown in another view while this one is kept aside (a
  // switch of view that may yet be given back): the same file, identity,
  // encoding, revision and saved revision, and the revision counter shared.
  Document Twin(std::unique_ptr<ViewBase> view) const;

  // ---- The revision.
  uint64_t Revision() const { return revision_->Value(); }
  bool Modified() const { return Revision() != savedRevision_; }
  // The bytes are those of the file on disk now, whose identity is `file`:
  // a load ended (the identity taken as it began) or a save succeeded.
  void MarkSaved(const DiskIdentity& file);
  // The bytes are those of no file on disk (a recovered copy): the document
  // stays modified until it is saved.
  void MarkUnsaved() { savedRevision_ = Revision() - 1; }
  // Called after every advance of the revision.
  void SetRevisionListener(std::function<void()> listener);
  const std::shared_ptr<DocumentRevision>& SharedRevision() const { return revision_; }
  RevisionMark Mark() const { return RevisionMark(revision_); }

  // ---- The rest of what belongs to the document.
  std::string path;           // the file, as the file system names it; empty: untitled
  DiskIdentity disk;          // that file as it was at the last load or save
  DiskWatch diskWatch;        // which change of that file the user was told of since
  int encoding = 0;           // the position of the encoding shown, in "Кодировка"
  bool utf8 = false;          // shown as UTF-8 characters instead (the bytes as in the file)
  int openMilliseconds = -1;  // how long the file took to open; -1: not opened
  // The window's appearance while it showed the document, kept while the
  // document is set aside.
  WindowAppearance appearance;
  // A load still running into the view; the view outlives it.
  std::unique_ptr<DocumentLoad> load;

 private:
  std::unique_ptr<ViewBase> view_;
  std::shared_ptr<DocumentRevision> revision_;
  uint64_t savedRevision_ = 0;
};

}  // namespace prambus
