#include "net/TlsContext.h"

#include <openssl/err.h>
#include <openssl/ssl.h>

#include <cstdlib>
#include <filesystem>

namespace {

// Reading the system's authorities takes tens of milliseconds, so one context serves every
// connection for as long as the extra file stays the same one, unchanged.
struct TContextCache {
  SSL_CTX* Context = nullptr;
  std::string Key;
  ~TContextCache() { SSL_CTX_free(Context); }
};

std::string ExtraFile() {
  const char* path = std::getenv(ExtraAuthoritiesVariable);
  return path ? path : "";
}

std::string CacheKey(const std::string& extraFile) {
  std::error_code ec;
  const auto stamp = std::filesystem::last_write_time(extraFile, ec);
  const auto size = std::filesystem::file_size(extraFile, ec);
  return extraFile + "|" + std::to_string(stamp.time_since_epoch().count()) + "|" +
         std::to_string(size);
}

SSL_CTX* NewContext(const std::string& extraFile, std::string& error) {
  SSL_CTX* ctx = SSL_CTX_new(TLS_client_method());
  if (ctx == nullptr || SSL_CTX_set_min_proto_version(ctx, TLS1_2_VERSION) != 1 ||
      SSL_CTX_set_max_proto_version(ctx, TLS1_3_VERSION) != 1)
    error = "cannot set up the TLS library";
  else if (SSL_CTX_set_default_verify_paths(ctx) != 1)
    error = "cannot load the system's trusted authorities";
  else if (!extraFile.empty() &&
           SSL_CTX_load_verify_locations(ctx, extraFile.c_str(), nullptr) != 1)
    error = "cannot load the extra trusted authorities from " + extraFile;
  ERR_clear_error();
  if (error.empty()) {
    SSL_CTX_set_verify(ctx, SSL_VERIFY_PEER, nullptr);
    return ctx;
  }
  SSL_CTX_free(ctx);
  return nullptr;
}

}  // namespace

ssl_ctx_st* TlsClientContext(std::string& error) {
  static TContextCache cache;
  const std::string extraFile = ExtraFile();
  const std::string key = CacheKey(extraFile);
  if (cache.Context == nullptr || cache.Key != key) {
    SSL_CTX* ctx = NewContext(extraFile, error);
    if (ctx == nullptr) return nullptr;
    SSL_CTX_free(cache.Context);
    cache.Context = ctx;
    cache.Key = key;
  }
  SSL_CTX_up_ref(cache.Context);
  return cache.Context;
}
