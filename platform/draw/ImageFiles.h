#pragma once
// Reading and writing pictures: uncompressed 24-bit BMP (the program's own pictures) and
// PNG (screenshots for tests). Every function reports failure by its result and, when
// error is given, a short text saying why; a failed load leaves the surface unchanged.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/draw/Surface.h"

// Uncompressed BMP (BITMAPINFOHEADER or later, bottom-up or top-down) of 24 or 32 bits
// per pixel; 1, 4 and 8-bit palette images are accepted too.
bool LoadBmpFile(const std::string& path, TSurface& out, std::string* error = nullptr);
bool LoadBmpData(const std::uint8_t* data, std::size_t size, TSurface& out,
                 std::string* error = nullptr);
// Writes an uncompressed bottom-up 24-bit BMP.
bool SaveBmpFile(const std::string& path, const TSurface& surface, std::string* error = nullptr);
std::vector<std::uint8_t> EncodeBmp(const TSurface& surface);
// Writes an 8-bit-per-channel RGB PNG.
bool SavePngFile(const std::string& path, const TSurface& surface, std::string* error = nullptr);
