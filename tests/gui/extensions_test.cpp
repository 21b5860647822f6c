// Skins and plug-ins in the real main window, with the example libraries
// built beside the program and small broken ones built for the tests: the
// menus, painting, hot keys, the callbacks acting on the window, failing and
// faulting libraries, and the recovery copy.
#include <dlfcn.h>

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>
#include <optional>

#include "extensions/library_journal.h"
#include "extensions/recovery_copy.h"
#include "gui_files.h"
#include "help_window.h"
#include "main_window.h"
#include "pinned_files_dialog.h"
#include "plugin_host.h"
#include "prambus/extension.h"
#include "scripted_prompts.h"
#include "settings/settings.h"
#include "skin_host.h"
#include "virtual_key_map.h"

using namespace prambus;

namespace {

QString Text(MainWindow& w) {
  QByteArray bytes;
  for (int r = 0; r <= w.View()->LastRow(); ++r) {
    const std::string_view row = w.View()->GetRow(r);
    bytes += QByteArray(row.data(), static_cast<qsizetype>(row.size()));
  }
  return QString::fromLatin1(bytes);
}

QStringList Captions(const QMenu* menu) {
  QStringList out;
  for (QAction* a : menu->actions()) out << a->text();
  return out;
}

// The item with this caption (a plug-in item shows its key after a tab).
QAction* Item(const QMenu* menu, const QString& caption) {
  for (QAction* a : menu->actions())
    if (a->text().section('\t', 0, 0) == caption) return a;
  return nullptr;
}

QRgb Pixel(MainWindow& w, int x, int y) {
  return w.Surface().pixel(x, y) & 0xFFFFFF;
}

constexpr QRgb Rgb(int r, int g, int b) {
  return static_cast<QRgb>((r << 16) | (g << 8) | b);
}

// The script the test plug-in runs: a plain function it calls back.
std::function<int32_t(uint8_t, int32_t, prambus_get_function)> script;
int32_t RunScript(uint8_t kind, int32_t command, prambus_get_function get) {
  return script ? script(kind, command, get) : 0;
}

template <typename Fn>
Fn Callback(prambus_get_function get, int number) {
  prambus_function f = nullptr;
  get(number, &f);
  return reinterpret_cast<Fn>(f);
}

}  // namespace

// Takes the URLs the program asks the desktop to open.
class UrlCatcher : public QObject {
  Q_OBJECT
 public:
  QUrl url;
 public slots:
  void open(const QUrl& u) { url = u; }
};

class ExtensionsTest : public QObject {
  Q_OBJECT
  std::optional<QTemporaryDir> dir_;
  QString Path(const QString& name) const { return dir_->filePath(name); }
  static QString ExamplesFolder() { return QFileInfo(PRAMBUS_BINARY).absolutePath(); }

  // The script of the last window's questions and notes.
  ScriptedPrompts* prompts_ = nullptr;
  // Works the list of recovery copies at the next window's start.
  std::function<int(RecoveryListDialog&)> recoveryList_;

  // The window on the example and test libraries; `answers` are the answers
  // to the questions asked while it starts (1000 + button).
  std::unique_ptr<MainWindow> Window(const QString& file = {}, std::deque<int> answers = {}) {
    QStringList args{"prambus"};
    if (!file.isEmpty()) args << file;
    auto w = std::make_unique<MainWindow>(args, dir_->path());
    w->SetExtensionFolders({ExamplesFolder().toStdString(), std::string(PRAMBUS_TEST_EXTENSIONS)});
    prompts_ = &ScriptedPrompts::InstallOn(*w);
    prompts_->answers = std::move(answers);
    prompts_->recoveryList = std::exchange(recoveryList_, nullptr);
    w->show();
    w->activateWindow();
    if (!QTest::qWaitForWindowExposed(w.get())) return nullptr;
    return w;
  }
  static QMenu* PluginsMenu(MainWindow& w) {
    return qobject_cast<QMenu*>(w.Plugins().Items().front()->parent());
  }
  static QMenu* SkinsMenu(MainWindow& w) {
    return qobject_cast<QMenu*>(w.Skins().Items().front()->parent());
  }
  static QWidget* Surface(MainWindow& w) { return w.centralWidget(); }

