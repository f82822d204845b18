// The GDI object count that the leak tests rely on follows what this process makes and frees.
#include "gdi_objects.h"

#include <gtest/gtest.h>

#include <vector>

namespace memotab {
namespace {

TEST(GdiObjects, TheCountFollowsWhatIsMadeAndFreed) {
  constexpr int kBrushes = 20;
  const long long before = test::CountGdiObjects();
  ASSERT_GT(before, 0);
  std::vector<HBRUSH> brushes;
  for (int i = 0; i < kBrushes; ++i) brushes.push_back(CreateSolidBrush(RGB(i, 2 * i, 3 * i)));
  EXPECT_EQ(test::CountGdiObjects() - before, kBrushes);
  for (const HBRUSH brush : brushes) DeleteObject(brush);
  EXPECT_EQ(test::CountGdiObjects(), before);
}

}  // namespace
}  // namespace memotab
