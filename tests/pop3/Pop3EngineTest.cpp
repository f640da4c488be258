// The client's engine against a scripted peer: line splitting, the greeting, the end of
// requests, sequences, abort and the loss of the connection.

#include "Pop3Fixture.h"
#include "platform/MessageLoop.h"
#include "pop3/Md5.h"
#include "support/SocketArrival.h"

using TDone = std::pair<TPop3Request, std::uint16_t>;
using namespace std::string_literals;

class Pop3Engine : public Pop3Fixture {};

TEST_F(Pop3Engine, GreetingInThreePiecesIsOneLineAndOneReport) {
  peer.Send("+O").Hold().Send("K POP3 ready\r").Hold().Send("\n");
  pop3.Connect();
  // Each piece is taken in a read of its own before the next one leaves.
  for (const int taken : {2, 15}) {
    ASSERT_TRUE(RunLoopUntil([&] { return peer.Holding() && pop3.Taken() == taken; }));
    peer.Release();
  }
  ExpectReports({{pop3RqConnect, 0}});
  EXPECT_EQ(events, (std::vector<std::string>{"resp +OK POP3 ready", "disp < +OK POP3 ready",
                                              "connected"}));
  EXPECT_EQ(pop3.ProtocolState(), pop3WaitingUser);
  EXPECT_EQ(states,
            (std::vector<TPop3ComponentState>{pop3Resolving, pop3Connecting, pop3AwaitingGreeting,
                                              pop3Connected, pop3Idle}));
}

TEST_F(Pop3Engine, LinesOfOnePacketAreHandledInOrderWithTheirOwnBytes) {
  // Unsolicited lines after the greeting are only shown; a lone CR or LF stays in its line
  // and a zero byte cuts its line short.
  peer.Send("+OK hi\r\n* one\r\n* a\rb\nc\r\n* cut\0here\r\n"s);
  pop3.Connect();
  ASSERT_TRUE(WaitDone(1));
  ASSERT_TRUE(RunLoopUntil([&] { return Logged("disp < * cut"); }));
  EXPECT_EQ(events, (std::vector<std::string>{"resp +OK hi", "disp < +OK hi", "connected",
                                              "resp * one", "disp < * one", "resp * a\rb\nc",
                                              "disp < * a\rb\nc", "resp * cut", "disp < * cut"}));
  EXPECT_EQ(done.size(), 1u);
}

TEST_F(Pop3Engine, NegativeGreetingEndsTheConnectOnceWithInterrupted) {
  peer.Send("-ERR too busy\r\n+OK never seen\r\n");
  pop3.Connect();
  ASSERT_TRUE(WaitPeerSawClose());
  ExpectReports({{pop3RqConnect, 10004}});
  EXPECT_FALSE(Logged("connected"));
  EXPECT_TRUE(Logged("closed"));
  EXPECT_FALSE(Logged("resp +OK never seen"));
  EXPECT_EQ(pop3.ProtocolState(), pop3Disconnected);
  EXPECT_EQ(pop3.ErrorMessage(), "-ERR too busy");
  EXPECT_EQ(pop3.LastResponse(), "-ERR too busy");
}

TEST_F(Pop3Engine, ApopDigestsTheGreetingTimestampAndNextGreetingForgetsIt) {
  const std::string stamp = "<1896.697170952@dbc.mtview.ca.us>";
  peer.Send("+OK a>b POP3 server ready " + stamp + "\r\n").Expect().Send("+OK in\r\n");
  peer.Expect().Send("+OK bye\r\n").Close();
  pop3.SetUserName(" mrose ");
  pop3.SetPassWord("tanstaaf");
  pop3.Connect();
  ASSERT_TRUE(WaitDone(1));
  pop3.Apop();
  ASSERT_TRUE(WaitDone(2));
  EXPECT_EQ(done[1], TDone(pop3RqApop, 0));
  EXPECT_EQ(pop3.ProtocolState(), pop3Transaction);
  pop3.Quit();
  ASSERT_TRUE(WaitDone(3));
  ASSERT_TRUE(WaitClosed());
  EXPECT_EQ(peer.Lines(),
            (std::vector<std::string>{"APOP mrose c4c9334bac560ecc979e58001b3e22fb", "QUIT"}));

  // A second connection whose greeting has no timestamp: APOP is refused at once.
  TScriptedPeer second;
  second.Send("+OK plain ready\r\n");
  pop3.SetPort(second.Port());
  pop3.Connect();
  ASSERT_TRUE(WaitDone(4));
  EXPECT_EQ(done[3], TDone(pop3RqConnect, 0));
  EXPECT_THROW(
      {
        try {
          pop3.Apop();
        } catch (const Pop3Exception& e) {
          EXPECT_STREQ(e.what(), "-ERR Server do not support APOP (no timestamp)");
          throw;
        }
      },
      Pop3Exception);
  EXPECT_EQ(pop3.ErrorMessage(), "-ERR Server do not support APOP (no timestamp)");
  EXPECT_TRUE(Logged("disp -ERR Server do not support APOP (no timestamp)"));
  EXPECT_TRUE(second.Lines().empty());
}

