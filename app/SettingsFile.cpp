#include "app/SettingsFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "forms/FileErrors.h"
#include "forms/FileUtils.h"
#include "forms/TextFile.h"

namespace {

std::string Shifted(const std::string& text, int by) {
  std::string result = text;
  for (char& c : result) c = static_cast<char>(static_cast<unsigned char>(c) + by);
  return result;
}

// A line may not hold CR, which ends it, or Ctrl-Z, which ends the readable data.
bool Storable(const std::string& line) {
  return line.find_first_of("\r\x1A") == std::string::npos;
}

void CheckStorable(const TMailboxSettings& s) {
  auto refuse = [](const std::string& field, const std::string& keys) {
    throw ESettingsError("The " + field + " contains a control character" + keys +
                         " that the settings file cannot store. Please type the " + field +
                         " again without it.");
  };
  if (!Storable(s.Host)) refuse("POP3 server", "");
  if (!Storable(s.Port)) refuse("port", "");
  if (!Storable(s.UserName)) refuse("POP3 account", "");
  if (!Storable(ScramblePassword(s.PassWord))) refuse("password", " (Ctrl+L or Ctrl+Y)");
}

void WriteLines(const TMailboxSettings& s, const std::string& path) {
  TTextFile f(path);
  f.Rewrite();
  f.WriteLn(s.Host);
  f.WriteLn(s.Port);
  f.WriteLn(s.UserName);
  f.WriteLn(ScramblePassword(s.PassWord));
  f.Sync();
  f.Close();
}

}  // namespace

std::string ScramblePassword(const std::string& password) {
  return Shifted(password, 1);
}

std::string UnscramblePassword(const std::string& stored) {
  return Shifted(stored, -1);
}

TMailboxSettings ReadSettingsFile(const std::string& path) {
  TTextFile f(path);
  f.Reset();
  TMailboxSettings s;
  s.Host = f.ReadLn();
  s.Port = f.ReadLn();
  s.UserName = f.ReadLn();
  s.PassWord = UnscramblePassword(f.ReadLn());
  f.Close();
  return s;
}

void WriteSettingsFile(const TMailboxSettings& settings, const std::string& path) {
  CheckStorable(settings);
  struct stat old {};
  const bool replacing = ::stat(path.c_str(), &old) == 0;
  // A read-only file stays as it is, as the read-only attribute keeps a file on the
  // platform the program was made for (for root too): the rename would replace it.
  if (replacing && (::access(path.c_str(), W_OK) != 0 || (old.st_mode & 0222) == 0))
    RaiseIoCode(ioerr::AccessDenied);
  const std::string temp = path + ".new";
  try {
    WriteLines(settings, temp);
    // The settings hold a password: the new file keeps the access rights of the old one.
    if (replacing) ::chmod(temp.c_str(), old.st_mode & 07777);
    if (!RenameFile(temp, path)) RaiseIoError(errno, path);
  } catch (...) {
    DeleteFile(temp);
    throw;
  }
}
