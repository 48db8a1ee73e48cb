#pragma once

#include "common/SecureImageBuffer.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

// What the application holds while it is locked: its secrets in one blob, encrypted with AES-256-GCM under
// a key derived from the master password as the stored format derives its keys (PBKDF2-HMAC-SHA-256, a
// fresh salt at every lock). Opening it is the password check: a wrong password fails the tag, and no
// password is kept to compare with.
class LockedStateSeal
{
public:
    enum Result
    {
        RESULT_SUCCESS = 0,
        RESULT_WRONG_PASSWORD = 1,
        RESULT_FAILURE = -1
    };

    // Encrypts size bytes of plaintext into sealed (replacing what it held).
    [[nodiscard]] static Result seal(const QString& password, const uint8_t* plaintext, std::size_t size,
                                     QByteArray& sealed);
    // Decrypts sealed into plaintext (replacing and zero-filling what it held); plaintext stays empty
    // unless the result is RESULT_SUCCESS.
    [[nodiscard]] static Result open(const QString& password, const QByteArray& sealed,
                                     SecureImageBuffer& plaintext);
};
