// Pixel-exact checks of the primitives the skinned frames are built from: lines without
// their end point, quarter arcs in a box with an exclusive right/bottom edge, the rounded
// frame made of both, and a border-mode flood fill that must stay inside it.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/draw/DrawContext.h"

namespace {

constexpr TColor kBack = 0xC0C0C0;
constexpr TColor kPen = 0x004000;
constexpr TColor kFill = 0x00FF00;

// Renders the surface as rows of '.' (background) and '#' (pen), so a failure shows the
// picture instead of one wrong number.
std::string Picture(const TSurface& s, TColor pen = kPen) {
  std::string out;
  for (int y = 0; y < s.Height(); ++y) {
    for (int x = 0; x < s.Width(); ++x) {
      TColor c = s.Pixel(x, y);
      out += c == pen ? '#' : c == kBack ? '.' : c == kFill ? 'o' : '?';
    }
    out += '\n';
  }
  return out;
}

// The rounded frame as the skinned controls draw it: four corner arcs, then four edges.
void RoundedFrame(TDrawContext& dc, int x, int y, int right, int bottom, int tl, int tr, int br,
                  int bl) {
  dc.Arc(x, y, x + 2 * tl, y + 2 * tl, x + tl, y, x, y + tl);
  dc.Arc(right - 2 * tr, y, right, y + 2 * tr, right, y + tr, right - tr, y);
  dc.Arc(right - 2 * br, bottom - 2 * br, right, bottom, right - br, bottom, right, bottom - br);
  dc.Arc(x, bottom - 2 * bl, x + 2 * bl, bottom, x, bottom - bl, x + bl, bottom);
  dc.MoveTo(x + tl, y);
  dc.LineTo(right - tr + 1, y);
  dc.MoveTo(right - 1, y + tr);
  dc.LineTo(right - 1, bottom - br + 1);
  dc.MoveTo(right - br, bottom - 1);
  dc.LineTo(x + bl - 1, bottom - 1);
  dc.MoveTo(x, bottom - bl);
  dc.LineTo(x, y + tl - 1);
}

// The picture of a rounded frame alone on a surface of width w and height h.
std::string FramePicture(int w, int h, TRect f, int tl, int tr, int br, int bl) {
  TSurface s(w, h, kBack);
  TDrawContext dc(&s);
  dc.SetPenColor(kPen);
  RoundedFrame(dc, f.Left, f.Top, f.Right, f.Bottom, tl, tr, br, bl);
  return Picture(s);
}

}  // namespace

TEST(DrawLines, EndPointIsNotDrawnInAnyDirection) {
  TSurface s(12, 12, kBack);
  TDrawContext dc(&s);
  dc.SetPenColor(kPen);
  dc.MoveTo(1, 1);
  dc.LineTo(6, 1);  // right: columns 1..5
  dc.MoveTo(10, 3);
  dc.LineTo(7, 3);  // left: columns 10..8
  dc.MoveTo(2, 4);
  dc.LineTo(2, 8);  // down: rows 4..7
  dc.MoveTo(4, 4);
  dc.LineTo(8, 8);  // diagonal: (4,4)..(7,7)
  dc.MoveTo(5, 5);
  dc.LineTo(5, 5);  // zero length draws nothing
  EXPECT_EQ(Picture(s),
            "............\n"
            ".#####......\n"
            "............\n"
            "........###.\n"
            "..#.#.......\n"
            "..#..#......\n"
            "..#...#.....\n"
            "..#....#....\n"
            "............\n"
            "............\n"
            "............\n"
            "............\n");
  EXPECT_EQ(dc.PenPos(), (TPoint{5, 5}));
}

TEST(DrawLines, PolylineJointsAreDrawnOnceAndOriginAndClipApply) {
  TSurface s(8, 6, kBack);
  TDrawContext dc(&s);
  dc.SetPenColor(kPen);
  dc.SetOrigin({2, 1});
  dc.SetClipRect({0, 0, 6, 6});
  dc.MoveTo(0, 0);
  dc.LineTo(5, 0);  // logical columns 0..4 -> surface 2..6, clipped at 6
  dc.LineTo(5, 3);  // the joint (5,0) is drawn by this line, surface (7,1) is clipped
  dc.LineTo(0, 3);
  EXPECT_EQ(Picture(s),
            "........\n"
            "..####..\n"
            "........\n"
            "........\n"
            "...###..\n"
            "........\n");
}

