#pragma once

#include <cstdint>
#include <functional>

// Test seam of the envelope: a source that replaces the per-call secure generator for every random
// byte of the salts, the initialization vector and the nonce (drawn in this order: inner salt,
// initialization vector, outer salt, nonce), so that a known-answer vector can be reproduced.
// An empty source restores the secure generator. Never set outside tests.
using MemoryImageRandomByteSource = std::function<uint8_t()>;

void setMemoryImageRandomByteSource(MemoryImageRandomByteSource source);
