#include "platform/display/DisplayBackend.h"
#include "platform/headless/HeadlessDisplay.h"
#include "platform/x11/X11Display.h"

namespace {

std::unique_ptr<TDisplayBackend>& Current() {
  static std::unique_ptr<TDisplayBackend> backend;
  return backend;
}

}  // namespace

std::unique_ptr<TDisplayBackend> CreateDisplayBackend(const std::string& displayName) {
  if (std::unique_ptr<TX11Display> x11 = TX11Display::Open(displayName)) return x11;
  return std::make_unique<THeadlessDisplay>();
}

TDisplayBackend& TheDisplay() {
  if (!Current()) Current() = CreateDisplayBackend();
  return *Current();
}

void SetDisplay(std::unique_ptr<TDisplayBackend> backend) {
  Current() = std::move(backend);
}
