#!/usr/bin/python3
"""Independent known-answer vector for the memory image envelope (format version 1).

Rebuilds the stored image with python3-cryptography alone, from the same fixed inputs the unit test
injects: the random bytes, the password and the plaintext pattern. Its output is pasted into
tests/unit/test_memory_image_encryption.cpp; rerun it only when those inputs change.

    /usr/bin/python3 tests/unit/vectors/make_envelope_vector.py
"""
import hashlib
import hmac

from cryptography.hazmat.primitives import hashes
from cryptography.hazmat.primitives.ciphers import Cipher, algorithms
from cryptography.hazmat.primitives.ciphers.aead import AESGCM
from cryptography.hazmat.primitives.kdf.pbkdf2 import PBKDF2HMAC

IMAGE_SIZE = 131072
CHECK_DIGEST_OFFSET = 130948
ENCRYPTED_PLAINTEXT_SIZE = 130980
ITERATIONS = 16384

PASSWORD = "Corvane p\u00e4ssword \u2713".encode("utf-8")
# Random bytes in the order the envelope draws them: inner salt, IV, outer salt, nonce.
RANDOM_BYTES = bytes((index * 37 + 11) & 0xFF for index in range(92))
PLAINTEXT = bytes((offset * 131 + 7) & 0xFF for offset in range(IMAGE_SIZE))


def derive_key(salt):
    return PBKDF2HMAC(algorithm=hashes.SHA256(), length=32, salt=salt, iterations=ITERATIONS).derive(PASSWORD)


# The sealed vector: a vault encoding (one tab, one record, the end marker) over the same pattern, sealed
# with save counter 7.
SEALED_ENCODING = b"Web\x03Bank\x00alice\x00s3cret\x00https://bank.example.com\x00note\x00\x04"
SAVE_COUNTER = 7


def envelope(plaintext_image, initialization_vector):
    inner_salt = RANDOM_BYTES[0:32]
    outer_salt = RANDOM_BYTES[48:80]
    nonce = RANDOM_BYTES[80:92]
    check_digest = hashlib.sha256(inner_salt + initialization_vector).digest()
    plaintext = bytearray(plaintext_image[:ENCRYPTED_PLAINTEXT_SIZE])
    plaintext[CHECK_DIGEST_OFFSET:ENCRYPTED_PLAINTEXT_SIZE] = check_digest
    inner_payload = AESGCM(derive_key(inner_salt)).encrypt(initialization_vector, bytes(plaintext), None)
    inner_block = inner_salt + initialization_vector + inner_payload[:ENCRYPTED_PLAINTEXT_SIZE]
    chacha = Cipher(algorithms.ChaCha20(derive_key(outer_salt), (0).to_bytes(4, "little") + nonce),
                    mode=None).encryptor()
    return outer_salt + nonce + chacha.update(inner_block) + chacha.finalize()


def sealed_vector():
    inner_salt = RANDOM_BYTES[0:32]
    seal_key = hmac.new(derive_key(inner_salt), b"Corvane vault seal v1" + inner_salt, hashlib.sha256).digest()
    sign = hmac.new(seal_key, b"Corvane vault sealed sign v1", hashlib.sha256).digest()[:4]
    initialization_vector = RANDOM_BYTES[32:44] + sign
    plaintext = bytearray(PLAINTEXT)
    plaintext[0:len(SEALED_ENCODING)] = SEALED_ENCODING
    counter = SAVE_COUNTER.to_bytes(8, "big")
    mac = hmac.new(seal_key, bytes(plaintext[0:len(SEALED_ENCODING)]) + counter, hashlib.sha256).digest()
    seal = b"CVSEAL02" + counter + mac
    plaintext[len(SEALED_ENCODING):len(SEALED_ENCODING) + len(seal)] = seal
    image = envelope(bytes(plaintext), initialization_vector)
    print("sealed sign      ", sign.hex())
    print("sealed image SHA-256", hashlib.sha256(image).hexdigest())


def main():
    inner_salt = RANDOM_BYTES[0:32]
    initialization_vector = RANDOM_BYTES[32:48]
    outer_salt = RANDOM_BYTES[48:80]
    nonce = RANDOM_BYTES[80:92]

    inner_key = derive_key(inner_salt)
    outer_key = derive_key(outer_salt)

    check_digest = hashlib.sha256(inner_salt + initialization_vector).digest()
    plaintext = bytearray(PLAINTEXT[:ENCRYPTED_PLAINTEXT_SIZE])
    plaintext[CHECK_DIGEST_OFFSET:ENCRYPTED_PLAINTEXT_SIZE] = check_digest
    # GCM is counter mode plus a tag: dropping the tag leaves exactly the stored ciphertext.
    inner_payload = AESGCM(inner_key).encrypt(initialization_vector, bytes(plaintext), None)
    inner_block = inner_salt + initialization_vector + inner_payload[:ENCRYPTED_PLAINTEXT_SIZE]

    # This ChaCha20 takes a 16-byte nonce: the 32-bit block counter (little-endian, 0) then the 12-byte nonce.
    chacha = Cipher(algorithms.ChaCha20(outer_key, (0).to_bytes(4, "little") + nonce), mode=None).encryptor()
    image = outer_salt + nonce + chacha.update(inner_block) + chacha.finalize()
    assert len(image) == IMAGE_SIZE

    print("inner key        ", inner_key.hex())
    print("outer key        ", outer_key.hex())
    print("check digest     ", check_digest.hex())
    print("image SHA-256    ", hashlib.sha256(image).hexdigest())
    print("image[0:64]      ", image[0:64].hex())
    print("image[65536:65600]", image[65536:65600].hex())
    print("image[-64:]      ", image[-64:].hex())
    sealed_vector()


if __name__ == "__main__":
    main()