  // Hands the test plug-in its script: the same library the program loads
  // (one copy per process), so setting it here reaches the program's calls.
  static void ScriptedPlugin() {
    const QByteArray path =
        QByteArray(PRAMBUS_TEST_EXTENSIONS) + "/plugins/test_scripted_plugin.so";
    void* lib = dlopen(path.constData(), RTLD_NOW);
    QVERIFY(lib);
    using SetScript = void (*)(int32_t(*)(uint8_t, int32_t, prambus_get_function));
    auto set = reinterpret_cast<SetScript>(dlsym(lib, "test_set_script"));
    QVERIFY(set);
    set(&RunScript);
  }

  // Pins the open file through "Закреплённые файлы", as a user does.
  void PinCurrent(MainWindow& w) {
    prompts_->pinnedFiles = [](PinnedFilesDialog& d) {
      d.AddCurrent();
      return int(QDialog::Accepted);
    };
    w.Actions().pinnedFiles->trigger();
  }

 private slots:
  void init() {
    Cfg() = Settings{};
    dir_.emplace();
    script = nullptr;
  }

  void menusListTheLibrariesThatCarryTheirMarker() {
    auto w = Window();
    QVERIFY(w);
    QCOMPARE(Captions(SkinsMenu(*w)),
             QStringList({"Без шкурок", "Градиент", "Падающая шкурка", "Без chskin"}));
    QVERIFY(w->Skins().Items().front()->isChecked());
    QStringList plugins;
    for (PluginMenuItem* item : w->Plugins().Items()) plugins << item->text();
    // Each item shows its shortcut after a tab, as menus show keys; the key
    // itself goes to the window's dispatch, so the item owns no shortcut.
    QCOMPARE(plugins,
             QStringList({"Вставить дату и время\tF5", "Сортировать строки\tF9", "Падающий плагин",
                          "Неудачный плагин", "Плагин по сценарию\tCtrl+F11", "Близнец first\tEnd",
                          "Близнец second\tEnd"}));
    QCOMPARE(PluginsMenu(*w)->actions().front(), w->Actions().downloadPlugin);
    QCOMPARE(w->Actions().noSkin, w->Skins().Items().front());
    for (PluginMenuItem* item : w->Plugins().Items()) QVERIFY(item->shortcut().isEmpty());
    // The scripted plug-in's hot keys: commands 0, 1 and 3 (2 cannot be read).
    std::vector<int> commands;
    for (const PluginHotKeyEntry& e : w->Plugins().Plugins().HotKeys())
      if (e.plugin == 4) commands.push_back(e.command);
    QCOMPARE(commands, (std::vector<int>{0, 1, 3}));
  }

  // A start that ended while it listed a library (its note is still there,
  // held by no one): the next start leaves that library out and says so,
  // naming the file; later starts leave it out without a word.
  void aLibraryThatEndedTheLastStartIsLeftOutWithANote() {
    const std::string failing =
        std::string(PRAMBUS_TEST_EXTENSIONS) + "/plugins/test_failing_plugin.so";
    const std::optional<LibraryIdentity> id = IdentifyLibrary(failing);
    QVERIFY(id);
    QVERIFY(QDir().mkpath(Path("library-faults")));
    WriteAll(Path("library-faults/loading-gone"),
             QByteArray::fromStdString(FormatLeftOut({{*id, LibraryFault::kEndedTheRun}})));
    auto listed = [](MainWindow& w) {
      QStringList captions;
      for (PluginMenuItem* item : w.Plugins().Items()) captions << item->text();
      return captions;
    };
    {
      auto w = Window();
      QVERIFY(w);
      QVERIFY(!listed(*w).contains("Неудачный плагин"));
      QVERIFY(listed(*w).contains("Падающий плагин"));
      QTRY_COMPARE(prompts_->notes.size(), 1);
      QCOMPARE(prompts_->notes[0],
               "Библиотека «" + QString::fromStdString(failing) +
                   "» в прошлый раз закрыла программу, пока я её загружал.\n\nТеперь я её не "
                   "загружаю, пока её файл не изменится. Чтобы убрать её совсем, удалите этот "
                   "файл.");
    }
    auto again = Window();
    QVERIFY(again);
    QVERIFY(!listed(*again).contains("Неудачный плагин"));
    QTest::qWait(50);
    QVERIFY(prompts_->notes.isEmpty());
    QVERIFY(!QFileInfo::exists(Path("library-faults/loading-gone")));
  }

