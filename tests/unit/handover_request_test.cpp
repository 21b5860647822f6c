// Requests between copies: several in one write, split across writes, lines
// that are not requests, and a line that never ends.
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
  for (int i = 0; i < 5 && ok; ++i) ok = reader.Feed(chunk, got);
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
