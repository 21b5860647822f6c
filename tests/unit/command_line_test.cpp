// The command line: which file is opened (names beginning with "-" after
// "--" included), what is printed instead of starting, what the toolkit is
// given, and what is refused with status 2.
#include "shell/command_line.h"

#include <gtest/gtest.h>

namespace prambus {
namespace {

using Request = CommandLine::Request;
using Args = std::vector<std::string>;

TEST(CommandLine, TheFileIsTheOneArgumentThatIsNotAnOption) {
  EXPECT_EQ(ParseCommandLine({}).request, Request::kOpen);
  EXPECT_EQ(ParseCommandLine({}).file, "");
  EXPECT_EQ(ParseCommandLine({"a.txt"}).file, "a.txt");
  EXPECT_EQ(ParseCommandLine({"/tmp/с пробелом.txt"}).file, "/tmp/с пробелом.txt");
  // "--" ends the options: what follows is a name, whatever it looks like.
  for (const std::string name : {"-x", "--help", "--", "-platform", "-style=fusion"}) {
    const CommandLine line = ParseCommandLine({"--", name});
    EXPECT_EQ(line.request, Request::kOpen) << name;
    EXPECT_EQ(line.file, name);
    EXPECT_TRUE(line.toolkitOptions.empty()) << name;
  }
  // A lone "-" is a file of that name; an empty argument names none.
  EXPECT_EQ(ParseCommandLine({"-"}).file, "-");
  EXPECT_EQ(ParseCommandLine({""}).file, "");
  EXPECT_EQ(ParseCommandLine({"", "b.txt"}).file, "b.txt");
  // Options may follow the file.
  const CommandLine after = ParseCommandLine({"a.txt", "-style", "fusion"});
  EXPECT_EQ(after.file, "a.txt");
  EXPECT_EQ(after.toolkitOptions, (Args{"-style", "fusion"}));
}

TEST(CommandLine, TheFirstOptionThatPrintsOrIsWrongDecides) {
  EXPECT_EQ(ParseCommandLine({"--help"}).request, Request::kHelp);
  EXPECT_EQ(ParseCommandLine({"-h"}).request, Request::kHelp);
  EXPECT_EQ(ParseCommandLine({"--version"}).request, Request::kVersion);
  EXPECT_EQ(ParseCommandLine({"-v"}).request, Request::kVersion);
  EXPECT_EQ(ParseCommandLine({"a.txt", "b.txt", "--help"}).request, Request::kHelp);
  EXPECT_EQ(ParseCommandLine({"--version", "--help"}).request, Request::kVersion);
  EXPECT_EQ(ParseCommandLine({"--help", "--no-such"}).request, Request::kHelp);
  EXPECT_EQ(ParseCommandLine({"--no-such", "--help"}).request, Request::kMisuse);
  EXPECT_EQ(ParseCommandLine({"-platform", "offscreen", "-v"}).request, Request::kVersion);
}

TEST(CommandLine, TheToolkitsOptionsGoToItWithTheirValuesInOrder) {
  const CommandLine line =
      ParseCommandLine({"-platform", "offscreen", "--style", "Fusion", "-reverse",
                        "-stylesheet=a.qss", "f.txt", "-title", "-x", "-session", "1_2"});
  EXPECT_EQ(line.request, Request::kOpen);
  EXPECT_EQ(line.file, "f.txt");
  // A value is taken as it stands, even one that begins with "-".
  EXPECT_EQ(line.toolkitOptions, (Args{"-platform", "offscreen", "--style", "Fusion", "-reverse",
                                       "-stylesheet=a.qss", "-title", "-x", "-session", "1_2"}));
  // Qt reads "=" only in its style options.
  EXPECT_EQ(ParseCommandLine({"-style=Fusion"}).toolkitOptions, (Args{"-style=Fusion"}));
  EXPECT_EQ(ParseCommandLine({"-platform=offscreen"}).request, Request::kMisuse);
  EXPECT_EQ(ParseCommandLine({"-reverse=1"}).request, Request::kMisuse);
}

TEST(CommandLine, WhatCannotBeObeyedIsRefusedWithTheReason) {
  const CommandLine unknown = ParseCommandLine({"a.txt", "-x"});
  ASSERT_EQ(unknown.request, Request::kMisuse);
  EXPECT_EQ(unknown.problem,
            "я не знаю параметра «-x». Если это имя файла, напишите перед ним «--»: prambus -- -x");
  EXPECT_EQ(ParseCommandLine({"---"}).request, Request::kMisuse);
  EXPECT_EQ(ParseCommandLine({"-help"}).request, Request::kMisuse);
  const CommandLine noValue = ParseCommandLine({"a.txt", "-platform"});
  ASSERT_EQ(noValue.request, Request::kMisuse);
  EXPECT_EQ(noValue.problem, "после параметра «-platform» нужно его значение.");
  // One document per window: a second file is not dropped unseen.
  const CommandLine two = ParseCommandLine({"a.txt", "--", "-b.txt"});
  ASSERT_EQ(two.request, Request::kMisuse);
  EXPECT_NE(two.problem.find("«-b.txt»"), std::string::npos);
  EXPECT_EQ(MisuseText("я не знаю параметра «-x»."),
            "prambus: я не знаю параметра «-x».\nСписок параметров: prambus --help\n");
}

}  // namespace
}  // namespace prambus
