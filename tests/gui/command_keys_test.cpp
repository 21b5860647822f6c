// Keys defined once: every key has one meaning in each context (the text
// view, the hex view, minimal mode, with the fine settings that move keys),
// and every shortcut a menu shows runs that item.
#include <QMenuBar>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>

#include "main_window.h"
#include "settings/data_file.h"
#include "settings/settings.h"
#include "shown_window.h"

using namespace prambus;

namespace {

QString Describe(const BoundKey& k) {
  return k.meaning + " (" + QKeySequence(k.binding.key).toString() + ", " +
         QString::number(k.binding.state) + ")";
}

void CollectItems(QMenu* menu, QList<QAction*>& items) {
  for (QAction* a : menu->actions()) {
    items << a;
    if (a->menu()) CollectItems(a->menu(), items);
  }
}

}  // namespace

class CommandKeysTest : public QObject {
  Q_OBJECT
  std::optional<QTemporaryDir> dir_;
  std::unique_ptr<MainWindow> w_;

  // No two bindings in effect can take the same press.
  void CheckOneMeaningPerKey(const QString& context) {
    const std::vector<BoundKey> keys = w_->KeyBindingsInEffect();
    QVERIFY(keys.size() > 30);
    for (size_t i = 0; i < keys.size(); ++i)
      for (size_t j = i + 1; j < keys.size(); ++j)
        QVERIFY2(!Compete(keys[i].binding, keys[j].binding),
                 qPrintable(context + ": " + Describe(keys[i]) + " / " + Describe(keys[j])));
  }

  // Every shortcut shown in a menu, and every key after a submenu's title,
  // is run by the window's key dispatch as that item (the view's own items
  // are run by the toolkit).
  void CheckShownKeysRunTheirItems(const QString& context) {
    QList<QAction*> items;
    for (QAction* title : w_->menuBar()->actions()) CollectItems(title->menu(), items);
    CollectItems(w_->Menus().context, items);
    int shown = 0;
    for (QAction* item : items) {
      const bool viewItem =
          std::find(w_->ViewItems().begin(), w_->ViewItems().end(), item) != w_->ViewItems().end();
      if (item->shortcut().isEmpty() || viewItem) continue;
      const KeyBinding b = BindingOf(item->shortcut(), KeyMatch::kExact);
      QVERIFY2(w_->CommandOfKey(b.key, b.state).action == item,
               qPrintable(context + ": " + item->text()));
      ++shown;
    }
    QVERIFY(shown >= 18);
    for (QAction* item : items) {
      if (!item->menu() || !item->text().contains('\t')) continue;
      const QKeySequence key(item->text().section('\t', 1));
      const KeyBinding b = BindingOf(key, KeyMatch::kExact);
      const KeyCommand command = w_->CommandOfKey(b.key, b.state);
      QVERIFY2(command.editing == EditingKey::kNextViewKind ||
                   command.editing == EditingKey::kNextEncoding,
               qPrintable(context + ": " + item->text()));
    }
  }

  void CheckContext(const QString& context) {
    CheckOneMeaningPerKey(context);
    CheckShownKeysRunTheirItems(context);
  }

 private slots:
  void init() {
    Cfg() = Settings{};
    dir_.emplace();
  }
  void cleanup() {
    w_.reset();
    Cfg() = Settings{};
  }

  void oneMeaningPerKeyInEveryContext() {
    for (bool keysMoved : {false, true}) {
      // F2 saving (minimal mode on F12), Ctrl+Delete cutting, Esc ending.
      Settings s;
      s.SaveOnF2 = s.CutOnCtrlDel = s.ExitOnEsc = keysMoved;
      s.MinimalModeWarning = false;
      StoredState st;
      st.recent.resize(5);
      QVERIFY(WriteDataFile(dir_->filePath("data.dat").toStdString(), st, s));
      w_ = ShowWindow(dir_->path(), {});
      QVERIFY(w_);
      const QString settings = keysMoved ? " (keys moved)" : "";
      QCOMPARE(w_->Actions().minimalMode->shortcut(), QKeySequence(keysMoved ? "F12" : "F2"));
      CheckContext("text view" + settings);
      QTest::keyClick(w_->centralWidget(), Qt::Key_F6);
      QCOMPARE(w_->ViewKind(), 2);  // the hex view
      CheckContext("hex view" + settings);
      QTest::keyClick(w_->centralWidget(), keysMoved ? Qt::Key_F12 : Qt::Key_F2);
      QVERIFY(w_->Actions().minimalMode->isChecked());
      CheckContext("minimal mode" + settings);
      w_.reset();
    }
  }
};

QTEST_MAIN(CommandKeysTest)
#include "command_keys_test.moc"