TEST_F(Pop3Engine, QuitReplyFollowedByTheCloseReportsOnce) {
  peer.Send("+OK hi\r\n").Expect().Send("+OK bye\r\n").Close();
  pop3.Connect();
  ASSERT_TRUE(WaitDone(1));
  pop3.Quit();
  ASSERT_TRUE(WaitClosed());
  ExpectReports({{pop3RqConnect, 0}, {pop3RqQuit, 0}});
  EXPECT_EQ(pop3.ProtocolState(), pop3Disconnected);
}

TEST_F(Pop3Engine, ConnectionLostWhileAwaitingAReplyEndsTheRequest) {
  ScriptLogin();
  peer.Expect().Send("+OK here it comes\r\nline 1\r\n").Close();
  LoginNow();
  pop3.SetMsgNum(1);
  pop3.Retr();
  ExpectReports({{pop3RqRetr, 10004}});
  EXPECT_EQ(pop3.ProtocolState(), pop3Disconnected);
  // The mail check shows "Error " and this text: it must say what happened.
  EXPECT_EQ(pop3.ErrorMessage(), "-ERR Disconneced unexpectedly");
  EXPECT_TRUE(Logged("disp -ERR Disconneced unexpectedly"));
}

TEST_F(Pop3Engine, LoginStopsAtTheFirstFailingStep) {
  peer.Send("+OK ready\r\n").Expect().Send("-ERR unknown user\r\n");
  pop3.SetUserName("nobody");
  pop3.Login();
  ExpectReports({{pop3RqLogin, 500}});
  EXPECT_EQ(pop3.ErrorMessage(), "-ERR unknown user");
  EXPECT_EQ(peer.Lines(), (std::vector<std::string>{"USER nobody"}));  // no PASS
  EXPECT_EQ(pop3.ProtocolState(), pop3WaitingUser);
}

TEST_F(Pop3Engine, LoginWhoseConnectionDropsMidwayReportsTheLoss) {
  // The server closes after USER: the sequence must end with an error, not go on to PASS.
  peer.Send("+OK ready\r\n").Expect().Close();
  pop3.Login();
  ExpectReports({{pop3RqLogin, 10004}});
  EXPECT_EQ(pop3.ProtocolState(), pop3Disconnected);
  EXPECT_EQ(pop3.ErrorMessage(), "-ERR Disconneced unexpectedly");
}

TEST_F(Pop3Engine, LoginWithoutRequestDoneHandlerStillReturnsToIdle) {
  ScriptLogin();
  pop3.OnRequestDone = nullptr;
  pop3.Login();
  ASSERT_TRUE(RunLoopUntil([&] { return pop3.ProtocolState() == pop3Transaction; }));
  DrainMessages();
  EXPECT_EQ(pop3.State(), pop3Idle);
}

TEST_F(Pop3Engine, AbortWhileIdleOnlyPassesThroughAborting) {
  pop3.Abort();
  DrainMessages();
  EXPECT_EQ(states, (std::vector<TPop3ComponentState>{pop3Aborting, pop3Idle}));
  EXPECT_TRUE(done.empty());
}

