// The modeless "Найти" window: a phrase, case sensitivity, "Найти далее".
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include "entry_field.h"
#include "search_window.h"
#include "views/document_revision.h"

namespace prambus {

class FindDialog : public SearchWindow {
  Q_OBJECT
 public:
  explicit FindDialog(MainWindow* main);
  void ShowFor(bool byShortcut);
  void FindNextClicked();

  QLabel* phraseLabel;
  EntryField* phraseEdit;
  QPushButton* findNextButton;
  QCheckBox* caseCheck;
  QPushButton* closeButton;
  std::string lastText;  // the text of this dialog's last search (Windows-1251)
  // The document as that search left it: the next search of the same text
  // goes on from the match it selected only while the document is still there.
  RevisionMark lastMark;

 protected:
  void EnterPressed(QWidget*) override { FindNextClicked(); }
};

}  // namespace prambus
