// Where a dialog goes when it is centred over a window and kept on the screen.
// Plain arithmetic, free of Windows headers, so the Linux tests reach it.
#pragma once

namespace trovisk {

struct ScreenRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// Edges stay this many pixels inside the screen.
inline constexpr int kScreenMargin = 2;

// A width x height window centred over `over`, pulled back so that its right
// and bottom edges stay kScreenMargin inside a screen_width x screen_height
// screen, and then moved to kScreenMargin when its left or top would be
// negative. The left/top rule is applied last so that a window larger than
// the screen keeps its caption reachable.
inline ScreenRect CenterOnScreen(int width, int height, const ScreenRect& over, int screen_width,
                                 int screen_height) {
  int left = over.left + ((over.right - over.left) - width) / 2;
  int top = over.top + ((over.bottom - over.top) - height) / 2;
  if (left + width > screen_width - kScreenMargin) left = screen_width - kScreenMargin - width;
  if (top + height > screen_height - kScreenMargin) top = screen_height - kScreenMargin - height;
  if (left < 0) left = kScreenMargin;
  if (top < 0) top = kScreenMargin;
  return ScreenRect{left, top, left + width, top + height};
}

}  // namespace trovisk
