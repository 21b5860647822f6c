// File names as the bytes the system holds: how they are shown, hashed for
// other copies, made absolute, and told back from the text a file dialog
// gives; names in old single-byte encodings and cut UTF-8 among them.
#include <gtest/gtest.h>

#include <set>

#include "io/lexical_path.h"
#include "shell/chosen_name.h"
#include "shell/disk_watch.h"
#include "shell/file_messages.h"
#include "shell/file_rules.h"
#include "shell/recovery_list.h"
#include "shell/shown_name.h"
#include "text/utf8_scan.h"

namespace prambus {
namespace {

TEST(ShownName, BytesThatAreNotTextAreShownAsHexAndTextStaysAsItIs) {
  EXPECT_EQ(ShownPathOf("/d/bad\xff\xfe.txt"), "/d/bad\\xFF\\xFE.txt");
  EXPECT_EQ(ShownNameOf("/d/caf\xe9.txt"), "caf\\xE9.txt");  // Latin-1 é
  EXPECT_EQ(ShownNameOf("/d/café.txt"), "café.txt");         // the same, as UTF-8
  EXPECT_EQ(ShownNameOf("/d/\xd0\xee\xf1\xf1\xe8\xff"), "\\xD0\\xEE\\xF1\\xF1\\xE8\\xFF");  // 1251
  EXPECT_EQ(ShownNameOf("/d/😀 Отчёт & план"), "😀 Отчёт & план");
  EXPECT_EQ(ShownNameOf("/d/two\nlines\t.txt"), "two lines .txt");
  EXPECT_EQ(ShownPathOf("/a\rb/c\x7f.txt"), "/a b/c .txt");
  // Overlong forms, surrogates, past U+10FFFF and a sequence cut short are
  // not text: each of their bytes is shown, and what follows is read afresh.
  EXPECT_EQ(ShownPathOf("\xc0\xaf"), "\\xC0\\xAF");
  EXPECT_EQ(ShownPathOf("\xed\xa0\x80"), "\\xED\\xA0\\x80");
  EXPECT_EQ(ShownPathOf("\xf4\x90\x80\x80"), "\\xF4\\x90\\x80\\x80");
  EXPECT_EQ(ShownPathOf("\xe2\x82z"), "\\xE2\\x82z");
  EXPECT_EQ(ShownPathOf("\xe2\x82\xac\xe2"), "€\\xE2");
  EXPECT_EQ(QuotedPath("/d/a\xff"), "«/d/a\\xFF»");
  for (std::string_view s : {"/d/bad\xff\xfe.txt", "\xe2\x82", "\xc0\xaf"})
    EXPECT_TRUE(IsWellFormedUtf8(ShownPathOf(s))) << s;
  EXPECT_TRUE(IsWellFormedUtf8("\xf4\x8f\xbf\xbf\xef\xbf\xbe"));  // U+10FFFF, U+FFFE
  EXPECT_FALSE(IsWellFormedUtf8("\xe0\x9f\xbf"));                 // overlong U+07FF
}

TEST(ShownName, MessagesAndListsShowTheNameNotItsRawBytes) {
  const std::string path = "/home/u/caf\xe9\xff.txt";
  const std::string shown = "«/home/u/caf\\xE9\\xFF.txt»";
  for (const std::string& text :
       {CannotOpenMessage(path, FileProblem::kMissing, 2), FileGoneNote(path),
        FileChangedQuestion(path), InterruptedSaveQuestion(path, path + ".bak")}) {
    EXPECT_NE(text.find(shown), std::string::npos) << text;
    EXPECT_TRUE(IsWellFormedUtf8(text)) << text;
  }
  OrphanCopy copy;
  copy.manifest.documentPath = path;
  copy.contentPath = "/state/\xff.document";
  const RecoveryListRow row = DescribeOrphanCopy(copy);
  EXPECT_EQ(row.document, "caf\\xE9\\xFF.txt");
  EXPECT_EQ(row.path, "/home/u/caf\\xE9\\xFF.txt");
  EXPECT_TRUE(IsWellFormedUtf8(RecoveryOpenFailedMessage(copy)));
}

TEST(FileNameHash, TextHashesAsAlwaysAndOtherBytesApart) {
  // As the UTF-16 text of the name was hashed: copies that read names only
  // as text still find each other's files.
  const std::u16string text = u"/home/u/Отчёт 😀.txt";
  EXPECT_EQ(FileNameHash("/home/u/Отчёт 😀.txt"), PathHash(text));
  // Bytes that are not text stand apart from each other and from the
  // replacement character the toolkit shows for them.
  std::set<uint32_t> hashes;
  for (std::string_view name : {"/d/bad\xff.txt", "/d/bad\xfe.txt", "/d/bad\xef\xbf\xbd.txt"})
    hashes.insert(FileNameHash(name));
  EXPECT_EQ(hashes.size(), 3u);
}

TEST(LexicalPath, NamesAreMadeAbsoluteAndCleanedByteForByte) {
  EXPECT_EQ(AbsolutePathOf("bad\xff.txt", "/home/u"), "/home/u/bad\xff.txt");
  EXPECT_EQ(AbsolutePathOf("./a//b/../c\xe9/", "/w"), "/w/a/c\xe9");
  EXPECT_EQ(AbsolutePathOf("/../../x", "/w"), "/x");
  EXPECT_EQ(AbsolutePathOf("..", "/"), "/");
  EXPECT_EQ(AbsolutePathOf("/", "/w"), "/");
  EXPECT_EQ(AbsolutePathOf("", "/w"), "");
  EXPECT_EQ(AbsolutePathOf("-", "/w"), "/w/-");
  EXPECT_EQ(AbsolutePathOf("/abs/\n.txt"), "/abs/\n.txt");
  EXPECT_EQ(FolderOf("/d\xff/a.txt"), "/d\xff");
  EXPECT_EQ(FolderOf("/a.txt"), "/");
  EXPECT_EQ(FolderOf("a.txt"), ".");
}

// The dialog's text of a name: each byte that is not text became U+FFFD.
std::string AsDialogText(std::string_view bytes) {
  std::string text;
  for (size_t i = 0; i < bytes.size();) {
    const size_t n = Utf8SequenceAt(bytes, i);
    text += n ? std::string(bytes.substr(i, n)) : "\xef\xbf\xbd";
    i += n ? n : 1;
  }
  return text;
}

TEST(ChosenName, TheDocumentsOwnNameGivenBackAsTextIsThatFile) {
  std::set<std::string> onDisk;
  ChosenNameContext context;
  context.toText = AsDialogText;
  context.exists = [&onDisk](const std::string& p) { return onDisk.count(p) > 0; };
  const std::string own = "/d/bad\xff\xfe.txt";
  const std::string ownText = "/d/bad\xef\xbf\xbd\xef\xbf\xbd.txt";

  // Untitled, or a name that is text: the text is the name.
  EXPECT_EQ(BytesOfChosenName(ownText, context), ownText);
  context.known = "/d/plain.txt";
  EXPECT_EQ(BytesOfChosenName(ownText, context), ownText);

  context.known = own;
  EXPECT_EQ(BytesOfChosenName(ownText, context), own);
  EXPECT_EQ(BytesOfChosenName("/d/other.txt", context), "/d/other.txt");
  // Another name typed beside a file whose name is text: the name as typed.
  EXPECT_EQ(BytesOfChosenName("/d/bad\xef\xbf\xbd.txt", context), "/d/bad\xef\xbf\xbd.txt");
  // A file whose name really holds the replacement characters is there as
  // well: the text fits both, and neither is taken.
  onDisk.insert(ownText);
  EXPECT_EQ(BytesOfChosenName(ownText, context), std::nullopt);

  // A name in a folder whose name is not text: the folder's bytes.
  context.known = "/h\xe9/x/doc.txt";
  EXPECT_EQ(BytesOfChosenName("/h\xef\xbf\xbd/x/new.txt", context), "/h\xe9/x/new.txt");
  EXPECT_EQ(BytesOfChosenName("/h\xef\xbf\xbd/y/new.txt", context), "/h\xef\xbf\xbd/y/new.txt");
}

}  // namespace
}  // namespace prambus