// The connect is still under way when Connect returns for a dotted address, and the greeting
// may never come: an Abort in either phase ends the Connect once, with 10004.
TEST_F(Pop3Engine, AbortWhileConnectingOrAwaitingTheGreetingEndsTheConnectOnce) {
  // The peer accepts, then never greets.
  pop3.Connect();
  ASSERT_EQ(pop3.State(), pop3Connecting);
  pop3.Abort();
  ExpectReports({{pop3RqConnect, 10004}});

  TScriptedPeer silent;
  pop3.SetPort(silent.Port());
  pop3.Connect();
  ASSERT_TRUE(RunLoopUntil([&] { return pop3.State() == pop3AwaitingGreeting; }));
  pop3.Abort();
  ASSERT_TRUE(RunLoopUntil([&] { return silent.ComponentClosed(); }));
  ExpectReports({{pop3RqConnect, 10004}, {pop3RqConnect, 10004}});
  EXPECT_EQ(pop3.ProtocolState(), pop3Disconnected);
  EXPECT_FALSE(Logged("connected"));
}

TEST_F(Pop3Engine, AbortDuringLoginEndsTheSequenceWith426) {
  peer.Send("+OK ready\r\n").Expect();  // USER is never answered
  pop3.Login();
  ASSERT_TRUE(WaitLines(1));
  pop3.Abort();
  ExpectReports({{pop3RqLogin, 426}});
  EXPECT_EQ(pop3.ErrorMessage(), "426 Operation aborted.");
  EXPECT_EQ(pop3.ProtocolState(), pop3Disconnected);
}

// Between two steps no command is in flight, so an Abort from the handler of that state
// change ends no request by itself; the sequence must still stop and report it.
TEST_F(Pop3Engine, AbortBetweenLoginStepsEndsTheSequenceOnceWith426) {
  peer.Send("+OK ready\r\n").Expect();
  pop3.OnStateChange = [&](TObject*) {
    states.push_back(pop3.State());
    if (pop3.State() == pop3BetweenSteps) pop3.Abort();
  };
  pop3.Login();
  ExpectReports({{pop3RqLogin, 426}});
  EXPECT_EQ(pop3.ErrorMessage(), "426 Operation aborted.");
  EXPECT_TRUE(peer.Lines().empty());  // no USER after the abort
}

TEST_F(Pop3Engine, RefusedConnectionReportsTheWinsockError) {
  TRefusingPort refusing;
  pop3.SetPort(refusing.Port());
  pop3.Connect();
  ExpectReports({{pop3RqConnect, 10061}});
  EXPECT_EQ(pop3.LastResponse(), "-ERR Connection refused (Winsock error #10061)");
  EXPECT_EQ(pop3.ErrorMessage(), pop3.LastResponse());
  // The component can try again: it is not left "connected".
  EXPECT_THROW(pop3.User(), Pop3Exception);
}

TEST_F(Pop3Engine, MultiLineAnswerIsUnstuffedAndEndsWithEmptyLastResponse) {
  ScriptLogin();
  peer.Expect().Send("+OK 40 octets\r\n..\r\n.x\r\n..y\r\n...\r\n.\r\n");
  LoginNow();
  std::vector<std::string> lines;
  pop3.OnMessageBegin = [this](TObject*) { Log("begin"); };
  pop3.OnMessageLine = [&, this](TObject*) {
    lines.push_back(pop3.LastResponse());
    Log("line");
  };
  pop3.OnMessageEnd = [this](TObject*) { Log("end"); };
  pop3.SetMsgNum(1);
  pop3.Retr();
  ExpectReports({{pop3RqRetr, 0}});
  EXPECT_EQ(lines, (std::vector<std::string>{".", ".x", ".y", ".."}));
  EXPECT_EQ(lastResponseAtDone, "");
  // Data lines reach OnResponse raw and are never displayed.
  EXPECT_EQ(events,
            (std::vector<std::string>{"disp > RETR 1", "resp +OK 40 octets", "disp < +OK 40 octets",
                                      "begin", "resp ..", "line", "resp .x", "line", "resp ..y",
                                      "line", "resp ...", "line", "resp .", "end"}));
}

