// The numbered callbacks plug-ins receive, on a real text view: argument
// checks, the (length, buffer) rule, editing with and without undo, the
// passes over the lines, and refusal outside a plug-in call.
#include "extensions/plugin_callbacks.h"

#include <sys/mman.h>

#include <csignal>
#include <cstring>
#include <thread>

#include "extensions/virtual_keys.h"
#include "io/memory_room.h"
#include "support/text_view_fixture.h"

namespace prambus {
namespace {

class FakeWindow : public ExtensionWindow {
 public:
  explicit FakeWindow(ViewBase* view) : view(view) {}
  ViewBase* CurrentView() override { return view; }
  int CurrentViewKind() const override { return 1; }
  bool WholeDocument() override {
    ++gateCalls;
    return whole;
  }
  bool PressKey(int vk, uint8_t state) override {
    keys.push_back({vk, state});
    return true;
  }
  bool TypeCharacter(uint8_t ch) override {
    typed += static_cast<char>(ch);
    return true;
  }
  void Relayout() override { ++relayouts; }
  bool OpenFile(const std::string& path) override {
    opened = path;
    return true;
  }
  bool SaveFile(const std::string& path) override {
    saved.push_back(path);
    return true;
  }
  std::string FileName() const override { return fileName; }
  void BeforeViewChange() override { ++changes; }
  void AfterCursorMove() override { ++moves; }
  void AfterEdit() override { ++edits; }

