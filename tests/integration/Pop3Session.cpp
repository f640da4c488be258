#include "Pop3Session.h"

#include "DovecotMessages.h"

TSuiteServer::TSuiteServer(const std::string& subject, std::uint32_t seed)
    : payload(RandomBytes(5 * 1024 * 1024, seed)), bigPath(server.Dir() + "/big.eml") {
  WriteFile(bigPath, MessageWithAttachment(subject, "figures.bin", payload));
}
