#pragma once
// Makes every write of the process that would make a file larger than the limit fail with
// EFBIG for as long as it lives, as a full disk would, and for root too. The signal such a
// write raises (SIGXFSZ) is ignored meanwhile; both are restored afterwards.

#include <signal.h>
#include <sys/resource.h>

class TFileSizeLimit {
 public:
  explicit TFileSizeLimit(rlim_t bytes);
  ~TFileSizeLimit();
  TFileSizeLimit(const TFileSizeLimit&) = delete;
  TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

 private:
  struct rlimit FOldLimit {};
  struct sigaction FOldAction {};
};