TEST(DrawLines, AStraightLineFarLongerThanTheSurfaceDrawsOnlyItsVisiblePart) {
  // A frame's edges between corners of unlimited radius: billions of pixels long, most of
  // them off the surface. Walking them whole would take seconds per edge.
  TSurface s(6, 3, kBack);
  TDrawContext dc(&s);
  dc.SetPenColor(kPen);
  dc.MoveTo(2000000000, 0);
  dc.LineTo(-2000000000, 0);
  dc.MoveTo(3, -2000000000);
  dc.LineTo(3, 2);  // the end point (row 2) is still left out
  dc.MoveTo(-5, 2);
  dc.LineTo(2, 2);
  EXPECT_EQ(Picture(s),
            "######\n"
            "...#..\n"
            "##....\n");
}

TEST(DrawArcs, SmallCircleQuartersFollowTheRays) {
  // A 4x4 box: the whole ellipse is Windows' eight-pixel ring.
  TSurface s(4, 4, kBack);
  TDrawContext dc(&s);
  dc.SetPenColor(kPen);
  dc.Arc(0, 0, 4, 4, 2, 0, 2, 0);
  EXPECT_EQ(Picture(s), ".##.\n#..#\n#..#\n.##.\n");

  // Counter-clockwise from the upward ray to the leftward ray: the top-left quarter only.
  s.Fill(kBack);
  dc.Arc(0, 0, 4, 4, 2, 0, 0, 2);
  EXPECT_EQ(Picture(s), ".#..\n#...\n....\n....\n");

  // The same rays swapped sweep the other three quarters.
  s.Fill(kBack);
  dc.Arc(0, 0, 4, 4, 0, 2, 2, 0);
  EXPECT_EQ(Picture(s), "..#.\n...#\n#..#\n.##.\n");

  // An empty box draws nothing.
  s.Fill(kBack);
  dc.Arc(1, 1, 1, 1, 1, 1, 1, 1);
  EXPECT_EQ(Picture(s), "....\n....\n....\n....\n");
}

TEST(DrawArcs, LargerEllipseIsThinClosedAndInsideItsBox) {
  TSurface s(30, 20, kBack);
  TDrawContext dc(&s);
  dc.SetPenColor(kPen);
  dc.Arc(2, 3, 27, 17, 0, 0, 0, 0);
  int minX = 99, maxX = -1, minY = 99, maxY = -1;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 30; ++x)
      if (s.Pixel(x, y) == kPen) {
        minX = std::min(minX, x), maxX = std::max(maxX, x);
        minY = std::min(minY, y), maxY = std::max(maxY, y);
      }
  EXPECT_EQ(minX, 2);
  EXPECT_EQ(maxX, 26);  // right edge of the box is exclusive
  EXPECT_EQ(minY, 3);
  EXPECT_EQ(maxY, 16);
  // Closed: a fill from the centre stays inside the box.
  dc.SetBrushColor(kFill);
  ASSERT_TRUE(dc.ExtFloodFill(14, 10, kPen, FLOODFILLBORDER));
  EXPECT_EQ(s.Pixel(2, 3), kBack);
  EXPECT_EQ(s.Pixel(0, 0), kBack);
  EXPECT_EQ(s.Pixel(14, 10), kFill);
}

TEST(DrawArcs, AHugeCornerDrawsItsVisiblePartWithoutWalkingTheWholeBox) {
  // Radii are not limited: a radius of a million puts the box far beyond the surface. Only
  // the top of the circle shows, as a flat run on row 0 left of the upward start ray.
  const int r = 1000000;
  TSurface s(40, 3, kBack);
  TDrawContext dc(&s);
  dc.SetPenColor(kPen);
  dc.Arc(20 - r, 0, 20 + r, 2 * r, 20, 0, 20 - r, r);
  EXPECT_EQ(Picture(s),
            "####################....................\n"
            "........................................\n"
            "........................................\n");
  // The same through an origin: the box is walked in logical coordinates.
  s.Fill(kBack);
  dc.SetOrigin({10, 1});
  dc.Arc(10 - r, 0, 10 + r, 2 * r, 10 + r, r, 10, 0);  // top-right quarter
  EXPECT_EQ(Picture(s),
            "........................................\n"
            "....................####################\n"
            "........................................\n");
}

