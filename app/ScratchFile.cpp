#include "app/ScratchFile.h"

#include "forms/FileStream.h"
#include "forms/FileUtils.h"

namespace {
constexpr std::size_t kBlock = 1 << 16;
}

TScratchFile::TScratchFile(std::string Path) : FPath(std::move(Path)) {
  // Unlinked rather than opened over: a link left under that name is not followed.
  DeleteFile(FPath);
  FStream = std::make_unique<TFileStream>(FPath, fmCreate);
  FPending.reserve(kBlock);
}

TScratchFile::~TScratchFile() {
  FStream.reset();
  DeleteFile(FPath);
}

void TScratchFile::Append(const std::uint8_t* Bytes, std::size_t Count) {
  FPending.insert(FPending.end(), Bytes, Bytes + Count);
  if (FPending.size() >= kBlock) Flush();
}

void TScratchFile::Flush() {
  FStream->WriteBuffer(FPending.data(), static_cast<std::int64_t>(FPending.size()));
  FPending.clear();
}

void TScratchFile::Close() {
  if (!FStream) return;
  Flush();
  FStream.reset();
}