  // A library another user could have placed is neither listed nor loaded,
  // and the start says which one and why.
  void aLibraryOthersMayWriteIsLeftOutWithANote() {
    const QString plugins = Path("untrusted/plugins");
    QVERIFY(QDir().mkpath(plugins));
    const QString copy = plugins + "/scripted_copy.so";
    QVERIFY(QFile::copy(QByteArray(PRAMBUS_TEST_EXTENSIONS) + "/plugins/test_scripted_plugin.so",
                        copy));
    QVERIFY(QFile::setPermissions(plugins, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                               QFileDevice::ExeOwner | QFileDevice::WriteGroup));
    auto w = std::make_unique<MainWindow>(QStringList{"prambus"}, dir_->path());
    w->SetExtensionFolders({Path("untrusted").toStdString()});
    prompts_ = &ScriptedPrompts::InstallOn(*w);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QTRY_COMPARE(prompts_->notes.size(), 1);
    QVERIFY(prompts_->notes[0].contains(copy + ": в «"));
    QVERIFY(prompts_->notes[0].contains("могут писать другие пользователи"));
    QVERIFY(w->Plugins().Items().empty());
    QVERIFY(!dlopen(QFile::encodeName(copy).constData(), RTLD_NOW | RTLD_NOLOAD));
  }

  void theGradientSkinPaintsTheSurfaceAndIsRemembered() {
    {
      auto w = Window();
      QVERIFY(w);
      QCOMPARE(Pixel(*w, 0, 0), Rgb(255, 255, 255));
      Item(SkinsMenu(*w), "Градиент")->trigger();
      QVERIFY(w->Skins().SkinPaints());
      const int h = w->Surface().height(), wd = w->Surface().width();
      QCOMPARE(Pixel(*w, 0, 0), Rgb(0xF7, 0xFA, 0xFF));  // the sky palette's lightest
      const QRgb bottom = Pixel(*w, wd - 1, h - 1);
      QVERIFY(qBlue(bottom) < 0xFF && qRed(bottom) < 0xE0);  // deeper towards the corner
      QVERIFY(Pixel(*w, 0, h / 2) != Pixel(*w, 0, 0));
      // Its own settings command moves on to the next palette.
      w->Actions().skinSettings->trigger();
      QCOMPARE(Pixel(*w, 0, 0), Rgb(0xFF, 0xFD, 0xF4));
      QTest::keyClicks(Surface(*w), "text");  // typing redraws over the skin
      QCOMPARE(Pixel(*w, 0, 0), Rgb(0xFF, 0xFD, 0xF4));
      w->CaptureWindowState();
      QCOMPARE(w->State().defaults.skin, std::string("skins/gradient.so"));
      QVERIFY(w->SaveSettings());
    }
    auto again = Window();
    QVERIFY(again);
    QCOMPARE(again->Skins().ChosenPath(), std::string("skins/gradient.so"));
    QVERIFY(Item(SkinsMenu(*again), "Градиент")->isChecked());
    QCOMPARE(Pixel(*again, 0, 0), Rgb(0xF7, 0xFA, 0xFF));
    again.reset();
    // Started with a file, as the desktop starts it, and with a file that
    // cannot be opened: the skin stays, and stays in the settings.
    WriteAll(Path("a.txt"), "text");
    for (const QString& file : {Path("a.txt"), Path("missing.txt")}) {
      auto withFile = Window(file);
      QVERIFY(withFile);
      QCOMPARE(withFile->Skins().ChosenPath(), std::string("skins/gradient.so"));
      QCOMPARE(Pixel(*withFile, 0, 0), Rgb(0xF7, 0xFA, 0xFF));
      withFile->CaptureWindowState();
      QCOMPARE(withFile->State().defaults.skin, std::string("skins/gradient.so"));
      QVERIFY(withFile->SaveSettings());
    }
    auto last = Window();
    QVERIFY(last);
    Item(SkinsMenu(*last), "Без шкурок")->trigger();
    QCOMPARE(Pixel(*last, 0, 0), Rgb(255, 255, 255));
  }

