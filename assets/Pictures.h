#pragma once
// The program's four pictures, built into it: the bytes of each BMP file of this folder
// (uncompressed, 24 bits per pixel), for TBitmap::LoadFromMemory.

#include <cstddef>
#include <cstdint>

struct TPictureData {
  const std::uint8_t* Data;
  std::size_t Size;
};

// The title strip of every window, 256 x 23, stretched to the window's width.
extern const TPictureData TitlePicture;
// The title bar's close button, 19 x 19: as it rests, and under the mouse.
extern const TPictureData CloseInactivePicture;
extern const TPictureData CloseActivePicture;
// The main window's picture, 34 x 39.
extern const TPictureData MainPicture;
