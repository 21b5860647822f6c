// The skins of the main window: the "Шкурки" menu, choosing a skin, the
// background painted before the view draws, and "Настройка шкурки...".
#pragma once

#include <QAction>
#include <QActionGroup>
#include <QImage>
#include <QMenu>
#include <memory>
#include <string>
#include <vector>

#include "extensions/extension_catalog.h"
#include "extensions/extension_folders.h"
#include "extensions/skin_library.h"
#include "platform/canvas.h"

namespace prambus {

class MainWindow;
class QtCanvas;

// An item of "Шкурки": "Без шкурок" (no library) or one skin library.
class SkinMenuItem : public QAction {
 public:
  SkinMenuItem(const QString& caption, LibraryFile file, QObject* parent)
      : QAction(caption, parent), file_(std::move(file)) {}
  bool IsLibrary() const { return !file_.storedPath.empty(); }
  const std::string& StoredPath() const { return file_.storedPath; }
  const std::string& AbsolutePath() const { return file_.absolutePath; }

 private:
  LibraryFile file_;
};

class SkinHost {
 public:
  SkinHost(MainWindow& window, QMenu* skinsMenu);
  ~SkinHost();

  // Lists "Без шкурок" and the skins found in the folders.
  // Libraries left out as untrusted are added to `refused`; `watch` guards
  // the listing (see ListingGuard).
  void Enumerate(const std::vector<std::string>& folders,
                 std::vector<RefusedLibrary>* refused = nullptr, LibraryWatch* watch = nullptr);
  // Chooses an item: nothing when it is the chosen one already.
  void Choose(SkinMenuItem* item);
  // Chooses the item remembered by this path, or "Без шкурок" when none is.
  void ChooseStored(const std::string& storedPath);
  // The remembered path of the chosen item; empty for "Без шкурок".
  std::string ChosenPath() const;
  bool SkinPaints() const { return skin_ != nullptr; }
  const std::vector<SkinMenuItem*>& Items() const { return items_; }

  // Paints the whole surface background: the chosen skin, or the canvas
  // brush colour.
  void PaintBackground(QtCanvas& canvas, int width, int height);
  // "Настройка шкурки...": the skin's own settings, or the colour dialog
  // for the background when no skin paints.
  void Configure();

 private:
  prambus_window Handle() const;
  // A skin that faulted paints no more; the user is told once it is safe
  // to show a message.
  void DropFaultedSkin();

  MainWindow& window_;
  QMenu* menu_;
  QActionGroup* group_ = nullptr;  // the items are radio items
  std::vector<SkinMenuItem*> items_;
  SkinMenuItem* chosen_ = nullptr;
  std::unique_ptr<SkinLibrary> skin_;
  QImage buffer_;  // what the skin paints; copied onto the surface
};

}  // namespace prambus