  ViewBase* view;
  std::vector<std::pair<int, uint8_t>> keys;
  std::string typed, opened, fileName = "/home/u/doc.txt";
  std::vector<std::string> saved;
  int relayouts = 0, changes = 0, moves = 0, edits = 0, gateCalls = 0;
  bool whole = true;  // whether the document can be made whole (no load, or it ended)
};

template <typename Fn>
Fn Get(int number) {
  prambus_function f = nullptr;
  EXPECT_EQ(PluginGetFunction()(number, &f), 1) << number;
  return reinterpret_cast<Fn>(f);
}

class PluginCallbacksTest : public TextViewTest {
 protected:
  void SetUp() override {
    TextViewTest::SetUp();
    window = std::make_unique<FakeWindow>(view.get());
  }
  std::unique_ptr<FakeWindow> window;
};

// Numbers 0 to 17; the last tells the interface's version, during a call.
TEST_F(PluginCallbacksTest, GetFunctionHandsOutEighteenNumbers) {
  prambus_function f = nullptr;
  const prambus_get_function get = PluginGetFunction();
  EXPECT_EQ(get(0, &f), 1);
  EXPECT_EQ(reinterpret_cast<prambus_get_function>(f), get);
  EXPECT_EQ(get(16, &f), 1);
  EXPECT_NE(f, nullptr);
  EXPECT_EQ(get(18, &f), 0);
  EXPECT_EQ(f, nullptr);
  EXPECT_EQ(get(-1, &f), 0);
  EXPECT_EQ(get(3, nullptr), 0);
  const auto version = Get<prambus_version_fn>(PRAMBUS_VERSION);
  EXPECT_EQ(version(), 0);  // outside a call, as every callback
  PluginCallScope scope(*window);
  EXPECT_EQ(Get<prambus_nothing_fn>(PRAMBUS_NOTHING)(), 0);
  EXPECT_EQ(version(), PRAMBUS_EXTENSION_VERSION);
  EXPECT_EQ(PRAMBUS_EXTENSION_VERSION, 1);
}

TEST_F(PluginCallbacksTest, OutsideAPluginCallAndFromAnotherThreadNothingRuns) {
  Load("one\r\ntwo");
  int32_t length = 0;
  const auto getLine = Get<prambus_get_line_fn>(PRAMBUS_GET_LINE);
  const auto insert = Get<prambus_insert_fn>(PRAMBUS_INSERT);
  EXPECT_EQ(getLine(0, &length, nullptr), 0);
  EXPECT_EQ(insert(1, "x"), 0);
  PluginCallScope scope(*window);
  int32_t fromThread = -1;
  std::thread([&] { fromThread = insert(1, "x"); }).join();
  EXPECT_EQ(fromThread, 0);
  EXPECT_EQ(Text(), "one\r\ntwo");
  EXPECT_EQ(getLine(0, &length, nullptr), 1);
  EXPECT_EQ(length, 5);
}

TEST_F(PluginCallbacksTest, TextComesOutByTheLengthAndBufferRule) {
  Load("first\r\nsecond");
  PluginCallScope scope(*window);
  const auto getLine = Get<prambus_get_line_fn>(PRAMBUS_GET_LINE);
  int32_t length = 0;
  char buffer[16] = {};
  EXPECT_EQ(getLine(0, &length, nullptr), 1);
  EXPECT_EQ(length, 7);  // with its line end
  length = 3;            // a buffer smaller than the line
  EXPECT_EQ(getLine(0, &length, buffer), 1);
  EXPECT_EQ(length, 3);
  EXPECT_EQ(std::string(buffer, 3), "fir");
  EXPECT_EQ(buffer[3], '\0');  // nothing beyond what fits
  length = 16;
  EXPECT_EQ(getLine(1, &length, buffer), 1);
  EXPECT_EQ(std::string(buffer, length), "second");
  length = -1;
  EXPECT_EQ(getLine(1, &length, buffer), 0);
  EXPECT_EQ(length, -1);
  EXPECT_EQ(getLine(2, &length, nullptr), 0);
  EXPECT_EQ(getLine(-1, &length, nullptr), 0);
  EXPECT_EQ(getLine(0, nullptr, buffer), 0);

  const auto fileName = Get<prambus_get_file_name_fn>(PRAMBUS_GET_FILE_NAME);
  length = 5;
  EXPECT_EQ(fileName(&length, buffer), 1);
  EXPECT_EQ(std::string(buffer, length), "/home");
  view->SetPosition(2, 0, false);
  view->SetPosition(3, 1, true);
  const auto selection = Get<prambus_get_selection_fn>(PRAMBUS_GET_SELECTION);
  EXPECT_EQ(selection(&length, nullptr), 1);
  EXPECT_EQ(length, 8);
  EXPECT_EQ(selection(&length, buffer), 1);
  EXPECT_EQ(std::string(buffer, length), "rst\r\nsec");
  EXPECT_EQ(selection(nullptr, buffer), 0);
}

TEST_F(PluginCallbacksTest, PositionsAreReadAndSetWithinTheDocument) {
  Load("ab\r\ncdef");
  PluginCallScope scope(*window);
  const auto position = Get<prambus_position_fn>(PRAMBUS_POSITION);
  const auto setPosition = Get<prambus_set_position_fn>(PRAMBUS_SET_POSITION);
  EXPECT_EQ(setPosition(99, 99, 1), 1);  // brought into the document
  EXPECT_EQ(setPosition(1, 0, 0), 1);
  EXPECT_EQ(setPosition(0, 0, 2), 0);
  int32_t col = -1, row = -1;
  EXPECT_EQ(position(&col, &row, 7), 1);  // any nonzero: the cursor
  EXPECT_EQ(std::make_pair(col, row), std::make_pair(4, 1));
  EXPECT_EQ(position(&col, &row, 0), 1);
  EXPECT_EQ(std::make_pair(col, row), std::make_pair(1, 0));
  EXPECT_EQ(position(nullptr, &row, 0), 0);
  EXPECT_EQ(window->moves, 2);
  int32_t size = 0, w = 0, h = 0;
  EXPECT_EQ(Get<prambus_size_fn>(PRAMBUS_SIZE)(&size), 1);
  EXPECT_EQ(size, 8);
  EXPECT_EQ(Get<prambus_view_size_fn>(PRAMBUS_VIEW_SIZE)(&w, &h), 1);
  EXPECT_EQ(std::make_pair(w, h), std::make_pair(200, 160));
  EXPECT_EQ(Get<prambus_view_size_fn>(PRAMBUS_VIEW_SIZE)(&w, nullptr), 0);
}

TEST_F(PluginCallbacksTest, InsertReplacesTheSelectionAndCanBeUndone) {
  Load("hello world");
  view->SetPosition(6, 0, false);
  view->SetPosition(11, 0, true);
  PluginCallScope scope(*window);
  const auto insert = Get<prambus_insert_fn>(PRAMBUS_INSERT);
  EXPECT_EQ(insert(5, "there"), 1);
  EXPECT_EQ(Text(), "hello there");
  EXPECT_EQ(window->edits, 1);
  view->Undo();
  EXPECT_EQ(Text(), "hello world");
  EXPECT_EQ(insert(-1, "x"), 0);
  EXPECT_EQ(insert(3, nullptr), 0);
  EXPECT_EQ(insert(0, nullptr), 1);  // nothing to insert, nothing selected
  EXPECT_EQ(window->edits, 1);
  EXPECT_EQ(Text(), "hello world");

  // A CR and a LF that meet across the selection keep the text between them.
  Load("a\rXX\nb");
  view->SetPosition(0, 1, false);
  view->SetPosition(2, 1, true);
  EXPECT_EQ(insert(1, "y"), 1);
  EXPECT_EQ(Text(), "a\ry\nb");
  // Length 0 only deletes the selection.
  view->SetPosition(0, 1, false);
  view->SetPosition(1, 1, true);
  EXPECT_EQ(insert(0, nullptr), 1);
  EXPECT_EQ(Text(), "a\r\nb");
  EXPECT_EQ(view->RowCount(), 2);

  // An insertion whose memory cannot be had fails before the selection goes.
  const std::string big(2 << 20, 'z');
  view->SetPosition(0, 1, false);
  view->SetPosition(1, 1, true);  // "b"
  SetMemoryRoomProbe([](size_t bytes) { return bytes < (size_t(1) << 20); });
  EXPECT_EQ(insert(static_cast<int32_t>(big.size()), big.data()), 0);
  SetMemoryRoomProbe(nullptr);
  EXPECT_EQ(Text(), "a\r\nb");
  EXPECT_TRUE(view->HasSelection());
  EXPECT_EQ(insert(static_cast<int32_t>(big.size()), big.data()), 1);
  EXPECT_EQ(Text(), "a\r\n" + big);
}

TEST_F(PluginCallbacksTest, KeysTypingOpenAndSaveReachTheWindowWithCheckedArguments) {
  Load("x");
  PluginCallScope scope(*window);
  const auto keyDown = Get<prambus_key_down_fn>(PRAMBUS_KEY_DOWN);
  EXPECT_EQ(keyDown(PRAMBUS_VK_RIGHT, PRAMBUS_KEY_CTRL | PRAMBUS_KEY_SHIFT), 1);
  EXPECT_EQ(keyDown(0x07, 0), 0);              // no such key
  EXPECT_EQ(keyDown(PRAMBUS_VK_RIGHT, 8), 0);  // unknown flag bit
  ASSERT_EQ(window->keys.size(), 1u);
  EXPECT_EQ(window->keys[0], (std::pair<int, uint8_t>{0x27, kCtrlBit | kShiftBit}));
  const auto keyPress = Get<prambus_key_press_fn>(PRAMBUS_KEY_PRESS);
  EXPECT_EQ(keyPress(0xE9), 1);
  EXPECT_EQ(keyPress(256), 0);
  EXPECT_EQ(keyPress(-1), 0);
  EXPECT_EQ(window->typed, "\xe9");

  const auto open = Get<prambus_open_fn>(PRAMBUS_OPEN);
  EXPECT_EQ(open(0, "x"), 0);
  EXPECT_EQ(open(3, "a\0b"), 0);
  EXPECT_EQ(open(6, "/a.txt"), 1);
  EXPECT_EQ(window->opened, "/a.txt");
  const auto save = Get<prambus_save_fn>(PRAMBUS_SAVE);
  EXPECT_EQ(save(0, nullptr), 1);  // under the current name
  EXPECT_EQ(save(6, "/b.txt"), 1);
  EXPECT_EQ(save(-1, "/b.txt"), 0);
  EXPECT_EQ(save(2, nullptr), 0);
  EXPECT_EQ(window->saved, (std::vector<std::string>{"", "/b.txt"}));
  EXPECT_EQ(Get<prambus_refresh_fn>(PRAMBUS_REFRESH)(), 1);
  EXPECT_EQ(window->relayouts, 1);
}

// Plug-in functions are plain functions; the tests share their state here.
std::vector<std::string> walked;
int32_t stopAfter = -1;
int32_t insertedDuringPass = -1;

void Visit(int32_t length, const char* data, int32_t* stop) {
  walked.emplace_back(data, static_cast<size_t>(length));
  prambus_function f = nullptr;
  PluginGetFunction()(PRAMBUS_INSERT, &f);
  insertedDuringPass = reinterpret_cast<prambus_insert_fn>(f)(1, "x");
  if (static_cast<int32_t>(walked.size()) == stopAfter) *stop = 1;
}

void Upper(int32_t* length, const char** data, int32_t* last) {
  static std::string out;
  out.assign(*data, static_cast<size_t>(*length));
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (out.rfind("TWO", 0) == 0) {
    *length = -5;  // impossible: the line stays
    return;
  }
  *data = out.data();
  *length = static_cast<int32_t>(out.size());
  if (out.rfind("THREE", 0) == 0) *last = 1;
}

TEST_F(PluginCallbacksTest, AWalkSeesTheDocumentsLinesAndRefusesEdits) {
  Load("one\r\ntwo\r\nthree");
  ASSERT_GT(static_cast<int>(view->RowArraySize()), view->RowCount());  // spare empty rows
  PluginCallScope scope(*window);
  const auto walk = Get<prambus_walk_lines_fn>(PRAMBUS_WALK_LINES);
  walked.clear();
  stopAfter = -1;
  EXPECT_EQ(walk(Visit), 1);
  EXPECT_EQ(walked, (std::vector<std::string>{"one\r\n", "two\r\n", "three"}));
  EXPECT_EQ(insertedDuringPass, 0);
  walked.clear();
  stopAfter = 2;
  EXPECT_EQ(walk(Visit), 1);
  EXPECT_EQ(walked.size(), 2u);
  EXPECT_EQ(walk(nullptr), 0);
  EXPECT_EQ(Text(), "one\r\ntwo\r\nthree");
  // After the pass edits work again.
  EXPECT_EQ(Get<prambus_insert_fn>(PRAMBUS_INSERT)(1, "x"), 1);
}

TEST_F(PluginCallbacksTest, ARewriteReplacesLinesClearsUndoAndMarksTheDocument) {
  Load("one\r\ntwo\r\nthree\r\nfour");
  Cursor(1, 0);
  Type("!");
  ASSERT_TRUE(view->CanUndo());
  PluginCallScope scope(*window);
  const auto rewrite = Get<prambus_rewrite_lines_fn>(PRAMBUS_REWRITE_LINES);
  const int editsBefore = window->edits;
  EXPECT_EQ(rewrite(Upper), 1);
  // "two" was described impossibly and stays; "four" comes after the stop.
  EXPECT_EQ(Text(), "O!NE\r\ntwo\r\nTHREE\r\nfour");
  EXPECT_FALSE(view->CanUndo());
  EXPECT_FALSE(view->CanRedo());
  EXPECT_EQ(window->edits, editsBefore + 1);
  EXPECT_EQ(rewrite(nullptr), 0);
}

// Every callback that reads, walks or changes the document asks the window's
// gate first; while the document cannot be made whole they refuse and
// change nothing.
TEST_F(PluginCallbacksTest, CallbacksOnTheDocumentPassTheWholeDocumentGate) {
  Load("one\r\ntwo");
  window->whole = false;
  PluginCallScope scope(*window);
  int32_t size = -1, length = 10, column = 0, row = 0;
  char buffer[10];
  EXPECT_EQ(Get<prambus_size_fn>(PRAMBUS_SIZE)(&size), 0);
  EXPECT_EQ(size, -1);
  EXPECT_EQ(Get<prambus_get_line_fn>(PRAMBUS_GET_LINE)(0, &length, buffer), 0);
  EXPECT_EQ(Get<prambus_walk_lines_fn>(PRAMBUS_WALK_LINES)(Visit), 0);
  EXPECT_EQ(Get<prambus_rewrite_lines_fn>(PRAMBUS_REWRITE_LINES)(Upper), 0);
  EXPECT_EQ(Get<prambus_insert_fn>(PRAMBUS_INSERT)(1, "x"), 0);
  EXPECT_EQ(Get<prambus_get_selection_fn>(PRAMBUS_GET_SELECTION)(&length, buffer), 0);
  EXPECT_EQ(Get<prambus_set_position_fn>(PRAMBUS_SET_POSITION)(1, 1, 1), 0);
  EXPECT_EQ(Get<prambus_position_fn>(PRAMBUS_POSITION)(&column, &row, 1), 0);
  EXPECT_EQ(window->gateCalls, 8);
  EXPECT_EQ(Text(), "one\r\ntwo");
  EXPECT_EQ(window->edits + window->changes + window->moves, 0);
  window->whole = true;
  EXPECT_EQ(Get<prambus_size_fn>(PRAMBUS_SIZE)(&size), 1);
  EXPECT_EQ(size, 8);
}

void FaultingVisit(int32_t, const char*, int32_t*) {
  std::raise(SIGSEGV);
}

TEST_F(PluginCallbacksTest, AVisitorThatFaultsEndsTheWalkAndMarksTheCall) {
  Load("a\r\nb");
  PluginCallScope scope(*window);
  EXPECT_EQ(Get<prambus_walk_lines_fn>(PRAMBUS_WALK_LINES)(FaultingVisit), 0);
  EXPECT_TRUE(scope.Faulted());
  EXPECT_EQ(Text(), "a\r\nb");
}

// Text that ends in memory that cannot be read: `length` bytes of which only
// the first `readable` exist, as a careless plug-in might pass.
const char* ShortText(const char* text, size_t readable) {
  static char* pages = static_cast<char*>(
      mmap(nullptr, 8192, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
  static const bool guarded = mprotect(pages + 4096, 4096, PROT_NONE) == 0;
  EXPECT_TRUE(guarded);
  char* start = pages + 4096 - readable;
  std::memcpy(start, text, readable);
  return start;
}

const char* shortLine = nullptr;
void ShortRewrite(int32_t* length, const char** data, int32_t*) {
  if (std::string_view(*data, static_cast<size_t>(*length)).rfind("b", 0) == 0) {
    *data = shortLine;
    *length = 100;
  } else {
    *data = "A\r\n";
  }
}

// Bytes a plug-in hands over are taken before anything is changed, so a
// pointer to fewer bytes than it claims leaves the document as it was.
TEST_F(PluginCallbacksTest, TextShorterThanItsLengthFaultsBeforeAnyChange) {
  Load("a\r\nb\r\nc");
  view->SetPosition(0, 1, false);
  view->SetPosition(1, 1, true);
  {
    PluginCallScope scope(*window);
    EXPECT_EQ(Get<prambus_insert_fn>(PRAMBUS_INSERT)(100, ShortText("xyz", 3)), 0);
    EXPECT_TRUE(scope.Faulted());
  }
  EXPECT_EQ(Text(), "a\r\nb\r\nc");
  EXPECT_EQ(view->GetSelectedText(), "b");  // the selection was not deleted
  EXPECT_EQ(window->edits, 0);
  {
    PluginCallScope scope(*window);
    EXPECT_EQ(Get<prambus_open_fn>(PRAMBUS_OPEN)(100, ShortText("/tmp/x", 6)), 0);
    EXPECT_EQ(Get<prambus_save_fn>(PRAMBUS_SAVE)(100, ShortText("/tmp/x", 6)), 0);
    EXPECT_TRUE(scope.Faulted());
  }
  EXPECT_TRUE(window->opened.empty());
  EXPECT_TRUE(window->saved.empty());
  {
    // The faulty line and the ones after it stay; the ones before are new.
    PluginCallScope scope(*window);
    shortLine = ShortText("zz", 2);
    EXPECT_EQ(Get<prambus_rewrite_lines_fn>(PRAMBUS_REWRITE_LINES)(ShortRewrite), 0);
    EXPECT_TRUE(scope.Faulted());
  }
  EXPECT_EQ(Text(), "A\r\nb\r\nc");
}

}  // namespace
}  // namespace prambus
