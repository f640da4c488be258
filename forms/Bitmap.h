#pragma once
// An off-screen image with its own canvas; drawing on the canvas changes the bitmap and
// fires OnChange.

#include <cstddef>
#include <cstdint>
#include <string>

#include "forms/Graphic.h"
#include "platform/draw/Surface.h"

class TBitmap : public TGraphic {
 public:
  TBitmap();
  TBitmap(int width, int height);

  int Width() const override { return FSurface.Width(); }
  int Height() const override { return FSurface.Height(); }
  void SetWidth(int value);
  void SetHeight(int value);
  void SetSize(int width, int height);
  // Drawing on the canvas changes the bitmap (and fires OnChange).
  TCanvas* Canvas() { return &FCanvas; }
  const TSurface& Surface() const { return FSurface; }

  void Draw(TCanvas* canvas, const TRect& rect) override;
  std::unique_ptr<TGraphic> Clone() const override;
  void Assign(const TBitmap& source);

  // 24-bit BMP files; a file that cannot be read raises EInvalidGraphic with the reason.
  void LoadFromFile(const std::string& path);
  // The same from the bytes of a BMP file held in memory (pictures built into the program).
  void LoadFromMemory(const std::uint8_t* data, std::size_t size);
  void SaveToFile(const std::string& path) const;

 private:
  void Resized();

  TSurface FSurface;
  TCanvas FCanvas;
};
