// The pool of shared texts: one number per distinct text, through growth and copies.
#include "rw5/text_pool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace trovisk {
namespace {

TEST(TextPool, OneNumberPerDistinctTextThroughGrowth) {
  TextPool pool;
  EXPECT_EQ(pool.Intern(""), 0);
  EXPECT_EQ(pool.Text(0), "");
  EXPECT_EQ(pool.Text(-3), "");
  EXPECT_EQ(pool.Text(1), "");  // never given out
  // Texts that differ in one character or in length only, and enough of
  // them for the pool to grow several times; every one asked again in runs
  // and out of order.
  std::vector<std::string> texts;
  for (int i = 0; i < 300; ++i) {
    texts.push_back("IRON PIN " + std::to_string(i));
    texts.push_back(std::string(static_cast<std::size_t>(i % 20 + 1), 'G'));
  }
  std::vector<std::int32_t> ids;
  for (const std::string& text : texts) ids.push_back(pool.Intern(text));
  for (std::size_t i = 0; i < texts.size(); ++i) {
    SCOPED_TRACE(texts[i]);
    EXPECT_GT(ids[i], 0);
    EXPECT_EQ(pool.Text(ids[i]), texts[i]);
    EXPECT_EQ(pool.Intern(texts[i]), ids[i]);
    EXPECT_EQ(pool.Intern(texts[i]), ids[i]);
    EXPECT_EQ(pool.Intern(texts[texts.size() - 1 - i]), ids[texts.size() - 1 - i]);
  }
  // 300 numbered texts and 20 runs of G: 320 distinct numbers, from 1.
  std::vector<std::int32_t> distinct = ids;
  std::sort(distinct.begin(), distinct.end());
  distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
  EXPECT_EQ(distinct.size(), 320u);
  EXPECT_EQ(distinct.front(), 1);
  EXPECT_EQ(distinct.back(), 320);

  // A copy keeps its own texts; a cleared pool starts again.
  TextPool copy = pool;
  pool.Clear();
  EXPECT_EQ(pool.Text(ids[0]), "");
  EXPECT_EQ(pool.Intern("TREE"), 1);
  EXPECT_EQ(copy.Text(ids[0]), texts[0]);
  EXPECT_EQ(copy.Intern(texts[1]), ids[1]);
}

}  // namespace
}  // namespace trovisk
