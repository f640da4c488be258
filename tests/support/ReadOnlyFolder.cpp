#include "support/ReadOnlyFolder.h"

#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// The raw calls: libcap would be one more package for two system calls. Pid 0 is the
// calling thread.
bool Capabilities(__user_cap_data_struct (&data)[2], bool set) {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  return ::syscall(set ? SYS_capset : SYS_capget, &header, data) == 0;
}

constexpr unsigned kOverride = 1u << CAP_DAC_OVERRIDE;

}  // namespace

TReadOnlyFolder::TReadOnlyFolder(std::string Path) : FPath(std::move(Path)) {
  struct stat st {};
  EXPECT_EQ(::stat(FPath.c_str(), &st), 0) << FPath;
  FOldMode = st.st_mode & 07777;
  EXPECT_EQ(::chmod(FPath.c_str(), 0555), 0) << FPath;
  __user_cap_data_struct caps[2]{};
  const bool known = Capabilities(caps, false);
  EXPECT_TRUE(known) << "the thread's capabilities cannot be read";
  if (!known || !(caps[0].effective & kOverride)) return;
  caps[0].effective &= ~kOverride;
  FDroppedOverride = Capabilities(caps, true);
  EXPECT_TRUE(FDroppedOverride) << "CAP_DAC_OVERRIDE could not be dropped";
}

TReadOnlyFolder::~TReadOnlyFolder() {
  if (FDroppedOverride) {
    __user_cap_data_struct caps[2]{};
    if (Capabilities(caps, false)) {
      caps[0].effective |= kOverride;
      EXPECT_TRUE(Capabilities(caps, true)) << "CAP_DAC_OVERRIDE could not be taken back";
    }
  }
  ::chmod(FPath.c_str(), FOldMode);
}
