// The POP3 commands: their guards, the lines they send and how their replies are read.

#include "pop3/CustomPop3Cli.h"
#include "pop3/Md5.h"
#include "pop3/Pop3Parse.h"

void TCustomPop3Cli::User() {
  if (FProtocolState > pop3WaitingUser) FailGuard("-ERR USER command invalid now");
  FCurrentStep = stUser;
  ExecuteCommand(pop3RqUser, "USER " + TrimControls(FUserName), pop3WaitingPass, nullptr);
}

void TCustomPop3Cli::Pass() {
  if (FProtocolState > pop3WaitingPass) FailGuard("-ERR PASS command invalid now");
  FCurrentStep = stPass;
  ExecuteCommand(pop3RqPass, "PASS " + TrimControls(FPassWord), pop3Transaction, nullptr);
}

void TCustomPop3Cli::Rpop() {
  if (FProtocolState > pop3WaitingPass) FailGuard("-ERR RPOP command invalid now");
  FCurrentStep = stRpop;
  ExecuteCommand(pop3RqRpop, "RPOP " + TrimControls(FPassWord), pop3Transaction, nullptr);
}

void TCustomPop3Cli::Apop() {
  if (FProtocolState != pop3WaitingUser) FailGuard("-ERR APOP command invalid now");
  if (FTimestamp.empty()) FailGuard("-ERR Server do not support APOP (no timestamp)");
  FCurrentStep = stApop;
  // The digest covers the password exactly as given; only the name is trimmed.
  ExecuteCommand(pop3RqApop,
                 "APOP " + TrimControls(FUserName) + " " + Md5Hex(FTimestamp + FPassWord),
                 pop3Transaction, nullptr);
}

void TCustomPop3Cli::Quit() {
  CheckReady();
  FCurrentStep = stQuit;
  if (!FConnected) {
    FRequestType = pop3RqQuit;
    FRequestDoneFlag = false;
    FinishRequest(0);
    return;
  }
  ExecuteCommand(pop3RqQuit, "QUIT", pop3Disconnected, nullptr);
}

void TCustomPop3Cli::SendTransactionCommand(const char* word, const std::string& argument,
                                            THandler doneHandler, TPop3Request request) {
  if (FProtocolState != pop3Transaction)
    FailGuard(std::string("-ERR ") + word + " command invalid now");
  std::string line = word;
  if (!argument.empty()) line += " " + argument;
  ExecuteCommand(request, line, pop3Transaction, doneHandler);
}

void TCustomPop3Cli::Stat() {
  FCurrentStep = stStat;
  SendTransactionCommand("STAT", "", &TCustomPop3Cli::StatDone, pop3RqStat);
}

void TCustomPop3Cli::List() {
  FCurrentStep = stList;
  if (FMsgNum > 0)
    SendTransactionCommand("LIST", std::to_string(FMsgNum), &TCustomPop3Cli::ListOneDone,
                           pop3RqList);
  else
    SendTransactionCommand("LIST", "", &TCustomPop3Cli::ListAllDone, pop3RqList);
}

void TCustomPop3Cli::Retr() {
  FCurrentStep = stRetr;
  SendTransactionCommand("RETR", std::to_string(FMsgNum), &TCustomPop3Cli::MessageDone, pop3RqRetr);
}

void TCustomPop3Cli::Top() {
  if (FMsgLines < 0) throw Pop3Exception("Invalid MsgLines for TOP command");
  FCurrentStep = stTop;
  SendTransactionCommand("TOP", std::to_string(FMsgNum) + " " + std::to_string(FMsgLines),
                         &TCustomPop3Cli::MessageDone, pop3RqTop);
}

void TCustomPop3Cli::Dele() {
  FCurrentStep = stDele;
  SendTransactionCommand("DELE", std::to_string(FMsgNum), nullptr, pop3RqDele);
}

void TCustomPop3Cli::Noop() {
  FCurrentStep = stNoop;
  SendTransactionCommand("NOOP", "", nullptr, pop3RqNoop);
}

void TCustomPop3Cli::Last() {
  FCurrentStep = stLast;
  SendTransactionCommand("LAST", "", &TCustomPop3Cli::LastDone, pop3RqLast);
}

void TCustomPop3Cli::Rset() {
  FCurrentStep = stRset;
  SendTransactionCommand("RSET", "", nullptr, pop3RqRset);
}

void TCustomPop3Cli::Uidl() {
  FCurrentStep = stUidl;
  if (FMsgNum > 0)
    SendTransactionCommand("UIDL", std::to_string(FMsgNum), &TCustomPop3Cli::UidlOneDone,
                           pop3RqUidl);
  else
    SendTransactionCommand("UIDL", "", &TCustomPop3Cli::UidlAllDone, pop3RqUidl);
}

void TCustomPop3Cli::StatDone() {
  ParseTwoNumbers(FLastResponse, FMsgCount, FMsgSize);
  FinishRequest(0);
}

void TCustomPop3Cli::ListOneDone() {
  ParseTwoNumbers(FLastResponse, FMsgNum, FMsgSize);
  FinishRequest(0);
}

void TCustomPop3Cli::UidlOneDone() {
  ParseNumberAndId(FLastResponse, FMsgNum, FMsgUidl);
  FinishRequest(0);
}

void TCustomPop3Cli::LastDone() {
  FMsgNum = ParseFirstNumber(FLastResponse);
  FinishRequest(0);
}

void TCustomPop3Cli::ListAllDone() {
  StartMultiLine(&TCustomPop3Cli::ParseListItem, OnListEnd, OnListLine, OnListBegin);
}

void TCustomPop3Cli::UidlAllDone() {
  StartMultiLine(&TCustomPop3Cli::ParseUidlItem, OnUidlEnd, OnUidlLine, OnUidlBegin);
}

void TCustomPop3Cli::MessageDone() {
  StartMultiLine(nullptr, OnMessageEnd, OnMessageLine, OnMessageBegin);
}

void TCustomPop3Cli::ParseListItem() {
  ParseTwoNumbers(FLastResponse, FMsgNum, FMsgSize);
}

void TCustomPop3Cli::ParseUidlItem() {
  ParseNumberAndId(FLastResponse, FMsgNum, FMsgUidl);
}
