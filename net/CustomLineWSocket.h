#pragma once
// The line layer of the socket component: with LineMode on, received bytes are collected
// and OnDataAvailable fires once per complete line (terminator included), which Receive
// then returns in one or several reads. Received bytes may be echoed to the peer and edited
// (backspace, tab) for character-at-a-time peers. With LineMode off, or LineEnd empty,
// everything passes through, except bytes still held from an earlier mode, which are
// served first.

#include <cstdint>
#include <string>
#include <vector>

#include "net/CustomTlsWSocket.h"

constexpr UINT LineRedeliverMessage = WM_USER + 20;  // 1044

class TCustomLineWSocket : public TCustomTlsWSocket {
 public:
  explicit TCustomLineWSocket(TNetComponent* owner = nullptr);
  ~TCustomLineWSocket() override;

  bool LineMode() const { return FLineMode; }
  virtual void SetLineMode(bool value);
  const std::string& LineEnd() const { return FLineEnd; }
  void SetLineEnd(const std::string& value);
  bool LineEcho() const { return FLineEcho; }
  void SetLineEcho(bool value) { FLineEcho = value; }
  bool LineEdit() const { return FLineEdit; }
  void SetLineEdit(bool value) { FLineEdit = value; }

  int Receive(void* buffer, int bufferSize) override;
  void Connect() override;
  void Dup(winsock::SOCKET newHSocket) override;

 protected:
  LRESULT WindowProcedure(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void ResetDefaults() override;
  int GetRcvdCount() override;
  bool NotifyDataAvailable(std::uint16_t error) override;
  void NotifySessionClosed(std::uint16_t error) override;
  int RecvRaw(void* buffer, int bufferSize, int flags) override;
  // Applies backspace and tab editing (and their echo) to the len bytes just received
  // behind the held ones; may lower the held count to the first changed byte and change len.
  virtual void EditLine(int& len);

 private:
  bool LinesActive() const { return FLineMode && !FLineEnd.empty(); }
  char* Held() { return FRcvBuf.data() + FRcvdHead; }
  bool ServesFromBuffer() const;
  bool FillFromSocket(int count);
  void EchoOrEdit(int& len);
  void MakeRoom(int extra);
  void Consume(int count);
  int TakeHeld(void* buffer, int size);
  int FindLineEnd();
  void DeliverLines();
  bool OfferLine();
  void OfferLastLine();
  void Redeliver();
  void RequestRedelivery();
  void ReleaseBuffer();
  // Offers what is held as the connection's last line, then drops it even when the
  // handler throws, so nothing can reach the next connection.
  void FinishHeldBytes();

  // Received bytes not yet read by the application live at [FRcvdHead, FRcvdHead +
  // FRcvdCnt) of FRcvBuf. Reading advances the head instead of moving the rest, so a
  // handler taking a long line one byte at a time stays linear.
  std::vector<char> FRcvBuf;
  int FRcvdHead = 0;
  int FRcvdCnt = 0;
  std::string FLineEnd = "\r\n";
  bool FLineMode = false;
  // Bytes of the line being delivered (at the front of the held bytes) not yet read.
  int FLineLength = 0;
  bool FLineEcho = false;
  bool FLineEdit = false;
  // Held positions before this one are known not to start a terminator, so a search
  // resumes just before the newest bytes instead of at the front.
  int FScanFrom = 0;
  // True while lines are being handed out; a notification dispatched from inside a
  // handler then only collects its bytes, and the outer loop delivers them in order.
  bool FDelivering = false;
  // Bytes EditLine wants echoed; sent once the edited bytes are safely held.
  std::string FEcho;
};
