// "Тонкая настройка" on the real main window: the table and its texts,
// cells checked when left, double clicks, the desktop's message font, what
// "Готово" stores and changes, "Отмена" and Escape, and a restart.
#include "shell/fine_settings.h"

#include <QApplication>
#include <QColorDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>

#include "data_window.h"
#include "description_panel.h"
#include "fine_settings_dialog.h"
#include "gui_files.h"
#include "main_window.h"
#include "message_box.h"
#include "scripted_prompts.h"
#include "settings/settings.h"
#include "shown_window.h"
#include "views/hex_view.h"

using namespace prambus;

namespace {

// The table row of a key or section name.
int RowOf(const char* key) {
  const std::span<const SettingRow> rows = FineSettingRows();
  for (size_t i = 0; i < rows.size(); ++i)
    if (std::string(rows[i].key) == key) return static_cast<int>(i);
  return -1;
}

FineSettingsDialog* Open(MainWindow& w) {
  w.Actions().fineSettings->trigger();
  FineSettingsDialog* d = w.GetFineSettingsDialog();
  if (!QTest::qWaitForWindowActive(d)) qWarning("the settings window is not active");
  return d;
}

// Types into a value cell as a user does: select it, type, press Enter.
void Type(FineSettingsDialog* d, const char* key, const QString& text) {
  QTableWidget* t = d->Table();
  t->setCurrentCell(RowOf(key), 1);
  t->editItem(t->item(RowOf(key), 1));
  QLineEdit* editor = nullptr;
  for (QLineEdit* e : t->viewport()->findChildren<QLineEdit*>())
    if (e->isVisible()) editor = e;
  QVERIFY(editor);
  editor->selectAll();
  for (QChar c : text) {  // Cyrillic too, which keyClicks cannot send
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QApplication::sendEvent(editor, &press);
  }
  QCOMPARE(editor->text(), text);
  QTest::keyClick(editor, Qt::Key_Return);
  QApplication::processEvents();  // the editor hands its text over queued
}

void DoubleClick(FineSettingsDialog* d, const char* key) {
  QTableWidgetItem* item = d->Table()->item(RowOf(key), 1);
  d->Table()->scrollToItem(item);
  const QPoint at = d->Table()->visualItemRect(item).center();
  QTest::mouseClick(d->Table()->viewport(), Qt::LeftButton, {},
                    at);  // the double click's first press
  QTest::mouseDClick(d->Table()->viewport(), Qt::LeftButton, {}, at);
}

bool SameSettings(const Settings& a, const Settings& b) {
  for (const SettingRow& r : FineSettingRows())
    if (r.get && r.get(a) != r.get(b)) return false;
  return true;
}

}  // namespace

class FineSettingsTest : public QObject {
  Q_OBJECT
  std::optional<QTemporaryDir> dir_;

 private slots:
  void init() {
    Cfg() = Settings{};
    dir_.emplace();
  }

