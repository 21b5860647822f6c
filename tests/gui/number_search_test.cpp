// Looking for a number in the hex view's find window: integers of every
// width and both orders, floats, the codes' base, refusals, F3 going on,
// and the choice offered in the hex view only.
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>
#include <optional>

#include "find_dialog.h"
#include "gui_files.h"
#include "main_window.h"
#include "settings/settings.h"
#include "shown_window.h"
#include "views/hex_view.h"

using namespace prambus;

namespace {
template <class T>
QByteArray BytesOf(T v, bool bigEndian = false) {
  QByteArray b(sizeof v, '\0');
  std::memcpy(b.data(), &v, sizeof v);
  if (bigEndian) std::reverse(b.begin(), b.end());
  return b;
}
}  // namespace

class NumberSearchTest : public QObject {
  Q_OBJECT
  std::optional<QTemporaryDir> dir_;
  ScriptedPrompts* prompts_ = nullptr;
  QByteArray file_;
  int littleAt_ = 0, bigAt_ = 0, secondAt_ = 0, floatAt_ = 0, zeroAt_ = 0, shortAt_ = 0;

  std::unique_ptr<MainWindow> OpenInHex() {
    WriteAll(dir_->filePath("data.bin"), file_);
    auto w = ShowWindow(dir_->path(), dir_->filePath("data.bin"), &prompts_);
    if (w) w->Actions().viewKinds[1]->trigger();
    return w;
  }
  // The find window set to look for a number of this type and order.
  static FindDialog* NumberWindow(MainWindow& w, NumberType type, bool bigEndian) {
    QTest::keyClick(w.centralWidget(), Qt::Key_F, Qt::ControlModifier);
    FindDialog* f = w.GetFindDialog();
    f->numberCheck->setChecked(true);
    f->typeBox->setCurrentIndex(static_cast<int>(type));
    f->orderBox->setCurrentIndex(bigEndian ? 1 : 0);
    return f;
  }
  static void Find(FindDialog* f, const QString& value) {
    f->phraseEdit->setText(value);
    QTest::keyClick(f->phraseEdit, Qt::Key_Return);
  }
  static std::pair<int, int> Match(MainWindow& w) {
    auto& hex = dynamic_cast<HexView&>(*w.View());
    return {hex.CursorOffset(), hex.AnchorOffset()};
  }

 private slots:
  void initTestCase() {
    file_ = "head";
    littleAt_ = file_.size();
    file_ += BytesOf<int32_t>(-2) + "..";
    bigAt_ = file_.size();
    file_ += BytesOf<int32_t>(-2, true) + "..";
    secondAt_ = file_.size();
    file_ += BytesOf<int32_t>(-2) + "..";
    floatAt_ = file_.size();
    file_ += BytesOf<float>(1.5f) + "..";
    zeroAt_ = file_.size();
    file_ += BytesOf<double>(-0.0) + "..";
    shortAt_ = file_.size();
    file_ += BytesOf<uint16_t>(0xBEEF) + "tail";
  }
  void init() {
    Cfg() = Settings{};
    dir_.emplace();
  }

  void aNumberIsFoundByItsBytesAndF3GoesOn() {
    auto w = OpenInHex();
    QVERIFY(w);
    FindDialog* f = NumberWindow(*w, NumberType::kS32, false);
    QCOMPARE(f->phraseLabel->text(), QString("Число для поиска"));
    QVERIFY(!f->caseCheck->isEnabled());
    Find(f, "-2");
    QCOMPARE(Match(*w), std::make_pair(littleAt_, littleAt_ + 4));  // selected as a byte run
    Find(f, "-2");  // the same number again: the next one
    QCOMPARE(Match(*w), std::make_pair(secondAt_, secondAt_ + 4));
    w->KeyDown(Qt::Key_F3, Qt::NoModifier);  // no more: the selection stays
    QCOMPARE(Match(*w), std::make_pair(secondAt_, secondAt_ + 4));
    QCOMPARE(prompts_->notes,
             QStringList{"Я завершил поиск числа -2 (32 бита (±), от младшего байта). Ничего не "
                         "найдено."});
    // Big-endian, from the top again since the bytes differ.
    f->orderBox->setCurrentIndex(1);
    Find(f, "-2");
    QCOMPARE(Match(*w), std::make_pair(bigAt_, bigAt_ + 4));
    // Floats with a comma, and minus zero as its own bytes.
    f->orderBox->setCurrentIndex(0);
    f->typeBox->setCurrentIndex(static_cast<int>(NumberType::kFloat));
    Find(f, "1,5");
    QCOMPARE(Match(*w), std::make_pair(floatAt_, floatAt_ + 4));
    f->typeBox->setCurrentIndex(static_cast<int>(NumberType::kDouble));
    Find(f, "-0");
    QCOMPARE(Match(*w), std::make_pair(zeroAt_, zeroAt_ + 8));
    // An integer in the codes' base.
    f->typeBox->setCurrentIndex(static_cast<int>(NumberType::kU16));
    QVERIFY(!f->codesBaseCheck->isHidden());
    QCOMPARE(f->codesBaseCheck->text(), QString("Целое число в системе счисления кодов (16)"));
    f->codesBaseCheck->setChecked(true);
    Find(f, "beef");
    QCOMPARE(Match(*w), std::make_pair(shortAt_, shortAt_ + 2));
    // F3 goes on with the number after the window is closed.
    QTest::keyClick(f->phraseEdit, Qt::Key_Escape);
    w->View()->SetPosition(0, 0, true);
    w->View()->SetPosition(0, 0, false);
    w->KeyDown(Qt::Key_F3, Qt::NoModifier);
    QCOMPARE(Match(*w), std::make_pair(shortAt_, shortAt_ + 2));
  }

