// The document's state as the real window keeps it: every menu command, key
// and plug-in callback that can change the document marks it modified
// exactly when it changed the bytes the document would be saved with (the
// table below), F6 and then undo leave a saved document saved, and a
// replace session never acts on a region of a document that has changed.

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <optional>

#include "data_window.h"
#include "find_dialog.h"
#include "gui_files.h"
#include "main_window.h"
#include "plugin_host.h"
#include "prambus/extension.h"
#include "recode_dialog.h"
#include "replace_dialog.h"
#include "scripted_plugin.h"
#include "scripted_prompts.h"
#include "settings/settings.h"
#include "views/hex_view.h"

using namespace prambus;
using scripted::Callback;
using scripted::script;
using scripted::UpperCase;

namespace {

// Rewriters and visitors a script hands over.
void Unchanged(int32_t*, const char**, int32_t*) {}
void Visit(int32_t, const char*, int32_t*) {}

}  // namespace

class DocumentStateTest : public QObject {
  Q_OBJECT
  std::optional<QTemporaryDir> dir_;
  // The scripted plug-in alone (the other test plug-ins have hot keys on
  // plain keys), beside the examples.
  QTemporaryDir extensions_;
  ScriptedPrompts* prompts_ = nullptr;
  QString Path(const QString& name) const { return dir_->filePath(name); }

  // The window on a file, with the example and test plug-ins, its data.dat
  // in the test's folder.
  std::unique_ptr<MainWindow> Window(const QString& file) {
    auto w = std::make_unique<MainWindow>(QStringList{"prambus", file}, dir_->path());
    w->SetExtensionFolders(
        {QFileInfo(PRAMBUS_BINARY).absolutePath().toStdString(), extensions_.path().toStdString()});
    prompts_ = &ScriptedPrompts::InstallOn(*w);
    w->show();
    w->activateWindow();
    if (!QTest::qWaitForWindowExposed(w.get())) return nullptr;
    return w;
  }
  // The bytes the document would be saved with.
  QByteArray Bytes(MainWindow& w) {
    const QString copy = Path("written.bin");
    w.View()->SaveToFile(copy.toStdString());
    return ReadAll(copy);
  }
  static QWidget* Surface(MainWindow& w) { return w.centralWidget(); }
  static void Key(MainWindow& w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(Surface(w), static_cast<Qt::Key>(key), mods);
  }
  static void Select(MainWindow& w, int from, int to) {
    ViewBase& v = *w.View();
    int col = from, row = 0;
    v.OffsetToPos(col, row);
    v.SetPosition(col, row, false);
    col = to, row = 0;
    v.OffsetToPos(col, row);
    v.SetPosition(col, row, true);
  }
  static void RunScriptedPlugin(MainWindow& w) {
    // The item shows its hot key after a tab.
    for (PluginMenuItem* item : w.Plugins().Items())
      if (item->text().section('\t', 0, 0) == "Плагин по сценарию") return item->trigger();
    QFAIL("the scripted plug-in is not in the menu");
  }
  static QAction* ViewItem(MainWindow& w, const QString& caption) {
    for (QAction* a : w.ViewItems())
      if (a->text() == caption) return a;
    return nullptr;
  }

 private slots:
  void initTestCase() { QVERIFY(scripted::Install(extensions_.path())); }
  void init() {
    Cfg() = Settings{};
    dir_.emplace();
    script = nullptr;
  }

