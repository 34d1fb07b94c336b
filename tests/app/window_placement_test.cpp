// Centring the file dialog: over the window, then kept 2 px inside the screen.
#include "app/win32/window_placement.h"

#include <gtest/gtest.h>

namespace trovisk {
namespace {

TEST(WindowPlacement, CentresAndKeepsTheWindowOnTheScreen) {
  struct Case {
    const char* what;
    int width, height;
    ScreenRect over;
    int left, top;  // expected, worked by hand on a 1024 x 768 screen
  };
  const ScreenRect desktop{0, 0, 1024, 768};
  const Case cases[] = {
      {"centred on the desktop", 400, 300, desktop, 312, 234},
      {"exactly two pixels from every edge", 1020, 764, desktop, 2, 2},
      {"odd room rounds towards the left", 1021, 765, desktop, 1, 1},
      {"over a window near the bottom right: pulled back inside", 300, 200,
       ScreenRect{900, 600, 1100, 700}, 722, 550},
      {"over a window off the top left: moved to 2", 200, 100, ScreenRect{-200, -100, 100, 50}, 2,
       2},
      {"larger than the screen: the caption stays reachable", 1100, 800, desktop, 2, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScreenRect placed = CenterOnScreen(c.width, c.height, c.over, 1024, 768);
    EXPECT_EQ(placed.left, c.left);
    EXPECT_EQ(placed.top, c.top);
    EXPECT_EQ(placed.right - placed.left, c.width);
    EXPECT_EQ(placed.bottom - placed.top, c.height);
  }
}

}  // namespace
}  // namespace trovisk
