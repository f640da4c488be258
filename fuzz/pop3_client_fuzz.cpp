// The POP3 client driven as a whole against a server in this process. The input plans the
// requests (every kind, each started from OnRequestDone of the one before, as the mail check
// starts them) and writes the server's byte stream, cut into pieces that reach the client
// in reads of their own, with hang-ups, resets and aborts wherever it says. Whatever the
// server sends:
// - every request started ends in exactly one OnRequestDone, of its own type, with a known
//   code and the client idle (perhaps already inside the call that started it, from the
//   messages the client lets run before it sends); a refused request raises
//   Pop3Exception and reports nothing;
// - every line reported holds no CR LF and no zero byte, and fits the receive buffer;
// - a multi-line answer begins once, within its own request, and a request that ends well
//   has ended its answer;
// - the server receives nothing but the command lines the client showed, in that order;
// - once the server has gone, the client ends disconnected and idle, its close heard once.
//
// Input: byte 0 picks Connect or Login first, byte 1 the length of the plan, then the plan,
// then server operations of (kind, argument, bytes).

#include <cstdint>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "FuzzLoop.h"
#include "pop3/Pop3Cli.h"

namespace {

struct TKind {
  TPop3Request Type;
  void (TPop3Cli::*Op)();
};

const TKind Kinds[] = {
    {pop3RqUser, &TPop3Cli::User}, {pop3RqPass, &TPop3Cli::Pass}, {pop3RqRpop, &TPop3Cli::Rpop},
    {pop3RqApop, &TPop3Cli::Apop}, {pop3RqStat, &TPop3Cli::Stat}, {pop3RqList, &TPop3Cli::List},
    {pop3RqRetr, &TPop3Cli::Retr}, {pop3RqTop, &TPop3Cli::Top},   {pop3RqDele, &TPop3Cli::Dele},
    {pop3RqNoop, &TPop3Cli::Noop}, {pop3RqLast, &TPop3Cli::Last}, {pop3RqRset, &TPop3Cli::Rset},
    {pop3RqUidl, &TPop3Cli::Uidl}, {pop3RqQuit, &TPop3Cli::Quit},
};
constexpr int KindCount = sizeof Kinds / sizeof Kinds[0];

// Replies a server gives, so that the fuzzer reaches deep states without guessing them.
const char* const Canned[] = {"+OK ready <1.2@host>\r\n",
                              "+OK\r\n",
                              "-ERR no\r\n",
                              ".\r\n",
                              "+OK 2 320\r\n",
                              "1 120\r\n",
                              "1 uid-1\r\n",
                              "..stuffed\r\n",
                              "Subject: x\r\n\r\nbody\r\n"};

bool KnownCode(std::uint16_t error) {
  return error == 0 || error == 426 || error == 500 || (error >= 10000 && error <= 11004);
}

// Which answer events a request may fire: 1 message, 2 list, 3 uidl; 0 none.
int AnswerOf(TPop3Request rq) {
  if (rq == pop3RqRetr || rq == pop3RqTop) return 1;
  if (rq == pop3RqList) return 2;
  return rq == pop3RqUidl ? 3 : 0;
}

class TDriver {
 public:
  TDriver(const std::string& port, std::vector<std::uint8_t> plan) : FPlan(std::move(plan)) {
    Pop3.SetHost("127.0.0.1");
    Pop3.SetPort(port);
    Pop3.SetUserName("alice");
    Pop3.SetPassWord("secret");
    Pop3.OnRequestDone = [this](TObject*, TPop3Request rq, std::uint16_t error) {
      Done(rq, error);
    };
    Pop3.OnResponse = [](TObject*, const std::string& line) {
      Check(line.find("\r\n") == std::string::npos && line.find('\0') == std::string::npos);
      Check(line.size() < TPop3ReceiveBuffer::Capacity);
    };
    Pop3.OnDisplay = [this](TObject*, const std::string& text) {
      if (text.starts_with("> ")) Shown += text.substr(2) + "\r\n";
    };
    Pop3.OnSessionClosed = [this](TObject*, std::uint16_t) { ++Closes; };
    Watch(1, Pop3.OnMessageBegin, Pop3.OnMessageLine, Pop3.OnMessageEnd);
    Watch(2, Pop3.OnListBegin, Pop3.OnListLine, Pop3.OnListEnd);
    Watch(3, Pop3.OnUidlBegin, Pop3.OnUidlLine, Pop3.OnUidlEnd);
  }

  void Begin(bool login) {
    Start(login ? pop3RqLogin : pop3RqConnect, login ? &TPop3Cli::Login : &TPop3Cli::Connect);
  }
  bool Settled() const {
    return FDone == FStarted && Pop3.State() == pop3Idle &&
           Pop3.ProtocolState() == pop3Disconnected && Closes > 0;
  }
  void CheckEnd() const { Check(Settled() && Closes == 1); }