// A line longer than the receive buffer once stalled the connection for good; now it
// arrives in pieces, marked as continuations after the first, and a piece that happens to
// be "." or to start with ".." is data.
TEST_F(Pop3Engine, OverlongDataLineArrivesInPiecesWithoutEndingTheAnswer) {
  ScriptLogin();
  const std::string first(TPop3ReceiveBuffer::Capacity - 1, 'a');
  peer.Expect().Send("+OK\r\n").Send(first + ".\r\n").Send(first + "..b\r\nnext\r\n.\r\n");
  LoginNow();
  std::string joined;
  int lineEvents = 0;
  pop3.OnMessageLine = [&](TObject*) {
    joined += (pop3.LineIsContinuation() ? "+" : "") + pop3.LastResponse() + "|";
    ++lineEvents;
  };
  pop3.SetMsgNum(1);
  pop3.Retr();
  ExpectReports({{pop3RqRetr, 0}}, 10000);
  EXPECT_EQ(joined, first + "|+.|" + first + "|+..b|next|");
  EXPECT_EQ(lineEvents, 5);
}

TEST_F(Pop3Engine, AbortDuringACommandEndsItOnceAndDropsTheConnection) {
  ScriptLogin();
  peer.Expect();  // RETR is never answered
  LoginNow();
  pop3.SetMsgNum(1);
  pop3.Retr();
  ASSERT_TRUE(WaitLines(3));
  pop3.Abort();
  ASSERT_TRUE(WaitPeerSawClose());
  ExpectReports({{pop3RqRetr, 10004}});
  EXPECT_EQ(pop3.ProtocolState(), pop3Disconnected);
  EXPECT_THROW(pop3.Noop(), Pop3Exception);  // the transaction is gone with the connection
}

// A line handler that raises (a spool file that cannot be written) used to leave the rest of
// the answer, its final "." included, held and never dispatched: the socket layer swallows
// the exception, no more data comes, and the retrieval never ended.
TEST_F(Pop3Engine, LineHandlerThatRaisesEndsTheRequestOnceAndDropsTheConnection) {
  ScriptLogin();
  peer.Expect().Send("+OK\r\nline 1\r\nline 2\r\n.\r\n");
  LoginNow();
  std::vector<std::string> lines;
  pop3.OnMessageLine = [&](TObject*) {
    lines.push_back(pop3.LastResponse());
    throw std::runtime_error("Disk full");
  };
  pop3.OnMessageEnd = [this](TObject*) { Log("end"); };
  pop3.SetMsgNum(1);
  pop3.Retr();
  ASSERT_TRUE(WaitPeerSawClose());
  ExpectReports({{pop3RqRetr, 10004}});
  EXPECT_EQ(lines, (std::vector<std::string>{"line 1"}));
  EXPECT_FALSE(Logged("end"));
  EXPECT_EQ(pop3.ErrorMessage(), "-ERR Exception: Disk full");
  EXPECT_EQ(pop3.ProtocolState(), pop3Disconnected);
}

TEST_F(Pop3Engine, DestroyedClientClosesItsConnectionAndReportsNothingLate) {
  peer.Send("+OK hi\r\n").Expect();
  std::vector<TDone> late;
  auto client = std::make_unique<TPop3Cli>();
  client->SetHost("127.0.0.1");
  client->SetPort(peer.Port());
  bool connected = false;
  client->OnRequestDone = [&](TObject*, TPop3Request rq, std::uint16_t error) {
    if (rq == pop3RqConnect) connected = true;
    late.emplace_back(rq, error);
  };
  client->Connect();
  ASSERT_TRUE(RunLoopUntil([&] { return connected; }));
  client->User();  // answered never; the request is still running
  ASSERT_TRUE(WaitLines(1));
  client.reset();
  ASSERT_TRUE(WaitPeerSawClose());
  DrainMessages();
  EXPECT_EQ(late, (std::vector<TDone>{{pop3RqConnect, 0}}));
}

