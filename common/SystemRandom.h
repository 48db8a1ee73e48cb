#pragma once

#include <QtGlobal>

#include <cstddef>

// Random bytes straight from the operating system's generator (getrandom on Linux), for salts,
// initialization vectors, nonces, filler and generated passwords: never from a processor instruction
// alone and never from a seeded sequence. One function per system, so that another system's
// implementation sits beside this one.

// Fills size bytes. 0 on success, -1 when the system's generator failed (the bytes are then unusable).
[[nodiscard]] int fillSystemRandomBytes(void* bytes, std::size_t size);

// A uniformly drawn 32-bit number. A failing system generator ends the process: there is no safe value to
// go on with.
quint32 generateSystemRandomNumber();
