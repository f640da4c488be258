#pragma once
// The settings file Tessel.dat: four lines ended by CR LF (server, port, account,
// password), read and written with the program's text-file rules. The password is stored
// scrambled: each byte plus 1, modulo 256. Nothing is trimmed; lines after the fourth are
// ignored and missing lines read as empty text.

#include <stdexcept>
#include <string>

constexpr char SettingsFileName[] = "Tessel.dat";

// The four mailbox settings, named like the POP3 client's properties they fill.
struct TMailboxSettings {
  std::string Host;
  std::string Port;
  std::string UserName;
  std::string PassWord;
  bool operator==(const TMailboxSettings&) const = default;
  // None of the four is empty: a check can start, and a save may write them.
  bool Complete() const {
    return !Host.empty() && !Port.empty() && !UserName.empty() && !PassWord.empty();
  }
};

// A save refused before anything was written; the text tells the user what to change.
class ESettingsError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

std::string ScramblePassword(const std::string& password);
std::string UnscramblePassword(const std::string& stored);

// File errors raise EInOutError with the classic texts ("File not found").
TMailboxSettings ReadSettingsFile(const std::string& path = SettingsFileName);

// Writes the four lines to a temporary file beside path and renames it over path, so that
// a failed write (a full disk) leaves the old settings as they were. A value that the
// format cannot hold (a CR or Ctrl-Z on disk would cut it short when read) raises
// ESettingsError, and a read-only file EInOutError "Access denied"; nothing is written
// then.
void WriteSettingsFile(const TMailboxSettings& settings,
                       const std::string& path = SettingsFileName);
