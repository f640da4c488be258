#include <vector>

#include "platform/draw/DrawContext.h"

// Scan-line fill with an explicit stack, so a large area cannot overflow the call stack.
// The fill stays inside the clip rectangle and never crosses diagonally (4-connected), so
// an 8-connected one-pixel arc holds it.
bool TDrawContext::ExtFloodFill(int x, int y, TColor color, unsigned mode) {
  if (!FSurface) return false;
  x += FOrigin.X;
  y += FOrigin.Y;
  if (!FClip.Contains(x, y)) return false;
  const std::uint32_t key = TSurface::ToPixel(color);
  const std::uint32_t fill = TSurface::ToPixel(FBrushColor);
  const bool border = mode == FLOODFILLBORDER;
  auto fillable = [&](std::uint32_t p) { return border ? p != key : p == key; };
  if (!fillable(FSurface->Row(y)[x])) return false;
  // Marks visited pixels, because the fill colour may itself be fillable (border mode with
  // a brush unlike the border) and would otherwise be found again.
  const int w = FClip.Width();
  std::vector<bool> seen(static_cast<std::size_t>(w) * FClip.Height(), false);
  auto visited = [&](int px, int py) {
    return seen[static_cast<std::size_t>(py - FClip.Top) * w + (px - FClip.Left)];
  };
  std::vector<TPoint> stack{{x, y}};
  while (!stack.empty()) {
    TPoint p = stack.back();
    stack.pop_back();
    std::uint32_t* row = FSurface->Row(p.Y);
    if (visited(p.X, p.Y) || !fillable(row[p.X])) continue;
    int l = p.X, r = p.X;
    while (l - 1 >= FClip.Left && !visited(l - 1, p.Y) && fillable(row[l - 1])) --l;
    while (r + 1 < FClip.Right && !visited(r + 1, p.Y) && fillable(row[r + 1])) ++r;
    for (int i = l; i <= r; ++i) {
      row[i] = fill;
      seen[static_cast<std::size_t>(p.Y - FClip.Top) * w + (i - FClip.Left)] = true;
    }
    for (int ny : {p.Y - 1, p.Y + 1}) {
      if (ny < FClip.Top || ny >= FClip.Bottom) continue;
      const std::uint32_t* nrow = FSurface->Row(ny);
      for (int i = l; i <= r; ++i)
        if (!visited(i, ny) && fillable(nrow[i]) &&
            (i == l || !fillable(nrow[i - 1]) || visited(i - 1, ny)))
          stack.push_back({i, ny});
    }
  }
  return true;
}
