#pragma once
// Pictures: TGraphic is anything a picture can hold (only bitmaps here), TBitmap an
// off-screen image with its own canvas, TPicture the container a control owns, which
// tells its owner whenever the graphic in it changes.

#include <functional>
#include <memory>
#include <string>

#include "forms/Canvas.h"
#include "platform/draw/Surface.h"

class TGraphic : public TObject {
 public:
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  bool Empty() const { return Width() <= 0 || Height() <= 0; }
  // Draws the whole graphic stretched into rect of canvas.
  virtual void Draw(TCanvas* canvas, const TRect& rect) = 0;
  virtual std::unique_ptr<TGraphic> Clone() const = 0;

  std::function<void(TObject* Sender)> OnChange;

 protected:
  void Changed() {
    if (OnChange) OnChange(this);
  }
};

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
  void SaveToFile(const std::string& path) const;

 private:
  void Resized();

  TSurface FSurface;
  TCanvas FCanvas;
};

class TPicture : public TObject {
 public:
  TPicture() = default;

  TGraphic* Graphic() const { return FGraphic.get(); }
  // Copies graphic (nullptr empties the picture).
  void SetGraphic(const TGraphic* graphic);
  // The bitmap held; when the picture holds none, an empty bitmap is put in first.
  TBitmap* Bitmap();
  bool HasBitmap() const { return dynamic_cast<TBitmap*>(FGraphic.get()) != nullptr; }
  int Width() const { return FGraphic ? FGraphic->Width() : 0; }
  int Height() const { return FGraphic ? FGraphic->Height() : 0; }
  bool Empty() const { return !FGraphic || FGraphic->Empty(); }

  void Assign(const TPicture* source);
  void LoadFromFile(const std::string& path);

  // Fired whenever the graphic is replaced or changes (drawing on the bitmap included).
  std::function<void(TObject* Sender)> OnChange;

 private:
  void Adopt(std::unique_ptr<TGraphic> graphic);
  void Changed();

  std::unique_ptr<TGraphic> FGraphic;
};
