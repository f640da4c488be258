#pragma once
// A drawing surface with a pen, a brush and a font, over the platform's draw context. A
// control's canvas draws on its form's pixels with the control's top-left corner as (0, 0),
// clipped to the control; a bitmap's canvas draws on the bitmap.

#include <functional>
#include <string>

#include "forms/Font.h"
#include "platform/draw/DrawContext.h"

class TCanvas;
class TGraphic;

class TPen {
 public:
  explicit TPen(TDrawContext& dc) : FDC(dc) {}
  TColor Color() const { return FDC.PenColor(); }
  void SetColor(TColor value) { FDC.SetPenColor(value); }

 private:
  TDrawContext& FDC;
};

class TBrush {
 public:
  explicit TBrush(TDrawContext& dc) : FDC(dc) {}
  TColor Color() const { return FDC.BrushColor(); }
  // Choosing a colour makes the brush solid again, as it does classically.
  void SetColor(TColor value) {
    FDC.SetBrushColor(value);
    FDC.SetBrushStyle(TBrushStyle::bsSolid);
  }
  TBrushStyle Style() const { return FDC.BrushStyle(); }
  void SetStyle(TBrushStyle value) { FDC.SetBrushStyle(value); }

 private:
  TDrawContext& FDC;
};

enum class TFillStyle { fsSurface, fsBorder };

class TCanvas : public TObject {
 public:
  TCanvas();
  explicit TCanvas(TSurface* surface);

  TPen* Pen() { return &FPen; }
  TBrush* Brush() { return &FBrush; }
  TFont* Font() { return &FFont; }
  void SetFont(const TFont* font) { FFont.Assign(*font); }

  // The platform context behind the canvas (for calls such as DrawText with raw flags).
  TDrawContext* Handle() { return &FDC; }
  bool HasSurface() const { return FDC.Surface() != &FNoSurface; }
  // Points the canvas at a surface (nullptr: none, drawing is dropped); origin is where logical (0,
  // 0) lies on it and clip the part (surface coordinates) that may be written.
  void Attach(TSurface* surface, TPoint origin, const TRect& clip);
  void Attach(TSurface* surface);
  TRect ClipRect() const;  // logical coordinates

  TPoint PenPos() const { return FDC.PenPos(); }
  void MoveTo(int x, int y) { FDC.MoveTo(x, y); }
  void LineTo(int x, int y);
  void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
  void FillRect(const TRect& rect);
  void FrameRect(const TRect& rect);
  // Pen outline just inside the rectangle, brush inside it.
  void Rectangle(const TRect& rect);
  bool FloodFill(int x, int y, TColor color, TFillStyle style);
  TColor Pixel(int x, int y) const { return FDC.Pixel(x, y); }
  void SetPixel(int x, int y, TColor color);

  void TextOut(int x, int y, const std::string& text);
  TSize TextExtent(const std::string& text) const { return FDC.TextExtent(text); }
  int TextWidth(const std::string& text) const { return TextExtent(text).cx; }
  int TextHeight(const std::string& text) const { return TextExtent(text).cy; }
  int DrawText(const std::string& text, TRect& rect, unsigned flags);

  void Draw(int x, int y, TGraphic* graphic);
  void StretchDraw(const TRect& rect, TGraphic* graphic);
  void CopyRect(const TRect& dest, TCanvas* source, const TRect& sourceRect);

  // Fired after every drawing operation (a bitmap uses it to report that it changed).
  std::function<void(TObject* Sender)> OnChange;

 private:
  void Changed();
  void FontChanged();

  TSurface FNoSurface;  // an empty stand-in, so a canvas never draws through a null surface
  TDrawContext FDC{&FNoSurface};
  TPen FPen{FDC};
  TBrush FBrush{FDC};
  TFont FFont;
};
