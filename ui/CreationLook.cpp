#include "ui/CreationLook.h"

#include "ui/CLabel.h"
#include "ui/LayoutBuilder.h"
#include "ui/Title.h"

void ApplyCreationLook(TForm* form, int ScreenColorBits) {
  FindControl<TCLabel>(form, "CLabel1")->SetTransparent(true);
  if (ScreenColorBits > 8) return;
  // Painted into the bitmap itself, so the green stays however often the strip is repainted.
  auto* title = FindControl<TTitle>(form, "Title");
  TCanvas* canvas = title->Canvas();
  canvas->Brush()->SetColor(clGreen);
  canvas->FillRect({0, 0, title->Width(), title->Height()});
}