TEST(RoundedFrame, RadiusTwoEdgesAndCutCorners) {
  // Frame (X, Y, Right, Bottom) = (2, 1, 12, 8) inside a margin, radius 2 everywhere.
  // Top row Y, bottom row Bottom-1, columns X and Right-1; the straight parts run from
  // X+r to Right-r and from Y+r to Bottom-r, the arcs add one pixel towards each corner.
  EXPECT_EQ(FramePicture(15, 10, {2, 1, 12, 8}, 2, 2, 2, 2),
            "...............\n"
            "...########....\n"
            "..#........#...\n"
            "..#........#...\n"
            "..#........#...\n"
            "..#........#...\n"
            "..#........#...\n"
            "...########....\n"
            "...............\n"
            "...............\n");
}

TEST(RoundedFrame, RadiusZeroGivesSquareCornersWithTheEdgesAsListed) {
  // Every straight edge runs inclusive to the far corner's coordinate: the top and bottom
  // rows from column X to column Right, the side columns from row Y to row Bottom, so the
  // corners are square and one pixel pokes out past Right and Bottom.
  EXPECT_EQ(FramePicture(15, 10, {2, 1, 12, 8}, 0, 0, 0, 0),
            "...............\n"
            "..###########..\n"
            "..#........#...\n"
            "..#........#...\n"
            "..#........#...\n"
            "..#........#...\n"
            "..#........#...\n"
            "..###########..\n"
            "..#........#...\n"
            "...............\n");
}

TEST(RoundedFrame, MixedRadiiAsInAButtonPair) {
  // Left button of a pair: rounded outer corners, square inner ones.
  EXPECT_EQ(FramePicture(8, 6, {0, 0, 7, 5}, 2, 0, 0, 2),
            ".#######\n"
            "#.....#.\n"
            "#.....#.\n"
            "#.....#.\n"
            ".#######\n"
            "......#.\n");
}

TEST(FloodFill, BorderModeFillsTheInsideOfARoundedFrameOnly) {
  TSurface s(20, 12, kBack);
  TDrawContext dc(&s);
  dc.SetPenColor(kPen);
  RoundedFrame(dc, 0, 0, 20, 12, 2, 2, 2, 2);
  dc.SetBrushColor(kFill);
  ASSERT_TRUE(dc.ExtFloodFill(10, 6, kPen, FLOODFILLBORDER));
  // The four corner pixels outside the arcs keep their colour: nothing leaks diagonally
  // through an arc.
  EXPECT_EQ(s.Pixel(0, 0), kBack);
  EXPECT_EQ(s.Pixel(19, 0), kBack);
  EXPECT_EQ(s.Pixel(0, 11), kBack);
  EXPECT_EQ(s.Pixel(19, 11), kBack);
  int filled = 0, frame = 0;
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 20; ++x) {
      filled += s.Pixel(x, y) == kFill;
      frame += s.Pixel(x, y) == kPen;
    }
  EXPECT_EQ(frame, 2 * 18 + 2 * 10);
  EXPECT_EQ(filled, 18 * 10);  // the whole interior
  // Starting on the border itself fills nothing.
  EXPECT_FALSE(dc.ExtFloodFill(0, 5, kPen, FLOODFILLBORDER));
}

TEST(FloodFill, ALargeWindingAreaIsFilledWhole) {
  // A serpentine corridor: walls every other column, open alternately at the bottom and
  // the top, so the one area runs up and down three hundred times. A recursive fill would
  // overflow the stack here; this one must reach every corridor pixel and no wall.
  const int w = 601, h = 400, wallCount = (w - 1) / 2, corridors = w - wallCount;
  TSurface s(w, h, kBack);
  TDrawContext dc(&s);
  dc.SetPenColor(kPen);
  for (int x = 1; x < w; x += 2) {
    const bool openAtBottom = (x / 2) % 2 == 0;
    dc.MoveTo(x, openAtBottom ? 0 : 1);
    dc.LineTo(x, openAtBottom ? h - 1 : h);
  }
  dc.SetBrushColor(kFill);
  ASSERT_TRUE(dc.ExtFloodFill(0, 0, kPen, FLOODFILLBORDER));
  long filled = 0, walls = 0, other = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const TColor c = s.Pixel(x, y);
      filled += c == kFill;
      walls += c == kPen;
      other += c != kFill && c != kPen;
    }
  EXPECT_EQ(other, 0);
  EXPECT_EQ(walls, wallCount * (h - 1L));
  EXPECT_EQ(filled, corridors * static_cast<long>(h) + wallCount);  // and each wall's gap
}

