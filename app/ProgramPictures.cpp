#include "app/ProgramPictures.h"

#include "assets/Pictures.h"

namespace {
const TPictureData& DataOf(TPictureId id) {
  switch (id) {
    case TPictureId::Title:
      return TitlePicture;
    case TPictureId::CloseInactive:
      return CloseInactivePicture;
    case TPictureId::CloseActive:
      return CloseActivePicture;
    case TPictureId::MainWindow:
      return MainPicture;
  }
  throw ELayoutError("Unknown picture");
}
}  // namespace

std::unique_ptr<TBitmap> ProgramPicture(TPictureId id) {
  const TPictureData& data = DataOf(id);
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->LoadFromMemory(data.Data, data.Size);
  return bitmap;
}
