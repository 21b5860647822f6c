// The inside of the "Описание" group: the description of the selected
// fine-settings row, cut into lines as the message box cuts its text and
// centred vertically.
#pragma once

#include <QWidget>
#include <string>

namespace prambus {

class DescriptionPanel : public QWidget {
  Q_OBJECT
 public:
  explicit DescriptionPanel(QWidget* parent);
  void SetText(const std::string& utf8);
  const std::string& Text() const { return text_; }
  // Whether the text needs more lines than the panel holds.
  bool Clipped();

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  std::string text_;  // UTF-8
};

}  // namespace prambus
