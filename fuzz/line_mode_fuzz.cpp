// Line mode of the socket component, delivery and editing: a TWSocket in line mode reads
// what a server in this process sends, cut into packets of the input's choosing, with a
// terminator, echo and editing, a read size, mode switches and closes of the input's
// choosing. Checked against a model written from the rules:
// - without editing, the application reads exactly the bytes sent, in order, and with echo
//   the server gets them all back;
// - in line mode without switches, the reads make exactly the lines of the stream split at
//   each first occurrence of the terminator, and the unterminated rest comes last at the
//   close;
// - with editing, each packet is edited into the held bytes (a backspace erases the last
//   held byte, a tab pads to the next multiple of 8 counted from the first held byte), then
//   the complete lines are delivered; lines and echo must be exactly the model's.
//
// Input: byte 0 the flags (edit, echo, switches allowed, terminator), byte 1 the read size,
// a custom terminator if chosen, then operations of (kind, argument, bytes).

#include <algorithm>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "FuzzInput.h"
#include "FuzzLoop.h"
#include "net/WSocket.h"

namespace {

struct TModel {
  std::string LineEnd;
  bool Edit = false;
  bool Echo = false;
  std::string Held;
  std::vector<std::string> Lines;
  std::string Echoed;

  // One packet, edited into the held bytes, then the complete lines taken out.
  void Packet(const std::string& bytes) {
    for (char c : bytes) {
      if (!Edit) {
        Held += c;
        if (Echo) Echoed += c;
      } else if (c == '\b') {
        if (Held.empty()) continue;
        Held.pop_back();
        if (Echo) Echoed += "\b \b";
      } else if (c == '\t') {
        do {
          Held += ' ';
          if (Echo) Echoed += ' ';
        } while (Held.size() % 8 != 0);
      } else {
        Held += c;
        if (Echo) Echoed += c;
      }
    }
    for (std::size_t end; !LineEnd.empty() && (end = Held.find(LineEnd)) != std::string::npos;) {
      Lines.push_back(Held.substr(0, end + LineEnd.size()));
      Held.erase(0, end + LineEnd.size());
    }
  }
  void Close() {
    if (!Held.empty()) Lines.push_back(Held);
    Held.clear();
  }
};

struct TClient {
  TWSocket Socket;
  int ReadSize;
  std::string Read;                // every byte read, in order
  std::vector<std::string> Lines;  // in line mode: the reads joined up to each line's end
  std::string Line;

  TClient(int readSize, const std::string& port) : ReadSize(readSize) {
    Socket.OnDataAvailable = [this](TObject*, std::uint16_t) {
      const int want = ReadSize > 0 ? ReadSize : std::max(Socket.RcvdCount(), 1);
      std::string buf(static_cast<std::size_t>(want), '\0');
      const int n = Socket.Receive(buf.data(), want);
      if (n <= 0) return;
      buf.resize(static_cast<std::size_t>(n));
      Read += buf;
      Line += buf;
      if (Socket.RcvdCount() == 0) {
        Lines.push_back(Line);
        Line.clear();
      }
    };
    Socket.SetAddr("127.0.0.1");
    Socket.SetPort(port);
    Socket.Connect();
  }
};

const char* const Terminators[] = {"\r\n", "\n", nullptr, ""};

// Lets the component take everything sent since the last packet in one read, as one packet:
// the bytes are in its socket before the loop runs (a spin of microseconds), then the loop
// runs until they are taken.
void Deliver(TClient& client, TFuzzConnection& server, std::vector<std::string>& packets) {
  const std::string& sent = server.Sent();
  const int total = static_cast<int>(sent.size());
  int taken = 0;
  for (const std::string& p : packets) taken += static_cast<int>(p.size());
  if (client.Socket.State() != wsConnected || taken == total) return;
  for (int i = 0; i < 1000000; ++i) {
    std::uint32_t pending = 0;
    ws::ioctlsocket(client.Socket.HSocket(), winsock::FIONREAD, &pending);
    if (static_cast<int>(pending) >= total - taken) break;
    std::this_thread::yield();
  }
  Check(RunUntil([&] { return client.Socket.ReadCount() >= total; }));
  packets.push_back(sent.substr(static_cast<std::size_t>(taken)));
}

// Plays the server's operations, up to the application's own close if one comes.
void Play(TFuzzInput& in, TClient& client, TFuzzConnection& server, bool switches,
          std::vector<std::string>& packets, bool& switched) {
  while (in.More() && !server.HungUp()) {
    const int op = in.Byte();
    const int arg = in.Byte();
    switch (op % 8) {
      case 0:
      case 1:
        server.Send(in.Take(static_cast<std::size_t>(arg)));
        Deliver(client, server, packets);
        break;
      case 2:  // joins the next packet
        server.Send(in.Take(static_cast<std::size_t>(arg)));
        break;
      case 3:  // a long run: lines longer than any buffer so far
        server.Send(
            std::string(static_cast<std::size_t>(arg % 64 + 1) * 97, static_cast<char>(op)));
        Deliver(client, server, packets);
        break;
      case 4:
        if (!switches) break;
        Deliver(client, server, packets);
        switched = true;
        client.Socket.SetLineMode(!client.Socket.LineMode());
        Drain();
        break;
      case 5:
        Deliver(client, server, packets);
        client.Socket.Close();
        return;
      case 6:
        server.HangUp();
        break;
      default:
        server.Received();
        break;
    }
  }
  Deliver(client, server, packets);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static TFuzzListener* listener = new TFuzzListener();
  TFuzzInput in(data, size);
  const int flags = in.Byte();
  TModel model;
  const char* terminator = Terminators[flags / 8 % 4];
  model.LineEnd = terminator ? terminator : in.Take(1 + static_cast<std::size_t>(in.Byte() % 3));
  // An empty terminator is no line mode at all: no editing and no echo either.
  const bool lines = !model.LineEnd.empty();
  model.Edit = lines && (flags & 1) != 0;
  model.Echo = lines && (flags & 2) != 0;
  const bool switches = !model.Edit && (flags & 4) != 0;
  TClient client(in.Byte(), listener->PortText());
  client.Socket.SetLineEnd(model.LineEnd);
  client.Socket.SetLineEcho((flags & 2) != 0);
  client.Socket.SetLineEdit((flags & 1) != 0);
  client.Socket.SetLineMode(true);
  TFuzzConnection server(listener->Accept());
  Check(RunUntil([&] { return client.Socket.State() == wsConnected; }));

  std::vector<std::string> packets;
  bool switched = false;
  Play(in, client, server, switches, packets, switched);
  server.HangUp();
  Check(RunUntil([&] { return client.Socket.State() == wsClosed && server.ComponentClosed(); }));
  if (!client.Line.empty()) client.Lines.push_back(client.Line);

  for (const std::string& p : packets) model.Packet(p);
  model.Close();
  const std::string& sent = server.Sent();
  if (!model.Edit) Check(client.Read == sent);
  if (!switched) Check(server.Received() == model.Echoed);
  if (lines && !switched) Check(client.Lines == model.Lines);
  return 0;
}
