#pragma once
// The picture container a control owns: empty or holding one graphic (a bitmap), it tells
// its owner whenever the graphic in it is replaced or changes.

#include <functional>
#include <memory>
#include <string>

#include "forms/Bitmap.h"

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
