#include "net/CustomWSocket.h"
#include "platform/MessageLoop.h"

int TCustomWSocket::Send(const void* data, int len) {
  if (FState != wsConnected) {
    ws::WSASetLastError(winsock::WSAENOTCONN);
    ReportWinsockError("Send");
    return -1;
  }
  FAllSent = false;
  int result = 0;
  if (len > 0) {
    QueueForSend(data, len);
    result = len;
  }
  TryToSend();
  // OnDataSent comes from the loop, never from inside Send, so a handler that sends again
  // from OnDataSent does not recurse.
  if (FAllSent)
    PostMessage(FWindowHandle, SocketNotifyMessage, static_cast<WPARAM>(FHSocket),
                MAKELONG(winsock::FD_WRITE, 0));
  return result;
}

int TCustomWSocket::SendStr(const std::string& str) {
  return Send(str.data(), static_cast<int>(str.size()));
}

void TCustomWSocket::QueueForSend(const void* data, int len) {
  if (len <= 0) return;
  const char* bytes = static_cast<const char*>(data);
  if (FBufList.empty()) FBufList.push_back(std::make_unique<TBuffer>(FBufSize));
  int stored = FBufList.back()->Write(bytes, len);
  while (stored < len) {
    FBufList.push_back(std::make_unique<TBuffer>(FBufSize));
    stored += FBufList.back()->Write(bytes + stored, len - stored);
  }
}

void TCustomWSocket::DiscardSendQueue() {
  FBufList.clear();
}

namespace {

bool IsBrokenConnection(int code) {
  return code == winsock::WSAECONNRESET || code == winsock::WSAENOTSOCK ||
         code == winsock::WSAENOTCONN || code == winsock::WSAEINVAL ||
         code == winsock::WSAECONNABORTED;
}

}  // namespace

bool TCustomWSocket::TryToSend() {
  if (FHSocket == winsock::INVALID_SOCKET) return true;
  // Nothing queued is everything sent; otherwise a Send of 0 bytes on a fresh connection
  // would never see its OnDataSent.
  if (FBufList.empty()) {
    FAllSent = true;
    return true;
  }
  for (;;) {
    TBuffer& block = *FBufList.front();
    int len = 0;
    const char* bytes = block.Peek(len);
    if (len <= 0) {
      // The last block stays, emptied, so that the next Send appends to it.
      if (FBufList.size() == 1) {
        FAllSent = true;
        return true;
      }
      FBufList.pop_front();
      continue;
    }
    int sent = SendRaw(bytes, len);
    if (sent == 0) return true;
    if (sent == winsock::SOCKET_ERROR) return SendFailed(ws::WSAGetLastError());
    // A short send means the system buffer has just filled. Offering the rest once more
    // gets WSAEWOULDBLOCK, which is what arms the next FD_WRITE; stopping here instead
    // would leave the rest waiting for a notification that never comes.
    block.Remove(sent);
  }
}

bool TCustomWSocket::SendFailed(int code) {
  if (code == winsock::WSAEWOULDBLOCK) return true;
  if (!IsBrokenConnection(code)) {
    ReportWinsockError("TryToSend failed");
    return false;
  }
  FLastError = code;
  FCloseInvoked = true;
  Close();
  // A handler run by the close (the TLS layer tells the application its connect failed)
  // may have started the next connection; this report belongs to the broken one.
  if (FHSocket == winsock::INVALID_SOCKET) NotifySessionClosed(static_cast<std::uint16_t>(code));
  return false;
}

int TCustomWSocket::SendRaw(const void* data, int len) {
  const char* bytes = static_cast<const char*>(data);
  if (FType == winsock::SOCK_DGRAM)
    return ws::sendto(FHSocket, bytes, len, FSendFlags, &Fsin, sizeof Fsin);
  return ws::send(FHSocket, bytes, len, FSendFlags);
}

int TCustomWSocket::SendTo(const winsock::TSockAddrIn& dest, int destLen, const void* data,
                           int len) {
  return ws::sendto(FHSocket, static_cast<const char*>(data), len, FSendFlags, &dest, destLen);
}
