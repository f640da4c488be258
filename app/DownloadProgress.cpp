#include "app/DownloadProgress.h"

#include <cstdlib>

#include "platform/MessageLoop.h"

namespace {
// A terminal is rewritten at most this often while one message comes in.
constexpr std::uint64_t kReportEveryMs = 100;
constexpr char kRetr[] = "> RETR ";
}  // namespace

TDownloadProgress::TDownloadProgress(TPop3Cli& client, TConsoleOutput& out)
    : FClient(client), FOut(out) {
  FClient.OnDisplay = [this](TObject*, const std::string& text) { Sent(text); };
  FClient.OnResponse = [this](TObject*, const std::string& line) { Received(line); };
}

TDownloadProgress::~TDownloadProgress() {
  FClient.OnDisplay = nullptr;
  FClient.OnResponse = nullptr;
}

// OnDisplay tells each command line as "> " and the line; every other text it tells
// (replies, errors) ends nothing here, as the reply itself comes through Received.
void TDownloadProgress::Sent(const std::string& text) {
  if (!text.starts_with("> ")) return;
  FPhase = TPhase::Idle;
  if (!text.starts_with(kRetr)) return;
  FNumber = std::atoi(text.c_str() + sizeof kRetr - 1);
  FBytes = 0;
  FPhase = TPhase::AwaitingReply;
}

void TDownloadProgress::Received(const std::string& line) {
  if (FPhase == TPhase::AwaitingReply) {
    FPhase = line.starts_with("+") ? TPhase::Receiving : TPhase::Idle;
    if (FPhase == TPhase::Receiving) Report(false);
    return;
  }
  if (FPhase != TPhase::Receiving) return;
  const bool continuation = FClient.LineIsContinuation();
  if (!continuation && line == ".") {
    FPhase = TPhase::Idle;
    return Report(true);
  }
  // A later piece of an overlong line carries no line end of its own.
  FBytes += static_cast<std::int64_t>(line.size()) + (continuation ? 0 : 2);
  if (TickCount() - FReported >= kReportEveryMs) Report(false);
}

void TDownloadProgress::Report(bool final) {
  FReported = TickCount();
  std::string text = "  download: message ";
  text += std::to_string(FNumber) + " of " + std::to_string(FClient.MsgCount());
  text += ", ";
  text += std::to_string(FBytes) + " bytes";
  FOut.Progress(text, final);
}
