#pragma once

#include "vault/VaultTab.h"

#include <cstdint>

// Size of one device memory and of every memory image.
constexpr int MEMORY_IMAGE_SIZE = 131072;
// Bytes of the plaintext image that hold the vault encoding (format version 1).
constexpr int VAULT_CAPACITY = 130948;
// How many bytes the parser examines at most.
constexpr int VAULT_PARSE_LIMIT = 131068;

constexpr uint8_t FIELD_TERMINATOR = 0x00;
constexpr uint8_t TAB_NAME_TERMINATOR = 0x03;
constexpr uint8_t VAULT_END_MARKER = 0x04;

// Writes the encoding of the tabs at the start of buffer (at least VAULT_CAPACITY bytes writable).
// Returns the number of capacity bytes still free after the end marker, or -1 when it does not fit
// (the buffer then holds a partial encoding and must be discarded). Forbidden characters
// (U+0000, U+0003, U+0004) are dropped from every text so they can never break the structure.
[[nodiscard]] int serializeVault(const Vault& vault, uint8_t* buffer);

// Rebuilds the tabs from a decrypted memory image (MEMORY_IMAGE_SIZE bytes). Never fails: malformed
// data yields whatever tabs and records were complete.
Vault parseVault(const uint8_t* image);

// "Available memory" percentage for a serializeVault result: free * 100 / 130947, 0 for -1.
int getVaultFillPercentage(int freeCount);
