// The document as one object: "modified" is its revision against the one at
// the last load or save, the revision goes on across a switch of view and
// moves when the switch writes the bytes otherwise, marks tell places in
// the document apart from places in another, and the disk identity follows
// the file. Also which whole-document operations of the views count as a
// change: only those that change the bytes as they are written.
#include "shell/document.h"

#include <gtest/gtest.h>

#include "encodings/code_tables.h"
#include "settings/settings.h"
#include "support/temp_dir.h"
#include "support/test_canvas.h"
#include "views/hex_view.h"
#include "views/text_view.h"

namespace prambus {
namespace {

class DocumentTest : public ::testing::Test {
 protected:
  void SetUp() override { Cfg() = Settings{}; }
  std::unique_ptr<TextView> Text(std::string_view bytes) {
    auto v = std::make_unique<TextView>(&canvas);
    v->AppendString(bytes);
    return v;
  }
  std::unique_ptr<HexView> Hex(std::string_view bytes) {
    auto v = std::make_unique<HexView>(&canvas);
    v->SetBytes(bytes);
    return v;
  }
  static std::string Written(ViewBase& v) {
    TempDir dir;
    v.SaveToFile(dir.File("out"));
    return TempDir::Read(dir.File("out"));
  }
  TestCanvas canvas;
};

TEST_F(DocumentTest, ModifiedIsTheRevisionAgainstTheLastLoadOrSave) {
  Document d;
  int heard = 0;
  d.SetRevisionListener([&] { ++heard; });
  d.SetView(Text("ab"));
  EXPECT_FALSE(d.Modified());  // a view built from bytes is no change
  d.View()->Undo();            // nothing to undo
  EXPECT_FALSE(d.Modified());
  d.View()->TypeChar('x');
  EXPECT_TRUE(d.Modified());
  EXPECT_EQ(heard, 1);
  d.MarkSaved(DiskIdentity{});
  EXPECT_FALSE(d.Modified());
  d.View()->Undo();  // back to the bytes before: still a change since the save
  EXPECT_TRUE(d.Modified());
  d.MarkSaved(DiskIdentity{});
  d.MarkUnsaved();  // a recovered copy: no file holds these bytes
  EXPECT_TRUE(d.Modified());
  // A view that empties a document with bytes is a change too.
  d.MarkSaved(DiskIdentity{});
  d.SetView(Text(""));
  EXPECT_TRUE(d.Modified());
}

TEST_F(DocumentTest, ASwitchOfViewKeepsTheRevisionTheMarksAndTheSavedState) {
  Document d;
  d.SetView(Text("one\r\ntwo"));
  d.View()->TypeChar('x');
  const uint64_t revision = d.Revision();
  const RevisionMark mark = d.Mark();
  std::unique_ptr<ViewBase> old = d.SwitchView(std::make_unique<HexView>(&canvas));
  old->CopyContentTo(*d.View());
  d.TookOver(*old);
  EXPECT_EQ(d.Revision(), revision);
  EXPECT_TRUE(d.View()->IsAt(mark));
  EXPECT_TRUE(d.Modified());
  EXPECT_FALSE(d.View()->CanUndo());  // the history stayed with the old view
  d.View()->Undo();
  EXPECT_EQ(d.Revision(), revision);  // so undo there changes nothing
  d.View()->TypeChar(9);              // Tab: the other area, no change
  d.View()->TypeChar('q');
  EXPECT_NE(d.Revision(), revision);  // the new view counts on the document's revision
  EXPECT_FALSE(d.View()->IsAt(mark));
  EXPECT_FALSE(old->IsAt(mark));
  // Another document never matches a mark of this one.
  Document other;
  other.SetView(Text("one\r\ntwo"));
  EXPECT_FALSE(other.View()->IsAt(d.Mark()));
  EXPECT_TRUE(d.View()->IsAt(d.Mark()));
  EXPECT_FALSE(d.View()->IsAt(RevisionMark()));
}

// A text view may write every line end as one text: a switch between it and
// a view that writes them as they are changes the document exactly when a
// line end would be written otherwise.
TEST_F(DocumentTest, ASwitchThatWritesLineEndsOtherwiseIsAChange) {
  struct Case {
    std::string bytes, rule;
    bool changes;
  };
  for (const Case& c : {Case{"a\r\nb\r\n", "\r\n", false}, Case{"a\r\nb\n", "\r\n", true},
                        Case{"a\r\nb", "\n", true}, Case{"no line ends", "\r", false}}) {
    Document d;
    d.SetView(Hex(c.bytes));
    d.MarkSaved(DiskIdentity{});
    auto text = std::make_unique<TextView>(&canvas);
    text->ChooseLineEnd(c.rule, 0, true);  // empty yet: no change
    std::unique_ptr<ViewBase> old = d.SwitchView(std::move(text));
    EXPECT_FALSE(d.Modified());
    old->CopyContentTo(*d.View());
    d.TookOver(*old);
    EXPECT_EQ(d.Modified(), c.changes) << c.bytes << " as " << c.rule;
    EXPECT_EQ(Written(*d.View()) != c.bytes, c.changes);
    // And back: the hex view writes them as they are.
    d.MarkSaved(DiskIdentity{});
    old = d.SwitchView(std::make_unique<HexView>(&canvas));
    old->CopyContentTo(*d.View());
    d.TookOver(*old);
    EXPECT_EQ(d.Modified(), c.changes) << c.bytes << " back";
  }
}

TEST_F(DocumentTest, ATwinSharesTheRevisionAndAMovedDocumentTakesEverything) {
  Document d;
  d.path = "/tmp/x.txt";
  d.encoding = encoding_id::kKoi8r;
  d.SetView(Text("abc"));
  d.View()->TypeChar('x');
  Document twin = d.Twin(Text("xabc"));
  EXPECT_EQ(twin.path, d.path);
  EXPECT_EQ(twin.encoding, encoding_id::kKoi8r);
  EXPECT_TRUE(twin.Modified());
  EXPECT_TRUE(twin.View()->IsAt(d.Mark()));
  twin.View()->TypeChar('y');
  EXPECT_EQ(twin.Revision(), d.Revision());

  Document moved(std::move(d));
  EXPECT_EQ(moved.path, "/tmp/x.txt");
  EXPECT_TRUE(moved.Modified());
  EXPECT_EQ(d.View(), nullptr);  // the moved-from document is a new, empty one
  EXPECT_FALSE(d.Modified());
  d = std::move(moved);
  EXPECT_EQ(d.path, "/tmp/x.txt");
  EXPECT_TRUE(d.View()->IsAt(twin.Mark()));
}

TEST_F(DocumentTest, TheDiskIdentityTellsAnotherVersionOfTheFile) {
  TempDir dir;
  const std::string file = dir.File("f.txt");
  EXPECT_FALSE(DiskIdentityOf(file).known);
  EXPECT_FALSE(DiskIdentityOf("").known);
  TempDir::Write(file, "one");
  const DiskIdentity first = DiskIdentityOf(file);
  EXPECT_TRUE(first.known);
  EXPECT_EQ(first.size, 3);
  EXPECT_EQ(DiskIdentityOf(file), first);
  TempDir::Write(file + ".new", "three");
  ASSERT_EQ(std::rename((file + ".new").c_str(), file.c_str()), 0);  // replaced
  const DiskIdentity second = DiskIdentityOf(file);
  EXPECT_NE(second, first);
  EXPECT_NE(second.inode, first.inode);
  Document d;
  d.path = file;
  d.SetView(Text("three"));
  d.MarkSaved(second);
  EXPECT_EQ(d.disk, second);
}

// Whole-document operations change the revision only when they change a
// byte as it is written; one that changes nothing keeps the undo history.
TEST_F(DocumentTest, OnlyRewritesThatChangeABytePassForAChange) {
  auto text = Text("plain ascii\r\n\xE0\xE1");  // "аб" in Windows-1251
  text->TypeChar('!');
  uint64_t seen = text->Revision();
  auto moved = [&](const ViewBase& v) {
    const bool m = v.Revision() != seen;
    seen = v.Revision();
    return m;
  };
  EXPECT_TRUE(text->Recode(WindowsTable(), WindowsTable()));
  EXPECT_FALSE(moved(*text));
  EXPECT_TRUE(text->CanUndo());
  const RowRewriter same = [](int*, const uint8_t**, bool*) {};
  text->TransformRows(same);
  EXPECT_FALSE(moved(*text));
  EXPECT_TRUE(text->CanUndo());
  EXPECT_TRUE(text->Recode(WindowsTable(), DosForOutputTable()));
  EXPECT_TRUE(moved(*text));
  EXPECT_FALSE(text->CanUndo());
  // Line ends: another rule moves it only where a line end is written otherwise.
  text->ChooseLineEnd("\r\n", 2, true);
  EXPECT_FALSE(moved(*text));
  text->ChooseLineEnd("\n", 0, true);
  EXPECT_TRUE(moved(*text));
  text->KeepLineEnds(true);
  EXPECT_TRUE(moved(*text));
  auto single = Text("one line");
  seen = single->Revision();
  single->ChooseLineEnd("\r", 1, true);
  EXPECT_FALSE(moved(*single));

  auto hex = Hex("AB");
  seen = hex->Revision();
  EXPECT_TRUE(hex->Recode(WindowsTable(), DosForOutputTable()));  // Latin letters stay
  EXPECT_FALSE(moved(*hex));
  hex->TransformRows(same);
  EXPECT_FALSE(moved(*hex));
  hex->TransformRows([](int* length, const uint8_t**, bool*) { *length = 1; });
  EXPECT_TRUE(moved(*hex));
  EXPECT_EQ(hex->Data().ToString(), "A");
}

}  // namespace
}  // namespace prambus
