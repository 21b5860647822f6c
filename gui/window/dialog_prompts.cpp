#include "dialog_prompts.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <vector>

#include "checksum_window.h"
#include "extensions_dialog.h"
#include "go_to_dialog.h"
#include "message_box.h"
#include "pinned_files_dialog.h"
#include "recode_dialog.h"
#include "recovery_list_dialog.h"
#include "welcome_dialog.h"
#include "window_stacking.h"

namespace prambus {

int DialogPrompts::Ask(QWidget* parent, const QString& caption, const QString& text,
                       const QStringList& buttons) {
  MessageBox box(parent, caption, text, buttons);
  return box.ShowModal();
}

// The window it would be centred on has no place yet: the screen's middle
// instead, in the font the notes shown at that time have.
int DialogPrompts::AskBeforeWindow(const QString& caption, const QString& text,
                                   const QStringList& buttons) {
  QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::NoButton);
  std::vector<QAbstractButton*> pressable;
  for (const QString& label : buttons)
    pressable.push_back(box.addButton(label, QMessageBox::AcceptRole));
  if (pressable.empty()) return 2;
  box.setDefaultButton(static_cast<QPushButton*>(pressable.front()));
  // Escape closes it unanswered; nothing is chosen for the user.
  auto* escape = box.addButton(QMessageBox::Cancel);
  escape->hide();
  box.setEscapeButton(escape);
  KeepAboveTopmostWindows(&box);
  // Once more when shown: the box settles its size only then.
  auto centre = [&box] {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      QRect frame = box.frameGeometry();
      frame.moveCenter(screen->availableGeometry().center());
      box.move(frame.topLeft());
    }
  };
  box.adjustSize();
  centre();
  QTimer::singleShot(0, &box, [&box, centre] {
    centre();
    FrontAndFocused(&box, box.defaultButton());
  });
  box.exec();
  const auto pressed = std::find(pressable.begin(), pressable.end(), box.clickedButton());
  return pressed == pressable.end() ? 2 : 1000 + static_cast<int>(pressed - pressable.begin());
}

void DialogPrompts::Note(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, "Прамбус", text, QMessageBox::Ok, parent);
  KeepAboveTopmostWindows(&box);
  QTimer::singleShot(0, &box, [&box] { FrontAndFocused(&box, box.button(QMessageBox::Ok)); });
  box.exec();
}

QString DialogPrompts::OpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                                    const QString& filter) {
  return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

QString DialogPrompts::SaveFileName(QWidget* parent, const QString& caption,
                                    const QString& suggested, const QString& filter,
                                    QString* selectedFilter) {
  return QFileDialog::getSaveFileName(parent, caption, suggested, filter, selectedFilter);
}

std::optional<QString> DialogPrompts::Text(QWidget* parent, const QString& caption,
                                           const QString& label, const QString& initial) {
  bool ok = false;
  const QString text =
      QInputDialog::getText(parent, caption, label, QLineEdit::Normal, initial, &ok);
  if (!ok) return std::nullopt;
  return text;
}

std::optional<QFont> DialogPrompts::Font(QWidget* parent, const QFont& initial) {
  bool ok = false;
  const QFont chosen = QFontDialog::getFont(&ok, initial, parent, "Выбор шрифта");
  if (!ok) return std::nullopt;
  return chosen;
}

std::optional<QColor> DialogPrompts::Colour(QWidget* parent, const QColor& initial) {
  const QColor chosen = QColorDialog::getColor(initial, parent, "Выбор цвета");
  if (!chosen.isValid()) return std::nullopt;
  return chosen;
}

int DialogPrompts::Recode(RecodeDialog& dialog) {
  return dialog.exec();
}

int DialogPrompts::Welcome(WelcomeDialog& dialog) {
  return dialog.Run();
}

int DialogPrompts::Extensions(ExtensionsDialog& dialog) {
  return dialog.exec();
}

int DialogPrompts::RecoveryList(RecoveryListDialog& dialog) {
  return dialog.exec();
}

int DialogPrompts::PinnedFiles(PinnedFilesDialog& dialog) {
  return dialog.exec();
}

bool DialogPrompts::Printer(QWidget* parent, QPrinter& printer, bool selectionAllowed) {
  QPrintDialog dialog(&printer, parent);
  dialog.setMinMax(1, 999999);
  dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
  dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, true);
  dialog.setOption(QAbstractPrintDialog::PrintSelection, selectionAllowed);
  return dialog.exec() == QDialog::Accepted;
}

// Both above the program's always-on-top windows (the data window, the
// find window), which would otherwise hide them.
int DialogPrompts::GoTo(GoToDialog& dialog) {
  KeepAboveTopmostWindows(&dialog);
  QTimer::singleShot(0, &dialog, [&dialog] { FrontAndFocused(&dialog, dialog.field); });
  return dialog.exec();
}

void DialogPrompts::Checksums(ChecksumWindow& window) {
  KeepAboveTopmostWindows(&window);
  QTimer::singleShot(0, &window, [&window] { FrontAndFocused(&window, nullptr); });
  window.exec();
}

}  // namespace prambus
