#pragma once
// The analysis of one downloaded message: sender and subject, each attachment found by its
// `name="` parameter, its base64 body decoded into a scratch file in Data0001, judged, and
// a warning for every attachment with something to say.

#include <functional>
#include <string>

class TSpoolReader;

// The five texts of one warning.
struct TWarning {
  std::string From;
  std::string Subject;
  std::string Name;   // the attachment name as extracted (lower-case, no spaces)
  std::string Line1;  // first verdict line
  std::string Line2;  // second verdict line
};

// Deletes on the server the message held in the spool file of that name ("<n>.msg") and
// returns when the request has completed.
using TDeleteOperation = std::function<void(const std::string& SpoolName)>;

class TSpoolAnalysis {
 public:
  // Shows the warning modally and gives its modal result: 1 asks for the message's
  // deletion, anything else continues. Unassigned: nothing is shown or deleted.
  std::function<int(const TWarning& Warning)> OnWarn;
  // True once the application has terminated. From then on no further attachment is
  // examined, no warning shown and no deletion called; it is asked again after every
  // warning, since closing the program during one ends that showing with "continue".
  std::function<bool()> Stopped;

  // Reads Data0000/ + SpoolName from start to end. Raises EInOutError when the spool file
  // cannot be read, and EFCreateError ("Cannot create file " + path) when a scratch file
  // cannot be created, which ends the analysis there.
  void CheckSpoolFile(const std::string& SpoolName, const TDeleteOperation& Delete);

 private:
  bool IsStopped() const { return Stopped && Stopped(); }
  // Gives false when the analysis must end.
  bool HandleAttachment(TSpoolReader& Spool, std::string Line, TWarning Warning,
                        const std::string& SpoolName, const TDeleteOperation& Delete);
};
