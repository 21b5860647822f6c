// The recent files in "Файл", the Ctrl+Tab switcher, the pinned window
// appearances with their dialog, and the document information box, on the
// real main window: menus through their actions, keys as key events.
#include <QApplication>
#include <QListWidget>
#include <QPointer>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>

#include "gui_files.h"
#include "main_window.h"
#include "message_box.h"
#include "pinned_files_dialog.h"
#include "recent_switcher.h"
#include "scripted_prompts.h"
#include "settings/data_file.h"
#include "settings/settings.h"
#include "shown_window.h"

using namespace prambus;

namespace {
constexpr int kRecentPosition = 7;  // of the first recent item in "Файл"

std::string Text(const MainWindow& w) {
  std::string s;
  for (int r = 0; r <= w.View()->LastRow(); ++r) s += w.View()->GetRow(r);
  return s;
}

QStringList Captions(const QList<QAction*>& actions) {
  QStringList out;
  for (const QAction* a : actions) out << a->text();
  return out;
}

// The visible information boxes.
QList<MessageBox*> InfoBoxes() {
  QList<MessageBox*> boxes;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* box = qobject_cast<MessageBox*>(w); box && box->isVisible()) boxes << box;
  return boxes;
}
}  // namespace

class RecentPinnedTest : public QObject {
  Q_OBJECT
  std::optional<QTemporaryDir> dir_;
  std::unique_ptr<MainWindow> w_;
  ScriptedPrompts* prompts_ = nullptr;

  QString Path(const QString& name) const { return dir_->filePath(name); }
  QString File(const QString& name, const QByteArray& bytes) const {
    WriteAll(Path(name), bytes);
    return Path(name);
  }
  bool Show(const QString& file) {
    w_ = ShowWindow(dir_->path(), file, &prompts_);
    return w_ != nullptr;
  }
  void Open(const QString& path) {
    prompts_->openNames = {path};
    w_->Actions().open->trigger();
  }
  QWidget* Keys() const { return w_->centralWidget(); }
  // "Файл" as it is when the user opens it.
  QList<QAction*> FileMenu() const {
    emit w_->Menus().file->aboutToShow();
    return w_->Menus().file->actions();
  }
  QRect Bounds() const { return w_->geometry(); }

 private slots:
  void init() {
    Cfg() = Settings{};
    dir_.emplace();
  }
  void cleanup() {
    for (MessageBox* box : InfoBoxes()) delete box;
    w_.reset();
  }

  void recentMenuReopensFilesWhereTheyWereLeft() {
    const QString a = File("a.txt", "one\r\ntwo\r\nthree"), b = File("b&c.txt", "bee");
    const QString c = File("c.txt", "sea");
    QVERIFY(Show(a));
    QList<QAction*> items = FileMenu();
    QCOMPARE(items[kRecentPosition]->isSeparator(), true);  // nothing yet
    QTest::keyClick(Keys(), Qt::Key_Down);
    QTest::keyClick(Keys(), Qt::Key_Right);
    QTest::keyClick(Keys(), Qt::Key_F6);  // left in the hex view
    QCOMPARE(w_->ViewKind(), 2);
    const int col = w_->View()->CursorColumn(), row = w_->View()->CursorRow();
    Open(b);
    QTest::keyClick(Keys(), Qt::Key_F6);  // b and c in the text view
    Open(c);
    items = FileMenu();
    QCOMPARE(Captions(items.mid(kRecentPosition, 3)),
             (QStringList{"b&&c.txt", "a.txt", QString()}));  // "&" is no accelerator
    QCOMPARE(items.indexOf(w_->Actions().exit), kRecentPosition + 3);

    // A click: the file comes back in its view with its cursor, and the one
    // left goes to the head of the list.
    w_->RecentItems()[1]->trigger();
    QCOMPARE(w_->FileName(), a);
    QCOMPARE(w_->ViewKind(), 2);
    QCOMPARE(w_->View()->CursorColumn(), col);
    QCOMPARE(w_->View()->CursorRow(), row);
    QVERIFY(!w_->View()->HasSelection());
    QCOMPARE(Captions(FileMenu().mid(kRecentPosition, 3)),
             (QStringList{"c.txt", "b&&c.txt", "a.txt"}));

    // In a submenu when RecListinSubMenu is on; its items open their files.
    Cfg().RecListinSubMenu = true;
    items = FileMenu();
    QMenu* sub = items[kRecentPosition]->menu();
    QVERIFY(sub);
    QCOMPARE(sub->title(), QString("Последние файлы\tCtrl+Tab"));
    QCOMPARE(Captions(sub->actions()), (QStringList{"c.txt", "b&&c.txt", "a.txt"}));
    QCOMPARE(items.indexOf(w_->Actions().exit), kRecentPosition + 2);
    sub->actions()[0]->trigger();
    QCOMPARE(w_->FileName(), c);
    Cfg().RecListinSubMenu = false;

    // Unsaved changes: the question comes first, and "Отмена" keeps all.
    QTest::keyClicks(Keys(), "x");
    prompts_->answers = {1002};
    FileMenu();
    w_->RecentItems()[0]->trigger();
    QCOMPARE(prompts_->questions.size(), 1);
    QCOMPARE(w_->FileName(), c);
    QCOMPARE(Text(*w_), std::string("xsea"));
    QVERIFY(w_->Modified());
  }

