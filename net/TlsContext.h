#pragma once
// The settings every TLS connection of the program is made with: TLS 1.2 or 1.3 with the
// library's default ciphers, and the server's certificate checked against the system's
// trusted authorities. Tests add an authority of their own through the environment
// (QUILLET_EXTRA_CA_FILE, a PEM file); it is added to the system's, never in its place,
// and no check is ever switched off.

#include <string>

struct ssl_ctx_st;

// The environment variable naming a PEM file of extra trusted authorities.
constexpr const char* ExtraAuthoritiesVariable = "QUILLET_EXTRA_CA_FILE";

// A client context (a reference of the caller's own, to be freed), or null with the reason,
// in words for the user, in error.
ssl_ctx_st* TlsClientContext(std::string& error);