  // A file pinned while a skin is on keeps that skin and no colour; an
  // unpinned file or a new document after it gets the default look back.
  void aPinnedFileKeepsItsSkinAndOthersTheDefault() {
    const QString p = Path("p.txt"), u = Path("u.txt");
    WriteAll(p, "pinned");
    WriteAll(u, "plain");
    auto w = Window(u);
    QVERIFY(w);
    prompts_->openNames = {p};
    w->Actions().open->trigger();
    Item(SkinsMenu(*w), "Градиент")->trigger();
    PinCurrent(*w);
    QCOMPARE(w->State().pinned.size(), size_t{1});
    QCOMPARE(w->State().pinned[0].skin, std::string("skins/gradient.so"));

    prompts_->openNames = {u};
    w->Actions().open->trigger();
    QVERIFY(!w->Skins().SkinPaints());
    QVERIFY(w->State().defaults.skin.empty());
    prompts_->openNames = {p};
    w->Actions().open->trigger();
    QVERIFY(w->Skins().SkinPaints());
    w->Actions().newDocument->trigger();
    QVERIFY(!w->Skins().SkinPaints());
    QVERIFY(w->Skins().Items().front()->isChecked());
  }

  // Without a skin, a pinned file keeps its background colour and the others
  // get the default one back.
  void aPinnedFileKeepsItsBackgroundColour() {
    const QString p = Path("p.txt"), u = Path("u.txt");
    WriteAll(p, "pinned");
    WriteAll(u, "plain");
    auto w = Window(u);
    QVERIFY(w);
    prompts_->openNames = {p};
    w->Actions().open->trigger();
    PinCurrent(*w);
    prompts_->colour = QColor(0, 128, 0);
    w->Actions().skinSettings->trigger();
    QCOMPARE(Pixel(*w, 0, 0), Rgb(0, 128, 0));

    prompts_->openNames = {u};
    w->Actions().open->trigger();
    QCOMPARE(Pixel(*w, 0, 0), Rgb(255, 255, 255));
    prompts_->openNames = {p};
    w->Actions().open->trigger();
    QCOMPARE(Pixel(*w, 0, 0), Rgb(0, 128, 0));
    w->Actions().newDocument->trigger();
    QCOMPARE(Pixel(*w, 0, 0), Rgb(255, 255, 255));
  }

  void aStoredPathSelectsOnlyAListedSkin() {
    auto w = Window();
    QVERIFY(w);
    w->Skins().ChooseStored("skins/gradient.so");
    QVERIFY(w->Skins().SkinPaints());
    for (const std::string& elsewhere :
         {std::string("skins/../skins/gradient.so"),
          ExamplesFolder().toStdString() + "/skins/gradient.so", std::string("skins\\gradient.dll"),
          std::string("gradient.so")}) {
      w->Skins().ChooseStored("skins/gradient.so");
      w->Skins().ChooseStored(elsewhere);
      QVERIFY(w->Skins().Items().front()->isChecked());
      QVERIFY(!w->Skins().SkinPaints());
    }
  }

  void aSkinWithoutChskinIsListedButPaintsThePlainBackground() {
    auto w = Window();
    QVERIFY(w);
    Item(SkinsMenu(*w), "Без chskin")->trigger();
    QVERIFY(Item(SkinsMenu(*w), "Без chskin")->isChecked());
    QVERIFY(!w->Skins().SkinPaints());
    QCOMPARE(Pixel(*w, 0, 0), Rgb(255, 255, 255));  // not the library's red
    QCOMPARE(w->Skins().ChosenPath(), std::string("skins/test_skin_without_chskin.so"));
    // "Настройка шкурки..." is then the colour dialog of the background.
    prompts_->colour = QColor(0, 255, 0);
    w->Actions().skinSettings->trigger();
    QCOMPARE(Pixel(*w, 0, 0), Rgb(0, 255, 0));
    prompts_->colour = std::nullopt;  // cancelled: unchanged
    w->Actions().skinSettings->trigger();
    QCOMPARE(Pixel(*w, 0, 0), Rgb(0, 255, 0));
    w->CaptureWindowState();
    QCOMPARE(w->State().defaults.background, Color(0x00FF00));
  }

  void aSkinThatFaultsIsDroppedAndTheWindowGoesOn() {
    auto w = Window();
    QVERIFY(w);
    QTest::keyClicks(Surface(*w), "kept");
    Item(SkinsMenu(*w), "Падающая шкурка")->trigger();
    QVERIFY(!w->Skins().SkinPaints());
    QCOMPARE(Pixel(*w, 0, 0), Rgb(255, 255, 255));
    QTRY_COMPARE(prompts_->notes,  // once it is safe to show
                 QStringList({"Шкурка «Падающая шкурка» вызвала ошибку, и я её отключил."}));
    QTest::keyClicks(Surface(*w), "!");
    QCOMPARE(Text(*w), QString("kept!"));
  }

