#include "ui/IButton.h"

TIButton::TIButton(TComponent* AOwner) : TSkinButton<TPictureControl>(AOwner) {
  FPictureA.OnChange = [this](TObject*) { PictureChanged(); };
}
