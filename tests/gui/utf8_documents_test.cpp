// UTF-8 documents in the real window: typed characters of any script saved
// as their bytes, bytes of no character kept through edits, the clipboard
// both ways, search ignoring case in Cyrillic, F6 to the hex view and back,
// document information and the recode into Windows.
#include <QApplication>
#include <QClipboard>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>

#include "encodings/encoding_catalogue.h"
#include "gui_files.h"
#include "main_window.h"
#include "message_box.h"
#include "scripted_prompts.h"
#include "settings/settings.h"
#include "shown_window.h"
#include "views/hex_view.h"
#include "views/text_view.h"
#include "window_reading.h"

using namespace prambus;

class Utf8DocumentsTest : public QObject {
  Q_OBJECT
  std::optional<QTemporaryDir> dir_;
  QString Path(const QString& name) const { return dir_->filePath(name); }

  std::unique_ptr<MainWindow> OpenAsUtf8(const QString& name, const QByteArray& bytes) {
    WriteAll(Path(name), bytes);
    auto w = ShowWindow(dir_->path(), Path(name));
    if (w) EncodingItem(*w, "UTF-8")->trigger();
    return w;
  }
  // Text as a keyboard or an input method hands it over: one event.
  static void TypeText(QWidget* w, const QString& text) {
    QTest::sendKeyEvent(QTest::Press, w, Qt::Key_unknown, text, Qt::NoModifier);
    QTest::sendKeyEvent(QTest::Release, w, Qt::Key_unknown, text, Qt::NoModifier);
  }

 private slots:
  void init() {
    Cfg() = Settings{};
    dir_.emplace();
  }

