#include "net/TlsContext.h"

#include <openssl/err.h>
#include <openssl/ssl.h>

#include <cstdlib>

namespace {

// A context is made per connection, so the variable is read afresh each time.
bool AddExtraAuthorities(SSL_CTX* ctx, std::string& error) {
  const char* path = std::getenv(ExtraAuthoritiesVariable);
  if (path == nullptr || *path == '\0') return true;
  if (SSL_CTX_load_verify_locations(ctx, path, nullptr) == 1) return true;
  error = std::string("cannot load the extra trusted authorities from ") + path;
  return false;
}

}  // namespace

ssl_ctx_st* NewTlsClientContext(std::string& error) {
  SSL_CTX* ctx = SSL_CTX_new(TLS_client_method());
  if (ctx == nullptr) {
    error = "cannot set up the TLS library";
    return nullptr;
  }
  const bool ready = SSL_CTX_set_min_proto_version(ctx, TLS1_2_VERSION) == 1 &&
                     SSL_CTX_set_max_proto_version(ctx, TLS1_3_VERSION) == 1;
  if (!ready) error = "cannot set up the TLS library";
  if (ready && SSL_CTX_set_default_verify_paths(ctx) != 1)
    error = "cannot load the system's trusted authorities";
  if (error.empty() && AddExtraAuthorities(ctx, error)) {
    SSL_CTX_set_verify(ctx, SSL_VERIFY_PEER, nullptr);
    ERR_clear_error();
    return ctx;
  }
  ERR_clear_error();
  SSL_CTX_free(ctx);
  return nullptr;
}
