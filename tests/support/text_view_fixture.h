// Helpers for tests of the text view on the fixed-metrics canvas.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "settings/settings.h"
#include "support/test_canvas.h"
#include "views/char_class.h"
#include "views/text_view.h"

namespace prambus {

class TextViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Cfg() = Settings{};
    Cfg().EffOtstupX = 0;
    Cfg().EffOtstupY = 0;
    view = std::make_unique<TextView>(&canvas);
    view->SetViewWidth(200);
    view->SetViewHeight(160);
  }

  // Lays out text with the given wrap width, in blocks of blockSize bytes.
  void Load(std::string_view text, int wrap = 200, size_t blockSize = 8192) {
    view->Clear();
    view->WrapWidth = wrap;
    for (size_t i = 0; i < text.size(); i += blockSize) {
      std::string_view block = text.substr(i, blockSize);
      view->AppendBytes(reinterpret_cast<const uint8_t*>(block.data()),
                        static_cast<int>(block.size()));
    }
  }

  std::vector<std::string> Rows() const {
    std::vector<std::string> rows;
    for (int r = 0; r <= view->LastRow(); ++r) rows.emplace_back(view->GetRow(r));
    return rows;
  }

  std::string Text() const {
    std::string s;
    for (int r = 0; r <= view->LastRow(); ++r) s += view->GetRow(r);
    return s;
  }

  // The rows concatenate to the text; line ends only end rows; a row is wider
  // than the wrap width only when it holds a single character.
  void ExpectRowInvariants(const std::string& text) {
    EXPECT_EQ(Text(), text);
    for (int r = 0; r <= view->LastRow(); ++r) {
      std::string_view row = view->GetRow(r);
      size_t body = row.size();
      while (body > 0 && IsLineEnd(static_cast<uint8_t>(row[body - 1]))) --body;
      for (size_t i = 0; i < body; ++i)
        EXPECT_FALSE(IsLineEnd(static_cast<uint8_t>(row[i]))) << "row " << r;
      EXPECT_LE(row.size() - body, 2u) << "row " << r;
      if (r < view->LastRow()) {
        EXPECT_FALSE(row.empty()) << "row " << r;
      }
      size_t counted = body;  // a blank hanging after an over-wide character
      if (counted > 1 && CharClass[static_cast<uint8_t>(row[counted - 1])] == kBlank) --counted;
      if (view->RowWidth(r) > view->WrapWidth) {
        EXPECT_EQ(counted, 1u) << "row " << r;
      }
    }
  }

  void Type(std::string_view keys) {
    for (char c : keys) view->TypeChar(static_cast<uint8_t>(c));
  }

  void Cursor(int col, int row) {
    view->SetPosition(col, row, true);
    view->SetPosition(col, row, false);
  }

  TestCanvas canvas;
  std::unique_ptr<TextView> view;
};

using RowList = std::vector<std::string>;

}  // namespace prambus
