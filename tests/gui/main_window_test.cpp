// The real main window, offscreen: menus and captions, the document shown,
// layout on resize, the caret, the view's own menu items and the title.
#include "main_window.h"

#include <QMenuBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>

#include "settings/settings.h"
#include "shown_window.h"

using namespace prambus;

namespace {
QStringList Captions(QMenu* menu) {
  QStringList out;
  for (QAction* a : menu->actions()) out << (a->isSeparator() ? "-" : a->text());
  return out;
}

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
  const QString path = dir.filePath(name);
  QFile f(path);
  f.open(QIODevice::WriteOnly);
  f.write(bytes);
  return path;
}
}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT
  QString dataPath() const { return dataDir_->path(); }
  std::optional<QTemporaryDir> dataDir_;

 private slots:
  void init() {
    Cfg() = Settings{};
    dataDir_.emplace();
  }

  void menusHaveTheirCaptionsAndShortcuts() {
    MainWindow w({"prambus"}, dataPath());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QStringList top;
    for (QAction* a : w.menuBar()->actions()) top << a->text();
    QCOMPARE(top, QStringList({"Файл", "Правка", "Формат", "Дополнительно", "Плагины", "Помощь"}));
    QCOMPARE(Captions(w.Menus().file),
             QStringList({"Новый", "Открыть...", "Сохранить", "Сохранить как...", "-", "Печать...",
                          "-", "-", "Выход"}));
    QCOMPARE(Captions(w.Menus().edit),
             QStringList({"Отменить", "Повторить", "-", "Вырезать", "Копировать", "Вставить", "-",
                          "Найти...", "Найти следующий", "Заменить...", "Перейти...", "-",
                          "Выделить всё"}));
    // The text view puts "Перенос по словам" at the top of "Формат".
    QCOMPARE(Captions(w.Menus().format),
             QStringList({"Перенос по словам", "-", "Строка состояния", "Всё лишнее убрано",
                          "Поверх других окон", "Просмотрщик\tF6", "Шрифт...", "Кодировка\tF8", "-",
                          "Шкурки", "Настройка шкурки..."}));
    QCOMPARE(Captions(w.Menus().extra),
             QStringList({"Закрепить за расширениями...", "Закрепить внешний вид за файлами...",
                          "Перекодировка...", "Тонкая настройка...", "-", "Переводы строки",
                          "Непечатные символы", "-", "Контрольные суммы..."}));
    QCOMPARE(Captions(w.Menus().context),
             QStringList({"Отменить", "Повторить", "-", "Вырезать", "Копировать", "Вставить",
                          "Выделить всё", "-", "Просмотрщик\tF6", "Шрифт...", "Всё лишнее убрано",
                          "-", "Выход"}));
    QCOMPARE(w.Menus().edit->actions()[0]->shortcut(), QKeySequence("Ctrl+Z"));
    QVERIFY(!w.Menus().edit->actions()[0]->isEnabled());
    QCOMPARE(w.Actions().goTo->shortcut(), QKeySequence("Ctrl+G"));
    QCOMPARE(w.ViewItems()[0]->shortcut(), QKeySequence("Ctrl+W"));
    QVERIFY(w.ViewItems()[0]->isChecked());
    QStringList lineEnds = Captions(w.ViewItems()[1]->menu());
    QCOMPARE(lineEnds, QStringList({"#10", "#13", "#13#10", "Оставить как есть"}));
  }

  void commandLineFileIsShownWrappedWithItsTitle() {
    QTemporaryDir dir;
    QByteArray text;
    for (int i = 0; i < 40; ++i) text += "\xcf\xf0\xe8\xe2\xe5\xf2 world ";  // "Привет world "
    const QString path = WriteFile(dir, "doc.txt", text);
    MainWindow w({"prambus", path}, dataPath());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.windowTitle(), QString("doc.txt - Прамбус"));
    QVERIFY(w.View()->LastRow() > 3);  // wrapped to the window width
    std::string all;
    for (int r = 0; r <= w.View()->LastRow(); ++r) all += w.View()->GetRow(r);
    QCOMPARE(QByteArray::fromStdString(all), text);
    QCOMPARE(w.StatusPanelText(0), QString("1 : 1"));
    QVERIFY(w.StatusPanelText(5).startsWith("Кодировка - Windows"));
    // Narrowing the window re-wraps the text to the new width.
    const int rowsBefore = w.View()->LastRow();
    w.resize(400, w.height());
    QTRY_VERIFY(w.View()->LastRow() > rowsBefore);
    QVERIFY(w.VBar()->isEnabled() || w.View()->GetDocumentHeight() < w.Surface().height());
  }

  void missingCommandLineFileLeavesAnUntitledDocument() {
    ScriptedPrompts* prompts = nullptr;
    auto w = ShowWindow(dataPath(), "/nonexistent/file.txt", &prompts);
    QVERIFY(w);
    QTRY_COMPARE(prompts->notes,
                 QStringList{"Не могу открыть «/nonexistent/file.txt»: такого файла нет."});
    QCOMPARE(w->windowTitle(), QString("Безымянный.txt - Прамбус"));
    QVERIFY(w->View() != nullptr);
    QVERIFY(w->FileName().isEmpty());
  }

  // The mark follows the document's revision: a key that changes nothing
  // leaves the title as it is, a save takes the mark away.
  void modifiedFlagPrefixesTheTitle() {
    ScriptedPrompts* prompts = nullptr;
    auto w = ShowWindow(dataPath(), {}, &prompts);
    QVERIFY(w);
    QTest::keyClick(w->centralWidget(), Qt::Key_Delete);  // nothing to delete
    QCOMPARE(w->windowTitle(), QString("Безымянный.txt - Прамбус"));
    QTest::keyClicks(w->centralWidget(), "a");
    QCOMPARE(w->windowTitle(), QString("* Безымянный.txt - Прамбус"));
    QTest::keyClick(w->centralWidget(), Qt::Key_Delete);
    QCOMPARE(w->windowTitle(), QString("* Безымянный.txt - Прамбус"));
    prompts->saveNames = {dataDir_->filePath("t.txt")};
    w->Actions().saveAs->trigger();
    QCOMPARE(w->windowTitle(), QString("t.txt - Прамбус"));
    QVERIFY(w->Doc().disk.known);
    QCOMPARE(w->Doc().disk.size, 1);
  }

  void narrowWindowShrinksTheMarginsAndWideningRestoresThem() {
    Cfg().OtstupX = 30;
    MainWindow w({"prambus"}, dataPath());
    w.setMinimumSize(0, 0);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(Cfg().EffOtstupX, 30);
    w.resize(60, w.height());
    QTRY_VERIFY(Cfg().EffOtstupX < 30);
    w.resize(786, w.height());
    QTRY_COMPARE(Cfg().EffOtstupX, 30);
  }

  void caretTogglesByInversion() {
    MainWindow w({"prambus"}, dataPath());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QImage before = w.Surface().copy();
    const bool shown = w.CaretShown();
    w.ToggleCaret();
    QCOMPARE(w.CaretShown(), !shown);
    QVERIFY(w.Surface() != before);
    w.ToggleCaret();
    QCOMPARE(w.Surface(), before);  // drawing twice restores the surface
  }

  void wordWrapItemTogglesWrapping() {
    QTemporaryDir dir;
    const QString path = WriteFile(dir, "long.txt", QByteArray(300, 'x'));
    MainWindow w({"prambus", path}, dataPath());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(w.View()->LastRow() > 0);
    w.ViewItems()[0]->trigger();  // "Перенос по словам" off
    QVERIFY(!w.ViewItems()[0]->isChecked());
    QCOMPARE(w.View()->LastRow(), 0);
    QVERIFY(w.HBar()->isEnabled());
    w.ViewItems()[0]->trigger();
    QVERIFY(w.View()->LastRow() > 0);
  }

  void settingsAreWrittenAtExitAndRestoredAtStart() {
    {
      MainWindow w({"prambus"}, dataPath());
      w.show();
      QVERIFY(QTest::qWaitForWindowExposed(&w));
      // The first start writes its settings at once: a program killed now
      // does not greet the user again.
      QVERIFY(QFile::exists(dataPath() + "/data.dat"));
      w.ViewItems()[0]->trigger();  // word wrap off
      Cfg().MaxUndoLen = 4321;
      Cfg().TextSize = 30;
      w.Exit();
    }
    QVERIFY(QFile::exists(dataPath() + "/data.dat"));
    Cfg() = Settings{};
    MainWindow w({"prambus"}, dataPath());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(Cfg().MaxUndoLen, 4321);
    QCOMPARE(Cfg().TextSize, 16);  // forced at every start
    QVERIFY(!w.ViewItems()[0]->isChecked());
  }

  void viewKindComesFromPinnedRecordsRecentListAndBindings() {
    QTemporaryDir dir;
    const QString a = WriteFile(dir, "a.hex", "abc");
    const QString b = WriteFile(dir, "b.txt", "abc");
    MainWindow w({"prambus"}, dataPath());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.State().bindings = {{".hex", 1}};
    w.OpenPath(a.toStdString());
    QCOMPARE(w.ViewKind(), 2);  // bound to the hex view
    w.State().recent[0] = {a.toStdString(), 1, 0, 1, {}};
    w.OpenPath(a.toStdString());
    QCOMPARE(w.ViewKind(), 1);  // the recent list remembers the text view
    WindowAppearance pinned;
    pinned.path = b.toStdString();
    pinned.viewKind = 2;
    pinned.left = 40, pinned.top = 50, pinned.width = 500, pinned.height = 300;
    w.State().pinned.push_back(pinned);
    w.OpenPath(b.toStdString());
    QCOMPARE(w.ViewKind(), 2);
    QCOMPARE(w.geometry().width(), 500);
    QCOMPARE(w.windowTitle(), QString("b.txt - Прамбус"));
  }

  void corruptSettingsFileStartsWithDefaults() {
    QFile f(dataPath() + "/data.dat");
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("ÿÿÿ garbage", 16));
    f.close();
    MainWindow w({"prambus"}, dataPath());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(w.View() != nullptr);
    QCOMPARE(Cfg().MaxUndoLen, Settings{}.MaxUndoLen);
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
