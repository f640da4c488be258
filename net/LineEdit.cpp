// Echo and line editing of TCustomLineWSocket, for peers that send one character at a time
// and expect to see what they type.

#include <algorithm>
#include <cstring>

#include "net/CustomLineWSocket.h"

void TCustomLineWSocket::EchoOrEdit(int& len) {
  const int start = FRcvdCnt;
  if (FLineEdit) EditLine(len);
  // EditLine lowers the held count to the first byte it changed; the search for a
  // terminator must look at those bytes again, and at the ones just before them.
  const int endLen = static_cast<int>(FLineEnd.size());
  FScanFrom = std::min(FScanFrom, std::max(0, FRcvdCnt - endLen + 1));
  FRcvdCnt += len;
  // Echo only now, with the bytes held: a send that finds the connection broken closes
  // it, and the close offers what is held as the last line.
  if (FLineEdit) {
    if (FEcho.empty()) return;
    std::string echo;
    echo.swap(FEcho);
    SendStr(echo);
  } else if (FLineEcho && len > 0) {
    Send(Held() + start, len);
  }
}

void TCustomLineWSocket::EditLine(int& len) {
  const int start = FRcvdCnt;
  // A line already being handed out is not the user's current input; never erase into it.
  const int floor = FLineLength;
  std::string edited;  // built only from the first backspace or tab on
  bool copying = false;
  int out = start;
  int low = start;
  for (int k = 0; k < len; ++k) {
    const char c = Held()[start + k];
    if ((c == '\b' || c == '\t') && !copying) {
      copying = true;
      edited.assign(Held(), static_cast<std::size_t>(out));
    }
    if (c == '\b') {
      if (out <= floor) continue;
      if (FLineEcho) FEcho += "\b \b";
      edited.resize(static_cast<std::size_t>(--out));
      low = std::min(low, out);
    } else if (c == '\t') {
      // Spaces up to the next multiple of 8, at least one.
      do {
        edited.push_back(' ');
        if (FLineEcho) FEcho.push_back(' ');
      } while ((++out - floor) % 8 != 0);
    } else {
      if (FLineEcho) FEcho.push_back(c);
      if (copying) edited.push_back(c);
      ++out;
    }
  }
  if (!copying) return;
  MakeRoom(out - FRcvdCnt);
  std::memcpy(Held() + low, edited.data() + low, static_cast<std::size_t>(out - low));
  FRcvdCnt = low;
  len = out - low;
}
