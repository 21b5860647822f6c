// Requests between copies: several in one write, split across writes, names
// that are not text carried by their bytes, lines that are not requests, and
// a line that never ends.
#include "shell/handover_request.h"

#include <gtest/gtest.h>

namespace prambus {
namespace {

TEST(HandOverRequest, EveryCompleteLineIsARequestInOrder) {
  HandOverRequestReader reader;
  std::vector<HandOverRequest> got;
  const std::string two = FormatHandOverRequest(4294967295u, "a.txt - Прамбус") +
                          FormatHandOverRequest(7, "b.txt - Прамбус");
  ASSERT_TRUE(reader.Feed(two.substr(0, 5), got));
  EXPECT_TRUE(got.empty());
  ASSERT_TRUE(reader.Feed(two.substr(5, two.size() - 8), got));
  ASSERT_EQ(got.size(), 1u);
  ASSERT_TRUE(reader.Feed(two.substr(two.size() - 3), got));
  ASSERT_EQ(got.size(), 2u);
  EXPECT_TRUE(got[0].valid);
  EXPECT_EQ(got[0].hash, 4294967295u);
  EXPECT_EQ(got[0].title, "a.txt - Прамбус");
  EXPECT_EQ(got[1].hash, 7u);
  EXPECT_EQ(got[1].title, "b.txt - Прамбус");
}

TEST(HandOverRequest, ANameThatIsNotTextIsCarriedByItsBytes) {
  // A name that is text goes in the form every copy reads: hash and title.
  EXPECT_EQ(FormatHandOverRequest(7, "a.txt - Прамбус", "/d/a.txt"), "7\ta.txt - Прамбус\n");
  const std::string name = std::string("/d/bad\xff\xfe caf\xe9 100%\t\n\x7f.txt");
  const std::string line = FormatHandOverRequest(9, "bad\\xFF - Прамбус", name);
  EXPECT_EQ(line, "9\tbad\\xFF - Прамбус\t/d/bad\xff\xfe caf\xe9 100%25%09%0A%7F.txt\n");
  HandOverRequestReader reader;
  std::vector<HandOverRequest> got;
  ASSERT_TRUE(reader.Feed(line, got));
  ASSERT_EQ(got.size(), 1u);
  EXPECT_TRUE(got[0].valid);
  EXPECT_EQ(got[0].hash, 9u);
  EXPECT_EQ(got[0].title, "bad\\xFF - Прамбус");
  EXPECT_EQ(got[0].path, name);
  // A name of the longest path, every byte escaped, still fits in a request.
  const std::string longest(4095, '\x01');
  got.clear();
  ASSERT_TRUE(
      reader.Feed(FormatHandOverRequest(1, std::string(1200, 't'), "/\xff" + longest), got));
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].path, "/\xff" + longest);
  // Escapes other than those written, raw control bytes and an empty name
  // are not requests.
  got.clear();
  ASSERT_TRUE(reader.Feed("1\tt\t%41\n1\tt\t%0a\n1\tt\t%2\n1\tt\ta\rb\n1\tt\t\n1\tt\t%25\n", got));
  ASSERT_EQ(got.size(), 6u);
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(got[i].valid) << i;
  EXPECT_EQ(got[5].path, "%");
}

TEST(HandOverRequest, LinesThatAreNotRequestsAreAnsweredAsSuch) {
  HandOverRequestReader reader;
  std::vector<HandOverRequest> got;
  ASSERT_TRUE(reader.Feed("\n\tt\n12x\tt\n4294967296\tt\nno tab\n5\t\n", got));
  ASSERT_EQ(got.size(), 6u);
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(got[i].valid) << i;
  EXPECT_TRUE(got[5].valid);  // an empty title is still a request
}

TEST(HandOverRequest, ALineLongerThanTheLimitDropsThePeer) {
  HandOverRequestReader reader;
  std::vector<HandOverRequest> got;
  const std::string chunk(1000, 'x');
  bool ok = true;
  for (size_t i = 0; i <= kMaxHandOverRequest / chunk.size() && ok; ++i)
    ok = reader.Feed(chunk, got);
  EXPECT_FALSE(ok);
  EXPECT_TRUE(got.empty());
  // Exactly the limit still fits.
  HandOverRequestReader fits;
  const std::string line = "1\t" + std::string(kMaxHandOverRequest - 2, 'y') + "\n";
  ASSERT_TRUE(fits.Feed(line, got));
  ASSERT_EQ(got.size(), 1u);
  EXPECT_TRUE(got[0].valid);
}

}  // namespace
}  // namespace prambus
