#pragma once
// The drawing state and primitives used to paint windows, controls and off-screen bitmaps,
// with the semantics of the Windows calls of the same names. It draws onto a TSurface it
// does not own.
//
// Coordinates given to the primitives are logical: the origin offset is added to get
// surface coordinates, so a child control can paint on its parent's surface at its own
// position with (0, 0) as its top-left corner. Every pixel written is clipped to the clip
// rectangle (surface coordinates) and to the surface.

#include <string>

#include "platform/draw/Color.h"
#include "platform/draw/Geometry.h"
#include "platform/draw/Surface.h"
#include "platform/text/FontRequest.h"

enum class TBrushStyle { bsSolid, bsClear };

// DrawText flags, with their Windows values.
constexpr unsigned DT_LEFT = 0x0000;
constexpr unsigned DT_CENTER = 0x0001;
constexpr unsigned DT_RIGHT = 0x0002;
constexpr unsigned DT_VCENTER = 0x0004;  // with DT_SINGLELINE only
constexpr unsigned DT_BOTTOM = 0x0008;   // with DT_SINGLELINE only
constexpr unsigned DT_WORDBREAK = 0x0010;
constexpr unsigned DT_SINGLELINE = 0x0020;
constexpr unsigned DT_EXPANDTABS = 0x0040;
constexpr unsigned DT_NOCLIP = 0x0100;
constexpr unsigned DT_CALCRECT = 0x0400;
constexpr unsigned DT_NOPREFIX = 0x0800;

// The characters DrawText shows of a text drawn without DT_NOPREFIX: "&x" shows x, "&&"
// one '&', and a '&' at the very end nothing.
std::string WithoutPrefixes(const std::string& text);

// ExtFloodFill modes.
constexpr unsigned FLOODFILLBORDER = 0;
constexpr unsigned FLOODFILLSURFACE = 1;

class TDrawContext {
 public:
  TDrawContext() = default;
  // Clip = the whole surface, origin (0, 0), black pen, white solid brush, black text.
  explicit TDrawContext(TSurface* surface);

  TSurface* Surface() const { return FSurface; }
  // Switches to another surface and resets clip and origin to cover it whole.
  void SetSurface(TSurface* surface);

  // State. Colours may be system colours; they are resolved when used.
  TColor PenColor() const { return FPenColor; }
  void SetPenColor(TColor c) { FPenColor = c; }
  TColor BrushColor() const { return FBrushColor; }
  void SetBrushColor(TColor c) { FBrushColor = c; }
  TBrushStyle BrushStyle() const { return FBrushStyle; }
  void SetBrushStyle(TBrushStyle s) { FBrushStyle = s; }
  TColor TextColor() const { return FTextColor; }
  void SetTextColor(TColor c) { FTextColor = c; }
  const TFontRequest& Font() const { return FFont; }
  void SetFont(const TFontRequest& font) { FFont = font; }

  // Origin: logical (0, 0) lies at this surface point.
  TPoint Origin() const { return FOrigin; }
  void SetOrigin(TPoint origin) { FOrigin = origin; }
  // Clip rectangle in surface coordinates, cut to the surface.
  TRect ClipRect() const { return FClip; }
  void SetClipRect(const TRect& surfaceRect);
  // Narrows the clip to a rectangle given in logical coordinates (Windows IntersectClipRect).
  void IntersectClipRect(const TRect& logicalRect);

  // Current position for LineTo (logical).
  TPoint PenPos() const { return FPenPos; }
  void MoveTo(int x, int y) { FPenPos = {x, y}; }
  // One-pixel line in the pen colour from the current position to (x, y); the end point
  // itself is not drawn. The current position becomes (x, y).
  void LineTo(int x, int y);
  // Elliptic arc inside the bounding box (right and bottom exclusive), drawn
  // counter-clockwise from the ray through (xStart, yStart) to the ray through (xEnd, yEnd),
  // both rays from the box's centre; equal rays draw the whole ellipse. One-pixel pen.
  void Arc(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd);

  // Fills with the brush colour (nothing when the brush is clear).
  void FillRect(const TRect& rect);
  // Draws a one-pixel frame just inside the rectangle with the brush colour (FrameRect).
  void FrameRect(const TRect& rect);
  TColor Pixel(int x, int y) const;  // CLR_INVALID outside the surface
  void SetPixel(int x, int y, TColor color);
  // Border mode: fills with the brush colour every pixel 4-connected to (x, y) that does
  // not have the colour `color`. Surface mode: fills the 4-connected area that has it.
  // False when the start point is outside the clip or already stops the fill.
  bool ExtFloodFill(int x, int y, TColor color, unsigned mode);

  // Copies src's rectangle srcRect into dst (logical), scaling by nearest pixel
  // (StretchBlt with SRCCOPY). Pixels of srcRect outside src are not copied.
  void StretchBlt(const TRect& dst, const TSurface& src, const TRect& srcRect);
  // Copies all of src with its top-left corner at (x, y) (BitBlt).
  void Draw(int x, int y, const TSurface& src);

  // Text in the current font and text colour. With a solid brush the text's cell is
  // filled with the brush colour first (opaque mode); with a clear brush only the glyphs
  // are drawn. (x, y) is the top-left corner of the line's cell.
  void TextOut(int x, int y, const std::string& text);
  // Width and height of one line of text (GetTextExtentPoint); the height is the line
  // height of the font even for an empty text.
  TSize TextExtent(const std::string& text) const;
  TTextMetric TextMetrics() const;
  // Formatted text in a rectangle (DrawTextA): DT_LEFT/CENTER/RIGHT, DT_VCENTER/BOTTOM with
  // DT_SINGLELINE, DT_EXPANDTABS (tab stops every 8 average characters), DT_WORDBREAK, a
  // '&' that underlines the next character and "&&" for one '&' unless DT_NOPREFIX, clipping
  // to the rectangle unless DT_NOCLIP. With DT_CALCRECT nothing is drawn: the rectangle's
  // right and bottom are set to fit the text. Returns the height of the text.
  int DrawText(const std::string& text, TRect& rect, unsigned flags);

 private:
  void Plot(int x, int y, std::uint32_t pixel);  // logical point, clipped
  void StraightLine(int x0, int y0, int x1, int y1, std::uint32_t pixel);

  TSurface* FSurface = nullptr;
  TColor FPenColor = clBlack;
  TColor FBrushColor = clWhite;
  TBrushStyle FBrushStyle = TBrushStyle::bsSolid;
  TColor FTextColor = clBlack;
  TFontRequest FFont;
  TPoint FOrigin;
  TRect FClip;
  TPoint FPenPos;
};