  void tableShowsEveryRowWithItsDescription() {
    const auto window = ShowWindow(dir_->path(), {});
    QVERIFY(window);
    MainWindow& w = *window;
    FineSettingsDialog* d = Open(w);
    QVERIFY(d && d->isVisible());
    QCOMPARE(d->windowTitle(), QString("Тонкая настройка"));
    QCOMPARE(d->WarningTitle()->text(), QString("ВНИМАНИЕ!"));
    QVERIFY(d->WarningTitle()->font().bold());
    QCOMPARE(d->WarningTitle()->palette().color(QPalette::WindowText), QColor(Qt::red));
    QTableWidget* t = d->Table();
    QCOMPARE(t->rowCount(), 55);
    QCOMPARE(t->horizontalHeaderItem(0)->text(), QString("Параметр."));
    QCOMPARE(t->horizontalHeaderItem(1)->text(), QString("Значение."));
    QCOMPARE(t->columnWidth(0), 160);
    QCOMPARE(t->currentRow(), 0);
    QCOMPARE(d->CellText(0), QString("==============="));
    QCOMPARE(d->Description()->Text(), std::string("Пусто."));
    QCOMPARE(d->CellText(RowOf("TextSize")), QString("16"));  // set at every start
    QCOMPARE(d->CellText(RowOf("ChosenFonClr")), QString("Тёмно-синий"));
    // Nothing is cut off: the labels, the buttons and every description.
    const QList<QWidget*> texts = {d->WarningText(), d->WarningTitle(), d->DoneButton(),
                                   d->CancelButton()};
    for (QWidget* text : texts) QVERIFY(text->width() >= text->sizeHint().width());
    for (int r = 0; r < t->rowCount(); ++r) {
      t->setCurrentCell(r, 1);
      QCOMPARE(d->Description()->Text(), RowDescription(FineSettingRows()[r]));
      QVERIFY2(!d->Description()->Clipped(), FineSettingRows()[r].key);
    }
    // Key cells take no clicks: the current cell stays a value.
    t->setCurrentCell(3, 1);
    QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, t->visualItemRect(t->item(3, 0)).center());
    QCOMPARE(t->currentColumn(), 1);
  }

  void cellsAreCheckedWhenLeft() {
    const auto window = ShowWindow(dir_->path(), {});
    QVERIFY(window);
    MainWindow& w = *window;
    FineSettingsDialog* d = Open(w);
    const QString sep = QString::fromStdString(d->Separator());
    Type(d, "MaxUndoLen", "0");
    QCOMPARE(d->CellText(RowOf("MaxUndoLen")), QString("1000000"));
    Type(d, "OtstupX", "-5");
    QCOMPARE(d->CellText(RowOf("OtstupX")), QString("-5"));
    Type(d, "TextBaseSyst", "37");
    QCOMPARE(d->CellText(RowOf("TextBaseSyst")), QString("16"));
    Type(d, "ExitOnEsc", "да");
    QCOMPARE(d->CellText(RowOf("ExitOnEsc")), QString("True"));
    Type(d, "RememberCurPos", "может");
    QCOMPARE(d->CellText(RowOf("RememberCurPos")), QString("True"));
    Type(d, "CoordColor", "$0000FF");
    QCOMPARE(d->CellText(RowOf("CoordColor")), QString("Красный"));
    Type(d, "LineColor", "Drak blue");
    QCOMPARE(d->CellText(RowOf("LineColor")), QString("Тёмно-синий"));
    Type(d, "HDistance", "1" + sep + "25");
    QCOMPARE(d->CellText(RowOf("HDistance")), "1" + sep + "25");
    Type(d, "CodeInfo", "1111000");
    QCOMPARE(d->CellText(RowOf("CodeInfo")), QString("01100101"));
    Type(d, "TextFont", QString(300, QChar(0x4E2D)));  // any text is a font name
    QCOMPARE(d->CellText(RowOf("TextFont")), QString(300, QChar(0x4E2D)));
    // A section's value is put back when its row is left.
    d->SetCellText(RowOf("ПЕЧАТЬ"), "abc");
    d->Table()->setCurrentCell(RowOf("ПЕЧАТЬ"), 1);
    d->Table()->setCurrentCell(RowOf("NumPages"), 1);
    QCOMPARE(d->CellText(RowOf("ПЕЧАТЬ")), QString("==============="));
    // Selecting another row checks the cell that was current.
    d->SetCellText(RowOf("NumPages"), "Не знаю");
    d->Table()->setCurrentCell(RowOf("LeftMargin"), 1);
    QCOMPARE(d->CellText(RowOf("NumPages")), QString("True"));
    // Enter outside an editor checks the current cell.
    d->SetCellText(RowOf("LeftMargin"), "1e400");
    QTest::keyClick(d->Table(), Qt::Key_Return);
    QCOMPARE(d->CellText(RowOf("LeftMargin")), QString("1"));
    // Nothing is stored before "Готово".
    QCOMPARE(Cfg().OtstupX, 2);
    QVERIFY(!Cfg().ExitOnEsc);
  }

  void doubleClicksFlipAndChoose() {
    ScriptedPrompts* prompts = nullptr;
    const auto window = ShowWindow(dir_->path(), {}, &prompts);
    QVERIFY(window);
    MainWindow& w = *window;
    FineSettingsDialog* d = Open(w);
    DoubleClick(d, "NumPages");
    QCOMPARE(d->CellText(RowOf("NumPages")), QString("False"));
    DoubleClick(d, "NumPages");
    QCOMPARE(d->CellText(RowOf("NumPages")), QString("True"));
    d->SetCellText(RowOf("Bold"), "?");
    DoubleClick(d, "Bold");  // unreadable: left alone
    QCOMPARE(d->CellText(RowOf("Bold")), QString("?"));

    prompts->colour = QColor(0x56, 0x34, 0x12);
    DoubleClick(d, "ChosenTextClr");
    QCOMPARE(prompts->offeredColour, std::optional<QColor>(QColor(0xFF, 0xFB, 0xF0)));
    QCOMPARE(QColorDialog::customColor(0), QColor(0xFF, 0xFB, 0xF0));
    QVERIFY(d->isEnabled());
    QCOMPARE(d->CellText(RowOf("ChosenTextClr")), QString("$123456"));
    prompts->colour.reset();  // cancelled
    DoubleClick(d, "MarginColor");
    QCOMPARE(d->CellText(RowOf("MarginColor")), QString("Светло-серый"));

    d->SetCellText(RowOf("TextSize"), "-13");
    d->SetCellText(RowOf("Italic"), "1");
    d->SetCellText(RowOf("Bold"), "?");  // unreadable: the stored style
    QFont chosen("DejaVu Serif");
    chosen.setPixelSize(20);
    chosen.setBold(true);
    chosen.setUnderline(true);
    prompts->font = chosen;
    DoubleClick(d, "TextFont");
    QVERIFY(prompts->offeredFont);
    QCOMPARE(prompts->offeredFont->family(), QString("MS sans Serif"));
    QCOMPARE(qRound(prompts->offeredFont->pointSizeF() * d->logicalDpiY() / 72), 13);
    QVERIFY(prompts->offeredFont->italic() && !prompts->offeredFont->bold());
    QCOMPARE(d->CellText(RowOf("TextFont")), QString("DejaVu Serif"));
    QCOMPARE(d->CellText(RowOf("TextSize")), QString("-20"));
    QCOMPARE(d->CellText(RowOf("Italic")), QString("False"));
    QCOMPARE(d->CellText(RowOf("Bold")), QString("True"));
    QCOMPARE(d->CellText(RowOf("Underlined")), QString("True"));
    QVERIFY(d->isVisible());
  }

  void systemWordTakesTheMessageFont() {
    QFont messageFont("DejaVu Serif");
    messageFont.setPixelSize(17);
    messageFont.setItalic(true);
    messageFont.setWeight(QFont::DemiBold);
    QApplication::setFont(messageFont, "QMessageBox");
    const auto window = ShowWindow(dir_->path(), {});
    QVERIFY(window);
    MainWindow& w = *window;
    FineSettingsDialog* d = Open(w);
    Type(d, "TextFont", "SYSTEM");
    QCOMPARE(d->CellText(RowOf("TextFont")), QFontInfo(messageFont).family());
    QCOMPARE(d->CellText(RowOf("TextSize")), QString("-17"));
    QCOMPARE(d->CellText(RowOf("Italic")), QString("True"));
    QCOMPARE(d->CellText(RowOf("Bold")), QString("True"));
    QCOMPARE(d->CellText(RowOf("Strikeout")), QString("False"));
    QCOMPARE(Cfg().TextFont, std::string("MS sans Serif"));  // stored only by "Готово"
    d->DoneButton()->click();
    QCOMPARE(Cfg().TextSize, -17);
    QCOMPARE(Cfg().TextStyle, kStyleItalic | kStyleBold);
    QApplication::setFont(QFont(), "QMessageBox");
  }

  void doneStoresAndApplies() {
    QByteArray text;
    for (int i = 0; i < 200; ++i) text += "Строка текста номер " + QByteArray::number(i) + "\r\n";
    const QString path = dir_->filePath("t.txt");
    WriteAll(path, text);
    const auto window = ShowWindow(dir_->path(), path);
    QVERIFY(window);
    MainWindow& w = *window;
    const int widthBefore = w.View()->ViewWidth();
    FineSettingsDialog* d = Open(w);
    Type(d, "SaveOnF2", "1");
    Type(d, "MaxRecentListLen", "9");
    Type(d, "OtstupX", "30");
    Type(d, "Shag", "77");
    d->SetCellText(RowOf("MaxUndoLen"), "abc");  // refused: left unchanged
    // A cell still being edited counts with what it holds.
    d->Table()->editItem(d->Table()->item(RowOf("VScrollStep"), 1));
    for (QLineEdit* e : d->Table()->viewport()->findChildren<QLineEdit*>())
      if (e->isVisible()) e->setText("3");
    d->DoneButton()->click();
    QCOMPARE(Cfg().VScrollStep, 3);
    QVERIFY(!d->isVisible());
    QVERIFY(Cfg().SaveOnF2);
    QCOMPARE(Cfg().MaxUndoLen, 1000000);
    QCOMPARE(Cfg().ShagSaved, 77);
    QCOMPARE(Cfg().Shag, 10000);
    QCOMPARE(w.Actions().minimalMode->shortcut(), QKeySequence("F12"));
    QCOMPARE(int(w.State().recent.size()), 9);
    QCOMPARE(Cfg().EffOtstupX, 30);
    QCOMPARE(w.View()->ViewWidth(), widthBefore - 56);  // relaid out with the new margins
    // Back to F2, and a shorter recent list.
    d = Open(w);
    Type(d, "SaveOnF2", "Нет");
    Type(d, "MaxRecentListLen", "2");
    d->DoneButton()->click();
    QCOMPARE(w.Actions().minimalMode->shortcut(), QKeySequence("F2"));
    QCOMPARE(int(w.State().recent.size()), 2);
  }

  void doneRefreshesTheHexView() {
    const QString path = dir_->filePath("b.bin");
    WriteAll(path, QByteArray(300, '\x41'));
    const auto window = ShowWindow(dir_->path(), path);
    QVERIFY(window);
    MainWindow& w = *window;
    w.KeyDown(Qt::Key_F6, Qt::NoModifier);
    auto* hex = dynamic_cast<HexView*>(w.View());
    QVERIFY(hex && w.GetDataWindow());
    const int widthBefore = hex->GetDocumentWidth();
    FineSettingsDialog* d = Open(w);
    Type(d, "LineWidth", "5");
    Type(d, "CodeInfo", "11111111");
    Type(d, "TextBaseSyst", "2");
    d->DoneButton()->click();
    QVERIFY(hex->LinePixels > 10);
    QCOMPARE(w.GetDataWindow()->Tags().size(), size_t(9));
    QCOMPARE(hex->CodeText(0x41), std::string("01000001"));
    QVERIFY(hex->GetDocumentWidth() > widthBefore);
  }

  // The data window keeps working through "Готово": its fields stay shown
  // with the values at the cursor, with or without a change of its rows,
  // and a value typed into one of them is still written.
  void theDataWindowKeepsItsFieldsThroughDone() {
    const QString path = dir_->filePath("d.bin");
    WriteAll(path, QByteArray(300, '\x41'));
    const auto window = ShowWindow(dir_->path(), path);
    QVERIFY(window);
    MainWindow& w = *window;
    w.KeyDown(Qt::Key_F6, Qt::NoModifier);
    auto* hex = dynamic_cast<HexView*>(w.View());
    QVERIFY(hex && w.GetDataWindow());
    QVERIFY(QTest::qWaitForWindowExposed(w.GetDataWindow()));
    auto fieldsShown = [&w] {
      for (EntryField* e : w.GetDataWindow()->DataEdits())
        if (!e->isVisible() || e->text().isEmpty()) return false;
      return !w.GetDataWindow()->DataEdits().empty();
    };
    QVERIFY(fieldsShown());
    const std::vector<EntryField*> before = w.GetDataWindow()->DataEdits();
    FineSettingsDialog* d = Open(w);
    d->DoneButton()->click();
    QVERIFY(fieldsShown());
    QCOMPARE(w.GetDataWindow()->DataEdits(), before);  // nothing changed: the same fields
    d = Open(w);
    Type(d, "CodeInfo", "11111111");
    d->DoneButton()->click();
    QCOMPARE(w.GetDataWindow()->Tags().size(), size_t(9));
    QVERIFY(fieldsShown());
    // Row 1 is the unsigned byte: 0x42 typed there lands at the cursor.
    EntryField* byte = w.GetDataWindow()->DataEdits()[1];
    byte->setText("66");
    QTest::keyClick(byte, Qt::Key_Return);
    QCOMPARE(hex->Data()[0], uint8_t{0x42});
  }

  // Chosen with the mouse, the table opens with its frame's top at the
  // pointer; chosen with the keys, wherever the pointer is, centred over the
  // main window and on the screen. It is placed before it is shown, as the
  // desktop frames a window around the place it is given then (a window
  // moved once shown is placed by its inside).
  void theTableIsPlacedBeforeItShows() {
    const auto window = ShowWindow(dir_->path(), {});
    QVERIFY(window);
    MainWindow& w = *window;
    struct ShowWatch : QObject {
      std::optional<QPoint> at;
      bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Show && qobject_cast<FineSettingsDialog*>(o) && !at)
          at = static_cast<QWidget*>(o)->pos();
        return false;
      }
    } watch;
    qApp->installEventFilter(&watch);
    const QRect screen = w.screen()->availableGeometry();
    w.move(screen.topLeft());  // the table fits below the menu
    QMenuBar* bar = w.menuBar();
    QMenu* extra = w.Menus().extra;
    for (int time = 0; time < 2; ++time) {  // the first showing and a later one
      watch.at.reset();
      QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(extra->menuAction()).center());
      QTRY_VERIFY(extra->isVisible());
      const QPoint item = extra->actionGeometry(w.Actions().fineSettings).center();
      const QPoint pointer = extra->mapToGlobal(item);
      QCursor::setPos(pointer);
      QTRY_COMPARE(QCursor::pos(), pointer);
      QTest::mouseClick(extra, Qt::LeftButton, {}, item);
      FineSettingsDialog* d = w.GetFineSettingsDialog();
      QTRY_VERIFY(d && d->isVisible());
      QVERIFY(watch.at);
      QCOMPARE(*watch.at, d->pos());
      QCOMPARE(d->frameGeometry().top(), pointer.y());
      const QRect frame = d->frameGeometry();
      QVERIFY(qAbs(frame.center().x() - pointer.x()) <= 1 || frame.left() == screen.left() ||
              frame.right() == screen.right());
      d->CancelButton()->click();
    }
    // The keys, with the pointer low on the screen, where the tall table
    // would not fit below it nor above it.
    w.move(screen.left() + 20, screen.top() + 20);
    QCursor::setPos(screen.left() + 1, screen.bottom() - 1);
    QTRY_COMPARE(QCursor::pos(), QPoint(screen.left() + 1, screen.bottom() - 1));
    watch.at.reset();
    w.Actions().fineSettings->trigger();
    FineSettingsDialog* d = w.GetFineSettingsDialog();
    QVERIFY(d->isVisible());
    QCOMPARE(*watch.at, d->pos());
    const QRect frame = d->frameGeometry();
    QVERIFY(screen.contains(frame));
    const QPoint offCentre = frame.center() - w.frameGeometry().center();
    // Centred unless that would leave the screen.
    QVERIFY(qAbs(offCentre.x()) <= 1 || frame.left() == screen.left() ||
            frame.right() == screen.right());
    QVERIFY(qAbs(offCentre.y()) <= 1 || frame.top() == screen.top() ||
            frame.bottom() == screen.bottom());
    qApp->removeEventFilter(&watch);
  }

  void cancelAndEscapeStoreNothing() {
    const auto window = ShowWindow(dir_->path(), {});
    QVERIFY(window);
    MainWindow& w = *window;
    const Settings before = Cfg();
    const QByteArray dataBefore = ReadAll(dir_->filePath("data.dat"));
    FineSettingsDialog* d = Open(w);
    Type(d, "OtstupY", "40");
    Type(d, "ExitOnEsc", "Да");
    d->CancelButton()->click();
    QVERIFY(!d->isVisible());
    QVERIFY(SameSettings(Cfg(), before));
    d = Open(w);
    QCOMPARE(d->CellText(RowOf("OtstupY")), QString("2"));  // refilled from the record
    Type(d, "OtstupY", "40");
    QTest::keyClick(d, Qt::Key_Escape);
    QVERIFY(!d->isVisible());
    QVERIFY(SameSettings(Cfg(), before));
    d = Open(w);
    d->close();  // the title bar's close button
    QVERIFY(!d->isVisible());
    QVERIFY(SameSettings(Cfg(), before));
    QCOMPARE(ReadAll(dir_->filePath("data.dat")), dataBefore);
  }

  void losingActivationHidesUnlessAChooserIsOpen() {
    ScriptedPrompts* prompts = nullptr;
    const auto window = ShowWindow(dir_->path(), {}, &prompts);
    QVERIFY(window);
    MainWindow& w = *window;
    FineSettingsDialog* d = Open(w);
    // The colour dialog takes the activation: the window stays.
    prompts->colour = QColor(Qt::green);
    prompts->whileChoosing = [&w] {
      w.activateWindow();
      QTest::qWait(50);
    };
    DoubleClick(d, "TextColor");
    QVERIFY(d->isVisible());
    QCOMPARE(d->CellText(RowOf("TextColor")), QString("Светло-зелёный"));
    // Another window taking it hides the window without storing.
    Type(d, "OtstupY", "40");
    w.activateWindow();
    QTRY_VERIFY(!d->isVisible());
    QCOMPARE(Cfg().OtstupY, 2);
    QCOMPARE(Cfg().TextColor, Color{0});
  }

  void stayOnTopIsGivenUpWhileShown() {
    const auto window = ShowWindow(dir_->path(), {});
    QVERIFY(window);
    MainWindow& w = *window;
    w.ToggleStayOnTop();
    QVERIFY(w.windowFlags() & Qt::WindowStaysOnTopHint);
    FineSettingsDialog* d = Open(w);
    QVERIFY(!(w.windowFlags() & Qt::WindowStaysOnTopHint));
    d->CancelButton()->click();
    QVERIFY(w.windowFlags() & Qt::WindowStaysOnTopHint);
    Open(w)->DoneButton()->click();
    QVERIFY(w.windowFlags() & Qt::WindowStaysOnTopHint);
  }

  void restartShowsTheStoredValues() {
    {
      const auto window = ShowWindow(dir_->path(), {});
      QVERIFY(window);
      MainWindow& w = *window;
      FineSettingsDialog* d = Open(w);
      Type(d, "HScrollStep", "$10");
      Type(d, "ChosenTextClr", "Зелёный");
      Type(d, "PageFracture", "0" + QString::fromStdString(d->Separator()) + "5");
      Type(d, "CutOnCtrl+Del", "Так");
      Type(d, "Shag", "500");
      d->DoneButton()->click();
    }  // the window goes without "Выход", as a killed program would
    Cfg() = Settings{};
    const auto window = ShowWindow(dir_->path(), {});
    QVERIFY(window);
    MainWindow& w = *window;
    FineSettingsDialog* d = Open(w);
    const QString sep = QString::fromStdString(d->Separator());
    QCOMPARE(d->CellText(RowOf("HScrollStep")), QString("16"));
    QCOMPARE(d->CellText(RowOf("ChosenTextClr")), QString("Зелёный"));
    QCOMPARE(d->CellText(RowOf("PageFracture")), "0" + sep + "5");
    QCOMPARE(d->CellText(RowOf("CutOnCtrl+Del")), QString("True"));
    QCOMPARE(d->CellText(RowOf("Shag")), QString("500"));
    QCOMPARE(Cfg().Shag, 500);  // in effect from this start
  }

  // The ends of every range, stored and applied, leave both views working.
  void rangeEndsKeepTheViewsWorking() {
    QByteArray text;
    for (int i = 0; i < 300; ++i)
      text += "Слово и ещё одно слово, строка " + QByteArray::number(i) + "\r\n";
    const QString path = dir_->filePath("t.txt");
    WriteAll(path, text);
    const auto window = ShowWindow(dir_->path(), path);
    QVERIFY(window);
    MainWindow& w = *window;
    for (bool high : {true, false}) {
      for (int kind : {1, 2}) {
        if (w.ViewKind() != kind) w.KeyDown(Qt::Key_F6, Qt::NoModifier);
        FineSettingsDialog* d = Open(w);
        for (int r = 0; r < d->Table()->rowCount(); ++r) {
          const SettingRow& row = FineSettingRows()[r];
          if (row.kind != SettingKind::kInt && row.kind != SettingKind::kReal) continue;
          if (std::string(row.key) == "MaxUndoLen") continue;  // a tiny budget only drops undo
          const double v = high ? row.max : row.min;
          d->SetCellText(r, QString::fromStdString(row.kind == SettingKind::kInt
                                                       ? std::to_string(static_cast<int64_t>(v))
                                                       : RealToText(v, d->Separator())));
        }
        d->DoneButton()->click();
        for (int key : {Qt::Key_End, Qt::Key_PageDown, Qt::Key_Right, Qt::Key_Down, Qt::Key_Home,
                        Qt::Key_PageUp, Qt::Key_Left, Qt::Key_Up})
          w.KeyDown(key, Qt::NoModifier);
        w.KeyDown(Qt::Key_End, Qt::ControlModifier);
        w.KeyPress('1');
        w.resize(500, 300);
        w.resize(800, 600);
        w.Redraw();
        QVERIFY(w.View());
        // The message box lays itself out with the extreme dialog settings.
        MessageBox box(&w, "ПРЕДУПРЕЖДЕНИЕ", "Текст сообщения", {"Да", "Нет", "Отмена"});
        QVERIFY(box.width() > 0);
      }
    }
  }
};

QTEST_MAIN(FineSettingsTest)
#include "fine_settings_test.moc"
