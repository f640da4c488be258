#pragma once
// Anything a picture can hold and a canvas can draw stretched into a rectangle; only
// bitmaps exist in this program. OnChange tells the holder that the graphic changed.

#include <functional>
#include <memory>

#include "forms/Canvas.h"

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
