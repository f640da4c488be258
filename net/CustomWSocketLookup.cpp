#include <cstring>

#include "net/CustomWSocket.h"

void TCustomWSocket::DnsLookup(const std::string& hostName) {
  StartLookup(hostName, false);
}

void TCustomWSocket::ReverseDnsLookup(const std::string& hostAddr) {
  StartLookup(hostAddr, true);
}

void TCustomWSocket::StartLookup(const std::string& text, bool reverse) {
  if (text.empty()) {
    ReportError("DNS lookup: invalid host name.");
    NotifyDnsLookupDone(winsock::WSAEINVAL);
    return;
  }
  if (FDnsLookupHandle != 0) {
    ws::WSACancelAsyncRequest(FDnsLookupHandle);
    FDnsLookupHandle = 0;
  }
  FDnsResult.clear();
  FDnsResultList.clear();
  std::uint32_t addr = ws::inet_addr(text.c_str());
  if (reverse) {
    FDnsLookupHandle = ws::WSAAsyncGetHostByAddr(
        FWindowHandle, AddressLookupDoneMessage, reinterpret_cast<const char*>(&addr), sizeof addr,
        winsock::PF_INET, FDnsLookupBuffer, sizeof FDnsLookupBuffer);
  } else if (addr != winsock::INADDR_NONE) {
    // Already an address: no lookup, the answer is its canonical dotted form, at once.
    FDnsResult = ws::inet_ntoa(addr);
    NotifyDnsLookupDone(0);
    return;
  } else {
    FDnsLookupHandle = ws::WSAAsyncGetHostByName(FWindowHandle, NameLookupDoneMessage, text.c_str(),
                                                 FDnsLookupBuffer, sizeof FDnsLookupBuffer);
  }
  if (FDnsLookupHandle == 0)
    ReportErrorFmt("%s: can't start DNS lookup, error #%d", text.c_str(), ws::WSAGetLastError());
}

void TCustomWSocket::HandleNameLookupDone(WPARAM wParam, LPARAM lParam) {
  if (FDnsLookupHandle == 0 || static_cast<winsock::HANDLE>(wParam) != FDnsLookupHandle) return;
  FDnsLookupHandle = 0;
  std::uint16_t error = HIWORD(lParam);
  if (error == 0) {
    const auto* entry = reinterpret_cast<const winsock::THostEnt*>(FDnsLookupBuffer);
    for (char** item = entry->h_addr_list; item && *item; ++item) {
      std::uint32_t addr;
      std::memcpy(&addr, *item, sizeof addr);
      FDnsResultList.push_back(ws::inet_ntoa(addr));
    }
    // An entry without any address is a lookup without an answer, not a success with an
    // empty result: the caller must still hear that the lookup ended.
    if (FDnsResultList.empty())
      error = winsock::WSANO_DATA;
    else
      FDnsResult = FDnsResultList.front();
  }
  NotifyDnsLookupDone(error);
}

void TCustomWSocket::HandleAddressLookupDone(WPARAM wParam, LPARAM lParam) {
  if (FDnsLookupHandle == 0 || static_cast<winsock::HANDLE>(wParam) != FDnsLookupHandle) return;
  FDnsLookupHandle = 0;
  std::uint16_t error = HIWORD(lParam);
  if (error == 0) {
    const auto* entry = reinterpret_cast<const winsock::THostEnt*>(FDnsLookupBuffer);
    FDnsResult = entry->h_name ? entry->h_name : "";
    FDnsResultList.clear();
    FDnsResultList.push_back(FDnsResult);
  }
  NotifyDnsLookupDone(error);
}

void TCustomWSocket::CancelDnsLookup() {
  if (FDnsLookupHandle == 0) return;
  int result = ws::WSACancelAsyncRequest(FDnsLookupHandle);
  FDnsLookupHandle = 0;
  if (result != 0) return ReportWinsockError("WSACancelAsyncRequest");
  if (!InDestroyingState()) NotifyDnsLookupDone(winsock::WSAEINTR);
}