  // Each row: a document, saved; what is done before (then saved again, so
  // the window starts unmodified); the command; whether it changes a byte.
  // The document must be modified exactly when the bytes changed.
  void everyCommandMarksTheDocumentExactlyWhenItChangesIt() {
    using Step = std::function<void(MainWindow&)>;
    struct Row {
      const char* name;
      QByteArray file;
      bool hex;
      Step before, command;
      bool changes;
    };
    auto none = [](MainWindow&) {};
    auto plugin = [](std::function<void(prambus_get_function)> body) {
      return [body](MainWindow& w) {
        script = body;
        RunScriptedPlugin(w);
      };
    };
    auto recode = [this](int source, int target) {
      return [this, source, target](MainWindow& w) {
        prompts_->recode = [source, target](RecodeDialog& d) {
          d.sourceList->setCurrentRow(source);
          d.targetList->setCurrentRow(target);
          return 1;
        };
        w.Actions().recode->trigger();
      };
    };
    auto replaceAll = [](const char* find, const char* by) {
      return [find, by](MainWindow& w) {
        w.Actions().replace->trigger();
        ReplaceDialog* r = w.GetReplaceDialog();
        r->findEdit->setText(find);
        r->replaceEdit->setText(by);
        r->ReplaceAllClicked();
        r->hide();
      };
    };
    auto typed = [](const char* text) {
      return [text](MainWindow& w) { QTest::keyClicks(Surface(w), text); };
    };
    auto key = [](int k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
      return [k, mods](MainWindow& w) { Key(w, k, mods); };
    };
    auto selecting = [](int from, int to, Step then) {
      return [from, to, then](MainWindow& w) {
        Select(w, from, to);
        then(w);
      };
    };
    auto action = [](QAction* MenuActions::*which) {
      return [which](MainWindow& w) { (w.Actions().*which)->trigger(); };
    };
    auto viewItem = [](const char* caption) {
      return [caption](MainWindow& w) { ViewItem(w, caption)->trigger(); };
    };
    const QByteArray lines = "pear\r\napple\r\nbanana";
    const QByteArray cyrillic = "\xE0\xE1\xE2 abc\r\n";  // "абв abc"
    const std::vector<Row> rows = {
        // Keys.
        {"typing", lines, false, none, typed("x"), true},
        {"Enter", lines, false, none, key(Qt::Key_Return), true},
        {"Backspace at the start", lines, false, none, key(Qt::Key_Backspace), false},
        {"Backspace", lines, false, key(Qt::Key_End), key(Qt::Key_Backspace), true},
        {"Delete", lines, false, none, key(Qt::Key_Delete), true},
        {"Delete at the end", lines, false, key(Qt::Key_End, Qt::ControlModifier),
         key(Qt::Key_Delete), false},
        {"Ctrl+Backspace at the start", lines, false, none,
         key(Qt::Key_Backspace, Qt::ControlModifier), false},
        {"Ctrl+Delete", lines, false, none, key(Qt::Key_Delete, Qt::ControlModifier), true},
        {"Ctrl+Y", lines, false, none, key(Qt::Key_Y, Qt::ControlModifier), true},
        {"Ctrl+Y on an empty document", "", false, none, key(Qt::Key_Y, Qt::ControlModifier),
         false},
        {"moves and Insert", lines, false, none,
         [](MainWindow& w) {
           for (int k : {Qt::Key_Down, Qt::Key_End, Qt::Key_PageDown, Qt::Key_Home, Qt::Key_Left,
                         Qt::Key_Insert, Qt::Key_Insert})
             Key(w, k);
         },
         false},
        {"Ctrl+Z", lines, false, typed("x"), key(Qt::Key_Z, Qt::ControlModifier), true},
        {"Ctrl+Z with nothing to undo", lines, false, none, key(Qt::Key_Z, Qt::ControlModifier),
         false},
        {"Ctrl+Shift+Z", lines, false,
         [](MainWindow& w) {
           QTest::keyClicks(Surface(w), "x");
           Key(w, Qt::Key_Z, Qt::ControlModifier);
         },
         key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier), true},
        {"F6 and Ctrl+Z", lines, false, typed("x"),
         [](MainWindow& w) {
           Key(w, Qt::Key_F6);
           Key(w, Qt::Key_Z, Qt::ControlModifier);
         },
         false},
        {"F6 twice", lines, false, none,
         [](MainWindow& w) {
           Key(w, Qt::Key_F6);
           Key(w, Qt::Key_F6);
         },
         false},
        {"F8", cyrillic, false, none, key(Qt::Key_F8), false},
        // "Правка".
        {"Вырезать", lines, false, none, selecting(0, 4, action(&MenuActions::cut)), true},
        {"Вырезать with nothing selected", lines, false, none, action(&MenuActions::cut), false},
        {"Копировать", lines, false, none, selecting(0, 4, action(&MenuActions::copy)), false},
        {"Вставить", lines, false, [](MainWindow&) { QApplication::clipboard()->setText("kiwi"); },
         action(&MenuActions::paste), true},
        {"Вставить an empty clipboard", lines, false,
         [](MainWindow&) { QApplication::clipboard()->clear(); }, action(&MenuActions::paste),
         false},
        {"Отменить", lines, false, typed("x"), action(&MenuActions::undo), true},
        {"Выделить всё", lines, false, none, action(&MenuActions::selectAll), false},
        {"Заменить всё", lines, false, none, replaceAll("an", "AN"), true},
        {"Заменить всё finding nothing", lines, false, none, replaceAll("kiwi", "x"), false},
        // "Формат" and "Дополнительно".
        {"Перенос по словам", lines, false, none, viewItem("Перенос по словам"), false},
        {"#10 over CR LF line ends", lines, false, none, viewItem("#10"), true},
        {"#13#10 over CR LF line ends", lines, false, none, viewItem("#13#10"), false},
        {"DOS encoding", cyrillic, false, none,
         [](MainWindow& w) { w.EncodingActions()[1]->trigger(); }, false},
        {"Перекодировка Windows to DOS", cyrillic, false, none, recode(0, 1), true},
        {"Перекодировка of Latin letters only", "abc\r\n", false, none, recode(0, 1), false},
        {"hex-редактор and back", lines, false, none,
         [](MainWindow& w) {
           w.Actions().viewKinds[1]->trigger();
           w.Actions().viewKinds[0]->trigger();
         },
         false},
        {"Печать... cancelled", lines, false, none, action(&MenuActions::print), false},
        {"Информация о документе", lines, false, none, action(&MenuActions::documentInfo), false},
        // The hex view.
        {"hex digit", "\x12\x34", true, none, typed("A"), true},
        {"hex: a refused digit and Tab", "\x12\x34", true, none, typed("G\t\t"), false},
        {"hex: a value in the data window", "\x12\x34", true, none,
         [](MainWindow& w) {
           if (!w.GetDataWindow()) ViewItem(w, "Расшифровка данных")->trigger();
           w.GetDataWindow()->DataEdits()[1]->setText("7");
           w.GetDataWindow()->DataEditEnter(1);
         },
         true},
        {"hex: Вставить текст в виде кода", "\x12\x34", true,
         [](MainWindow&) { QApplication::clipboard()->setText("41 42"); },
         viewItem("Вставить текст в виде кода"), true},
        {"hex: Копировать код в виде текста", "\x12\x34", true, none,
         selecting(0, 1, viewItem("Копировать код в виде текста")), false},
        // Plug-ins: the examples and the callbacks one by one.
        {"sort lines (F9) after an edit", lines, false,
         [](MainWindow& w) {
           Key(w, Qt::Key_End, Qt::ControlModifier);
           QTest::keyClicks(Surface(w), "x");
         },
         key(Qt::Key_F9), true},
        {"sort lines already sorted", "apple\r\nbanana\r\npear", false, none, key(Qt::Key_F9),
         false},
        {"date and time (F5)", lines, false, none, key(Qt::Key_F5), true},
        {"callback 1: Delete", lines, false, none, plugin([](prambus_get_function get) {
           Callback<prambus_key_down_fn>(get, PRAMBUS_KEY_DOWN)(PRAMBUS_VK_DELETE, 0);
         }),
         true},
        {"callback 1: moves", lines, false, none, plugin([](prambus_get_function get) {
           auto down = Callback<prambus_key_down_fn>(get, PRAMBUS_KEY_DOWN);
           down(PRAMBUS_VK_DOWN, 0);
           down(PRAMBUS_VK_END, PRAMBUS_KEY_CTRL);
           down(PRAMBUS_VK_DELETE, 0);  // at the end: nothing
         }),
         false},
        {"callback 2: a character", lines, false, none, plugin([](prambus_get_function get) {
           Callback<prambus_key_press_fn>(get, PRAMBUS_KEY_PRESS)('q');
         }),
         true},
        {"callbacks that read", lines, false, none, plugin([](prambus_get_function get) {
           int32_t a = 0, b = 0;
           char buffer[64];
           Callback<prambus_position_fn>(get, PRAMBUS_POSITION)(&a, &b, 1);
           Callback<prambus_set_position_fn>(get, PRAMBUS_SET_POSITION)(2, 1, 1);
           Callback<prambus_size_fn>(get, PRAMBUS_SIZE)(&a);
           a = 64;
           Callback<prambus_get_line_fn>(get, PRAMBUS_GET_LINE)(0, &a, buffer);
           Callback<prambus_refresh_fn>(get, PRAMBUS_REFRESH)();
           a = 64;
           Callback<prambus_get_file_name_fn>(get, PRAMBUS_GET_FILE_NAME)(&a, buffer);
           Callback<prambus_walk_lines_fn>(get, PRAMBUS_WALK_LINES)(Visit);
           a = 64;
           Callback<prambus_get_selection_fn>(get, PRAMBUS_GET_SELECTION)(&a, buffer);
           Callback<prambus_view_size_fn>(get, PRAMBUS_VIEW_SIZE)(&a, &b);
         }),
         false},
        {"callback 13: upper case", lines, false, none, plugin([](prambus_get_function get) {
           Callback<prambus_rewrite_lines_fn>(get, PRAMBUS_REWRITE_LINES)(UpperCase);
         }),
         true},
        {"callback 13: every line as it was", lines, false, none,
         plugin([](prambus_get_function get) {
           Callback<prambus_rewrite_lines_fn>(get, PRAMBUS_REWRITE_LINES)(Unchanged);
         }),
         false},
        {"callback 13 in the hex view", lines, true, none, plugin([](prambus_get_function get) {
           Callback<prambus_rewrite_lines_fn>(get, PRAMBUS_REWRITE_LINES)(UpperCase);
         }),
         true},
        {"callback 15: insert", lines, false, none, plugin([](prambus_get_function get) {
           Callback<prambus_insert_fn>(get, PRAMBUS_INSERT)(3, "fig");
         }),
         true},
        {"callback 15: nothing, nothing selected", lines, false, none,
         plugin([](prambus_get_function get) {
           Callback<prambus_insert_fn>(get, PRAMBUS_INSERT)(0, nullptr);
         }),
         false},
    };
    for (const Row& row : rows) {
      const QString file = Path("doc.txt");
      WriteAll(file, row.file);
      auto w = Window(file);
      QVERIFY2(w, row.name);
      if (row.hex) w->Actions().viewKinds[1]->trigger();
      row.before(*w);
      if (w->Modified()) QVERIFY2(w->Save(), row.name);
      QVERIFY2(!w->Modified(), row.name);
      const QByteArray before = Bytes(*w);
      row.command(*w);
      const bool changed = Bytes(*w) != before;
      QVERIFY2(changed == row.changes, row.name);
      QVERIFY2(w->Modified() == changed, row.name);
      QVERIFY2(w->windowTitle().startsWith("* ") == changed, row.name);
      QVERIFY2(prompts_->unexpectedQuestions == 0, row.name);
      prompts_->answers = {1001};  // "Нет" should the close ask
      w.reset();
    }
  }

  // Typing, saving, F6, then Ctrl+Z: the new view has no history, so
  // nothing changes and the title keeps no mark.
  void undoAfterASwitchOfViewChangesNothing() {
    const QString file = Path("a.txt");
    WriteAll(file, "abc");
    auto w = Window(file);
    QVERIFY(w);
    QTest::keyClicks(Surface(*w), "x");
    Key(*w, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(w->windowTitle(), QString("a.txt - Прамбус"));
    Key(*w, Qt::Key_F6);
    Key(*w, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(w->windowTitle(), QString("a.txt - Прамбус"));
    QVERIFY(!w->Actions().undo->isEnabled());
    // Back in the text view the revision goes on: an edit marks it, a save clears it.
    Key(*w, Qt::Key_F6);
    QTest::keyClicks(Surface(*w), "y");
    QCOMPARE(w->windowTitle(), QString("* a.txt - Прамбус"));
    Key(*w, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(ReadAll(file), QByteArray("xyabc"));  // the cursor kept its offset
    QVERIFY(!w->Modified());
  }

  // "Заменить всё" over a selection, then a new document typed in the same
  // window: the second "Заменить всё" goes over the whole new document, not
  // over the old selection's offsets.
  void replaceAllStartsAfreshInAnotherDocument() {
    const QString file = Path("foo.txt");
    WriteAll(file, "foo foo foo");
    auto w = Window(file);
    QVERIFY(w);
    Select(*w, 0, 7);
    Key(*w, Qt::Key_R, Qt::ControlModifier);
    ReplaceDialog* r = w->GetReplaceDialog();
    QTRY_VERIFY(r->isVisible());
    r->findEdit->setText("foo");
    r->replaceEdit->setText("x");
    r->ReplaceAllClicked();
    QCOMPARE(QString::fromLatin1(Bytes(*w)), QString("x x foo"));
    prompts_->answers = {1001};  // "Нет": the edit is not saved
    Key(*w, Qt::Key_N, Qt::ControlModifier);
    QVERIFY(w->FileName().isEmpty());
    QTest::keyClicks(Surface(*w), "foo foo foo foo");
    const int notes = static_cast<int>(prompts_->notes.size());
    r->ReplaceAllClicked();
    QCOMPARE(QString::fromLatin1(Bytes(*w)), QString("x x x x"));
    QCOMPARE(prompts_->notes.size(), notes + 1);
    QCOMPARE(prompts_->notes.back(),
             QString("Я завершил поиск текста \"foo\". Больше он не встречается."));
    // Typing in front of a region: the next replace goes over the whole
    // document, not over what now lies where the region was.
    Key(*w, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(Surface(*w), " foo");
    Key(*w, Qt::Key_Home);
    QTest::keyClicks(Surface(*w), "foo ");
    r->ReplaceAllClicked();
    QCOMPARE(QString::fromLatin1(Bytes(*w)), QString("x x x x x x"));
    r->hide();
    prompts_->answers = {1001};
  }

  // "Найти далее" in the find window after another document came: the search
  // starts at the top of the new one instead of passing over its first match.
  void aPendingFindStartsAfreshInAnotherDocument() {
    const QString file = Path("foo.txt");
    WriteAll(file, "foo bar");
    auto w = Window(file);
    QVERIFY(w);
    w->Actions().find->trigger();
    w->GetFindDialog()->phraseEdit->setText("foo");
    w->GetFindDialog()->FindNextClicked();
    QCOMPARE(w->View()->GetSelectedText(), std::string("foo"));
    Key(*w, Qt::Key_N, Qt::ControlModifier);
    QTest::keyClicks(Surface(*w), "foo");
    Key(*w, Qt::Key_Home);
    w->GetFindDialog()->FindNextClicked();
    QCOMPARE(w->View()->GetSelectedText(), std::string("foo"));
    QVERIFY(prompts_->notes.isEmpty());
    w->GetFindDialog()->hide();
    prompts_->answers = {1001};
  }
};

QTEST_MAIN(DocumentStateTest)
#include "document_state_test.moc"
