#include "forms/Picture.h"

void TPicture::SetGraphic(const TGraphic* graphic) {
  Adopt(graphic ? graphic->Clone() : nullptr);
}

TBitmap* TPicture::Bitmap() {
  if (!HasBitmap()) Adopt(std::make_unique<TBitmap>());
  return static_cast<TBitmap*>(FGraphic.get());
}

void TPicture::Assign(const TPicture* source) {
  SetGraphic(source ? source->Graphic() : nullptr);
}

void TPicture::LoadFromFile(const std::string& path) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->LoadFromFile(path);
  Adopt(std::move(bitmap));
}

void TPicture::Adopt(std::unique_ptr<TGraphic> graphic) {
  FGraphic = std::move(graphic);
  if (FGraphic) FGraphic->OnChange = [this](TObject*) { Changed(); };
  Changed();
}

void TPicture::Changed() {
  if (OnChange) OnChange(this);
}