  void theSortPluginSortsLinesAndClearsUndo() {
    WriteAll(Path("list.txt"), "pear\r\nApple\r\nbanana\r\n\xc5\xeb\xea\xe0\r\n\xa8\xe6");
    auto w = Window(Path("list.txt"));
    QVERIFY(w);
    QTest::keyClick(Surface(*w), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(Surface(*w), "!");
    QVERIFY(w->Actions().undo->isEnabled());
    QTest::keyClick(Surface(*w), Qt::Key_F9);
    // Without regard to case, Ё after Е; each line keeps its place's line end.
    QCOMPARE(Text(*w),
             QString::fromLatin1("Apple\r\nbanana\r\npear\r\n\xc5\xeb\xea\xe0\r\n\xa8\xe6!"));
    QVERIFY(!w->Actions().undo->isEnabled());
    QVERIFY(!w->Actions().redo->isEnabled());
    QVERIFY(w->Modified());
    QVERIFY(w->Plugins().Plugins().IsLoaded(1));  // held after success
    // A selection sorts only the lines it touches, the other way with Shift.
    w->View()->SetPosition(0, 0, false);
    w->View()->SetPosition(2, 2, true);
    QTest::keyClick(Surface(*w), Qt::Key_F9, Qt::ShiftModifier);
    QCOMPARE(Text(*w),
             QString::fromLatin1("pear\r\nbanana\r\nApple\r\n\xc5\xeb\xea\xe0\r\n\xa8\xe6!"));
    QCOMPARE(w->View()->AnchorRow(), 0);
    QCOMPARE(w->View()->CursorRow(), 3);  // the sorted lines stay selected
    QCOMPARE(w->View()->CursorColumn(), 0);
  }

  void theDatePluginInsertsAtTheCursorWithUndo() {
    auto w = Window();
    QVERIFY(w);
    QTest::keyClicks(Surface(*w), "at ");
    QTest::keyClick(Surface(*w), Qt::Key_F5);
    QVERIFY(QRegularExpression("^at \\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d$")
                .match(Text(*w))
                .hasMatch());
    QTest::keyClick(Surface(*w), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Text(*w), QString("at "));
    QTest::keyClick(Surface(*w), Qt::Key_F5, Qt::ShiftModifier);  // command 1: the date only
    QVERIFY(QRegularExpression("^at \\d\\d\\.\\d\\d\\.\\d{4}$").match(Text(*w)).hasMatch());
  }

  void ofTwoPluginsOnOneHotKeyOnlyTheFirstRunsAfterTheKeysOwnMeaning() {
    auto w = Window();
    QVERIFY(w);
    QTest::keyClicks(Surface(*w), "abc");
    QTest::keyClick(Surface(*w), Qt::Key_Home);
    QTest::keyClick(Surface(*w), Qt::Key_End);
    QCOMPARE(Text(*w), QString("abcfirst"));
  }

  // A menu of the bar opened with the mouse and closed with Escape gives the
  // keyboard back to the document: the keys that follow (sent to the window
  // as the desktop sends them) have their own meaning first, then the first
  // plug-in on the key, never the menu items' shortcuts.
  void afterEscapeClosesAMenuKeysReachTheDocument() {
    auto w = Window();
    QVERIFY(w);
    QTest::keyClicks(Surface(*w), "abc");
    QTest::keyClick(Surface(*w), Qt::Key_Home);
    QMenuBar* bar = w->menuBar();
    QAction* title = PluginsMenu(*w)->menuAction();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(title).center());
    QTRY_VERIFY(QApplication::activePopupWidget());
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
    QTRY_VERIFY(!QApplication::activePopupWidget());
    // The offscreen desktop hands the activation to the closed menu late;
    // the window takes it back as a desktop does, with its keyboard where
    // the window left it.
    QTest::qWait(50);
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    QTRY_COMPARE(QApplication::focusWidget(), Surface(*w));
    QTest::keyClick(w->windowHandle(), Qt::Key_End);
    QCOMPARE(Text(*w), QString("abcfirst"));
    QTest::keyClick(w->windowHandle(), Qt::Key_Left);
    QCOMPARE(w->View()->CursorColumn(), 7);
  }