TEST(FloodFill, SurfaceModeAndClipBoundTheFill) {
  TSurface s(10, 4, kBack);
  TDrawContext dc(&s);
  dc.SetPenColor(kPen);
  dc.MoveTo(5, 0);
  dc.LineTo(5, 4);
  dc.SetBrushColor(kFill);
  dc.SetClipRect({0, 0, 10, 2});
  // Surface mode fills the background-coloured area the start point belongs to.
  ASSERT_TRUE(dc.ExtFloodFill(1, 1, kBack, FLOODFILLSURFACE));
  EXPECT_EQ(Picture(s),
            "ooooo#....\n"
            "ooooo#....\n"
            ".....#....\n"
            ".....#....\n");
  // Border mode with a fill colour that is not the border colour must still end.
  dc.SetClipRect({0, 0, 10, 4});
  ASSERT_TRUE(dc.ExtFloodFill(8, 3, kPen, FLOODFILLBORDER));
  EXPECT_EQ(s.Pixel(9, 0), kFill);
  EXPECT_EQ(s.Pixel(0, 3), kBack);
  EXPECT_FALSE(dc.ExtFloodFill(-1, 0, kPen, FLOODFILLBORDER));
}

TEST(StretchBlt, TitleStrip256To383StretchesHorizontallyOnly) {
  TSurface src(256, 23);
  for (int y = 0; y < 23; ++y)
    for (int x = 0; x < 256; ++x) src.SetPixel(x, y, RGB(x, y * 10, 7));
  TSurface dst(383, 23, clBlack);
  TDrawContext dc(&dst);
  dc.StretchBlt({0, 0, 383, 23}, src, src.BoundsRect());
  std::set<int> seen;
  int previous = -1;
  for (int x = 0; x < 383; ++x) {
    int column = GetRValue(dst.Pixel(x, 0));
    EXPECT_GE(column, previous) << "at " << x;
    EXPECT_LE(column - previous, 1) << "a source column was skipped at " << x;
    previous = column;
    seen.insert(column);
    for (int y = 0; y < 23; ++y)
      ASSERT_EQ(dst.Pixel(x, y), RGB(column, y * 10, 7)) << x << "," << y;
  }
  EXPECT_EQ(seen.size(), 256u);
  EXPECT_EQ(GetRValue(dst.Pixel(0, 0)), 0);
  EXPECT_EQ(GetRValue(dst.Pixel(382, 0)), 255);
}

TEST(StretchBlt, CopyHonoursOriginClipAndSourceBounds) {
  TSurface src(4, 4, kFill);
  TSurface dst(10, 10, kBack);
  TDrawContext dc(&dst);
  dc.SetOrigin({3, 3});
  dc.SetClipRect({0, 0, 6, 10});
  dc.Draw(0, 0, src);  // surface columns 3..6, clipped at 6
  EXPECT_EQ(dst.Pixel(3, 3), kFill);
  EXPECT_EQ(dst.Pixel(5, 6), kFill);
  EXPECT_EQ(dst.Pixel(6, 3), kBack);
  EXPECT_EQ(dst.Pixel(2, 3), kBack);
  EXPECT_EQ(dst.Pixel(3, 7), kBack);
  // A source rectangle reaching outside the source copies only what exists.
  dc.SetOrigin({0, 0});
  dc.StretchBlt({0, 0, 2, 2}, src, {3, 3, 5, 5});
  EXPECT_EQ(dst.Pixel(0, 0), kFill);
  EXPECT_EQ(dst.Pixel(1, 1), kBack);
}

TEST(Surface, ResizeKeepsPixelsAndSystemColoursResolve) {
  TSurface s(3, 2, kPen);
  s.SetSize(5, 3);
  EXPECT_EQ(s.Pixel(2, 1), kPen);
  EXPECT_EQ(s.Pixel(4, 2), clWhite);
  EXPECT_EQ(s.Pixel(5, 0), CLR_INVALID);
  s.SetPixel(0, 0, clGrayText);
  EXPECT_EQ(s.Pixel(0, 0), clGray);
  s.SetSize(-4, 2);
  EXPECT_TRUE(s.Empty());
  TDrawContext dc(&s);
  dc.FillRect({0, 0, 5, 5});  // nothing to draw on, must not crash
  EXPECT_EQ(ColorToRGB(clBtnFace), clSilver);
}