  void vanishedRecentFileLeavesTheListAndTheDocumentStays() {
    const QString a = File("a.txt", "aaa"), b = File("b.txt", "bbb");
    const QString c = File("c.txt", "ccc");
    QVERIFY(Show(a));
    Open(b);
    Open(c);
    QTest::keyClick(Keys(), Qt::Key_End);
    QVERIFY(QFile::remove(b));
    FileMenu();
    w_->RecentItems()[0]->trigger();  // b.txt
    QCOMPARE(w_->FileName(), c);
    QCOMPARE(Text(*w_), std::string("ccc"));
    QCOMPARE(w_->View()->CursorColumn(), 3);
    QCOMPARE(prompts_->notes.size(), 1);
    QVERIFY(prompts_->notes[0].contains("такого файла нет"));
    QVERIFY(prompts_->notes[0].contains("Я убрал его из списка последних файлов."));
    // c.txt was left for a moment and heads the list; b.txt is gone.
    QCOMPARE(Captions(FileMenu().mid(kRecentPosition, 3)),
             (QStringList{"c.txt", "a.txt", QString()}));
  }

  void ctrlTabSwitcherOpensTheChosenRow() {
    const QString a = File("a.txt", "aaa"), b = File("b.txt", "bbb");
    const QString c = File("c.txt", "ccc");
    QVERIFY(Show(a));
    RecentSwitcher* sw = w_->Switcher();
    // No recent file yet: Ctrl+Tab shows nothing and types nothing.
    QTest::keyPress(Keys(), Qt::Key_Tab, Qt::ControlModifier);
    QTest::keyRelease(Keys(), Qt::Key_Control);
    QVERIFY(!sw->isVisible());
    QCOMPARE(Text(*w_), std::string("aaa"));

    Open(b);
    Open(c);  // the list: b, a; c is the current document, not in it
    // The switcher answers keys only in the active window, as a user's keys
    // come; a loaded machine may deliver the activation late.
    QTRY_VERIFY(w_->isActiveWindow());
    QTest::keyPress(Keys(), Qt::Key_Tab, Qt::ControlModifier);
    QVERIFY(sw->isVisible());
    QCOMPARE(sw->Selected(), 0);
    QCOMPARE(sw->Layout().names, (std::vector<std::string>{"b.txt", "a.txt", "c.txt"}));
    QVERIFY(sw->Layout().IsExtraRow(2));
    QCOMPARE(sw->height(), 3 * sw->Layout().rowHeight + 1);
    QTest::keyPress(Keys(), Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(sw->Selected(), 1);
    QTest::keyRelease(Keys(), Qt::Key_Control);
    QVERIFY(!sw->isVisible());
    QCOMPARE(w_->FileName(), a);
    QCOMPARE(Text(*w_), std::string("aaa"));

    // Shift reverses; the first press shows row 0 either way, the next one
    // wraps to the last row. The extra row of the current document (a.txt is
    // now in the list, so a new document) opens nothing.
    w_->Actions().newDocument->trigger();
    QTRY_VERIFY(w_->isActiveWindow());
    QTest::keyPress(Keys(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(sw->Selected(), 0);
    QTest::keyPress(Keys(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(sw->Selected(), sw->Layout().Rows() - 1);
    QCOMPARE(sw->Layout().names.back(), std::string("Безымянный.txt"));
    QTest::keyRelease(Keys(), Qt::Key_Control);
    QVERIFY(!sw->isVisible());
    QVERIFY(w_->FileName().isEmpty());
    QVERIFY(prompts_->questions.isEmpty());

    // Plain Tab and Shift+Tab type a tab; Ctrl+Tab never does.
    QTest::keyClick(Keys(), Qt::Key_Tab);
    QTest::keyClick(Keys(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(Text(*w_), std::string("\t\t"));
    QVERIFY(!sw->isVisible());

    // The switcher goes when the window loses the activation.
    QTRY_VERIFY(w_->isActiveWindow());
    QTest::keyPress(Keys(), Qt::Key_Tab, Qt::ControlModifier);
    QVERIFY(sw->isVisible());
    QWidget other;
    other.show();
    other.activateWindow();
    QTRY_VERIFY(!sw->isVisible());
    QCOMPARE(Text(*w_), std::string("\t\t"));
  }

  // F4 and minimal mode give the window a new frame; the window stays the
  // active one, so Ctrl+Tab still shows the switcher and the caret blinks.
  void theSwitcherComesAfterTheWindowsFrameChanged() {
    const QString a = File("a.txt", "aaa"), b = File("b.txt", "bbb");
    QVERIFY(Show(a));
    Open(b);
    RecentSwitcher* sw = w_->Switcher();
    const auto toggles = {&MenuActions::stayOnTop, &MenuActions::minimalMode};
    for (QAction* MenuActions::*toggle : toggles) {
      for (int i = 0; i < 2; ++i) {
        QTRY_VERIFY(w_->isActiveWindow());
        (w_->Actions().*toggle)->trigger();
      }
      QTRY_VERIFY(w_->isActiveWindow());
      QTest::keyPress(Keys(), Qt::Key_Tab, Qt::ControlModifier);
      QVERIFY(sw->isVisible());
      QTest::keyRelease(Keys(), Qt::Key_Control);
      QVERIFY(!sw->isVisible());
      QCOMPARE(w_->FileName(), toggle == toggles.begin()[0] ? a : b);
    }
  }

  void pinnedFileKeepsItsAppearanceAndOthersTheDefault() {
    const QString p = File("p.txt", "pinned"), u = File("u.txt", "plain");
    const QString v = File("v.txt", "other");
    QVERIFY(Show(u));
    w_->setGeometry(30, 40, 600, 400);
    Open(p);
    prompts_->pinnedFiles = [](PinnedFilesDialog& d) {
      d.AddCurrent();
      d.AddCurrent();  // listed once
      return d.list->count() == 1 ? int(QDialog::Accepted) : int(QDialog::Rejected);
    };
    w_->Actions().pinnedFiles->trigger();
    QCOMPARE(w_->State().pinned.size(), size_t{1});
    QCOMPARE(w_->State().pinned[0].path, p.toStdString());
    QCOMPARE(w_->State().pinned[0].width, 600);
    {  // on disk at once, not only at exit
      StoredState stored;
      Settings settings;
      QVERIFY(ReadDataFile(Path("data.dat").toStdString(), stored, settings));
      QCOMPARE(stored.pinned, w_->State().pinned);
    }
    // From now on p.txt's appearance is its own.
    w_->setGeometry(50, 60, 450, 300);
    QTest::keyClick(Keys(), Qt::Key_F6);  // hex view
    QTest::keyClick(Keys(), Qt::Key_F8);  // DOS

    Open(u);  // the default appearance comes back
    QCOMPARE(Bounds(), QRect(30, 40, 600, 400));
    QCOMPARE(w_->ViewKind(), 1);
    QVERIFY(w_->StatusPanelText(5).endsWith("Windows"));
    Open(p);
    QCOMPARE(Bounds(), QRect(50, 60, 450, 300));
    QCOMPARE(w_->ViewKind(), 2);
    QVERIFY(w_->StatusPanelText(5).endsWith("DOS"));
    w_->setGeometry(70, 80, 500, 350);  // captured into the pinned record
    w_->Actions().newDocument->trigger();
    QCOMPARE(Bounds(), QRect(30, 40, 600, 400));
    Open(p);
    QCOMPARE(Bounds(), QRect(70, 80, 500, 350));
    Open(v);
    QCOMPARE(Bounds(), QRect(30, 40, 600, 400));

    // Exit stores the default appearance as the default and the pinned one
    // with its file.
    Open(p);
    w_->Exit();
    StoredState stored;
    Settings settings;
    QVERIFY(ReadDataFile(Path("data.dat").toStdString(), stored, settings));
    QCOMPARE(stored.defaults.width, 600);
    QCOMPARE(stored.pinned.size(), size_t{1});
    QCOMPARE(stored.pinned[0].width, 500);
    QCOMPARE(stored.pinned[0].viewKind, int16_t{2});
    QCOMPARE(stored.pinned[0].encodingIndex, uint8_t{1});
    QCOMPARE(stored.pinned[0].encodingId, "cp866");
  }

  // The window comes back exactly where it was: through "Поверх других окон"
  // (which makes its native window anew), the dialogs it lowers the window
  // for, a message, opening a file, and a new start from data.dat.
  void theWindowComesBackExactlyWhereItWas() {
    const QString u = File("u.txt", "plain"), v = File("v.txt", "other");
    QVERIFY(Show(u));
    const QRect at(130, 140, 600, 400);
    w_->setGeometry(at);
    w_->Actions().stayOnTop->trigger();
    QCOMPARE(Bounds(), at);
    Open(v);
    QCOMPARE(Bounds(), at);
    w_->ShowNote("между делом");
    w_->Actions().stayOnTop->trigger();
    QCOMPARE(Bounds(), at);
    w_->Actions().stayOnTop->trigger();
    w_->Exit();
    StoredState stored;
    Settings settings;
    QVERIFY(ReadDataFile(Path("data.dat").toStdString(), stored, settings));
    QCOMPARE(QRect(stored.defaults.left, stored.defaults.top, stored.defaults.width,
                   stored.defaults.height),
             at);
    QVERIFY(stored.defaults.stayOnTop);
    w_.reset();
    QVERIFY(Show(u));
    QCOMPARE(Bounds(), at);
    QVERIFY(w_->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  }

  void pinnedFilesDialogAddsRemovesAndStopsAtOneHundred() {
    const QString p = File("p.txt", "pinned"), q = File("q.txt", "other");
    QVERIFY(Show(QString()));
    PinnedFilesDialog* shown = nullptr;
    bool addCurrentEnabled = true;
    // Esc cancels: nothing changes.
    prompts_->pinnedFiles = [&](PinnedFilesDialog& d) {
      shown = &d;
      addCurrentEnabled = d.addCurrentButton->isEnabled();
      QTimer::singleShot(0, &d, [&d] { QTest::keyClick(&d, Qt::Key_Escape); });
      return d.exec();
    };
    w_->Actions().pinnedFiles->trigger();
    QVERIFY(shown);
    QVERIFY(!addCurrentEnabled);  // an untitled document cannot be pinned
    QVERIFY(w_->State().pinned.empty());

    // "Добавить другой" through the Open dialog; the list has the surface's
    // colours and the dialog its fixed size.
    Open(q);
    prompts_->openNames = {p};
    prompts_->pinnedFiles = [&](PinnedFilesDialog& d) {
      d.addOtherButton->click();
      const QPalette pal = d.list->palette();
      if (d.size() != QSize(778, 191) || pal.color(QPalette::Base) != QColor(Qt::white) ||
          d.windowTitle() != "Закреплённые файлы")
        return int(QDialog::Rejected);
      d.okButton->click();
      return d.result();
    };
    w_->Actions().pinnedFiles->trigger();
    QCOMPARE(w_->State().pinned.size(), size_t{1});
    QCOMPARE(w_->State().pinned[0].path, p.toStdString());

    // Unchecking a line and confirming unpins the file.
    prompts_->pinnedFiles = [](PinnedFilesDialog& d) {
      d.list->item(0)->setCheckState(Qt::Unchecked);
      return int(QDialog::Accepted);
    };
    w_->Actions().pinnedFiles->trigger();
    QVERIFY(w_->State().pinned.empty());

    // At 100 records a new line is refused with the message, and the lines
    // after it are left as they were.
    for (int i = 0; i < 100; ++i) {
      WindowAppearance r;
      r.path = Path("f" + QString::number(i)).toStdString();
      w_->State().pinned.push_back(r);
    }
    prompts_->pinnedFiles = [](PinnedFilesDialog& d) {
      d.AddCurrent();                                 // q.txt: line 100
      d.list->item(0)->setCheckState(Qt::Unchecked);  // removed before the walk stops
      d.list->item(5)->setCheckState(Qt::Unchecked);
      d.list->item(5)->setCheckState(Qt::Checked);
      return int(QDialog::Accepted);
    };
    w_->Actions().pinnedFiles->trigger();
    QCOMPARE(w_->State().pinned.size(), size_t{100});  // f0 out, q in
    QCOMPARE(prompts_->notes, QStringList{});
    WindowAppearance extra;
    extra.path = Path("g").toStdString();
    w_->State().pinned.push_back(extra);  // 101, as a settings file may hold
    prompts_->openNames = {p};
    prompts_->pinnedFiles = [](PinnedFilesDialog& d) {
      d.addOtherButton->click();  // p.txt, the last line
      return int(QDialog::Accepted);
    };
    w_->Actions().pinnedFiles->trigger();
    QCOMPARE(w_->State().pinned.size(), size_t{101});
    QCOMPARE(prompts_->notes,
             QStringList{"Я могу закрепить внешний вид максимум только за 100 файлами. Больше у "
                         "меня не получается. Извините."});
  }

  void pinnedRecordOffTheScreenComesBackOntoIt() {
    const QString p = File("p.txt", "pinned");
    QVERIFY(Show(QString()));
    WindowAppearance r;
    r.path = p.toStdString();
    r.left = -5000, r.top = -4000, r.width = 300, r.height = -20;
    w_->State().pinned.push_back(r);
    // A second record of the same path (a settings file may hold one) is not
    // the one applied: the first is, as it is the one captured into.
    WindowAppearance twin = r;
    twin.left = 10, twin.top = 20, twin.width = 500, twin.height = 300;
    w_->State().pinned.push_back(twin);
    Open(p);
    const QRect screen = w_->screen()->geometry();
    QVERIFY(screen.intersects(w_->geometry()));
    QVERIFY(w_->geometry().left() >= 0 && w_->geometry().top() >= 0);
    QVERIFY(w_->geometry().height() >= Cfg().MinRestoredHeight);
    QVERIFY(w_->geometry().width() != 500);
  }

  void oddSettingsEntriesAreShownSafelyAndKeptAsTheyWere() {
    const std::string binary = File("bin.dat", QByteArray("\0\x01\xff\r\n\x80", 6)).toStdString();
    const std::string missing = Path("gone.txt").toStdString();
    const std::string twoLines = Path("two\nlines.txt").toStdString();
    const std::string notUtf8 = dir_->path().toStdString() + "/\xff\xfe.txt";
    StoredState st;
    auto entry = [](const std::string& path, uint8_t kind = 0) {
      RecentEntry e;
      e.path = path;
      e.viewKind = kind;
      return e;
    };
    st.recent = {entry(missing),  entry(binary, 2), entry(missing), {},
                 entry(twoLines), entry(notUtf8)};
    WindowAppearance odd;
    odd.path = notUtf8;
    odd.width = 400;
    st.pinned = {odd, odd};
    odd.path = twoLines;
    st.pinned.push_back(odd);
    Settings settings;
    settings.MaxRecentListLen = 6;
    QVERIFY(WriteDataFile(Path("data.dat").toStdString(), st, settings));
    QVERIFY(Show(QString()));

    // Each file listed once, in order, on one line each.
    QCOMPARE(Captions(FileMenu().mid(kRecentPosition, 4)),
             (QStringList{"gone.txt", "bin.dat", "two lines.txt", "\\xFF\\xFE.txt"}));
    QTest::keyPress(Keys(), Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(w_->Switcher()->Layout().names,
             (std::vector<std::string>{"gone.txt", "bin.dat", "two lines.txt", "\\xFF\\xFE.txt",
                                       "Безымянный.txt"}));
    QTest::keyRelease(Keys(), Qt::Key_Control);  // row 0: the missing file
    QVERIFY(w_->FileName().isEmpty());
    QCOMPARE(prompts_->notes.size(), 1);
    QVERIFY(prompts_->notes[0].contains("gone.txt"));
    FileMenu();
    w_->RecentItems()[0]->trigger();  // the binary file, in the hex view it was left in
    QCOMPARE(w_->FileName().toStdString(), binary);
    QCOMPARE(w_->ViewKind(), 2);
    QCOMPARE(w_->View()->GetRow(0), std::string_view("\0\x01\xff\r\n\x80", 6));

    // The pinned-files dialog shows every record on one line; confirming it
    // unchanged keeps them byte for byte.
    QStringList shown;
    prompts_->pinnedFiles = [&](PinnedFilesDialog& d) {
      for (int i = 0; i < d.list->count(); ++i) shown << d.list->item(i)->text();
      return int(QDialog::Accepted);
    };
    w_->Actions().pinnedFiles->trigger();
    QCOMPARE(shown.size(), 3);
    QVERIFY(!shown[2].contains('\n'));
    QCOMPARE(w_->State().pinned.size(), size_t{3});
    w_->Exit();
    StoredState back;
    QVERIFY(ReadDataFile(Path("data.dat").toStdString(), back, settings));
    // The same records, their encoding named by its identifier from now on.
    for (WindowAppearance& w : st.pinned) w.encodingId = "windows-1251";
    QCOMPARE(back.pinned, st.pinned);
    std::vector<std::string> paths;
    for (const RecentEntry& e : back.recent) paths.push_back(e.path);
    QCOMPARE(paths, (std::vector<std::string>{binary, twoLines, notUtf8, "", "", ""}));
  }

  // A line break in the file name shows as a space in the title too.
  void titleShowsControlCharactersAsSpaces() {
    QVERIFY(Show(File("two\nlines\t.txt", "x")));
    QCOMPARE(w_->windowTitle(), QString("two lines .txt - Прамбус"));
  }

  void documentInformationBoxAndStatusBar() {
    const QString f = File("отчёт.txt", "ab\r\ncd\r\nef");
    QVERIFY(Show(f));
    QTest::keyClick(Keys(), Qt::Key_Down);
    QTest::keyClick(Keys(), Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(w_->StatusPanelText(0), QString("2 : 2"));
    QCOMPARE(w_->StatusPanelText(1), QString("2 : 1"));
    QCOMPARE(w_->StatusPanelText(2), QString("3 строки"));
    QCOMPARE(w_->StatusPanelText(3), QString("Вставка"));
    QVERIFY(QRegularExpression("^\\d+\\.\\d{3} сек\\.$").match(w_->StatusPanelText(4)).hasMatch());
    QCOMPARE(w_->StatusPanelText(5), QString("Кодировка - Windows"));

    // Ctrl+I: centred on the window.
    QTest::keyClick(Keys(), Qt::Key_I, Qt::ControlModifier);
    QList<MessageBox*> boxes = InfoBoxes();
    QCOMPARE(boxes.size(), 1);
    MessageBox* box = boxes[0];
    QCOMPARE(box->windowTitle(), QString("О документе"));
    QVERIFY(!box->isModal());
    const QString text = box->Text();
    QVERIFY(
        text.startsWith("У вас открыт документ \"отчёт.txt\".\nОн занимает 10 б.\n"
                        "Он открывался в течение "));
    QVERIFY(
        text.endsWith(" мс.\nВ документе 3 строчки.\n"
                      "Координаты курсора: 2-я строчка, 1-я позиция.\n"
                      "В целом это --- 5-я позиция в тексте.\n"
                      "В тексте есть выделенный фрагмент.\nВыделено 1 б. текста"));
    const QPoint centre = w_->frameGeometry().center();
    QVERIFY(qAbs(box->frameGeometry().center().x() - centre.x()) <= 2);
    QVERIFY(!box->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    // The user works on; the box goes once it loses the activation.
    QPointer<MessageBox> held(box);
    w_->activateWindow();
    QTRY_VERIFY(held.isNull());
    QTest::keyClick(Keys(), Qt::Key_End);
    QCOMPARE(w_->View()->CursorColumn(), 2);

    // A new document, from the menu, with stay-on-top on.
    w_->Actions().newDocument->trigger();
    QTest::keyClicks(Keys(), "abc");
    QTest::keyClick(Keys(), Qt::Key_F4);
    w_->Actions().documentInfo->trigger();
    boxes = InfoBoxes();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes[0]->Text(), QString("Вы сейчас пишете новый документ.\nОн занимает 3 б.\n"
                                       "В документе 1 строчка.\n"
                                       "Координаты курсора: 1-я строчка, 3-я позиция.\n"
                                       "В целом это --- 3-я позиция в тексте."));
    QVERIFY(boxes[0]->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QTest::keyClick(Keys(), Qt::Key_F4);

    // The hex view overwrites after Insert; no selection, no anchor.
    QTest::keyClick(Keys(), Qt::Key_F6);
    QTest::keyClick(Keys(), Qt::Key_Insert);
    QCOMPARE(w_->StatusPanelText(3), QString("Замена"));
    QCOMPARE(w_->StatusPanelText(1), QString());
    QCOMPARE(w_->StatusPanelText(2), QString("1 строка"));
    QCOMPARE(w_->StatusPanelText(4), QString());
  }
};

QTEST_MAIN(RecentPinnedTest)
#include "recent_pinned_test.moc"
