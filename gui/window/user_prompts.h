// Everything the main window asks the user in a modal step goes through this
// interface: the program answers with the real dialogs (DialogPrompts in
// dialog_prompts.h), tests with scripted answers. The window takes its own
// modal steps (caret, stay-on-top) around each call; an implementation only
// asks.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>
#include <optional>

class QPrinter;
class QWidget;

namespace prambus {

class PinnedFilesDialog;
class RecodeDialog;
class WelcomeDialog;
class ExtensionsDialog;
class GoToDialog;
class ChecksumWindow;
class RecoveryListDialog;

class UserPrompts {
 public:
  virtual ~UserPrompts() = default;

  // A question in the program's message box: 1000 + the index of the button
  // pressed, or 2 when it was closed or escaped.
  virtual int Ask(QWidget* parent, const QString& caption, const QString& text,
                  const QStringList& buttons) = 0;
  // A question asked before the main window is on the screen: a standard
  // box, like the notes, centred on the screen. The first button is the
  // default. 1000 + the index of the button pressed, or 2 when escaped.
  virtual int AskBeforeWindow(const QString& caption, const QString& text,
                              const QStringList& buttons) = 0;
  // A plain message with an OK button.
  virtual void Note(QWidget* parent, const QString& text) = 0;
  // A file to open or to save; empty when cancelled. Filters are Qt name
  // filters joined by ";;". For saving, selectedFilter holds the filter to
  // preselect and receives the one chosen.
  virtual QString OpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                               const QString& filter) = 0;
  virtual QString SaveFileName(QWidget* parent, const QString& caption, const QString& suggested,
                               const QString& filter, QString* selectedFilter) = 0;
  // One line of text; nullopt when cancelled.
  virtual std::optional<QString> Text(QWidget* parent, const QString& caption, const QString& label,
                                      const QString& initial) = 0;
  // A font or a colour; nullopt when cancelled.
  virtual std::optional<QFont> Font(QWidget* parent, const QFont& initial) = 0;
  virtual std::optional<QColor> Colour(QWidget* parent, const QColor& initial) = 0;
  // Runs the filled and placed recode dialog: 1 for "Готово", 2 for "Отмена".
  virtual int Recode(RecodeDialog& dialog) = 0;
  // Runs the filled and placed pinned-files dialog: QDialog::Accepted for
  // "ОК", QDialog::Rejected for "Отмена" or Esc.
  virtual int PinnedFiles(PinnedFilesDialog& dialog) = 0;
  // Runs the welcome window of a first start: 1 for "ОК", 2 for "Это мне
  // не нужно".
  virtual int Welcome(WelcomeDialog& dialog) = 0;
  // Runs the filled and placed extensions dialog: 1 for "OK", 2 for "Отмена".
  virtual int Extensions(ExtensionsDialog& dialog) = 0;
  // Runs the filled list of recovery copies left behind:
  // RecoveryListDialog::kOpen with a copy chosen, or kLater.
  virtual int RecoveryList(RecoveryListDialog& dialog) = 0;
  // The print dialog: sets the preset printer up as chosen (printer or PDF
  // file, pages, copies); false when cancelled. The selection may be chosen
  // only when selectionAllowed.
  virtual bool Printer(QWidget* parent, QPrinter& printer, bool selectionAllowed) = 0;
  // Runs the filled and placed "Перейти" dialog: QDialog::Accepted when it
  // was given a place to go to.
  virtual int GoTo(GoToDialog& dialog) = 0;
  // Shows the checksum window until the user closes it.
  virtual void Checksums(ChecksumWindow& window) = 0;
};

}  // namespace prambus
