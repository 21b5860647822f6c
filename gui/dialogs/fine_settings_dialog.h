// "Тонкая настройка": a tool window with every tunable value of the settings
// record in a two-column table, the description of the selected row beside
// it, and "Готово" / "Отмена". A cell that is left holding a refused text
// silently shows the stored value again; "Готово" stores what is accepted.
#pragma once

#include <QColor>
#include <QDialog>
#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <functional>
#include <optional>
#include <string>

#include "settings/settings.h"
#include "shell/fine_settings.h"

namespace prambus {

class DescriptionPanel;

class FineSettingsDialog : public QDialog {
  Q_OBJECT
 public:
  explicit FineSettingsDialog(QWidget* parent);

  // Fills the cells from the settings record, selects the first row and
  // shows the window: at the mouse pointer when the command was chosen with
  // the mouse, otherwise centred over the main window; on its screen either
  // way.
  void ShowPlaced(bool atPointer);
  // "Готово": stores every accepted cell and hides the window.
  void Done();
  // "Отмена" and Escape: hides the window, storing nothing.
  void Cancel();
  // Checks the row's cell: a refused text gives way to the stored value.
  void ValidateRow(int row);
  // A double click on the row's value: yes/no flips, colours and TextFont
  // open their choice dialogs, other rows start editing.
  void DoubleClickRow(int row);

  QTableWidget* Table() const { return table_; }
  QPushButton* DoneButton() const { return done_; }
  QPushButton* CancelButton() const { return cancel_; }
  QLabel* WarningTitle() const { return warningTitle_; }
  QLabel* WarningText() const { return warningText_; }
  DescriptionPanel* Description() const { return description_; }
  QString CellText(int row) const;
  void SetCellText(int row, const QString& text);
  // The decimal separator of reals: the user's locale's.
  const std::string& Separator() const { return separator_; }

  // How the window asks for a colour and a font (the main window's prompts);
  // nothing means the user cancelled.
  std::function<std::optional<QColor>(const QColor& initial)> chooseColor;
  std::function<std::optional<QFont>(const QFont& initial)> chooseFont;
  // After "Готово" has stored the values: the record as it was before.
  std::function<void(const Settings& before)> onStored;
  // Whenever the window has hidden itself; giveFocusBack on "Отмена" and Escape.
  std::function<void(bool giveFocusBack)> onHidden;

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void changeEvent(QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  void BuildWarning();
  void BuildTable();
  void Refill();
  void ShowDescription(int row);
  void HideWindow(bool giveFocusBack);
  void ChooseColorFor(int row);
  void ChooseFontFor();
  void FillFontCells(const FontCells& font);
  // The value a cell reads as, or the stored one when it is refused.
  SettingValue ReadCellOrStored(int row) const;
  // Runs a chooser with the window disabled, so that losing activation to
  // the chooser does not hide it.
  template <typename F>
  auto WhileDisabled(F&& run);

  QLabel* warningTitle_;
  QLabel* warningText_;
  QTableWidget* table_;
  DescriptionPanel* description_;
  QPushButton* done_;
  QPushButton* cancel_;
  std::string separator_;
  bool filling_ = false;  // cells being set by the window itself
  bool activeSinceShown_ = false;
};

}  // namespace prambus