  TPop3Cli Pop3;
  std::string Shown;  // the command lines the client said it sent
  int Closes = 0;

 private:
  void Watch(int answer, TPop3Notify& begin, TPop3Notify& line, TPop3Notify& end) {
    begin = [this, answer](TObject*) {
      Check(FOpen == 0 && !FEnded && FDone < FStarted && AnswerOf(FRunning) == answer &&
            (answer == 1 || FAllItems));
      FOpen = answer;
    };
    line = [this, answer](TObject*) { Check(FOpen == answer); };
    end = [this, answer](TObject*) {
      Check(FOpen == answer);
      FOpen = 0;
      FEnded = true;
    };
  }

  // The request may end inside the call that starts it (the client lets pending messages
  // run before it sends, and the connection's end may be among them), so it counts as
  // started before the call.
  bool Start(TPop3Request type, void (TPop3Cli::*op)()) {
    ++FStarted;
    FRunning = type;
    FOpen = 0;
    FEnded = false;
    try {
      (Pop3.*op)();
    } catch (const Pop3Exception&) {
      // Refused before anything was sent or pumped.
      --FStarted;
      Check(Pop3.State() == pop3Idle && FDone == FStarted);
      return false;
    }
    return true;
  }

  void Done(TPop3Request rq, std::uint16_t error) {
    ++FDone;
    Check(FDone == FStarted && rq == FRunning && KnownCode(error) && Pop3.State() == pop3Idle);
    // A multi-line answer that went well has ended; a single message's LIST or UIDL has none.
    if (error == 0 && AnswerOf(rq) != 0 && (AnswerOf(rq) == 1 || FAllItems))
      Check(FEnded && FOpen == 0);
    while (FNext < FPlan.size()) {
      const std::uint8_t p = FPlan[FNext++];
      const TKind& kind = Kinds[p % KindCount];
      Pop3.SetMsgNum(p / KindCount % 3);
      Pop3.SetMsgLines(p / (KindCount * 3) % 3);
      FAllItems = Pop3.MsgNum() == 0;
      if (Start(kind.Type, kind.Op)) return;
    }
  }

  std::vector<std::uint8_t> FPlan;
  std::size_t FNext = 0;
  int FStarted = 0;
  int FDone = 0;
  TPop3Request FRunning = pop3RqConnect;
  bool FAllItems = false;
  int FOpen = 0;
  bool FEnded = false;
};

void Serve(TFuzzInput& in, TFuzzConnection& server, TDriver& driver) {
  while (in.More() && !server.HungUp()) {
    const int op = in.Byte();
    const int arg = in.Byte();
    switch (op % 8) {
      case 0:
      case 1:  // a piece the client takes in a read of its own
        server.Send(in.Take(static_cast<std::size_t>(arg)));
        Drain();
        break;
      case 2:  // a piece that joins the next
        server.Send(in.Take(static_cast<std::size_t>(arg)));
        break;
      case 3:  // a long run of one byte: overlong lines
        server.Send(std::string(static_cast<std::size_t>(arg + 1) * 300, static_cast<char>(op)));
        Drain();
        break;
      case 4:
        server.Send(Canned[arg % (sizeof Canned / sizeof Canned[0])]);
        Drain();
        break;
      case 5:
        server.HangUp(arg % 2 == 1);
        break;
      case 6:
        driver.Pop3.Abort();
        Drain();
        break;
      default:
        server.Received();
        break;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Made once and kept: the listener, and a socket that keeps WinSock loaded (the last
  // socket to go would unload it, and every input would pay for its start-up again).
  static TFuzzListener* listener = new TFuzzListener();
  static TWSocket* keeper = new TWSocket();
  (void)keeper;
  TFuzzInput in(data, size);
  const bool login = in.Byte() % 2 == 1;
  const std::string plan = in.Take(static_cast<std::size_t>(in.Byte() % 16));
  TDriver driver(listener->PortText(), std::vector<std::uint8_t>(plan.begin(), plan.end()));
  driver.Begin(login);
  TFuzzConnection server(listener->Accept());
  // The connect's outcome reaches the client from the loop, not always by the first look:
  // every input starts from the same point, the greeting awaited.
  Check(RunUntil([&] { return driver.Pop3.State() == pop3AwaitingGreeting; }));
  Serve(in, server, driver);
  server.HangUp();
  Check(RunUntil([&] { return driver.Settled(); }));
  driver.CheckEnd();
  // What the server received is what the client showed it sent, up to where it stopped.
  const std::string& received = server.Received();
  Check(driver.Shown.compare(0, received.size(), received) == 0);
  return 0;
}
