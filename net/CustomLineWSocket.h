#pragma once
// The line layer of the socket component: with LineMode on, received bytes are collected
// and OnDataAvailable fires once per complete line. With it off, everything passes through.

#include <cstdint>
#include <string>

#include "net/CustomSocksWSocket.h"

constexpr UINT LineRedeliverMessage = WM_USER + 20;  // 1044

class TCustomLineWSocket : public TCustomSocksWSocket {
 public:
  explicit TCustomLineWSocket(TNetComponent* owner = nullptr);
  ~TCustomLineWSocket() override;

  bool LineMode() const { return FLineMode; }
  virtual void SetLineMode(bool value);
  const std::string& LineEnd() const { return FLineEnd; }
  void SetLineEnd(const std::string& value) { FLineEnd = value; }
  bool LineEcho() const { return FLineEcho; }
  void SetLineEcho(bool value) { FLineEcho = value; }
  bool LineEdit() const { return FLineEdit; }
  void SetLineEdit(bool value) { FLineEdit = value; }

 protected:
  LRESULT WindowProcedure(UINT msg, WPARAM wParam, LPARAM lParam) override;
  int GetRcvdCount() override;
  bool NotifyDataAvailable(std::uint16_t error) override;
  void NotifySessionClosed(std::uint16_t error) override;
  int RecvRaw(void* buffer, int bufferSize, int flags) override;
  virtual void EditLine(int& len);

  char* FRcvdPtr = nullptr;
  int FRcvBufSize = 0;
  int FRcvdCnt = 0;
  std::string FLineEnd = "\r\n";
  bool FLineMode = false;
  int FLineLength = 0;
  bool FLineEcho = false;
  bool FLineEdit = false;
};
