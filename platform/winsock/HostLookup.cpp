// The system socket names first, before Winsock.h can meet their macros.
#include "platform/winsock/PosixNames.h"

#include "platform/winsock/HostLookup.h"

#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/MessageLoop.h"
#include "platform/winsock/ErrorMap.h"
#include "platform/winsock/HostEntry.h"
#include "platform/winsock/InternalWindow.h"
#include "platform/winsock/LookupChannel.h"

namespace winsock::detail {

namespace {

// What the worker produces; the only thing besides the channel that it can reach.
struct LookupResult {
  std::mutex mutex;
  HostData host;
  int error = 0;
};

struct Request {
  HWND wnd;
  UINT msg;
  char* buf;
  int bufLen;
  std::shared_ptr<LookupResult> result;
};

struct Query {
  bool byAddress;
  std::string name;
  std::uint32_t address;
};

// Loop's thread only. Never destroyed, so a late call at program end finds it intact.
struct Registry {
  std::map<HANDLE, Request> pending;
  HANDLE next = 1;
  std::shared_ptr<LookupChannel> channel;
};

Registry& TheRegistry() {
  static Registry* registry = new Registry;
  return *registry;
}

std::atomic<int> lookupDelayMs{0};

void OnChannelReady(const std::shared_ptr<LookupChannel>& channel) {
  for (HANDLE h : channel->Take())
    PostMessage(InternalWindow(), kLookupDoneMessage, static_cast<WPARAM>(h), 0);
}

std::shared_ptr<LookupChannel> Channel() {
  Registry& reg = TheRegistry();
  if (!reg.channel) {
    auto channel = std::make_shared<LookupChannel>();
    WatchFd(channel->ReadFd(), POLLIN, [channel](short) { OnChannelReady(channel); });
    reg.channel = channel;
  }
  return reg.channel;
}

void RunQuery(const Query& q, const std::shared_ptr<LookupResult>& result) {
  if (int delay = lookupDelayMs.load(); delay > 0)
    std::this_thread::sleep_for(std::chrono::milliseconds(delay));
  HostData host;
  int error = q.byAddress ? ResolveAddress(q.address, host) : ResolveName(q.name, host);
  std::lock_guard<std::mutex> lock(result->mutex);
  result->host = std::move(host);
  result->error = error;
}

HANDLE Start(HWND wnd, UINT msg, Query query, char* buf, int bufLen) {
  if (buf == nullptr || bufLen < 0) {
    Fail(WSAEFAULT);
    return 0;
  }
  Registry& reg = TheRegistry();
  auto result = std::make_shared<LookupResult>();
  std::shared_ptr<LookupChannel> channel;
  HANDLE h = reg.next;
  try {
    channel = Channel();
    std::thread([query = std::move(query), result, channel, h] {
      RunQuery(query, result);
      channel->Push(h);
    }).detach();
  } catch (const std::exception&) {
    Fail(WSAENOBUFS);
    return 0;
  }
  ++reg.next;
  reg.pending[h] = Request{wnd, msg, buf, bufLen, result};
  return h;
}

}  // namespace

HANDLE StartNameLookup(HWND wnd, UINT msg, const std::string& name, char* buf, int bufLen) {
  return Start(wnd, msg, Query{false, name, 0}, buf, bufLen);
}

HANDLE StartAddressLookup(HWND wnd, UINT msg, std::uint32_t address, char* buf, int bufLen) {
  return Start(wnd, msg, Query{true, std::string(), address}, buf, bufLen);
}

int CancelLookup(HANDLE request) {
  if (TheRegistry().pending.erase(request) == 0) return Fail(WSAEINVAL);
  return 0;
}

void CancelAllLookups() {
  TheRegistry().pending.clear();
}

void DeliverLookup(HANDLE request) {
  Registry& reg = TheRegistry();
  auto it = reg.pending.find(request);
  if (it == reg.pending.end()) return;  // cancelled: the caller's buffer is no longer ours
  Request req = it->second;
  reg.pending.erase(it);
  int error;
  HostData host;
  {
    std::lock_guard<std::mutex> lock(req.result->mutex);
    error = req.result->error;
    host = req.result->host;
  }
  int length = 0;
  if (error == 0) {
    length = WriteHostEnt(host, req.buf, req.bufLen);
    if (length == 0) {
      // Like WinSock, the low word then tells how much room the entry would need.
      error = WSAENOBUFS;
      length = HostEntSize(host);
    }
  }
  SendMessage(req.wnd, req.msg, static_cast<WPARAM>(request),
              MAKELONG(static_cast<std::uint16_t>(length), static_cast<std::uint16_t>(error)));
}

void SetLookupDelay(int milliseconds) {
  lookupDelayMs.store(milliseconds);
}

}  // namespace winsock::detail
