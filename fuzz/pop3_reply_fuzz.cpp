// Feeds arbitrary server bytes through the POP3 client's receive buffer and reply parsers:
// no input may read outside the buffer, and every parser result must stay consistent.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "pop3/Pop3Parse.h"
#include "pop3/Pop3ReceiveBuffer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TPop3ReceiveBuffer buffer;
  std::size_t pos = 0;
  // The first byte picks the size of the reads, so that lines get split in many ways.
  const std::size_t step = size ? 1 + data[0] % 64 * 67 : 1;
  while (pos < size) {
    int room = 0;
    char* into = buffer.PrepareReceive(room);
    if (room <= 0) std::abort();  // a full buffer must always have been handed on
    const std::size_t take = std::min({step, size - pos, static_cast<std::size_t>(room)});
    std::memcpy(into, data + pos, take);
    buffer.CommitReceive(static_cast<int>(take));
    pos += take;
    std::string_view line;
    bool continuation = false;
    while (buffer.NextLine(line, continuation)) {
      if (line.size() > TPop3ReceiveBuffer::Capacity - 1) std::abort();
      std::int32_t a = 0, b = 0;
      if (!ParseTwoNumbers(line, a, b) && (a != 0 || b != 0)) std::abort();
      std::string id;
      ParseNumberAndId(line, a, id);
      for (char c : id)
        if (c < 33 || c > 126) std::abort();
      const std::string stamp = CaptureTimestamp(line);
      if (!stamp.empty() && (stamp.front() != '<' || stamp.back() != '>')) std::abort();
      TrimControls(line);
    }
  }
  return 0;
}
