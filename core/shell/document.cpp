#include "shell/document.h"

#include <utility>

namespace prambus {

Document::Document() : revision_(std::make_shared<DocumentRevision>()) {}

// A load reads into the view: it goes first.
Document::~Document() {
  load.reset();
}

Document::Document(Document&& other) noexcept
    : path(std::move(other.path)),
      disk(other.disk),
      diskWatch(other.diskWatch),
      encoding(other.encoding),
      utf8(other.utf8),
      openMilliseconds(other.openMilliseconds),
      appearance(std::move(other.appearance)),
      load(std::move(other.load)),
      view_(std::move(other.view_)),
      revision_(std::exchange(other.revision_, std::make_shared<DocumentRevision>())),
      savedRevision_(std::exchange(other.savedRevision_, 0)) {}

Document& Document::operator=(Document&& other) noexcept {
  if (this == &other) return *this;
  load.reset();  // before the view it reads into
  path = std::move(other.path);
  disk = other.disk;
  diskWatch = other.diskWatch;
  encoding = other.encoding;
  utf8 = other.utf8;
  openMilliseconds = other.openMilliseconds;
  appearance = std::move(other.appearance);
  view_ = std::move(other.view_);
  load = std::move(other.load);
  revision_ = std::exchange(other.revision_, std::make_shared<DocumentRevision>());
  savedRevision_ = std::exchange(other.savedRevision_, 0);
  return *this;
}

void Document::SetView(std::unique_ptr<ViewBase> view) {
  load.reset();
  const bool hadBytes = view_ && view_->GetTextLength() > 0;
  view_ = std::move(view);
  if (view_) view_->ShareRevision(revision_);
  if (hadBytes) revision_->Advance();
}

std::unique_ptr<ViewBase> Document::SwitchView(std::unique_ptr<ViewBase> view) {
  load.reset();
  std::unique_ptr<ViewBase> old = std::move(view_);
  view_ = std::move(view);
  if (!view_) return old;
  view_->ShareRevision(revision_);
  return old;
}

void Document::TookOver(const ViewBase& old) {
  if (view_ && !WritesSameBytes(old, *view_)) revision_->Advance();
}

Document Document::Twin(std::unique_ptr<ViewBase> view) const {
  Document twin;
  twin.path = path;
  twin.disk = disk;
  twin.diskWatch = diskWatch;
  twin.encoding = encoding;
  twin.utf8 = utf8;
  twin.openMilliseconds = openMilliseconds;
  twin.appearance = appearance;
  twin.revision_ = revision_;
  twin.savedRevision_ = savedRevision_;
  twin.view_ = std::move(view);
  if (twin.view_) twin.view_->ShareRevision(revision_);
  return twin;
}

void Document::MarkSaved(const DiskIdentity& file) {
  savedRevision_ = Revision();
  disk = file;
  diskWatch.Settled();
}

void Document::SetRevisionListener(std::function<void()> listener) {
  revision_->SetListener(std::move(listener));
}

}  // namespace prambus