  // The same number again goes on from its match only in the document that
  // search left: after an edit it starts afresh from the top.
  void theSameNumberAfterAnEditStartsAfresh() {
    auto w = OpenInHex();
    QVERIFY(w);
    FindDialog* f = NumberWindow(*w, NumberType::kS32, false);
    Find(f, "-2");
    QCOMPARE(Match(*w), std::make_pair(littleAt_, littleAt_ + 4));
    QTest::keyClick(w->centralWidget(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(w->centralWidget(), "41");
    QVERIFY(w->Modified());
    Find(f, "-2");
    QCOMPARE(Match(*w), std::make_pair(littleAt_, littleAt_ + 4));
    prompts_->answers = {1001};  // "Нет" should the close ask
  }

  void whatIsNoNumberOfTheTypeIsRefused() {
    auto w = OpenInHex();
    QVERIFY(w);
    FindDialog* f = NumberWindow(*w, NumberType::kU8, false);
    Find(f, "300");
    Find(f, "abc");
    f->typeBox->setCurrentIndex(static_cast<int>(NumberType::kDouble));
    QVERIFY(!f->codesBaseCheck->isEnabled());  // floats are decimal
    Find(f, "NaN");
    QCOMPARE(prompts_->notes.size(), 3);
    QCOMPARE(prompts_->notes[0],
             QString("Число «300» не помещается в «8 бит (+)»: там числа от 0 до 255."));
    QVERIFY(prompts_->notes[1].startsWith("Я не понимаю «abc»: это не целое число"));
    QVERIFY(prompts_->notes[2].startsWith("NaN (не-число) я не ищу"));
    QCOMPARE(Match(*w), std::make_pair(0, 0));  // nothing moved
    QVERIFY(!w->Actions().findNext->isEnabled());
  }

  void theChoiceIsOfferedInTheHexViewOnly() {
    WriteAll(dir_->filePath("a.txt"), "one two one");
    auto w = ShowWindow(dir_->path(), dir_->filePath("a.txt"), &prompts_);
    QVERIFY(w);
    QTest::keyClick(w->centralWidget(), Qt::Key_F, Qt::ControlModifier);
    FindDialog* f = w->GetFindDialog();
    QVERIFY(f->numberCheck->isHidden());
    QVERIFY(!f->SearchesNumber());
    const int textHeight = f->height();
    QTest::keyClick(w->centralWidget(), Qt::Key_F6);  // the window follows the switch
    QVERIFY(!f->numberCheck->isHidden());
    f->numberCheck->setChecked(true);
    QVERIFY(!f->typeBox->isHidden());
    f->typeBox->setCurrentIndex(static_cast<int>(NumberType::kU8));
    Find(f, "111");  // the byte 'o'
    QCOMPARE(Match(*w), std::make_pair(0, 1));
    QTest::keyClick(w->centralWidget(), Qt::Key_F6);
    QVERIFY(f->numberCheck->isHidden());
    QVERIFY(f->typeBox->isHidden());
    QTRY_COMPARE(f->height(), textHeight);
    // F3 after a number search in the text view says where numbers are found.
    w->KeyDown(Qt::Key_F3, Qt::NoModifier);
    QCOMPARE(prompts_->notes,
             QStringList{"Числа я ищу только в hex-редакторе: переключитесь в него клавишей F6."});
    // A phrase is looked for as before.
    Find(f, "two");
    QCOMPARE(w->View()->CursorColumn(), 4);
  }
};

QTEST_MAIN(NumberSearchTest)
#include "number_search_test.moc"