// Before a command goes out, pending messages run; one of them may end the connection (here
// a posted message whose handler aborts). The request then ends through the closed-handler,
// and the operation must not also raise a send error on the dead socket.
TEST_F(Pop3Engine, ConnectionEndedByThePumpBeforeTheSendEndsTheRequestWithoutRaising) {
  ScriptLogin();
  peer.Expect();
  LoginNow();
  const HWND other = AllocateHWnd([this](UINT, WPARAM, LPARAM) -> LRESULT {
    pop3.Abort();
    return 0;
  });
  PostMessage(other, WM_USER + 7, 0, 0);
  EXPECT_NO_THROW(pop3.Stat());
  ASSERT_TRUE(WaitPeerSawClose());
  ExpectReports({{pop3RqStat, 10004}});
  DestroyWindow(other);
  EXPECT_TRUE(Logged("disp > STAT"));
  EXPECT_EQ(peer.Lines(), (std::vector<std::string>{"USER alice", "PASS secret"}));
  EXPECT_EQ(pop3.ProtocolState(), pop3Disconnected);
}

// A handler run by that pump may also raise. The command used to stay unsent while the
// client waited for its reply, refusing every later request as "not ready"; now the line
// goes out and the exception still reaches the caller.
TEST_F(Pop3Engine, ExceptionFromThePumpBeforeTheSendStillSendsTheCommand) {
  ScriptLogin();
  peer.Expect().Send("+OK 2 320\r\n");
  LoginNow();
  const HWND other = AllocateHWnd(
      [](UINT, WPARAM, LPARAM) -> LRESULT { throw std::runtime_error("handler failed"); });
  PostMessage(other, WM_USER + 7, 0, 0);
  EXPECT_THROW(pop3.Stat(), std::runtime_error);
  ExpectReports({{pop3RqStat, 0}});
  DestroyWindow(other);
  EXPECT_EQ(pop3.MsgCount(), 2);
  EXPECT_EQ(peer.Lines(), (std::vector<std::string>{"USER alice", "PASS secret", "STAT"}));
}

// A host that cannot even be looked up (no name at all) used to raise out of Connect and
// leave the component resolving for good, refusing every later request as "not ready".
TEST_F(Pop3Engine, ConnectWithoutAHostFailsTheRequestAndLeavesTheClientUsable) {
  pop3.SetHost("");
  EXPECT_NO_THROW(pop3.Connect());
  ExpectReports({{pop3RqConnect, 500}});
  EXPECT_EQ(pop3.LastResponse(), "-ERR ESocketException: DNS lookup: invalid host name.");
  EXPECT_EQ(pop3.ErrorMessage(), pop3.LastResponse());
  EXPECT_EQ(pop3.ProtocolState(), pop3Disconnected);

  // Inside a login the sequence ends with the same code, once.
  EXPECT_NO_THROW(pop3.Login());
  ExpectReports({{pop3RqConnect, 500}, {pop3RqLogin, 500}});

  // The same client then reaches a real host.
  peer.Send("+OK ready\r\n");
  pop3.SetHost("127.0.0.1");
  pop3.Connect();
  ExpectReports({{pop3RqConnect, 500}, {pop3RqLogin, 500}, {pop3RqConnect, 0}});
  EXPECT_EQ(pop3.ProtocolState(), pop3WaitingUser);
}

// The tail of an overlong status line is not a reply of its own: it must neither answer the
// next command of a sequence nor turn up as the first line of a message.
TEST_F(Pop3Engine, TailOfAnOverlongStatusLineIsOnlyShown) {
  const std::string tail(TPop3ReceiveBuffer::Capacity, 't');
  peer.Send("+OK ready\r\n").Expect().Send("+OK " + tail + "\r\n");
  peer.Expect().Send("+OK logged in\r\n");
  peer.Expect().Send("+OK " + tail + "\r\nSubject: x\r\n.\r\n");
  LoginNow();  // asserts a successful login
  EXPECT_EQ(peer.Lines(), (std::vector<std::string>{"USER alice", "PASS secret"}));
  std::vector<std::string> lines;
  pop3.OnMessageLine = [&](TObject*) { lines.push_back(pop3.LastResponse()); };
  pop3.SetMsgNum(1);
  pop3.Retr();
  ExpectReports({{pop3RqRetr, 0}}, 10000);
  EXPECT_EQ(lines, (std::vector<std::string>{"Subject: x"}));
}

