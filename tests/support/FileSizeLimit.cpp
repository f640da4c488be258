#include "support/FileSizeLimit.h"

#include <gtest/gtest.h>

TFileSizeLimit::TFileSizeLimit(rlim_t bytes) {
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  EXPECT_EQ(::sigaction(SIGXFSZ, &ignore, &FOldAction), 0);
  EXPECT_EQ(::getrlimit(RLIMIT_FSIZE, &FOldLimit), 0);
  struct rlimit limit = FOldLimit;
  limit.rlim_cur = bytes;
  EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
}

TFileSizeLimit::~TFileSizeLimit() {
  ::setrlimit(RLIMIT_FSIZE, &FOldLimit);
  ::sigaction(SIGXFSZ, &FOldAction, nullptr);
}
