#pragma once

#include <QString>

#include <cstdint>

// Reads a memory image file (a device backup, an image built from CSV), which must hold exactly
// MEMORY_IMAGE_SIZE bytes, into image. False with errorMessage naming the file and the reason. Shared by
// the window's restore and corvane-cli, so that both accept and refuse the same files.
[[nodiscard]] bool readMemoryImageFile(const QString& filePath, uint8_t* image, QString& errorMessage);