// A name that needs a real lookup is still pending when Connect returns; Abort ends the
// request once through the cancelled lookup, whose late answer is never taken for the
// next lookup's.
TEST_F(Pop3Engine, AbortDuringTheNameLookupEndsTheConnectOnce) {
  pop3.SetHost("localhost");
  pop3.Connect();
  ASSERT_EQ(pop3.State(), pop3Resolving);
  pop3.Abort();
  ExpectReports({{pop3RqConnect, 10004}});
  EXPECT_EQ(pop3.LastResponse(), "-ERR Interrupted system call (Winsock error #10004)");
  EXPECT_EQ(states, (std::vector<TPop3ComponentState>{pop3Resolving, pop3Aborting, pop3Idle}));

  peer.Send("+OK ready\r\n");
  pop3.Connect();
  ASSERT_TRUE(RunLoopUntil([&] { return peer.Done(); }));
  ExpectReports({{pop3RqConnect, 10004}, {pop3RqConnect, 0}});
  EXPECT_EQ(pop3.ProtocolState(), pop3WaitingUser);
}

// A login reports the code of the step that failed: 500 for a refused greeting (whose close
// would otherwise say 10004), the WinSock code for a refused connection.
TEST_F(Pop3Engine, LoginReportsTheFailingStepsCode) {
  peer.Send("-ERR go away\r\n");
  pop3.Login();
  ASSERT_TRUE(WaitPeerSawClose());
  ExpectReports({{pop3RqLogin, 500}});
  EXPECT_EQ(pop3.ErrorMessage(), "-ERR go away");
  EXPECT_TRUE(peer.Lines().empty());

  TRefusingPort refusing;
  pop3.SetPort(refusing.Port());
  pop3.Login();
  ExpectReports({{pop3RqLogin, 500}, {pop3RqLogin, 10061}});
  EXPECT_EQ(pop3.ErrorMessage(), "-ERR Connection refused (Winsock error #10061)");
}

// A line held when a command goes out came before it, so it cannot be the command's reply;
// taken for one, it ended the request early with its verdict. Here the server answers USER
// with two lines, the second in the same packet.
TEST_F(Pop3Engine, ALineHeldWhenTheCommandGoesOutIsOnlyShown) {
  peer.Send("+OK ready\r\n").Expect().Send("+OK name\r\n-ERR stray\r\n").Expect();
  peer.Send("+OK logged in\r\n");
  pop3.SetUserName("alice");
  pop3.SetPassWord("secret");
  pop3.Login();
  ExpectReports({{pop3RqLogin, 0}});
  EXPECT_EQ(peer.Lines(), (std::vector<std::string>{"USER alice", "PASS secret"}));
  EXPECT_TRUE(Logged("disp < -ERR stray"));
}

// The same for a line that arrives while the client lets pending messages run before it
// sends: taken for PASS's reply, it ended the login inside that pump, and a QUIT started
// from OnRequestDone went out before the PASS still waiting to be sent.
TEST_F(Pop3Engine, ALineArrivingBeforeTheSendIsOnlyShownAndCommandsKeepTheirOrder) {
  peer.Send("+OK ready\r\n").Expect().Send("+OK name\r\n").Hold().Send("-ERR stray\r\n");
  peer.Expect().Send("+OK logged in\r\n").Expect().Send("+OK bye\r\n");
  pop3.OnResponse = [&](TObject*, const std::string& line) {
    Log("resp " + line);
    // The stray line reaches the client's socket before PASS goes out.
    if (line != "+OK name") return;
    peer.Release();
    ASSERT_TRUE(WaitForArrival(pop3.SocketHandle(), 1));
  };
  pop3.OnRequestDone = [&](TObject*, TPop3Request rq, std::uint16_t error) {
    done.emplace_back(rq, error);
    if (rq == pop3RqLogin) pop3.Quit();
  };
  pop3.SetUserName("alice");
  pop3.SetPassWord("secret");
  pop3.Login();
  ExpectReports({{pop3RqLogin, 0}, {pop3RqQuit, 0}});
  EXPECT_EQ(peer.Lines(), (std::vector<std::string>{"USER alice", "PASS secret", "QUIT"}));
  EXPECT_TRUE(Logged("disp < -ERR stray"));
}
