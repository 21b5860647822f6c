// Scripted answers to the main window's questions, for tests. Every question
// and note is recorded, so a test can say exactly which were shown; a question
// the script did not expect is answered as escaped (2) and recorded too.
#pragma once

#include <QFont>
#include <QStringList>
#include <deque>
#include <functional>
#include <memory>
#include <utility>

#include "checksum_window.h"
#include "extensions_dialog.h"
#include "go_to_dialog.h"
#include "main_window.h"
#include "pinned_files_dialog.h"
#include "recode_dialog.h"
#include "recovery_list_dialog.h"
#include "user_prompts.h"
#include "welcome_dialog.h"

namespace prambus {

class ScriptedPrompts : public UserPrompts {
 public:
  // Installs a script on the window and returns it (the window owns it).
  static ScriptedPrompts& InstallOn(MainWindow& window) {
    auto prompts = std::make_unique<ScriptedPrompts>();
    ScriptedPrompts& script = *prompts;
    window.SetPrompts(std::move(prompts));
    return script;
  }

  // Answers to the next questions, in order: 1000 + button, or 2.
  std::deque<int> answers;
  // Names for the next open and save dialogs; an empty queue cancels.
  std::deque<QString> openNames, saveNames;
  // Answers to the next text, font and colour dialogs; nullopt cancels.
  std::optional<QString> text;
  std::optional<QFont> font;
  std::optional<QColor> colour;
  // What the last font and colour dialogs were opened with.
  std::optional<QFont> offeredFont;
  std::optional<QColor> offeredColour;
  // Runs while a font or colour dialog would be open (another window taking
  // the activation, for example).
  std::function<void()> whileChoosing;
  // Runs once while the next question would be up.
  std::function<void()> whileAsking;
  // Runs while an open, save or print dialog would be up.
  std::function<void()> whileFileDialog;
  // Works the recode dialog as the user would and returns its result;
  // without it the dialog is cancelled.
  std::function<int(RecodeDialog&)> recode;
  // Works the pinned-files dialog likewise; without it the dialog is cancelled.
  std::function<int(PinnedFilesDialog&)> pinnedFiles;
  // The same for the welcome window of a first start (without it: "Это мне
  // не нужно") and the extensions dialog (without it: cancelled).
  std::function<int(WelcomeDialog&)> welcome;
  std::function<int(ExtensionsDialog&)> extensions;
  // Works the list of recovery copies left behind; without it: "Позже".
  // Each time the list is shown, its rows (document names) are recorded.
  std::function<int(RecoveryListDialog&)> recoveryList;
  QList<QStringList> recoveryLists;
  // Sets the printer up as the user would in the print dialog (told whether
  // the selection is offered); without it the dialog is cancelled.
  std::function<bool(QPrinter&, bool selectionAllowed)> printer;
  // Works the "Перейти" dialog as the user would and returns its result;
  // without it the dialog is cancelled.
  std::function<int(GoToDialog&)> goTo;
  // Works the checksum window while it would be open; without it the
  // checksums are summed to the end and the window closed.
  std::function<void(ChecksumWindow&)> checksums;

  // What was shown: "caption: text" of each question, the text of each note,
  // the filters of the last open dialog.
  QStringList questions;
  QList<QStringList> buttons;  // of each question, the default first
  QStringList notes;
  QString openFilter;
  int unexpectedQuestions = 0;

  int Ask(QWidget*, const QString& caption, const QString& text,
          const QStringList& captions) override {
    questions << caption + ": " + text;
    buttons << captions;
    if (whileAsking) std::exchange(whileAsking, nullptr)();
    if (answers.empty()) {
      ++unexpectedQuestions;
      return 2;
    }
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }
  int AskBeforeWindow(const QString& caption, const QString& text,
                      const QStringList& buttons) override {
    return Ask(nullptr, caption, text, buttons);
  }
  void Note(QWidget*, const QString& text) override { notes << text; }
  QString OpenFileName(QWidget*, const QString&, const QString&, const QString& filter) override {
    openFilter = filter;
    if (whileFileDialog) whileFileDialog();
    return Next(openNames);
  }
  QString SaveFileName(QWidget*, const QString&, const QString&, const QString&,
                       QString*) override {
    if (whileFileDialog) whileFileDialog();
    return Next(saveNames);
  }
  std::optional<QString> Text(QWidget*, const QString&, const QString&, const QString&) override {
    return text;
  }
  std::optional<QFont> Font(QWidget*, const QFont& initial) override {
    offeredFont = initial;
    if (whileChoosing) whileChoosing();
    return font;
  }
  std::optional<QColor> Colour(QWidget*, const QColor& initial) override {
    offeredColour = initial;
    if (whileChoosing) whileChoosing();
    return colour;
  }
  int Recode(RecodeDialog& dialog) override { return recode ? recode(dialog) : 2; }
  int PinnedFiles(PinnedFilesDialog& dialog) override {
    return pinnedFiles ? pinnedFiles(dialog) : QDialog::Rejected;
  }
  int Welcome(WelcomeDialog& dialog) override { return welcome ? welcome(dialog) : 2; }
  int Extensions(ExtensionsDialog& dialog) override { return extensions ? extensions(dialog) : 2; }
  int RecoveryList(RecoveryListDialog& dialog) override {
    QStringList rows;
    for (int i = 0; i < dialog.List()->topLevelItemCount(); ++i)
      rows << dialog.List()->topLevelItem(i)->text(0);
    recoveryLists << rows;
    return recoveryList ? recoveryList(dialog) : RecoveryListDialog::kLater;
  }
  bool Printer(QWidget*, QPrinter& p, bool selectionAllowed) override {
    if (whileFileDialog) whileFileDialog();
    return printer && printer(p, selectionAllowed);
  }
  int GoTo(GoToDialog& dialog) override { return goTo ? goTo(dialog) : QDialog::Rejected; }
  void Checksums(ChecksumWindow& window) override {
    if (checksums)
      checksums(window);
    else
      window.RunToEnd();
  }

 private:
  static QString Next(std::deque<QString>& names) {
    if (names.empty()) return {};
    QString name = names.front();
    names.pop_front();
    return name;
  }
};

}  // namespace prambus
