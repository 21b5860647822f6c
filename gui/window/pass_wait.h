// A pass over the document run inside a command ("Заменить всё"), served
// while it runs. Once it proves long (a large region, or a moment gone), its
// progress shows where a load's does and the events are served between its
// pieces with the input held back: no key, click or menu command, no
// deferred layout, width change or look at the file on disk changes the
// document or moves its rows before the pass is over. Escape, the stop
// button and closing the main window stop the pass; a close then goes its
// usual way, and what was typed after an Escape (or throughout a pass that
// ran to its end) is handed on once the hold ends.
#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <memory>

#include "shell/replace_pass.h"

class QAbstractButton;

namespace prambus {

class HeldInput;
class MainWindow;

class PassWait {
 public:
  // stop: a button that stops the pass, shown as "Стоп" meanwhile (or none).
  PassWait(MainWindow& window, QAbstractButton* stop);
  ~PassWait();
  PassWait(const PassWait&) = delete;
  PassWait& operator=(const PassWait&) = delete;

  // The pass's report: false once it is to stop.
  PassProgress Progress();
  // Ends the hold (before any message is shown: a modal message needs the
  // input); the destructor does it otherwise.
  void End();
  bool Stopped() const { return stopped_; }

 private:
  bool Report(int64_t done, int64_t total);
  void Begin();

  MainWindow& window_;
  QPointer<QAbstractButton> stop_;
  QString stopCaption_;  // the button's own caption, given back at the end
  QElapsedTimer clock_;
  std::unique_ptr<HeldInput> held_;
  bool stopped_ = false;
  bool stopClicked_ = false;
};

}  // namespace prambus