  // UTF-8 is one of the catalogue's encodings: a file detected as UTF-8
  // opens as characters, the status bar names it and counts its column in
  // characters, F8 leaves it for the 8-bit view and comes round to it again.
  void aDetectedFileOpensAsUtf8AndF8WalksOnFromIt() {
    const QByteArray russian =
        QByteArray("Съешь же ещё этих мягких французских булок.\n").repeated(4);
    WriteAll(Path("r.txt"), russian);
    auto w = ShowWindow(dir_->path(), Path("r.txt"));
    QVERIFY(w && w->EnsureWholeDocument());
    QVERIFY(w->ViewShowsUtf8());
    QCOMPARE(CheckedEncodings(*w), QStringList{"UTF-8"});
    QCOMPARE(w->StatusPanelText(5), QString("Кодировка - UTF-8"));
    QWidget* s = w->centralWidget();
    for (int i = 0; i < 3; ++i) QTest::keyClick(s, Qt::Key_Right);
    QCOMPARE(w->View()->CursorColumn(), 6);
    QCOMPARE(w->StatusPanelText(0), QString("1 : 4"));
    // Both ends of a selection are counted in characters.
    for (int i = 0; i < 2; ++i) QTest::keyClick(s, Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(w->StatusPanelText(0), QString("1 : 6"));
    QCOMPARE(w->StatusPanelText(1), QString("1 : 4"));
    for (int i = 0; i < 2; ++i) QTest::keyClick(s, Qt::Key_Left, Qt::ShiftModifier);
    QVERIFY(!w->View()->HasSelection());
    QTest::keyClick(s, Qt::Key_F8);
    QVERIFY(!w->ViewShowsUtf8());
    QCOMPARE(CheckedEncodings(*w), QStringList{"Windows"});
    QCOMPARE(w->StatusPanelText(5), QString("Кодировка - Windows"));
    QCOMPARE(w->StatusPanelText(0), QString("1 : 7"));  // a byte is a character
    QCOMPARE(QByteArray::fromStdString(DocumentText(w->View())), russian);
    for (const char* next : {"DOS", "KOI8-R", "KOI8-U", "ISO-8859-5", "Mac Cyrillic", "UTF-8"}) {
      QTest::keyClick(s, Qt::Key_F8);
      QCOMPARE(CheckedEncodings(*w), QStringList{next});
    }
    QVERIFY(w->ViewShowsUtf8());
    QCOMPARE(w->StatusPanelText(0), QString("1 : 4"));
    TypeText(s, "ё");
    QVERIFY(w->Save());
    QCOMPARE(ReadAll(Path("r.txt")), "Съеё" + russian.mid(6));
  }

  // What the user chose for a file comes back with it: a recent entry or a
  // pinned record naming UTF-8 shows a plain ASCII file (which detection
  // leaves alone) as characters. A file with no choice of its own opens in
  // the table the files before it had.
  void recentAndPinnedRecordsShowAFileAsUtf8() {
    WriteAll(Path("a.txt"), "plain ascii\n");
    WriteAll(Path("b.txt"), "other\n");
    auto w = ShowWindow(dir_->path(), Path("a.txt"));
    QVERIFY(w);
    QCOMPARE(CheckedEncodings(*w), QStringList{"Windows"});
    EncodingItem(*w, "UTF-8")->trigger();
    QVERIFY(w->ViewShowsUtf8());
    ScriptedPrompts& prompts = ScriptedPrompts::InstallOn(*w);
    prompts.openNames = {Path("b.txt")};
    w->OpenWithDialog();
    QCOMPARE(w->FileName(), Path("b.txt"));
    QCOMPARE(CheckedEncodings(*w), QStringList{"Windows"});
    QVERIFY(!w->ViewShowsUtf8());
    w->OpenRecentItem(0);
    QCOMPARE(w->FileName(), Path("a.txt"));
    QCOMPARE(CheckedEncodings(*w), QStringList{"UTF-8"});
    QVERIFY(w->ViewShowsUtf8());

    WindowAppearance pinned = w->State().defaults;
    pinned.path = Path("c.txt").toStdString();
    pinned.encodingId = std::string(encoding_id::kUtf8);
    w->State().pinned = {pinned};
    WriteAll(Path("c.txt"), "x\xD0\n");
    QVERIFY(w->OpenPath(Path("c.txt").toStdString()));
    QVERIFY(w->EnsureWholeDocument());
    QCOMPARE(CheckedEncodings(*w), QStringList{"UTF-8"});
    QVERIFY(w->ViewShowsUtf8());
    QCOMPARE(w->StatusPanelText(5), QString("Кодировка - UTF-8"));
  }

  void typedRussianAndAnEmojiAreSavedAsUtf8() {
    auto w = OpenAsUtf8("t.txt", "ab\n");
    QVERIFY(w);
    QWidget* s = w->centralWidget();
    QTest::keyClick(s, Qt::Key_Right);
    TypeText(s, "Привет");
    TypeText(s, "😀");
    QTest::keyClick(s, Qt::Key_Right);
    QTest::keyClick(s, Qt::Key_Backspace);  // b
    QTest::keyClick(s, Qt::Key_Left);
    QTest::keyClick(s, Qt::Key_Backspace);  // т
    QVERIFY(w->Save());
    QCOMPARE(ReadAll(Path("t.txt")), QByteArray("aПриве😀\n"));
    w->Undo();
    w->Undo();
    QVERIFY(w->Save());
    QCOMPARE(ReadAll(Path("t.txt")), QByteArray("aПривет😀b\n"));
  }

  void bytesOfNoCharacterStayThroughEditsElsewhere() {
    static const char kBroken[] = "x\x80y \xC0\xAF \xED\xA0\x80 \xF0\x9F\x98\nend \xE4\xB8";
    const QByteArray broken(kBroken, sizeof kBroken - 1);
    auto w = OpenAsUtf8("b.txt", broken);
    QVERIFY(w);
    QWidget* s = w->centralWidget();
    QTest::keyClick(s, Qt::Key_End, Qt::ControlModifier);
    TypeText(s, "ё");
    QTest::keyClick(s, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(s, Qt::Key_Delete);  // x
    QVERIFY(w->Save());
    QCOMPARE(ReadAll(Path("b.txt")), broken.mid(1) + "ё");
    // Each byte of no character is a step of its own for the caret.
    QTest::keyClick(s, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(s, Qt::Key_Right);
    QCOMPARE(w->View()->CursorColumn(), 1);
  }

  // A byte of no character shows as a mark of one cell: the cell after it,
  // a space, stays clear.
  void theSubstituteMarkKeepsToItsCell() {
    auto w = OpenAsUtf8("m.txt", "x\x80 x");
    QVERIFY(w);
    ViewBase* v = w->View();
    auto cellX = [&](int col) {
      v->SetPosition(col, 0, true);
      return v->GetCaretPoint().x;
    };
    const int mark = cellX(1), space = cellX(2), next = cellX(3);
    QVERIFY(mark < space && space < next);
    QTest::keyClick(w->centralWidget(), Qt::Key_Home);  // no selection drawn
    if (w->CaretShown()) w->ToggleCaret();
    const QImage& image = w->Surface();
    auto inkIn = [&](int from, int to) {
      for (int x = from; x < to; ++x)
        for (int y = Cfg().EffOtstupY; y < Cfg().EffOtstupY + v->LineHeight(); ++y)
          if (qGray(image.pixel(x, y)) < 140) return true;
      return false;
    };
    QVERIFY(inkIn(mark, space));
    QVERIFY(!inkIn(space, next));
  }

  // Bytes of no character copied and pasted within the program stay the
  // bytes; other programs are given U+FFFD for them.
  void bytesOfNoCharacterSurviveCopyAndPaste() {
    auto w = OpenAsUtf8("p.txt", "a\x80\xE4\xB8 б");
    QVERIFY(w);
    QWidget* s = w->centralWidget();
    QTest::keyClick(s, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(s, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QString("a\uFFFD\uFFFD\uFFFD б"));
    QTest::keyClick(s, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(s, Qt::Key_V, Qt::ControlModifier);
    QVERIFY(w->Save());
    QCOMPARE(ReadAll(Path("p.txt")), QByteArray("a\x80\xE4\xB8 б"
                                                "a\x80\xE4\xB8 б"));
  }

  void clipboardCarriesUtf8BothWays() {
    auto w = OpenAsUtf8("c.txt", "naïve café — 日本 😀 Ωμέγα");
    QVERIFY(w);
    QWidget* s = w->centralWidget();
    QTest::keyClick(s, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(s, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QString("naïve café — 日本 😀 Ωμέγα"));
    QApplication::clipboard()->setText("Ж中🙂");
    QTest::keyClick(s, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(s, Qt::Key_V, Qt::ControlModifier);
    QVERIFY(w->Save());
    QCOMPARE(ReadAll(Path("c.txt")),
             QByteArray("naïve café — 日本 😀 ΩμέγαЖ中🙂"));
  }

  void searchIgnoresCaseInCyrillicAndTheColumnCountsCharacters() {
    auto w = OpenAsUtf8("f.txt", "Жили-были ДЕД и баба");
    QVERIFY(w);
    w->FindWith(w->ToDocumentText("дед"), false, false);
    QCOMPARE(w->View()->GetSelectedText(), std::string("ДЕД"));
    const auto* text = dynamic_cast<const TextView*>(w->View());
    QVERIFY(text);
    const int cursor = std::min(w->View()->CursorColumn(), w->View()->AnchorColumn());
    QCOMPARE(text->CharColumn(0, cursor), 10);
    w->FindWith(w->ToDocumentText("ДЕД"), true, false);
    QCOMPARE(w->View()->GetSelectedText(), std::string("ДЕД"));
  }

  void f6ShowsTheSameBytesAndComesBackAsUtf8() {
    auto w = OpenAsUtf8("h.txt", "дом 中\x80");
    QVERIFY(w);
    QWidget* s = w->centralWidget();
    QTest::keyClick(s, Qt::Key_Right);
    w->KeyDown(Qt::Key_F6, Qt::NoModifier);
    auto* hex = dynamic_cast<HexView*>(w->View());
    QVERIFY(hex);
    QVERIFY(hex->ShowUtf8);
    QCOMPARE(hex->GetTextLength(), int64_t(11));
    w->KeyDown(Qt::Key_F6, Qt::NoModifier);
    auto* text = dynamic_cast<TextView*>(w->View());
    QVERIFY(text);
    QVERIFY(text->Utf8());
    QCOMPARE(CheckedEncodings(*w), QStringList{"UTF-8"});
    QCOMPARE(text->CursorColumn(), 2);  // still after д
    QTest::keyClick(s, Qt::Key_Right);
    QCOMPARE(text->CursorColumn(), 4);
    QVERIFY(w->Save());
    QCOMPARE(ReadAll(Path("h.txt")), QByteArray("дом 中\x80"));
    // A table chosen again shows every byte as a character of its own.
    EncodingItem(*w, "Windows")->trigger();
    QVERIFY(!w->ShowsUtf8());
    QCOMPARE(CheckedEncodings(*w), QStringList{"Windows"});
    QVERIFY(!text->Utf8());
    QCOMPARE(text->GetRow(0).size(), size_t(11));
    QVERIFY(w->Save());
    QCOMPARE(ReadAll(Path("h.txt")), QByteArray("дом 中\x80"));
  }

  // Ctrl+I counts bytes and characters, the cursor's column in characters;
  // the recode into Windows asks before it loses what Windows has no code for.
  void documentInfoCountsCharactersAndRecodeAsksBeforeLosingThem() {
    const QByteArray bytes("ёж 日本\x80");
    auto w = OpenAsUtf8("i.txt", bytes);
    QVERIFY(w);
    QWidget* s = w->centralWidget();
    QTest::keyClick(s, Qt::Key_Right);
    QTest::keyClick(s, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(s, Qt::Key_I, Qt::ControlModifier);
    MessageBox* box = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
      if (auto* b = qobject_cast<MessageBox*>(top); b && b->isVisible()) box = b;
    QVERIFY(box);
    const QString info = box->Text();
    delete box;
    QVERIFY(info.contains("Он занимает 12 б.\nСимволов UTF-8 в нём: 6.\n"));
    QVERIFY(info.contains("Координаты курсора: 1-я строчка, 2-я позиция."));
    QVERIFY(info.contains("В целом это --- 2-я позиция в тексте."));  // characters, not bytes
    QVERIFY(info.endsWith("Выделено 2 б. текста, символов: 1"));

    ScriptedPrompts& prompts = ScriptedPrompts::InstallOn(*w);
    prompts.recode = [](RecodeDialog&) { return 1; };  // UTF-8 into Windows, as offered
    prompts.answers = {1000};                          // "Отмена"
    w->RecodeCommand();
    QCOMPARE(prompts.questions.size(), 1);
    QVERIFY(prompts.questions[0].startsWith("Перекодировка: "));
    QCOMPARE(QByteArray::fromStdString(DocumentText(w->View())), bytes);
  }
};

QTEST_MAIN(Utf8DocumentsTest)
#include "utf8_documents_test.moc"
