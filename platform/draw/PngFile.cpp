#include <png.h>

#include <cstdio>
#include <memory>

#include "platform/draw/ImageFiles.h"

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

bool SavePngFile(const std::string& path, const TSurface& surface, std::string* error) {
  auto fail = [&](const char* why) {
    if (error) *error = why;
    return false;
  };
  if (surface.Empty()) return fail("empty image");
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) return fail("Cannot create file");
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return fail("out of memory");
  }
  std::vector<png_byte> row(static_cast<std::size_t>(surface.Width()) * 3);
  // libpng reports errors by longjmp; only trivially destructible locals live across it.
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return fail("I/O error");
  }
  png_init_io(png, file.get());
  png_set_IHDR(png, info, surface.Width(), surface.Height(), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < surface.Height(); ++y) {
    const std::uint32_t* src = surface.Row(y);
    for (int x = 0; x < surface.Width(); ++x) {
      row[3 * x] = (src[x] >> 16) & 0xFF;
      row[3 * x + 1] = (src[x] >> 8) & 0xFF;
      row[3 * x + 2] = src[x] & 0xFF;
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}
