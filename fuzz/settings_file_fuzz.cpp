// The settings file as the user (or anything else) may leave it: arbitrary bytes read with
// ReadSettingsFile. The four values must be what the text-file rules give (a line ends at
// CR, an LF right after it is passed over, Ctrl-Z ends the data, a line past the end is
// empty; the password unscrambled by one), and values that the format can hold must come
// back unchanged from a write, in exactly the four CR LF lines the format prescribes;
// values it cannot hold must be refused with nothing written.
//
// Input: the bytes of Tessel.dat.

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "app/SettingsFile.h"

namespace {

std::string gFolder;

// A folder of its own, in memory when the machine has one: the write ends with fsync.
const std::string& Folder() {
  if (gFolder.empty()) {
    std::string tmpl = (std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp");
    tmpl += "/quillet-settings-fuzz-XXXXXX";
    Check(::mkdtemp(tmpl.data()) != nullptr);
    gFolder = tmpl;
    std::atexit([] { std::filesystem::remove_all(gFolder); });
  }
  return gFolder;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The first four lines by the text-file rules.
std::vector<std::string> Lines(std::string bytes) {
  bytes = bytes.substr(0, bytes.find('\x1A'));
  std::vector<std::string> lines(4);
  std::size_t pos = 0;
  for (std::string& line : lines) {
    if (pos >= bytes.size()) break;
    const std::size_t cr = bytes.find('\r', pos);
    line = bytes.substr(pos, cr == std::string::npos ? std::string::npos : cr - pos);
    pos = cr == std::string::npos ? bytes.size() : cr + 1;
    if (pos < bytes.size() && bytes[pos] == '\n') ++pos;
  }
  return lines;
}

std::string Shift(std::string text, int by) {
  for (char& c : text) c = static_cast<char>(static_cast<unsigned char>(c) + by);
  return text;
}

bool Storable(const TMailboxSettings& s) {
  for (const std::string& v : {s.Host, s.Port, s.UserName, Shift(s.PassWord, 1)})
    if (v.find_first_of("\r\x1A") != std::string::npos) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = Folder() + "/Tessel.dat";
  const std::string bytes = TFuzzInput(data, size).Rest();
  WriteBytes(path, bytes);
  const TMailboxSettings read = ReadSettingsFile(path);
  const std::vector<std::string> lines = Lines(bytes);
  Check(read.Host == lines[0] && read.Port == lines[1] && read.UserName == lines[2]);
  Check(read.PassWord == Shift(lines[3], -1));
  // What was read is written back; a password whose scrambled form holds a CR or Ctrl-Z
  // (typed as Ctrl+L or Ctrl+Y) cannot be stored, and the file must then stay as it was.
  const bool storable = Storable(read);
  try {
    WriteSettingsFile(read, path);
    Check(storable);
  } catch (const ESettingsError&) {
    Check(!storable && ReadBytes(path) == bytes);
    return 0;
  }
  Check(ReadBytes(path) == read.Host + "\r\n" + read.Port + "\r\n" + read.UserName + "\r\n" +
                               Shift(read.PassWord, 1) + "\r\n");
  Check(ReadSettingsFile(path) == read);
  return 0;
}
