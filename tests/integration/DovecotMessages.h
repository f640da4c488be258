#pragma once
// Messages generated at test time for the Dovecot mailboxes: large ones are built here
// rather than kept in the repository.

#include <cstddef>
#include <cstdint>
#include <string>

// Deterministic pseudo-random bytes (the same seed gives the same bytes).
std::string RandomBytes(std::size_t size, std::uint32_t seed);
// Base64 in lines of 76 characters, each ended by CR LF.
std::string Base64Lines(const std::string& bytes);
// Decodes base64, ignoring line ends; stops at the first character outside the alphabet.
std::string Base64Decode(const std::string& text);
// A multipart message with CR LF line ends carrying payload as a base64 attachment.
std::string MessageWithAttachment(const std::string& subject, const std::string& fileName,
                                  const std::string& payload);
// The attachment part's base64 text taken back out of such a message.
std::string AttachmentText(const std::string& message);
