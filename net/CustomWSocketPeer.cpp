#include "net/CustomWSocket.h"

int TCustomWSocket::GetPeerName(winsock::TSockAddrIn& name, int nameLen) {
  if (FState != wsConnected) return -1;
  return ws::getpeername(FHSocket, &name, &nameLen);
}

std::string TCustomWSocket::GetPeerAddr() {
  if (FState != wsConnected) return "error";
  winsock::TSockAddrIn peer = {};
  int len = sizeof peer;
  if (ws::getpeername(FHSocket, &peer, &len) == 0) return ws::inet_ntoa(peer.sin_addr);
  ReportWinsockError("GetPeerName");
  return "error";
}

std::string TCustomWSocket::GetPeerPort() {
  if (FState != wsConnected) return "error";
  winsock::TSockAddrIn peer = {};
  int len = sizeof peer;
  if (ws::getpeername(FHSocket, &peer, &len) == 0) return std::to_string(ws::ntohs(peer.sin_port));
  ReportWinsockError("GetPeerPort");
  return "error";
}

std::string TCustomWSocket::GetLocalPortText() {
  if (FState != wsBound && FState != wsConnected && FState != wsListening) return "error";
  winsock::TSockAddrIn local = {};
  int len = sizeof local;
  if (ws::getsockname(FHSocket, &local, &len) != 0) return "error";
  return std::to_string(ws::ntohs(local.sin_port));
}

int TCustomWSocket::GetSockName(winsock::TSockAddrIn& name, int& nameLen) {
  return ws::getsockname(FHSocket, &name, &nameLen);
}
