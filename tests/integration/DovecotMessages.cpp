#include "DovecotMessages.h"

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
const char kBoundary[] = "=_quillet_boundary_7f3a";

}  // namespace

std::string RandomBytes(std::size_t size, std::uint32_t seed) {
  std::string out(size, '\0');
  std::uint32_t x = seed ? seed : 1;
  for (std::size_t i = 0; i < size; ++i) {
    x ^= x << 13;  // xorshift32
    x ^= x >> 17;
    x ^= x << 5;
    out[i] = static_cast<char>(x >> 24);
  }
  return out;
}

std::string Base64Lines(const std::string& bytes) {
  std::string out;
  out.reserve(bytes.size() * 4 / 3 + bytes.size() / 57 * 2 + 8);
  std::size_t column = 0;
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t n = bytes.size() - i < 3 ? bytes.size() - i : 3;
    std::uint32_t v = static_cast<std::uint8_t>(bytes[i]) << 16;
    if (n > 1) v |= static_cast<std::uint8_t>(bytes[i + 1]) << 8;
    if (n > 2) v |= static_cast<std::uint8_t>(bytes[i + 2]);
    out += kAlphabet[(v >> 18) & 63];
    out += kAlphabet[(v >> 12) & 63];
    out += n > 1 ? kAlphabet[(v >> 6) & 63] : '=';
    out += n > 2 ? kAlphabet[v & 63] : '=';
    column += 4;
    if (column == 76) {
      out += "\r\n";
      column = 0;
    }
  }
  if (column) out += "\r\n";
  return out;
}

std::string Base64Decode(const std::string& text) {
  std::string out;
  out.reserve(text.size() * 3 / 4);
  std::uint32_t acc = 0;
  int bits = 0;
  for (char c : text) {
    if (c == '\r' || c == '\n') continue;
    const char* p = c ? std::char_traits<char>::find(kAlphabet, 64, c) : nullptr;
    if (!p) break;
    acc = (acc << 6) | static_cast<std::uint32_t>(p - kAlphabet);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out += static_cast<char>((acc >> bits) & 0xFF);
    }
  }
  return out;
}

std::string MessageWithAttachment(const std::string& subject, const std::string& fileName,
                                  const std::string& payload) {
  std::string m;
  m += "From: Erin <erin@example.org>\r\nTo: alice@example.org\r\n";
  m += "Subject: " + subject + "\r\n";
  m += "MIME-Version: 1.0\r\n";
  m += std::string("Content-Type: multipart/mixed; boundary=\"") + kBoundary + "\"\r\n\r\n";
  m += std::string("--") + kBoundary + "\r\nContent-Type: text/plain\r\n\r\n";
  m += "The file is attached.\r\n.\r\n..and a dotted line in the text part.\r\n\r\n";
  m += std::string("--") + kBoundary + "\r\n";
  m += "Content-Type: application/octet-stream; name=\"" + fileName + "\"\r\n";
  m += "Content-Transfer-Encoding: base64\r\n\r\n";
  m += Base64Lines(payload);
  m += std::string("\r\n--") + kBoundary + "--\r\n";
  return m;
}

std::string AttachmentText(const std::string& message) {
  const std::string marker = "Content-Transfer-Encoding: base64\r\n\r\n";
  const std::size_t start = message.find(marker);
  if (start == std::string::npos) return {};
  const std::size_t from = start + marker.size();
  const std::size_t end = message.find(std::string("\r\n--") + kBoundary, from);
  return message.substr(from, end == std::string::npos ? std::string::npos : end - from);
}
