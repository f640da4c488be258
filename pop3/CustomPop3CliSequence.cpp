// Request sequences (Login) and Abort.

#include <utility>

#include "pop3/CustomPop3Cli.h"

void TCustomPop3Cli::Login() {
  StartSequence(pop3RqLogin, StepBit(stConnect) | StepBit(stUser) | StepBit(stPass));
}

void TCustomPop3Cli::StartSequence(TPop3Request request, std::uint16_t steps) {
  if (FConnected && (steps & StepBit(stConnect)))
    throw Pop3Exception("pop3 component already connected");
  CheckReady();
  FRequestType = request;
  FRequestResult = 0;
  FPendingSteps = steps;
  FCurrentStep = stNone;
  FSequenceResult = 0;
  FSequenceActive = true;
  FAbortedBetweenSteps = false;
  FLastResponse.clear();
  FErrorMessage.clear();
  RunSequence();
}

void TCustomPop3Cli::RunSequence() {
  if (FState == pop3Aborting || std::exchange(FAbortedBetweenSteps, false)) {
    FPendingSteps = 0;
    FSequenceResult = 426;
    FErrorMessage = "426 Operation aborted.";
  }
  FSequenceContinuation = &TCustomPop3Cli::RunSequence;
  if (FRequestResult != 0) {
    FSequenceResult = FRequestResult;
    if ((FPendingSteps & StepBit(stQuit)) && FCurrentStep != stQuit)
      FPendingSteps = StepBit(stQuit);
    else
      FPendingSteps = 0;
  }
  static constexpr TStep kPriority[] = {stConnect, stUser, stPass, stRpop, stDele,
                                        stNoop,    stList, stRset, stApop, stRetr,
                                        stTop,     stStat, stUidl, stLast, stQuit};
  static constexpr void (TCustomPop3Cli::*kOperation[])() = {
      nullptr,
      &TCustomPop3Cli::Connect,
      &TCustomPop3Cli::User,
      &TCustomPop3Cli::Pass,
      &TCustomPop3Cli::Rpop,
      &TCustomPop3Cli::Apop,
      &TCustomPop3Cli::Quit,
      &TCustomPop3Cli::Stat,
      &TCustomPop3Cli::List,
      &TCustomPop3Cli::Retr,
      &TCustomPop3Cli::Top,
      &TCustomPop3Cli::Dele,
      &TCustomPop3Cli::Noop,
      &TCustomPop3Cli::Last,
      &TCustomPop3Cli::Rset,
      &TCustomPop3Cli::Uidl,
  };
  for (TStep step : kPriority) {
    if (!(FPendingSteps & StepBit(step))) continue;
    if (step == stConnect) FCurrentStep = stConnect;
    FPendingSteps &= std::uint16_t(~StepBit(step));
    // Virtual dispatch, so a derived client's own version of a step runs.
    (this->*kOperation[step])();
    return;
  }
  FPendingSteps = 0;
  FSequenceContinuation = nullptr;
  FRequestDoneFlag = false;
  FinishRequest(FSequenceResult);
}

void TCustomPop3Cli::Abort() {
  if (FState == pop3BetweenSteps) FAbortedBetweenSteps = true;
  ChangeState(pop3Aborting);
  if (FSocket) {
    FSocket->CancelDnsLookup();
    FSocket->Abort();
  }
  ChangeState(pop3Idle);
}
