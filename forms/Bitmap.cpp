#include "forms/Bitmap.h"

#include "forms/Exceptions.h"
#include "platform/draw/ImageFiles.h"

TBitmap::TBitmap() {
  FCanvas.Attach(&FSurface);
  FCanvas.OnChange = [this](TObject*) { Changed(); };
}

TBitmap::TBitmap(int width, int height) : TBitmap() {
  SetSize(width, height);
}

void TBitmap::SetWidth(int value) {
  SetSize(value, Height());
}
void TBitmap::SetHeight(int value) {
  SetSize(Width(), value);
}

void TBitmap::SetSize(int width, int height) {
  if (width == Width() && height == Height()) return;
  FSurface.SetSize(width, height);
  Resized();
}

// The canvas keeps its pen, brush and font, but its clip must follow the new size.
void TBitmap::Resized() {
  FCanvas.Attach(&FSurface);
  Changed();
}

void TBitmap::Draw(TCanvas* canvas, const TRect& rect) {
  canvas->Handle()->StretchBlt(rect, FSurface, FSurface.BoundsRect());
  if (canvas->OnChange) canvas->OnChange(canvas);
}

std::unique_ptr<TGraphic> TBitmap::Clone() const {
  auto copy = std::make_unique<TBitmap>();
  copy->Assign(*this);
  return copy;
}

void TBitmap::Assign(const TBitmap& source) {
  if (&source == this) return;
  FSurface = source.FSurface;
  Resized();
}

namespace {
[[noreturn]] void InvalidBitmap(const std::string& reason) {
  throw EInvalidGraphic("Bitmap image is not valid: " + reason);
}
}  // namespace

void TBitmap::LoadFromFile(const std::string& path) {
  std::string error;
  TSurface loaded;
  if (!LoadBmpFile(path, loaded, &error)) InvalidBitmap(error);
  FSurface = std::move(loaded);
  Resized();
}

void TBitmap::LoadFromMemory(const std::uint8_t* data, std::size_t size) {
  std::string error;
  TSurface loaded;
  if (!LoadBmpData(data, size, loaded, &error)) InvalidBitmap(error);
  FSurface = std::move(loaded);
  Resized();
}

void TBitmap::SaveToFile(const std::string& path) const {
  std::string error;
  if (!SaveBmpFile(path, FSurface, &error)) throw EInvalidGraphic("Cannot save bitmap: " + error);
}
