#include "skin_host.h"

#include <QActionGroup>
#include <QColorDialog>
#include <QTimer>

#include "main_window.h"
#include "qt_canvas.h"

namespace prambus {

namespace {
// The colour dialog's own colours, 0x00BBGGRR.
constexpr Color kCustomColors[] = {0xFFFFEA, 0xFFEAFF, 0xEAFFFF, 0xFFEEEE,
                                   0xEEFFEE, 0xEEEEFF, 0xEEEEEE};
}  // namespace

SkinHost::SkinHost(MainWindow& window, QMenu* skinsMenu) : window_(window), menu_(skinsMenu) {
  Enumerate({});  // "Без шкурок" until the libraries are looked for
}

SkinHost::~SkinHost() {
  if (skin_) skin_->Delete(Handle());
}

prambus_window SkinHost::Handle() const {
  return reinterpret_cast<prambus_window>(&window_);
}

void SkinHost::Enumerate(const std::vector<std::string>& folders,
                         std::vector<RefusedLibrary>* refused, LibraryWatch* watch) {
  menu_->clear();
  items_.clear();
  delete group_;
  group_ = new QActionGroup(menu_);
  auto add = [&](const QString& caption, LibraryFile file) {
    auto* item = new SkinMenuItem(caption, std::move(file), menu_);
    item->setCheckable(true);
    group_->addAction(item);
    menu_->addAction(item);
    QObject::connect(item, &QAction::triggered, menu_, [this, item] { Choose(item); });
    items_.push_back(item);
  };
  add("Без шкурок", {});
  window_.actions_.noSkin = items_.front();
  for (SkinEntry& e : EnumerateSkins(ListLibraries(folders, "skins", refused), watch))
    add(QString::fromStdString(e.caption), std::move(e.file));
  chosen_ = items_.front();
  chosen_->setChecked(true);
}

void SkinHost::Choose(SkinMenuItem* item) {
  if (!item || item == chosen_) {
    if (chosen_) chosen_->setChecked(true);
    return;
  }
  item->setChecked(true);
  chosen_ = item;
  if (skin_) skin_->Delete(Handle());
  skin_.reset();
  buffer_ = QImage();
  if (item->IsLibrary()) skin_ = SkinLibrary::Load(item->AbsolutePath());
  window_.HideCaret();
  const QImage& surface = window_.Surface();
  if (skin_ && !skin_->Create(Handle(), surface.width(), surface.height())) DropFaultedSkin();
  window_.FormResize();
}

void SkinHost::ChooseStored(const std::string& storedPath) {
  SkinMenuItem* match = items_.empty() ? nullptr : items_.front();
  for (SkinMenuItem* item : items_)
    if (item->IsLibrary() && item->StoredPath() == storedPath) match = item;
  Choose(match);
}

std::string SkinHost::ChosenPath() const {
  return chosen_ ? chosen_->StoredPath() : std::string();
}

void SkinHost::PaintBackground(QtCanvas& canvas, int width, int height) {
  QPainter* p = canvas.Painter();
  if (skin_ && p) {
    if (buffer_.size() != QSize(width, height)) {
      buffer_ = QImage(width, height, QImage::Format_RGB32);
      buffer_.fill(ToQColor(canvas.BrushColor()));
    }
    auto* pixels = reinterpret_cast<uint32_t*>(buffer_.bits());
    const int stride = static_cast<int>(buffer_.bytesPerLine() / 4);
    if (skin_->Paint(pixels, width, height, stride)) {
      // The top byte is the skin's to ignore; the surface needs it opaque.
      const size_t count = static_cast<size_t>(stride) * static_cast<size_t>(height);
      for (size_t i = 0; i < count; ++i) pixels[i] |= 0xFF000000u;
      p->save();
      p->setClipping(false);
      p->setCompositionMode(QPainter::CompositionMode_Source);
      p->drawImage(0, 0, buffer_);
      p->restore();
      return;
    }
    DropFaultedSkin();
  }
  canvas.FillRect({0, 0, width, height});
}

void SkinHost::Configure() {
  if (skin_) {
    if (!skin_->Configure()) DropFaultedSkin();
    window_.FullRefresh();
    return;
  }
  QtCanvas& canvas = window_.canvas_;
  for (int i = 0; i < static_cast<int>(std::size(kCustomColors)); ++i)
    QColorDialog::setCustomColor(i, ToQColor(kCustomColors[i]));
  window_.BeforeModalDialog();
  const std::optional<QColor> chosen =
      window_.prompts_->Colour(&window_, ToQColor(canvas.BrushColor()));
  window_.AfterModalDialog();
  if (!chosen || !chosen->isValid()) return;
  canvas.SetBrushColor(FromQColor(*chosen));
  window_.FullRefresh();
}

void SkinHost::DropFaultedSkin() {
  skin_.reset();
  buffer_ = QImage();
  const QString caption = chosen_ ? chosen_->text() : QString();
  QTimer::singleShot(0, &window_, [w = &window_, caption] {
    w->ShowNote("Шкурка «" + caption + "» вызвала ошибку, и я её отключил.");
  });
}

}  // namespace prambus
