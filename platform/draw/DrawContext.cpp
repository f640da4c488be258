#include "platform/draw/DrawContext.h"

#include <algorithm>
#include <cstdlib>

TDrawContext::TDrawContext(TSurface* surface) {
  SetSurface(surface);
}

void TDrawContext::SetSurface(TSurface* surface) {
  FSurface = surface;
  FOrigin = {};
  FClip = surface ? surface->BoundsRect() : TRect{};
}

void TDrawContext::SetClipRect(const TRect& surfaceRect) {
  FClip = FSurface ? surfaceRect.Intersect(FSurface->BoundsRect()) : TRect{};
}

void TDrawContext::IntersectClipRect(const TRect& logicalRect) {
  FClip = FClip.Intersect(logicalRect.Offset(FOrigin.X, FOrigin.Y));
}

void TDrawContext::Plot(int x, int y, std::uint32_t pixel) {
  x += FOrigin.X;
  y += FOrigin.Y;
  if (!FClip.Contains(x, y)) return;
  FSurface->Row(y)[x] = pixel;
}

// Bresenham's line, stepping along the major axis; the end point is left out, so that a
// polyline drawn with successive LineTo calls sets every joint exactly once.
void TDrawContext::LineTo(int x, int y) {
  int x0 = FPenPos.X, y0 = FPenPos.Y;
  FPenPos = {x, y};
  if (!FSurface) return;
  std::uint32_t pixel = TSurface::ToPixel(FPenColor);
  if (x == x0 || y == y0) {
    StraightLine(x0, y0, x, y, pixel);
    return;
  }
  // Wide enough that the distance between any two points fits.
  long long dx = std::llabs(static_cast<long long>(x) - x0);
  long long dy = std::llabs(static_cast<long long>(y) - y0);
  int sx = x0 < x ? 1 : -1, sy = y0 < y ? 1 : -1;
  if (dx >= dy) {
    long long err = 2 * dy - dx;
    for (long long i = 0; i < dx; ++i, x0 += sx) {
      Plot(x0, y0, pixel);
      if (err > 0) {
        y0 += sy;
        err -= 2 * dx;
      }
      err += 2 * dy;
    }
  } else {
    long long err = 2 * dx - dy;
    for (long long i = 0; i < dy; ++i, y0 += sy) {
      Plot(x0, y0, pixel);
      if (err > 0) {
        x0 += sx;
        err -= 2 * dy;
      }
      err += 2 * dx;
    }
  }
}

// Frame edges between corners of unlimited radius can run for millions of pixels, nearly
// all of them off the surface: only the part inside the clip is walked.
void TDrawContext::StraightLine(int x0, int y0, int x1, int y1, std::uint32_t pixel) {
  const TRect clip = FClip.Offset(-FOrigin.X, -FOrigin.Y);
  const bool horizontal = y0 == y1;
  const int from = horizontal ? x0 : y0, to = horizontal ? x1 : y1;
  // The end point is left out, whichever way the line runs.
  long long first = from < to ? from : static_cast<long long>(to) + 1;
  long long last = from < to ? static_cast<long long>(to) - 1 : from;
  if (horizontal) {
    if (y0 < clip.Top || y0 >= clip.Bottom) return;
    first = std::max<long long>(first, clip.Left);
    last = std::min<long long>(last, clip.Right - 1LL);
  } else {
    if (x0 < clip.Left || x0 >= clip.Right) return;
    first = std::max<long long>(first, clip.Top);
    last = std::min<long long>(last, clip.Bottom - 1LL);
  }
  for (long long i = first; i <= last; ++i) {
    const int at = static_cast<int>(i);
    if (horizontal)
      Plot(at, y0, pixel);
    else
      Plot(x0, at, pixel);
  }
}

void TDrawContext::FillRect(const TRect& rect) {
  if (!FSurface || FBrushStyle == TBrushStyle::bsClear) return;
  FSurface->FillRect(rect.Offset(FOrigin.X, FOrigin.Y).Intersect(FClip), FBrushColor);
}

void TDrawContext::FrameRect(const TRect& rect) {
  if (!FSurface || rect.IsEmpty()) return;
  TColor brush = FBrushColor;
  TBrushStyle style = FBrushStyle;
  FBrushStyle = TBrushStyle::bsSolid;
  FillRect({rect.Left, rect.Top, rect.Right, rect.Top + 1});
  FillRect({rect.Left, rect.Bottom - 1, rect.Right, rect.Bottom});
  FillRect({rect.Left, rect.Top, rect.Left + 1, rect.Bottom});
  FillRect({rect.Right - 1, rect.Top, rect.Right, rect.Bottom});
  FBrushColor = brush;
  FBrushStyle = style;
}

TColor TDrawContext::Pixel(int x, int y) const {
  if (!FSurface) return CLR_INVALID;
  return FSurface->Pixel(x + FOrigin.X, y + FOrigin.Y);
}

void TDrawContext::SetPixel(int x, int y, TColor color) {
  if (FSurface) Plot(x, y, TSurface::ToPixel(color));
}

void TDrawContext::StretchBlt(const TRect& dst, const TSurface& src, const TRect& srcRect) {
  if (!FSurface || dst.IsEmpty() || srcRect.IsEmpty()) return;
  TRect devDst = dst.Offset(FOrigin.X, FOrigin.Y);
  TRect visible = devDst.Intersect(FClip);
  const long long dw = dst.Width(), dh = dst.Height();
  for (int y = visible.Top; y < visible.Bottom; ++y) {
    // Each destination pixel takes the source pixel its centre falls on.
    int sy =
        srcRect.Top + static_cast<int>(((y - devDst.Top) * 2LL + 1) * srcRect.Height() / (2 * dh));
    if (sy < 0 || sy >= src.Height()) continue;
    const std::uint32_t* srow = src.Row(sy);
    std::uint32_t* drow = FSurface->Row(y);
    for (int x = visible.Left; x < visible.Right; ++x) {
      int sx = srcRect.Left +
               static_cast<int>(((x - devDst.Left) * 2LL + 1) * srcRect.Width() / (2 * dw));
      if (sx >= 0 && sx < src.Width()) drow[x] = srow[sx];
    }
  }
}

void TDrawContext::Draw(int x, int y, const TSurface& src) {
  StretchBlt(Bounds(x, y, src.Width(), src.Height()), src, src.BoundsRect());
}
