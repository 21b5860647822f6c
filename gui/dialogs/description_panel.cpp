#include "description_panel.h"

#include <QPainter>

#include "qt_canvas.h"
#include "shell/description_layout.h"
#include "text/cp1251.h"

namespace prambus {

namespace {
// "MS Sans Serif" at 10 points, or the desktop's sans face where it is missing.
QFont PanelFont() {
  Font f;
  f.name = "MS Sans Serif";
  f.height = -13;
  return ToQFontUi(f);
}
}  // namespace

DescriptionPanel::DescriptionPanel(QWidget* parent) : QWidget(parent) {
  setFont(PanelFont());
  setAutoFillBackground(false);
}

void DescriptionPanel::SetText(const std::string& utf8) {
  text_ = utf8;
  update();
}

bool DescriptionPanel::Clipped() {
  QtCanvas measure;
  measure.SetQFont(font());
  return LayOutDescription(measure, Utf8ToCp1251(text_), {0, 0, width(), height()}).clipped;
}

void DescriptionPanel::paintEvent(QPaintEvent*) {
  QPainter fill(this);
  fill.fillRect(rect(), palette().window());
  fill.end();
  QtCanvas canvas;
  canvas.Begin(this);
  canvas.SetQFont(font());
  canvas.SetFontColor(FromQColor(palette().windowText().color()));
  canvas.SetTransparent(true);
  const PanelLayout layout =
      LayOutDescription(canvas, Utf8ToCp1251(text_), {0, 0, width(), height()});
  for (const PanelLine& line : layout.lines) canvas.TextOut(line.x, line.y, line.text);
  canvas.End();
}

}  // namespace prambus
