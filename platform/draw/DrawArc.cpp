#include <cmath>

#include "platform/draw/DrawContext.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// Angle of (dx, dy) in screen coordinates, measured counter-clockwise from the positive x
// axis as the eye sees it (y grows downwards), in [0, 2*pi).
double ScreenAngle(double dx, double dy) {
  double a = std::atan2(-dy, dx);
  return a < 0 ? a + 2 * kPi : a;
}

bool InsideEllipse(int x, int y, double cx, double cy, double a, double b) {
  double u = (x + 0.5 - cx) / a, v = (y + 0.5 - cy) / b;
  return u * u + v * v <= 1.0 + 1e-9;
}

}  // namespace

// The ellipse is the one inscribed in the box's pixel edges: a pixel belongs to it when its
// centre lies inside, and the outline is every such pixel with a 4-neighbour outside. That
// gives Windows' small circles exactly (a 4x4 box draws the familiar 8-pixel ring) and a
// thin, 8-connected curve for larger boxes.
void TDrawContext::Arc(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd,
                       int yEnd) {
  if (!FSurface) return;
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  // Corners far outside the surface put the box's edges anywhere in the integer range.
  if (static_cast<long long>(right) - left < 1 || static_cast<long long>(bottom) - top < 1) return;
  const double cx = (static_cast<double>(left) + right) / 2.0;
  const double cy = (static_cast<double>(top) + bottom) / 2.0;
  const double a = (static_cast<double>(right) - left) / 2.0;
  const double b = (static_cast<double>(bottom) - top) / 2.0;
  const double start = ScreenAngle(xStart - cx, yStart - cy);
  double sweep = ScreenAngle(xEnd - cx, yEnd - cy) - start;
  if (sweep <= 1e-12) sweep += 2 * kPi;  // equal rays: the whole ellipse
  std::uint32_t pixel = TSurface::ToPixel(FPenColor);
  // Radii are not limited, so the box may be far larger than the surface: only the part
  // that can show is walked, or a huge corner would stall the paint.
  const TRect visible =
      TRect{left, top, right, bottom}.Intersect(FClip.Offset(-FOrigin.X, -FOrigin.Y));
  for (int y = visible.Top; y < visible.Bottom; ++y) {
    for (int x = visible.Left; x < visible.Right; ++x) {
      if (!InsideEllipse(x, y, cx, cy, a, b)) continue;
      if (InsideEllipse(x - 1, y, cx, cy, a, b) && InsideEllipse(x + 1, y, cx, cy, a, b) &&
          InsideEllipse(x, y - 1, cx, cy, a, b) && InsideEllipse(x, y + 1, cx, cy, a, b))
        continue;
      double rel = ScreenAngle(x + 0.5 - cx, y + 0.5 - cy) - start;
      if (rel < 0) rel += 2 * kPi;
      if (rel <= sweep + 1e-9) Plot(x, y, pixel);
    }
  }
}
