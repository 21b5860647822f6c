// The modeless "Найти" window: a phrase, case sensitivity, "Найти далее".
// In the hex view it can look for a number instead: a value typed in
// decimal (integers also in the codes' base), found as the bytes it is
// stored as in the chosen type and byte order.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "entry_field.h"
#include "search_window.h"
#include "shell/number_bytes.h"
#include "views/document_revision.h"

namespace prambus {

class FindDialog : public SearchWindow {
  Q_OBJECT
 public:
  explicit FindDialog(MainWindow* main);
  void ShowFor(bool byShortcut);
  void FindNextClicked();
  // The number options are there only while the view is a hex view.
  void ShowNumberChoice(bool hexView);
  bool SearchesNumber() const { return !numberCheck->isHidden() && numberCheck->isChecked(); }
  NumberFormat Format() const;

  QLabel* phraseLabel;
  EntryField* phraseEdit;
  QPushButton* findNextButton;
  QCheckBox* caseCheck;
  QPushButton* closeButton;
  QCheckBox* numberCheck;     // "Искать число"
  QComboBox* typeBox;         // the types, in NumberType's order
  QComboBox* orderBox;        // little-endian, big-endian
  QCheckBox* codesBaseCheck;  // integers typed in the codes' base
  std::string lastText;       // the text of this dialog's last search (Windows-1251)
  std::string lastNumber;     // the bytes of its last number search
  // The document as that search left it: the next search of the same text
  // or number goes on from the match only while the document is still there.
  RevisionMark lastMark;

 protected:
  void EnterPressed(QWidget*) override { FindNextClicked(); }

 private:
  void ShowNumberOptions();
  void FindNumber();
  bool GoesOn(bool sameSearch) const;
  void MarkSearched();
};

}  // namespace prambus
