#include "plugin_host.h"

#include <QFile>
#include <QFileInfo>

#include "main_window.h"
#include "plugin_callbacks.h"
#include "recovery_keeper.h"
#include "virtual_key_map.h"

namespace prambus {

PluginHost::PluginHost(MainWindow& window, QMenu* pluginsMenu)
    : window_(window),
      menu_(pluginsMenu),
      adapter_(std::make_unique<PluginWindowAdapter>(window)) {}

PluginHost::~PluginHost() = default;

void PluginHost::Enumerate(const std::vector<std::string>& folders,
                           std::vector<RefusedLibrary>* refused, LibraryWatch* watch) {
  for (PluginMenuItem* item : items_) delete item;
  items_.clear();
  set_ = PluginSet(EnumeratePlugins(ListLibraries(folders, "plugins", refused), watch));
  for (size_t i = 0; i < set_.Plugins().size(); ++i) {
    const PluginEntry& p = set_.Plugins()[i];
    auto* item = new PluginMenuItem(QString::fromStdString(p.caption), static_cast<int>(i), menu_);
    // The key reaches the window's key dispatch, which runs the hot key after
    // the key's own meaning; the item only shows it (after a tab, as menus
    // show keys). Owning it as a shortcut would let the menu bar run the
    // plug-in alone whenever the bar holds the keyboard.
    if (p.shortcut)
      item->setText(item->text() + '\t' +
                    SequenceOf(*p.shortcut).toString(QKeySequence::NativeText));
    QObject::connect(item, &QAction::triggered, menu_, [this, i] { Run(static_cast<int>(i), 0); });
    menu_->addAction(item);
    items_.push_back(item);
  }
}

bool PluginHost::WriteRecoveryCopy(int plugin) {
  const std::string caption = set_.Plugins()[plugin].caption;
  if (window_.Recovery().WriteNow(caption)) return true;
  window_.ShowNote("Не получилось записать страховую копию документа в папку «" +
                   QFile::decodeName(QByteArray::fromStdString(window_.Recovery().Folder())) +
                   "», поэтому я не запустил плагин «" + QString::fromStdString(caption) + "».");
  return false;
}

PluginRun PluginHost::Run(int plugin, int command) {
  // A plug-in sees the whole document; stopping the load drops the run.
  if (!window_.EnsureWholeDocument() || set_.Running() || !window_.view_)
    return PluginRun::kRefused;
  window_.HideCaret();
  bool copied = false;
  const PluginRun result = set_.RunCommand(plugin, command, *adapter_, [&] {
    if (!window_.doc_.Modified()) return true;  // nothing to lose
    copied = WriteRecoveryCopy(plugin);
    return copied;
  });
  // The copy stays while the document is modified; after a normal run an
  // ordinary copy soon takes its place. After a fault it stays as it is:
  // memory the plug-in damaged may still take the program down.
  if (copied && result != PluginRun::kFaulted) window_.Recovery().RefreshSoon();
  window_.Recovery().Follow();
  if (window_.view_) {
    window_.RefreshUndoRedo();
    window_.FullRefresh();
  }
  if (result == PluginRun::kFaulted) {
    window_.ShowNote("Плагин «" + QString::fromStdString(set_.Plugins()[plugin].caption) +
                     "» вызвал ошибку, и я отключил его до следующего запуска программы.");
  }
  return result;
}

bool PluginHost::RunHotKey(int qtKey, Qt::KeyboardModifiers modifiers) {
  const int vk = VirtualKeyFromQt(qtKey, modifiers);
  if (!vk) return false;
  const std::optional<PluginHotKeyEntry> entry = set_.FindHotKey(vk, ShiftStateOf(modifiers));
  if (!entry) return false;
  Run(entry->plugin, entry->command);
  return true;
}

}  // namespace prambus
