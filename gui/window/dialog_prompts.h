// The program's answers to the main window's questions: its own message box
// and the desktop's dialogs.
#pragma once

#include "user_prompts.h"

namespace prambus {

class DialogPrompts : public UserPrompts {
 public:
  int Ask(QWidget* parent, const QString& caption, const QString& text,
          const QStringList& buttons) override;
  int AskBeforeWindow(const QString& caption, const QString& text,
                      const QStringList& buttons) override;
  void Note(QWidget* parent, const QString& text) override;
  QString OpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                       const QString& filter) override;
  QString SaveFileName(QWidget* parent, const QString& caption, const QString& suggested,
                       const QString& filter, QString* selectedFilter) override;
  std::optional<QString> Text(QWidget* parent, const QString& caption, const QString& label,
                              const QString& initial) override;
  std::optional<QFont> Font(QWidget* parent, const QFont& initial) override;
  std::optional<QColor> Colour(QWidget* parent, const QColor& initial) override;
  int Recode(RecodeDialog& dialog) override;
  int PinnedFiles(PinnedFilesDialog& dialog) override;
  int Welcome(WelcomeDialog& dialog) override;
  int Extensions(ExtensionsDialog& dialog) override;
  int RecoveryList(RecoveryListDialog& dialog) override;
  bool Printer(QWidget* parent, QPrinter& printer, bool selectionAllowed) override;
  int GoTo(GoToDialog& dialog) override;
  void Checksums(ChecksumWindow& window) override;
};

}  // namespace prambus