  void aFailingPluginIsForgottenAndLoadedAgain() {
    auto w = Window();
    QVERIFY(w);
    QAction* item = Item(PluginsMenu(*w), "Неудачный плагин");
    item->trigger();
    QCOMPARE(Text(*w), QString("f"));
    QVERIFY(!w->Plugins().Plugins().IsLoaded(3));
    item->trigger();
    QCOMPARE(Text(*w), QString("ff"));
    QVERIFY(!w->Plugins().Plugins().IsLoaded(3));
    QVERIFY(!w->Plugins().Plugins().IsDisabled(3));
  }

  void aPluginThatFaultsLeavesTheWindowAndACopyOfTheDocument() {
    const QString folder = Path("recovery");
    {
      auto w = Window();
      QVERIFY(w);
      QTest::keyClicks(Surface(*w), "unsaved ");
      Item(PluginsMenu(*w), "Падающий плагин")->trigger();
      QCOMPARE(Text(*w), QString("unsaved before"));  // the window carries on
      QVERIFY(w->Plugins().Plugins().IsDisabled(2));
      QCOMPARE(prompts_->notes, QStringList({"Плагин «Падающий плагин» вызвал ошибку, и я "
                                             "отключил его до следующего запуска программы."}));
      Item(PluginsMenu(*w), "Падающий плагин")->trigger();  // off for the rest of the run
      QCOMPARE(Text(*w), QString("unsaved before"));
      // The copy written before the call stays while the program runs.
      const QStringList files = QDir(folder).entryList({"*.document"});
      QCOMPARE(files.size(), 1);
      QCOMPARE(ReadAll(folder + "/" + files[0]), QByteArray("unsaved "));
      // The next plug-in's copy replaces it and stays while the document is
      // modified; a document without changes needs none.
      ScriptedPlugin();
      int copies = -1;
      script = [&](uint8_t, int32_t, prambus_get_function) -> int32_t {
        copies = static_cast<int>(QDir(folder).entryList({"*.document"}).size());
        return 1;
      };
      QAction* scripted = Item(PluginsMenu(*w), "Плагин по сценарию");
      scripted->trigger();
      QCOMPARE(copies, 1);
      QCOMPARE(QDir(folder).entryList({"*.document"}).size(), 1);
      prompts_->saveNames = {Path("saved.txt")};
      w->Actions().saveAs->trigger();
      QVERIFY(!w->Modified());
      QCOMPARE(QDir(folder).entryList({"*.document"}).size(), 0);  // saved: no copy
      scripted->trigger();
      QCOMPARE(copies, 0);
      QTest::keyClicks(Surface(*w), "more");
      scripted->trigger();
      QCOMPARE(copies, 1);
    }
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 0);  // gone with the program
  }

  void aCopyLeftBehindIsOfferedAtTheNextStart() {
    // What a program taken down by a plug-in leaves: an unlocked copy.
    const QString folder = Path("recovery");
    QDir().mkpath(folder);
    RecoveryManifest m{Path("notes.txt").toStdString(), "Падающий плагин", 1, 0};
    WriteAll(folder + "/prambus-1-x.recovery",
             QByteArray::fromStdString(FormatRecoveryManifest(m)));
    WriteAll(folder + "/prambus-1-x.document", "line one\r\nline two");
    WriteAll(Path("notes.txt"), "old");
    auto later = Window();  // the list closed with "Позже"
    QVERIFY(later);
    QTRY_COMPARE(prompts_->recoveryLists, QList<QStringList>{{"notes.txt"}});
    QVERIFY(prompts_->questions.isEmpty());
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 2);
    later.reset();
    QString reason;
    recoveryList_ = [&reason](RecoveryListDialog& list) {
      reason = list.List()->topLevelItem(0)->text(3);
      list.OpenButton()->click();
      return list.result();
    };
    auto w = Window();
    QVERIFY(w);
    QTRY_COMPARE(prompts_->recoveryLists.size(), 1);
    QCOMPARE(reason, QString("перед запуском плагина «Падающий плагин»"));
    QCOMPARE(Text(*w), QString("line one\r\nline two"));
    QCOMPARE(w->FileName(), Path("notes.txt"));
    QVERIFY(w->Modified());
    QCOMPARE(w->windowTitle(), QString("* notes.txt - Прамбус"));
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 2);  // until the document is saved
    QVERIFY(w->Save());
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 0);
    QCOMPARE(ReadAll(Path("notes.txt")), QByteArray("line one\r\nline two"));
  }

  void callbacksActOnTheWindowAndItsDocument() {
    WriteAll(Path("doc.txt"), "alpha\r\nbeta");
    WriteAll(Path("other.txt"), "other");
    auto w = Window(Path("doc.txt"));
    QVERIFY(w);
    ScriptedPlugin();
    QAction* item = Item(PluginsMenu(*w), "Плагин по сценарию");

    // 6 with a buffer shorter than the line; 11; 16; 3 and 4; 1 and 2.
    QByteArray got, name;
    int32_t width = 0, height = 0, col = -1, row = -1;
    script = [&](uint8_t kind, int32_t command, prambus_get_function get) -> int32_t {
      if (kind != 1 || command != 0) return 0;
      char buffer[64];
      int32_t length = 3;
      Callback<prambus_get_line_fn>(get, PRAMBUS_GET_LINE)(0, &length, buffer);
      got = QByteArray(buffer, length);
      length = sizeof buffer;
      Callback<prambus_get_file_name_fn>(get, PRAMBUS_GET_FILE_NAME)(&length, buffer);
      name = QByteArray(buffer, length);
      Callback<prambus_view_size_fn>(get, PRAMBUS_VIEW_SIZE)(&width, &height);
      Callback<prambus_set_position_fn>(get, PRAMBUS_SET_POSITION)(1, 1, 1);
      Callback<prambus_key_down_fn>(get, PRAMBUS_KEY_DOWN)(PRAMBUS_VK_END, 0);
      Callback<prambus_key_press_fn>(get, PRAMBUS_KEY_PRESS)('!');
      // Its own hot key from inside runs nothing: no plug-in within a plug-in.
      Callback<prambus_key_down_fn>(get, PRAMBUS_KEY_DOWN)(PRAMBUS_VK_F1 + 10, PRAMBUS_KEY_CTRL);
      Callback<prambus_position_fn>(get, PRAMBUS_POSITION)(&col, &row, 1);
      return 1;
    };
    item->trigger();
    QCOMPARE(got, QByteArray("alp"));
    QCOMPARE(QString::fromUtf8(name), Path("doc.txt"));
    QCOMPARE(width, w->View()->ViewWidth());
    QCOMPARE(height, w->View()->ViewHeight());
    QCOMPARE(Text(*w), QString("alpha\r\nbeta!"));
    QCOMPARE(std::make_pair(col, row), std::make_pair(5, 1));
    QVERIFY(w->Modified());

    // 10 with length 0 saves under the current name.
    int32_t saved = -1;
    script = [&](uint8_t, int32_t, prambus_get_function get) -> int32_t {
      saved = Callback<prambus_save_fn>(get, PRAMBUS_SAVE)(0, nullptr);
      return 1;
    };
    item->trigger();
    QCOMPARE(saved, 1);
    QCOMPARE(ReadAll(Path("doc.txt")), QByteArray("alpha\r\nbeta!"));
    QVERIFY(!w->Modified());

    // 9 asks about unsaved changes first ("Отмена" keeps the document).
    QTest::keyClicks(Surface(*w), "?");
    int32_t opened = -1;
    const QByteArray other = Path("other.txt").toUtf8();
    script = [&](uint8_t, int32_t, prambus_get_function get) -> int32_t {
      opened = Callback<prambus_open_fn>(get, PRAMBUS_OPEN)(other.size(), other.constData());
      return 1;
    };
    prompts_->answers = {1002};
    item->trigger();
    QCOMPARE(opened, 0);
    QCOMPARE(w->FileName(), Path("doc.txt"));
    prompts_->answers = {1001};  // "Нет": the changes go
    item->trigger();
    QCOMPARE(opened, 1);
    QCOMPARE(w->FileName(), Path("other.txt"));
    QCOMPARE(Text(*w), QString("other"));

    // 10 with a name saves there from now on; hot keys run commands 1 and 3.
    const QByteArray copy = Path("copy.txt").toUtf8();
    std::vector<int32_t> commands;
    script = [&](uint8_t, int32_t command, prambus_get_function get) -> int32_t {
      commands.push_back(command);
      return Callback<prambus_save_fn>(get, PRAMBUS_SAVE)(copy.size(), copy.constData());
    };
    QTest::keyClick(Surface(*w), Qt::Key_F11, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(Surface(*w), Qt::Key_7, Qt::AltModifier | Qt::KeypadModifier);
    QCOMPARE(commands, (std::vector<int32_t>{1, 3}));
    QCOMPARE(w->FileName(), Path("copy.txt"));
    QCOMPARE(w->windowTitle(), QString("copy.txt - Прамбус"));
    QCOMPARE(ReadAll(Path("copy.txt")), QByteArray("other"));

    // Failures are the file commands' own: told to the user, reported to the
    // plug-in, and the document keeps its name.
    QTest::keyClicks(Surface(*w), "+");
    const QByteArray missing = Path("missing.txt").toUtf8();
    const QByteArray nowhere = Path("no/such/folder.txt").toUtf8();
    script = [&](uint8_t, int32_t, prambus_get_function get) -> int32_t {
      saved = Callback<prambus_save_fn>(get, PRAMBUS_SAVE)(nowhere.size(), nowhere.constData());
      return 1;
    };
    prompts_->notes.clear();
    item->trigger();
    QCOMPARE(saved, 0);
    QCOMPARE(prompts_->notes.size(), 1);
    QCOMPARE(w->FileName(), Path("copy.txt"));
    QVERIFY(w->Modified());
    QVERIFY(!QFileInfo::exists(Path("no")));
    script = [&](uint8_t, int32_t, prambus_get_function get) -> int32_t {
      opened = Callback<prambus_open_fn>(get, PRAMBUS_OPEN)(missing.size(), missing.constData());
      return 1;
    };
    prompts_->answers = {1001};
    item->trigger();
    QCOMPARE(opened, 0);
    QCOMPARE(prompts_->notes.size(), 2);
    QVERIFY(prompts_->notes[1].contains("missing.txt"));
    script = nullptr;
  }

  void downloadOpensTheHelpPageAboutWritingExtensions() {
    auto w = Window();
    QVERIFY(w);
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("file", &catcher, "open");
    w->Actions().downloadPlugin->trigger();
    QDesktopServices::unsetUrlHandler("file");
    QVERIFY(catcher.url.isEmpty());  // shown by the program, not handed to the desktop
    QVERIFY(w->GetHelpWindow() && w->GetHelpWindow()->isVisible());
    QCOMPARE(QFileInfo(w->GetHelpWindow()->Browser()->source().toLocalFile()).fileName(),
             QString("extensions.html"));
  }

  void virtualKeysMapToQtKeysAndBack() {
    for (int vk : std::initializer_list<int>{
             0x08, 0x09, 0x0D, 0x1B, 0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28,
             0x2D, 0x2E, '0',  '9',  'A',  'Z',  0x60, 0x69, 0x6A, 0x6B, 0x6D, 0x6E, 0x6F,
             0x70, 0x87, 0xBA, 0xBB, 0xBC, 0xBD, 0xBE, 0xBF, 0xC0, 0xDB, 0xDC, 0xDD, 0xDE}) {
      const std::optional<QtKeyPress> press = QtKeyFromVirtual(vk, kCtrlBit);
      QVERIFY2(press, qPrintable(QString::number(vk)));
      QCOMPARE(VirtualKeyFromQt(press->key, press->modifiers), vk);
      QCOMPARE(ShiftStateOf(press->modifiers), uint8_t(kCtrlBit));
    }
    QCOMPARE(VirtualKeyFromQt(0x0424, Qt::ControlModifier), int('A'));  // Ф
    QCOMPARE(VirtualKeyFromQt(Qt::Key_Exclam, Qt::ShiftModifier), int('1'));
    QCOMPARE(VirtualKeyFromQt(Qt::Key_Left, Qt::KeypadModifier), 0x25);
    QCOMPARE(VirtualKeyFromQt(Qt::Key_Meta, Qt::NoModifier), 0);
    QCOMPARE(SequenceOf({0x78, kCtrlBit | kShiftBit}), QKeySequence("Ctrl+Shift+F9"));
  }
};

QTEST_MAIN(ExtensionsTest)
#include "extensions_test.moc"
