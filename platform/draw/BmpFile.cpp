#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/draw/ImageFiles.h"

namespace {

std::uint32_t U32(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t U16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

void Put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(v & 0xFF);
  out.push_back(v >> 8);
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back((v >> (8 * i)) & 0xFF);
}

bool Fail(std::string* error, const char* why) {
  if (error) *error = why;
  return false;
}

struct BmpHeader {
  std::uint32_t dataOffset, headerSize;
  int width, height;
  bool topDown;
  int bits;
  std::uint32_t compression, colorsUsed;
};

// Reads pixel (x) of a row of any accepted depth as 0x00RRGGBB; palette entries are BGRX.
std::uint32_t RowPixel(const std::uint8_t* row, int x, int bits, const std::uint8_t* palette,
                       std::size_t paletteCount) {
  std::uint32_t index;
  switch (bits) {
    case 32:
    case 24: {
      const std::uint8_t* p = row + static_cast<std::size_t>(x) * (bits / 8);
      return (p[2] << 16) | (p[1] << 8) | p[0];
    }
    case 8:
      index = row[x];
      break;
    case 4:
      index = (row[x / 2] >> ((x % 2) ? 0 : 4)) & 0x0F;
      break;
    default:
      index = (row[x / 8] >> (7 - x % 8)) & 1;
      break;
  }
  if (index >= paletteCount) return 0;
  const std::uint8_t* e = palette + index * 4;
  return (e[2] << 16) | (e[1] << 8) | e[0];
}

}  // namespace

bool LoadBmpData(const std::uint8_t* data, std::size_t size, TSurface& out, std::string* error) {
  if (size < 54 || data[0] != 'B' || data[1] != 'M') return Fail(error, "not a BMP file");
  BmpHeader h{};
  h.dataOffset = U32(data + 10);
  h.headerSize = U32(data + 14);
  if (h.headerSize < 40 || 14 + static_cast<std::size_t>(h.headerSize) > size)
    return Fail(error, "unsupported BMP header");
  h.width = static_cast<std::int32_t>(U32(data + 18));
  std::int32_t rawHeight = static_cast<std::int32_t>(U32(data + 22));
  h.topDown = rawHeight < 0;
  if (rawHeight == INT32_MIN) return Fail(error, "bad BMP size");
  h.height = h.topDown ? -rawHeight : rawHeight;
  h.bits = U16(data + 28);
  h.compression = U32(data + 30);
  h.colorsUsed = U32(data + 46);
  if (h.compression != 0 && !(h.compression == 3 && h.bits == 32))
    return Fail(error, "compressed BMP");
  if (h.bits != 1 && h.bits != 4 && h.bits != 8 && h.bits != 24 && h.bits != 32)
    return Fail(error, "unsupported BMP depth");
  if (h.width <= 0 || h.height <= 0 || h.width > 32768 || h.height > 32768)
    return Fail(error, "bad BMP size");
  const std::size_t stride = ((static_cast<std::size_t>(h.width) * h.bits + 31) / 32) * 4;
  if (h.dataOffset > size || stride * h.height > size - h.dataOffset)
    return Fail(error, "truncated BMP");
  // The palette sits between the header and the pixels; a count that claims more entries
  // than fit there is cut, and indexes beyond it read as black.
  const std::size_t paletteOffset = 14 + static_cast<std::size_t>(h.headerSize);
  std::size_t paletteCount = h.bits <= 8 ? (h.colorsUsed ? h.colorsUsed : 1u << h.bits) : 0;
  std::size_t room = h.dataOffset > paletteOffset ? (h.dataOffset - paletteOffset) / 4 : 0;
  if (paletteCount > room) paletteCount = room;
  const std::uint8_t* palette = data + std::min<std::size_t>(paletteOffset, size);
  TSurface image(h.width, h.height);
  for (int y = 0; y < h.height; ++y) {
    const std::uint8_t* row = data + h.dataOffset + stride * (h.topDown ? y : h.height - 1 - y);
    std::uint32_t* dst = image.Row(y);
    for (int x = 0; x < h.width; ++x) dst[x] = RowPixel(row, x, h.bits, palette, paletteCount);
  }
  out = std::move(image);
  return true;
}

bool LoadBmpFile(const std::string& path, TSurface& out, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return Fail(error, "File not found");
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
  return LoadBmpData(bytes.data(), bytes.size(), out, error);
}

std::vector<std::uint8_t> EncodeBmp(const TSurface& surface) {
  const int w = surface.Width(), h = surface.Height();
  const std::uint32_t stride = ((static_cast<std::uint32_t>(w) * 24 + 31) / 32) * 4;
  const std::uint32_t imageSize = stride * h;
  std::vector<std::uint8_t> out;
  out.reserve(54 + imageSize);
  out.push_back('B');
  out.push_back('M');
  Put32(out, 54 + imageSize);
  Put32(out, 0);
  Put32(out, 54);
  Put32(out, 40);
  Put32(out, w);
  Put32(out, h);
  Put16(out, 1);
  Put16(out, 24);
  Put32(out, 0);
  Put32(out, imageSize);
  Put32(out, 2835);  // 72 dpi
  Put32(out, 2835);
  Put32(out, 0);
  Put32(out, 0);
  for (int y = h - 1; y >= 0; --y) {
    const std::uint32_t* row = surface.Row(y);
    for (int x = 0; x < w; ++x) {
      out.push_back(row[x] & 0xFF);
      out.push_back((row[x] >> 8) & 0xFF);
      out.push_back((row[x] >> 16) & 0xFF);
    }
    out.resize(out.size() + (stride - 3 * w), 0);
  }
  return out;
}

bool SaveBmpFile(const std::string& path, const TSurface& surface, std::string* error) {
  std::vector<std::uint8_t> bytes = EncodeBmp(surface);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return Fail(error, "Cannot create file");
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) return Fail(error, "Disk full");
  return true;
}
