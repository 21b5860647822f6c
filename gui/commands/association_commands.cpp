// The main window's file-type associations: "Закрепить за расширениями...",
// the welcome window of the first start, the start-up check of the stored
// bindings, and "О программе...".
#include <QApplication>
#include <QFile>

#include "about_dialog.h"
#include "associations/extension_bindings.h"
#include "associations/xdg_association_store.h"
#include "extensions_dialog.h"
#include "main_window.h"
#include "pointer_placement.h"
#include "shell/dialog_placement.h"
#include "welcome_dialog.h"

namespace prambus {

namespace {
// The store's messages of a batch of bindings, each text once, as plain
// notes of the window when the batch is done.
void ShowNotes(MainWindow* w, const std::vector<std::string>& notes) {
  for (const std::string& m : notes) w->ShowNote(QString::fromStdString(m));
}
}  // namespace

AssociationStore& MainWindow::Associations() {
  if (!associations_) {
    QFile icon(":/art/prambus.svg");
    icon.open(QIODevice::ReadOnly);
    associations_ = std::make_unique<XdgAssociationStore>(
        XdgDirs::FromEnvironment(), ProgramFiles{QApplication::applicationFilePath().toStdString(),
                                                 icon.readAll().toStdString()});
  }
  return *associations_;
}

ExtensionsDialog* MainWindow::GetExtensionsDialog() {
  if (!extensionsDialog_) {
    extensionsDialog_ = new ExtensionsDialog(this);
    extensionsDialog_->showMessage = [this](const QString& text) { ShowNote(text); };
  }
  return extensionsDialog_;
}

void MainWindow::ExtensionsCommand() {
  ExtensionsDialog* dialog = GetExtensionsDialog();
  AssociationStore& store = Associations();
  dialog->Fill(
      state_.bindings, [&store](const std::string& ext) { return store.IsBoundToProgram(ext); },
      ToQColor(canvas_.BrushColor()), ToQColor(canvas_.GetFont().color));
  PlaceAtMousePointer(dialog);
  BeforeModalDialog();
  const int result = prompts_->Extensions(*dialog);
  AfterModalDialog();
  if (result != 1) return;
  std::vector<std::string> notes;
  state_.bindings = ApplyBindingChoices(dialog->Choices(), store, CollectingOnce(notes));
  ShowNotes(this, notes);
  RebuildDialogFilters();
  StoreSettingsChange();
}

void MainWindow::RunFirstStartWelcome() {
  WelcomeDialog welcome(this);
  BeforeModalDialog();
  const int result = prompts_->Welcome(welcome);
  AfterModalDialog();
  AssociationStore& store = Associations();
  store.RegisterApplication();  // a failure here only leaves the desktop without the entry
  if (result != 1) return;
  std::vector<std::string> notes;
  for (uint8_t i = 0; i < 2; ++i)
    BindTypedList(welcome.ExtensionList(i).toStdString(), i, store, state_.bindings,
                  CollectingOnce(notes));
  ShowNotes(this, notes);
}

void MainWindow::KeepBoundExtensions() {
  state_.bindings = KeepBoundBindings(state_.bindings, Associations());
}

AboutDialog* MainWindow::GetAboutDialog() {
  if (!aboutDialog_) {
    aboutDialog_ = new AboutDialog(this);
    aboutDialog_->openHelp = [this] {
      aboutDialog_->hide();
      OpenHelp();
    };
    // Back on top when the About window goes, if the window is to stay there.
    connect(aboutDialog_, &AboutDialog::hidden, this, [this] {
      if (actions_.stayOnTop->isChecked()) {
        SetStaysOnTopInPlace(true);
        show();
      }
    });
  }
  return aboutDialog_;
}

void MainWindow::AboutCommand() {
  AboutDialog* about = GetAboutDialog();
  const QRect g = frameGeometry();
  if (actions_.stayOnTop->isChecked()) {
    // Shown again without taking the activation, which would hide the
    // About window as soon as it appears.
    setAttribute(Qt::WA_ShowWithoutActivating, true);
    SetStaysOnTopInPlace(false);
    show();
    setAttribute(Qt::WA_ShowWithoutActivating, false);
  }
  // Placed once shown, when its frame is known.
  about->show();
  const QSize size = about->frameGeometry().size();
  const Point p =
      CentreOver({g.left(), g.top(), g.right() + 1, g.bottom() + 1}, size.width(), size.height());
  about->move(p.x, p.y);
  about->raise();
  about->activateWindow();
  about->setFocus();
}

}  // namespace prambus
