#include "ui/RoundedFrame.h"

namespace {
// Unchecked radii may push the corner boxes past the integer range; the coordinates then
// wrap as 32-bit arithmetic does, instead of overflowing.
int Wrap(long long value) {
  return static_cast<int>(static_cast<std::uint32_t>(value));
}
}  // namespace

void DrawRoundedFrame(TCanvas* Canvas, int X, int Y, int Right, int Bottom, int RadiusTL,
                      int RadiusTR, int RadiusBR, int RadiusBL) {
  const long long x = X, y = Y, r = Right, b = Bottom;
  const long long tl = RadiusTL, tr = RadiusTR, br = RadiusBR, bl = RadiusBL;
  // Each corner is the quarter of the circle inscribed in its box, swept counter-clockwise
  // from the start ray to the end ray.
  Canvas->Arc(X, Y, Wrap(x + 2 * tl), Wrap(y + 2 * tl), Wrap(x + tl), Y, X, Wrap(y + tl));
  Canvas->Arc(Wrap(r - 2 * tr), Y, Right, Wrap(y + 2 * tr), Right, Wrap(y + tr), Wrap(r - tr), Y);
  Canvas->Arc(Wrap(r - 2 * br), Wrap(b - 2 * br), Right, Bottom, Wrap(r - br), Bottom, Right,
              Wrap(b - br));
  Canvas->Arc(X, Wrap(b - 2 * bl), Wrap(x + 2 * bl), Bottom, X, Wrap(b - bl), Wrap(x + bl), Bottom);
  // The edges end one pixel past the arcs' ends (a line leaves its end point out), so with
  // radius 0 the corner pixel is set and one pixel pokes out past Right or Bottom.
  Canvas->MoveTo(Wrap(x + tl), Y);
  Canvas->LineTo(Wrap(r - tr + 1), Y);
  Canvas->MoveTo(Right - 1, Wrap(y + tr));
  Canvas->LineTo(Right - 1, Wrap(b - br + 1));
  Canvas->MoveTo(Wrap(r - br), Bottom - 1);
  Canvas->LineTo(Wrap(x + bl - 1), Bottom - 1);
  Canvas->MoveTo(X, Wrap(b - bl));
  Canvas->LineTo(X, Wrap(y + tl - 1));
}
