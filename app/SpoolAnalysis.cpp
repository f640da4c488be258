#include "app/SpoolAnalysis.h"

#include <cstdint>

#include "app/AttachName.h"
#include "app/Base64Line.h"
#include "app/ScratchFile.h"
#include "app/SpoolReader.h"
#include "app/Verdict.h"
#include "forms/StrUtils.h"

namespace {

constexpr int kDecodeBufferSize = 100;
constexpr int kDeleteResult = 1;

// A MIME boundary line. No base64 data or header line starts with "--", so such a line
// ends the part in hand: taking it for data would pass over the next part's `name="`.
bool IsBoundary(const std::string& Line) {
  return Line.starts_with("--");
}

// Passes over the rest of the part's header block and the empty lines after it, and gives
// the body's first line. The line that named the attachment is never taken for a
// boundary: given back, it would start the same attachment again, for ever.
std::string PassToBody(TSpoolReader& Spool, std::string Line) {
  while (!Line.empty()) {
    Spool.Next(Line);
    if (IsBoundary(Line)) return Line;
  }
  while (Line.empty() && !Spool.AtEnd()) Spool.Next(Line);
  return Line;
}

// Decodes the body into the scratch file up to the empty line that ends it, which is used
// up, or up to a boundary, which is given back to be read as the next part's first line.
void DecodeBody(TSpoolReader& Spool, std::string Line, TScratchFile& Scratch) {
  std::uint8_t buffer[kDecodeBufferSize];
  while (!Line.empty()) {
    if (IsBoundary(Line)) {
      Spool.GiveBack(std::move(Line));
      return;
    }
    std::size_t pos = 0;
    while (const int count = DecodeBase64Line(Line, pos, buffer, kDecodeBufferSize))
      Scratch.Append(buffer, static_cast<std::size_t>(count));
    Spool.Next(Line);
  }
}

}  // namespace

void TSpoolAnalysis::CheckSpoolFile(const std::string& SpoolName, const TDeleteOperation& Delete) {
  TSpoolReader spool("Data0000/" + SpoolName);
  TWarning warning;
  std::string line;
  while (!spool.AtEnd()) {
    spool.Next(line);
    if (line.starts_with("From:")) warning.From = CopyFrom(line, 7);
    if (line.starts_with("Subject:")) warning.Subject = CopyFrom(line, 10);
    warning.Name = GetAttachName(line);
    if (warning.Name.empty()) continue;
    if (IsStopped() || !HandleAttachment(spool, std::move(line), warning, SpoolName, Delete))
      return;
  }
}

bool TSpoolAnalysis::HandleAttachment(TSpoolReader& Spool, std::string Line, TWarning Warning,
                                      const std::string& SpoolName,
                                      const TDeleteOperation& Delete) {
  TVerdict verdict;
  {
    TScratchFile scratch("Data0001/" + ScratchFileName(Warning.Name));
    DecodeBody(Spool, PassToBody(Spool, std::move(Line)), scratch);
    scratch.Close();
    verdict = JudgeName(Warning.Name);
    JudgeContent(verdict, scratch.Path());
  }
  if (verdict.First.empty()) return true;
  if (IsStopped()) return false;
  Warning.Line1 = verdict.First;
  Warning.Line2 = verdict.Second;
  const int result = OnWarn ? OnWarn(Warning) : 0;
  if (IsStopped()) return false;
  if (result == kDeleteResult && Delete) Delete(SpoolName);
  return true;
}
