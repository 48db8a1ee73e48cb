#include "common/SecureBufferDevice.h"
#include "common/SecureImageBuffer.h"
#include "common/SecureMemory.h"
#include "common/UntrustedText.h"
#include "vault/DeviceSealMemory.h"
#include "vault/LockedStateSeal.h"
#include "vault/MemoryImage.h"
#include "vault/MemoryImageEncryption.h"
#include "vault/MemoryImageEncryptionTesting.h"
#include "vault/VaultImage.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QDataStream>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <mbedtls/version.h>

#include <vector>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <sys/prctl.h>
#include <sys/resource.h>
#endif

namespace
{
constexpr int CHECK_DIGEST_OFFSET = 130948;
constexpr int STORED_HEADER_SIZE = 92; // outer salt, nonce, encrypted inner salt and IV
constexpr int ENCRYPTED_DIGEST_OFFSET = 131040;

// Inputs shared with tests/unit/vectors/make_envelope_vector.py, which computed the expected values
// with python3-cryptography.
const QString KNOWN_ANSWER_PASSWORD = QString::fromUtf8("Corvane p\xc3\xa4ssword \xe2\x9c\x93");
const char KNOWN_ANSWER_INNER_KEY[] = "5f719b17e5abd9c7ca7302ab3c0d13be982f5335a0b4e416bb799cd90cae6c49";
const char KNOWN_ANSWER_OUTER_KEY[] = "da8891f84b22e833cbef0dff45bc6422df59eb1647581f8291fdd0f6fe15a677";
const char KNOWN_ANSWER_CHECK_DIGEST[] = "a6250da1e7ca144af7fdac8fd737c2e88e87cc08e232b16b53452227a56d5dde";
const char KNOWN_ANSWER_IMAGE_SHA256[] = "54a8f413042282a0367be472b186c9dc974b1580c82d5868c091ad6fe6634155";
const char KNOWN_ANSWER_IMAGE_HEAD[] = "fb20456a8fb4d9fe23486d92b7dc01264b7095badf04294e7398bde2072c5176"
                                       "9bc0e50a2f54799ec3e80d3249ad9df309efeb497100d6a0b7f9c0489c2cfdb8";
const char KNOWN_ANSWER_IMAGE_MIDDLE[] = "3f5a078c19f940ba0d30897360e517daf6f11a9ab64db354e57d6ac600172f9d"
                                         "10f862405e814ec6c8c415444c2cd089cd65363c76bad84cfc578408d6ab7074";
// The same inputs sealed with save counter 7 over SEALED_ENCODING.
const char KNOWN_ANSWER_SEALED_IMAGE_SHA256[] =
    "3a6d8217a144d782f3992ca06b2ddea41bd7d90634656bf709e98ddc821cd471";
const QByteArray SEALED_ENCODING("Web\x03"
                                 "Bank\x00"
                                 "alice\x00"
                                 "s3cret\x00"
                                 "https://bank.example.com\x00"
                                 "note\x00\x04",
                                 53);
const char KNOWN_ANSWER_IMAGE_TAIL[] = "e5c2896f5af7d866abbbd21423b6bbf218c00435b2a6635e5c68a72542794608"
                                       "ca5331d7e84503dd8b0b0c82192645c06b7949fa0d16f8daaa04cd977755c0e8";

QByteArray _knownAnswerRandomBytes()
{
    QByteArray bytes(92, '\0');
    for (int index = 0; index < bytes.size(); index++)
        bytes[index] = static_cast<char>((index * 37 + 11) & 0xFF);
    return bytes;
}

QByteArray _knownAnswerPlaintext()
{
    QByteArray image(MEMORY_IMAGE_SIZE, '\0');
    for (int offset = 0; offset < image.size(); offset++)
        image[offset] = static_cast<char>((offset * 131 + 7) & 0xFF);
    return image;
}

QByteArray _randomImage(quint32 seed)
{
    QRandomGenerator generator(seed);
    QByteArray image(MEMORY_IMAGE_SIZE, '\0');
    generator.fillRange(reinterpret_cast<quint32*>(image.data()), MEMORY_IMAGE_SIZE / 4);
    return image;
}

uint8_t* _bytes(QByteArray& image)
{
    return reinterpret_cast<uint8_t*>(image.data());
}

QByteArray _hex(const QByteArray& bytes, int offset, int length)
{
    return bytes.mid(offset, length).toHex();
}

// A plaintext image: random filler, then the encoding of one tab holding one record whose note has
// noteSize characters, so that the end marker lands where a test wants it.
QByteArray _vaultPlaintext(int noteSize, int& endMarkerOffset)
{
    QByteArray image = _randomImage(9);
    Vault vault = {VaultTab{QStringLiteral("Web"), {}}};
    PasswordRecord record;
    record.name = QStringLiteral("Bank");
    record.login = QStringLiteral("alice");
    record.password = QStringLiteral("s3cret");
    record.url = QStringLiteral("https://bank.example.com");
    record.note = QString(noteSize, u'n');
    vault.first().passwords.append(record);
    const int freeCount = serializeVault(vault, _bytes(image));
    endMarkerOffset = freeCount < 0 ? -1 : VAULT_CAPACITY - freeCount - 1;
    return image;
}

// The seal's MAC computed with Qt's own HMAC from the inner key, independently of the envelope code.
// The inner salt is the first 32 bytes drawn from the known-answer random byte source. counter: the 8 bytes
// of the save counter, empty for the seal of earlier versions.
QByteArray _expectedSealMac(const QString& password, const QByteArray& plaintext, int endMarkerOffset,
                            const QByteArray& counter)
{
    const QByteArray innerSalt = _knownAnswerRandomBytes().left(32);
    uint8_t innerKey[32] = {};
    if (deriveKey(password, reinterpret_cast<const uint8_t*>(innerSalt.constData()), 32, 16384, 32,
                  innerKey) != 0)
        return QByteArray();
    const QByteArray sealKey = QMessageAuthenticationCode::hash(
        QByteArray("Corvane vault seal v1") + innerSalt,
        QByteArray(reinterpret_cast<const char*>(innerKey), 32), QCryptographicHash::Sha256);
    return QMessageAuthenticationCode::hash(plaintext.left(endMarkerOffset + 1) + counter, sealKey,
                                            QCryptographicHash::Sha256);
}
} // namespace

class TestMemoryImageEncryption : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        setMemoryImageRandomByteSource(nullptr);
    }

    void knownAnswerVectorMatchesIndependentImplementation()
    {
        // The log names the Mbed TLS the vector was checked against: its 2.x and 3.x calls differ.
        char libraryVersion[32] = {};
        mbedtls_version_get_string(libraryVersion);
        qInfo("Mbed TLS %s (headers %s)", libraryVersion, MBEDTLS_VERSION_STRING);

        const QByteArray randomBytes = _knownAnswerRandomBytes();
        int drawn = 0;
        setMemoryImageRandomByteSource([&]() { return static_cast<uint8_t>(randomBytes.at(drawn++)); });

        uint8_t key[32] = {};
        QCOMPARE(deriveKey(KNOWN_ANSWER_PASSWORD, reinterpret_cast<const uint8_t*>(randomBytes.constData()),
                           32, 16384, 32, key),
                 0);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(key), 32).toHex(),
                 QByteArray(KNOWN_ANSWER_INNER_KEY));
        QCOMPARE(deriveKey(KNOWN_ANSWER_PASSWORD,
                           reinterpret_cast<const uint8_t*>(randomBytes.constData()) + 48, 32, 16384, 32,
                           key),
                 0);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(key), 32).toHex(),
                 QByteArray(KNOWN_ANSWER_OUTER_KEY));

        const QByteArray plaintext = _knownAnswerPlaintext();
        QByteArray image = plaintext;
        QCOMPARE(encryptMemoryImage(KNOWN_ANSWER_PASSWORD, 1, _bytes(image)), 0);
        QCOMPARE(drawn, 92);
        QCOMPARE(_hex(image, 0, 64), QByteArray(KNOWN_ANSWER_IMAGE_HEAD));
        QCOMPARE(_hex(image, 65536, 64), QByteArray(KNOWN_ANSWER_IMAGE_MIDDLE));
        QCOMPARE(_hex(image, MEMORY_IMAGE_SIZE - 64, 64), QByteArray(KNOWN_ANSWER_IMAGE_TAIL));
        QCOMPARE(QCryptographicHash::hash(image, QCryptographicHash::Sha256).toHex(),
                 QByteArray(KNOWN_ANSWER_IMAGE_SHA256));

        QCOMPARE(decryptMemoryImage(KNOWN_ANSWER_PASSWORD, 1, _bytes(image)), 0);
        QCOMPARE(image.left(CHECK_DIGEST_OFFSET), plaintext.left(CHECK_DIGEST_OFFSET));
        QCOMPARE(_hex(image, CHECK_DIGEST_OFFSET, 32), QByteArray(KNOWN_ANSWER_CHECK_DIGEST));
    }

    void roundTripsWithFreshSaltsEveryTime()
    {
        const QByteArray plaintext = _randomImage(1);
        QByteArray first = plaintext;
        QByteArray second = plaintext;
        QCOMPARE(encryptMemoryImage(QStringLiteral("master password"), 1, _bytes(first)), 0);
        QCOMPARE(encryptMemoryImage(QStringLiteral("master password"), 1, _bytes(second)), 0);
        QVERIFY(first != second);
        QVERIFY(first.left(STORED_HEADER_SIZE) != second.left(STORED_HEADER_SIZE));
        QVERIFY(first.mid(STORED_HEADER_SIZE, 1024) != plaintext.mid(0, 1024));

        // The vault part comes back; the digest bytes differ because each image has its own salt and IV.
        QCOMPARE(decryptMemoryImage(QStringLiteral("master password"), 1, _bytes(first)), 0);
        QCOMPARE(decryptMemoryImage(QStringLiteral("master password"), 1, _bytes(second)), 0);
        QCOMPARE(first.left(CHECK_DIGEST_OFFSET), plaintext.left(CHECK_DIGEST_OFFSET));
        QCOMPARE(second.left(CHECK_DIGEST_OFFSET), plaintext.left(CHECK_DIGEST_OFFSET));
        QVERIFY(first.mid(CHECK_DIGEST_OFFSET, 32) != second.mid(CHECK_DIGEST_OFFSET, 32));

        // An empty password is still a password.
        QByteArray unprotected = plaintext;
        QCOMPARE(encryptMemoryImage(QString(), 1, _bytes(unprotected)), 0);
        QCOMPARE(decryptMemoryImage(QString(), 1, _bytes(unprotected)), 0);
        QCOMPARE(unprotected.left(CHECK_DIGEST_OFFSET), plaintext.left(CHECK_DIGEST_OFFSET));
    }

    void wrongPasswordIsReported()
    {
        QByteArray image = _randomImage(2);
        QCOMPARE(encryptMemoryImage(QStringLiteral("master password"), 1, _bytes(image)), 0);
        const QByteArray stored = image;
        for (const QString& password : {QStringLiteral("master passwore"), QStringLiteral("Master password"),
                                        QStringLiteral("master password "), QString()})
        {
            image = stored;
            QCOMPARE(decryptMemoryImage(password, 1, _bytes(image)), 1);
        }
        // Data that was never encrypted with any password.
        image = _randomImage(3);
        QCOMPARE(decryptMemoryImage(QStringLiteral("master password"), 1, _bytes(image)), 1);
    }

    void tamperedBytesAreDetectedOrLocalised()
    {
        const QString password = QStringLiteral("tamper");
        const QByteArray plaintext = _randomImage(4);
        QByteArray stored = plaintext;
        QCOMPARE(encryptMemoryImage(password, 1, _bytes(stored)), 0);

        std::vector<int> detectedOffsets;
        for (int offset = 0; offset < STORED_HEADER_SIZE; offset++)
            detectedOffsets.push_back(offset);
        for (int offset = ENCRYPTED_DIGEST_OFFSET; offset < MEMORY_IMAGE_SIZE; offset++)
            detectedOffsets.push_back(offset);
        for (int offset : detectedOffsets)
        {
            QByteArray image = stored;
            image[offset] = static_cast<char>(image.at(offset) ^ 0x01);
            if (decryptMemoryImage(password, 1, _bytes(image)) != 1)
                QFAIL(qPrintable(QStringLiteral("change at offset %1 was not detected").arg(offset)));
        }

        // Without a tag, the vault bytes are only counter-mode encrypted: a change stays at its position.
        std::vector<int> localisedOffsets = {
            STORED_HEADER_SIZE,          STORED_HEADER_SIZE + 1,     107, 108, 1000, 65536, 100000,
            ENCRYPTED_DIGEST_OFFSET - 2, ENCRYPTED_DIGEST_OFFSET - 1};
        QRandomGenerator sampler(5);
        for (int sample = 0; sample < 24; sample++)
            localisedOffsets.push_back(sampler.bounded(STORED_HEADER_SIZE, ENCRYPTED_DIGEST_OFFSET));
        for (int offset : localisedOffsets)
        {
            QByteArray image = stored;
            image[offset] = static_cast<char>(image.at(offset) ^ 0x5A);
            QCOMPARE(decryptMemoryImage(password, 1, _bytes(image)), 0);
            QByteArray expected = plaintext.left(CHECK_DIGEST_OFFSET);
            const int plaintextOffset = offset - STORED_HEADER_SIZE;
            expected[plaintextOffset] = static_cast<char>(expected.at(plaintextOffset) ^ 0x5A);
            if (image.left(CHECK_DIGEST_OFFSET) != expected)
                QFAIL(qPrintable(QStringLiteral("change at offset %1 did not land at %2")
                                     .arg(offset)
                                     .arg(plaintextOffset)));
        }
    }

    void sealFollowsTheEndMarkerAndIsChecked()
    {
        const QByteArray randomBytes = _knownAnswerRandomBytes();
        int drawn = 0;
        setMemoryImageRandomByteSource([&]() { return static_cast<uint8_t>(randomBytes.at(drawn++ % 92)); });
        const QString password = QStringLiteral("seal password");
        int endMarkerOffset = -1;
        const QByteArray plaintext = _vaultPlaintext(10, endMarkerOffset);
        QByteArray stored = plaintext;
        VaultSealState sealState = VAULT_SEAL_ABSENT;
        QCOMPARE(encryptAndSealMemoryImage(password, 1, _bytes(stored), &sealState, 0x0102030405060708ULL),
                 0);
        QCOMPARE(sealState, VAULT_SEAL_VALID);

        QByteArray image = stored;
        sealState = VAULT_SEAL_MISMATCH;
        quint64 saveCounter = 0;
        QCOMPARE(decryptAndCheckMemoryImage(password, 1, _bytes(image), &sealState, &saveCounter), 0);
        QCOMPARE(sealState, VAULT_SEAL_VALID);
        QCOMPARE(saveCounter, 0x0102030405060708ULL);
        // The encoding is untouched, the seal sits right after the end marker, and the rest is filler.
        const QByteArray counter("\x01\x02\x03\x04\x05\x06\x07\x08");
        QCOMPARE(image.left(endMarkerOffset + 1), plaintext.left(endMarkerOffset + 1));
        QCOMPARE(image.mid(endMarkerOffset + 1, 8), QByteArray("CVSEAL02"));
        QCOMPARE(image.mid(endMarkerOffset + 9, 8), counter);
        QCOMPARE(image.mid(endMarkerOffset + 17, 32),
                 _expectedSealMac(password, plaintext, endMarkerOffset, counter));
        QCOMPARE(image.mid(endMarkerOffset + 49, 1000), plaintext.mid(endMarkerOffset + 49, 1000));
        // Readers that know nothing of the seal open the image as before.
        image = stored;
        QCOMPARE(decryptMemoryImage(password, 1, _bytes(image)), 0);
        QCOMPARE(
            parseVault(reinterpret_cast<const uint8_t*>(image.constData())).first().passwords.first().url,
            QStringLiteral("https://bank.example.com"));
    }

    void sealedImageMatchesIndependentImplementation()
    {
        // Other software reads our sealed images as any other: the same envelope, a sign in the IV that only
        // the password check covers, and a seal in the filler.
        const QByteArray randomBytes = _knownAnswerRandomBytes();
        int drawn = 0;
        setMemoryImageRandomByteSource([&]() { return static_cast<uint8_t>(randomBytes.at(drawn++)); });
        QByteArray plaintext = _knownAnswerPlaintext();
        plaintext.replace(0, SEALED_ENCODING.size(), SEALED_ENCODING);
        QByteArray image = plaintext;
        VaultSealState sealState = VAULT_SEAL_ABSENT;
        QCOMPARE(encryptAndSealMemoryImage(KNOWN_ANSWER_PASSWORD, 1, _bytes(image), &sealState, 7), 0);
        QCOMPARE(sealState, VAULT_SEAL_VALID);
        QCOMPARE(drawn, 92);
        QCOMPARE(QCryptographicHash::hash(image, QCryptographicHash::Sha256).toHex(),
                 QByteArray(KNOWN_ANSWER_SEALED_IMAGE_SHA256));

        QByteArray opened = image;
        QCOMPARE(decryptMemoryImage(KNOWN_ANSWER_PASSWORD, 1, _bytes(opened)), 0);
        QCOMPARE(opened.left(SEALED_ENCODING.size()), SEALED_ENCODING);
        opened = image;
        quint64 saveCounter = 0;
        QCOMPARE(
            decryptAndCheckMemoryImage(KNOWN_ANSWER_PASSWORD, 1, _bytes(opened), &sealState, &saveCounter),
            0);
        QCOMPARE(sealState, VAULT_SEAL_VALID);
        QCOMPARE(saveCounter, quint64(7));
    }

    void strippedSealIsCaught()
    {
        const QString password = QStringLiteral("seal password");
        int endMarkerOffset = -1;
        const QByteArray plaintext = _vaultPlaintext(10, endMarkerOffset);
        QByteArray stored = plaintext;
        QCOMPARE(encryptAndSealMemoryImage(password, 1, _bytes(stored), nullptr, 3), 0);
        const auto sealStateAfter = [&](int plaintextOffset, uint8_t mask)
        {
            QByteArray changed = stored;
            changed[STORED_HEADER_SIZE + plaintextOffset] =
                static_cast<char>(changed.at(STORED_HEADER_SIZE + plaintextOffset) ^ mask);
            VaultSealState sealState = VAULT_SEAL_VALID;
            if (decryptAndCheckMemoryImage(password, 1, _bytes(changed), &sealState) != 0)
                return -1;
            return static_cast<int>(sealState);
        };
        // Each marker byte XORed away, one by one.
        for (int index = 0; index < VAULT_SEAL_MARKER_SIZE; index++)
            QCOMPARE(sealStateAfter(endMarkerOffset + 1 + index, 0x55), int(VAULT_SEAL_MISMATCH));
        // The end marker moved before the last record's note: the records after it are cut off.
        const uint8_t noteByte = static_cast<uint8_t>(plaintext.at(endMarkerOffset - 2));
        QCOMPARE(sealStateAfter(endMarkerOffset - 2, static_cast<uint8_t>(noteByte ^ VAULT_END_MARKER)),
                 int(VAULT_SEAL_MISMATCH));
        // The sign itself is under the password check: changing it makes the vault fail to open.
        QByteArray signChanged = stored;
        signChanged[STORED_HEADER_SIZE - 1] =
            static_cast<char>(signChanged.at(STORED_HEADER_SIZE - 1) ^ 0x01);
        VaultSealState sealState = VAULT_SEAL_VALID;
        QCOMPARE(decryptAndCheckMemoryImage(password, 1, _bytes(signChanged), &sealState), 1);
    }

    void sealOfEarlierVersionsStillOpens()
    {
        // "CVSEAL01" and a MAC of the encoding alone, no counter, and no sign in the IV.
        const QByteArray randomBytes = _knownAnswerRandomBytes();
        int drawn = 0;
        setMemoryImageRandomByteSource([&]() { return static_cast<uint8_t>(randomBytes.at(drawn++ % 92)); });
        const QString password = QStringLiteral("seal password");
        int endMarkerOffset = -1;
        QByteArray image = _vaultPlaintext(10, endMarkerOffset);
        const QByteArray mac = _expectedSealMac(password, image, endMarkerOffset, QByteArray());
        image.replace(endMarkerOffset + 1, 40, QByteArray("CVSEAL01") + mac);
        QCOMPARE(encryptMemoryImage(password, 1, _bytes(image)), 0);
        QByteArray changed = image;
        VaultSealState sealState = VAULT_SEAL_MISMATCH;
        quint64 saveCounter = 9;
        QCOMPARE(decryptAndCheckMemoryImage(password, 1, _bytes(image), &sealState, &saveCounter), 0);
        QCOMPARE(sealState, VAULT_SEAL_VALID);
        QCOMPARE(saveCounter, quint64(0));
        changed[STORED_HEADER_SIZE + 2] = static_cast<char>(changed.at(STORED_HEADER_SIZE + 2) ^ 0x01);
        QCOMPARE(decryptAndCheckMemoryImage(password, 1, _bytes(changed), &sealState), 0);
        QCOMPARE(sealState, VAULT_SEAL_MISMATCH);
    }

    void deviceSealMemoryJudgesAndRecords()
    {
        QTemporaryDir directory;
        QSettings store(directory.filePath(QStringLiteral("store.ini")), QSettings::IniFormat);
        DeviceSealMemory memory(&store);
        const DeviceIdentity device{QStringLiteral("TZQVR-0001"), QStringLiteral("SN/1")};
        // The chip's serial number can be reprogrammed: with another device serial it is another device.
        const DeviceIdentity sameChipOtherDevice{QStringLiteral("TZQVR-0001"), QStringLiteral("SN-2")};
        const VaultSeal unsealed{VAULT_SEAL_ABSENT, 0};
        const VaultSeal broken{VAULT_SEAL_MISMATCH, 0};

        // Nothing remembered: a broken seal is caught anyway, a vault without seal is only noted.
        QCOMPARE(memory.judgeOpened(broken, DeviceIdentity()), VAULT_SEAL_VERDICT_MODIFIED);
        QCOMPARE(memory.judgeOpened(unsealed, device), VAULT_SEAL_VERDICT_UNSEALED);
        QCOMPARE(memory.judgeOpened(VaultSeal{VAULT_SEAL_VALID, 4}, device), VAULT_SEAL_VERDICT_SEALED);
        QCOMPARE(memory.nextSaveCounter(device, 4), quint64(5));

        // A save verified with counter 5: an older sealed vault asks, one without seal is suspect.
        memory.recordVerifiedWrite(VaultSeal{VAULT_SEAL_VALID, 5}, device);
        QVERIFY(memory.isKnownSealed(device));
        QVERIFY(memory.highestSaveCounterTime(device).isValid());
        QCOMPARE(memory.judgeOpened(VaultSeal{VAULT_SEAL_VALID, 4}, device), VAULT_SEAL_VERDICT_OLDER);
        QCOMPARE(memory.judgeOpened(VaultSeal{VAULT_SEAL_VALID, 5}, device), VAULT_SEAL_VERDICT_SEALED);
        QCOMPARE(memory.judgeOpened(unsealed, device), VAULT_SEAL_VERDICT_MODIFIED);
        QCOMPARE(memory.judgeToBeWritten(unsealed, device), VAULT_SEAL_VERDICT_UNSEALED);
        QCOMPARE(memory.judgeToBeWritten(VaultSeal{VAULT_SEAL_VALID, 2}, device), VAULT_SEAL_VERDICT_OLDER);
        QCOMPARE(memory.judgeOpened(unsealed, sameChipOtherDevice), VAULT_SEAL_VERDICT_UNSEALED);
        QCOMPARE(memory.nextSaveCounter(device, 1), quint64(6));

        // An accepted older vault lowers nothing; a newer one raises the counter.
        memory.recordOpened(VaultSeal{VAULT_SEAL_VALID, 3}, device);
        QCOMPARE(memory.nextSaveCounter(device, 0), quint64(6));
        memory.recordOpened(VaultSeal{VAULT_SEAL_VALID, 9}, device);
        QCOMPARE(memory.nextSaveCounter(device, 0), quint64(10));

        // A verified write is what the device holds now: a restored older backup, then an unsealed one.
        memory.recordVerifiedWrite(VaultSeal{VAULT_SEAL_VALID, 2}, device);
        QCOMPARE(memory.judgeOpened(VaultSeal{VAULT_SEAL_VALID, 2}, device), VAULT_SEAL_VERDICT_SEALED);
        memory.recordVerifiedWrite(unsealed, device);
        QVERIFY(!memory.isKnownSealed(device));
        QCOMPARE(memory.judgeOpened(unsealed, device), VAULT_SEAL_VERDICT_UNSEALED);

        // The list of earlier versions still counts until a write says otherwise.
        store.setValue(QStringLiteral("SealedVaultDevices"), QStringList{QStringLiteral("TZQVR-0001")});
        QCOMPARE(memory.judgeOpened(unsealed, device), VAULT_SEAL_VERDICT_MODIFIED);
        memory.recordVerifiedWrite(unsealed, device);
        QVERIFY(!store.contains(QStringLiteral("SealedVaultDevices")));
    }

    void newerOfTwoSealedMemories()
    {
        Vault vault = {VaultTab{QStringLiteral("Tab"), {}}};
        QByteArray older(MEMORY_IMAGE_SIZE, '\0');
        QByteArray newer(MEMORY_IMAGE_SIZE, '\0');
        QCOMPARE(buildVaultImage(vault, QStringLiteral("pw"), _bytes(older), nullptr, nullptr, 3),
                 int(VAULT_IMAGE_SUCCESS));
        QCOMPARE(buildVaultImage(vault, QStringLiteral("pw"), _bytes(newer), nullptr, nullptr, 4),
                 int(VAULT_IMAGE_SUCCESS));
        QCOMPARE(findNewerSealedImage(_bytes(older), _bytes(newer), QStringLiteral("pw")),
                 NEWER_SEALED_IMAGE_SECOND);
        QCOMPARE(findNewerSealedImage(_bytes(newer), _bytes(older), QStringLiteral("pw")),
                 NEWER_SEALED_IMAGE_FIRST);
        QCOMPARE(findNewerSealedImage(_bytes(newer), _bytes(older), QStringLiteral("other")),
                 NEWER_SEALED_IMAGE_UNKNOWN);
    }

    void untrustedTextIsMadeHarmless()
    {
        const QString name = QStringLiteral("Home\x1b]52;c;cHduZWQ=\x07\nSerial number \u202eTZQVR");
        QCOMPARE(escapeForTerminal(name),
                 QStringLiteral("Home\\x1b]52;c;cHduZWQ=\\x07\\x0aSerial number \\u202eTZQVR"));
        QCOMPARE(escapeForTerminal(QStringLiteral("a\nb\tc\rd"), QStringLiteral("\n\t")),
                 QStringLiteral("a\nb\tc\\x0dd"));
        const QString shown = makeVisibleAndIsolated(QStringLiteral("Home\nSerial \u202eX"));
        QCOMPARE(shown, QStringLiteral("\u2068Home\u21b5Serial <U+202E>X\u2069"));
        QCOMPARE(makeVisibleAndIsolated(QStringLiteral("Home 2")), QStringLiteral("Home 2"));
    }

    void changedRecordByteBreaksTheSeal()
    {
        const QString password = QStringLiteral("seal password");
        int endMarkerOffset = -1;
        const QByteArray plaintext = _vaultPlaintext(10, endMarkerOffset);
        QByteArray stored = plaintext;
        QCOMPARE(encryptAndSealMemoryImage(password, 1, _bytes(stored)), 0);
        // One byte of the web site, inside the counter-mode encrypted vault.
        const int urlOffset = static_cast<int>(plaintext.indexOf("https://bank"));
        QVERIFY(urlOffset > 0);
        stored[STORED_HEADER_SIZE + urlOffset + 8] =
            static_cast<char>(stored.at(STORED_HEADER_SIZE + urlOffset + 8) ^ 0x06);
        QByteArray image = stored;
        VaultSealState sealState = VAULT_SEAL_VALID;
        QCOMPARE(decryptAndCheckMemoryImage(password, 1, _bytes(image), &sealState), 0);
        QCOMPARE(sealState, VAULT_SEAL_MISMATCH);
        QVERIFY(image.mid(urlOffset, 24) == QByteArray("https://dank.example.com"));
    }

    void imagesWithoutSealOpen()
    {
        // The independent implementation's image knows nothing of seals.
        const QByteArray randomBytes = _knownAnswerRandomBytes();
        int drawn = 0;
        setMemoryImageRandomByteSource([&]() { return static_cast<uint8_t>(randomBytes.at(drawn++)); });
        QByteArray image = _knownAnswerPlaintext();
        QCOMPARE(encryptMemoryImage(KNOWN_ANSWER_PASSWORD, 1, _bytes(image)), 0);
        QCOMPARE(QCryptographicHash::hash(image, QCryptographicHash::Sha256).toHex(),
                 QByteArray(KNOWN_ANSWER_IMAGE_SHA256));
        VaultSealState sealState = VAULT_SEAL_VALID;
        QCOMPARE(decryptAndCheckMemoryImage(KNOWN_ANSWER_PASSWORD, 1, _bytes(image), &sealState), 0);
        QCOMPARE(sealState, VAULT_SEAL_ABSENT);
        QCOMPARE(image.left(CHECK_DIGEST_OFFSET), _knownAnswerPlaintext().left(CHECK_DIGEST_OFFSET));
        setMemoryImageRandomByteSource(nullptr);

        // A vault that leaves fewer than 40 bytes has no seal, and its filler is left as it was.
        int shortEndMarkerOffset = -1;
        _vaultPlaintext(10, shortEndMarkerOffset);
        for (const int freeCount : {0, 1, 39, 40})
        {
            int endMarkerOffset = -1;
            const int noteSize = 10 + (VAULT_CAPACITY - 1 - freeCount) - shortEndMarkerOffset;
            QByteArray plaintext = _vaultPlaintext(noteSize, endMarkerOffset);
            QCOMPARE(VAULT_CAPACITY - endMarkerOffset - 1, freeCount);
            QByteArray stored = plaintext;
            VaultSealState written = VAULT_SEAL_MISMATCH;
            QCOMPARE(encryptAndSealMemoryImage(QStringLiteral("full"), 1, _bytes(stored), &written), 0);
            QCOMPARE(written, freeCount >= VAULT_SEAL_SIZE ? VAULT_SEAL_VALID : VAULT_SEAL_ABSENT);
            QCOMPARE(decryptAndCheckMemoryImage(QStringLiteral("full"), 1, _bytes(stored), &sealState), 0);
            QCOMPARE(sealState, written);
            if (written == VAULT_SEAL_ABSENT)
                QCOMPARE(stored.left(CHECK_DIGEST_OFFSET), plaintext.left(CHECK_DIGEST_OFFSET));
        }
    }

    void vaultImagesReportTheirSeal()
    {
        Vault vault = {VaultTab{QStringLiteral("Tab"), {}}};
        PasswordRecord record;
        record.name = QStringLiteral("Mail");
        vault.first().passwords.append(record);
        QByteArray stored(MEMORY_IMAGE_SIZE, '\0');
        int freeCount = -1;
        VaultSealState sealState = VAULT_SEAL_ABSENT;
        QCOMPARE(buildVaultImage(vault, QStringLiteral("pw"), _bytes(stored), &freeCount, &sealState),
                 VAULT_IMAGE_SUCCESS);
        QCOMPARE(sealState, VAULT_SEAL_VALID);
        QCOMPARE(freeCount, VAULT_CAPACITY - 14); // the seal takes nothing from the capacity
        QByteArray plaintext(MEMORY_IMAGE_SIZE, '\0');
        sealState = VAULT_SEAL_ABSENT;
        QCOMPARE(openVaultImage(_bytes(stored), QStringLiteral("pw"), _bytes(plaintext), &sealState),
                 VAULT_IMAGE_SUCCESS);
        QCOMPARE(sealState, VAULT_SEAL_VALID);

        // A vault filled to the last byte is saved without a seal and opens.
        vault.first().passwords.first().note = QString(VAULT_CAPACITY - 14, u'x');
        QCOMPARE(buildVaultImage(vault, QStringLiteral("pw"), _bytes(stored), &freeCount, &sealState),
                 VAULT_IMAGE_SUCCESS);
        QCOMPARE(freeCount, 0);
        QCOMPARE(sealState, VAULT_SEAL_ABSENT);
        sealState = VAULT_SEAL_MISMATCH;
        QCOMPARE(openVaultImage(_bytes(stored), QStringLiteral("pw"), _bytes(plaintext), &sealState),
                 VAULT_IMAGE_SUCCESS);
        QCOMPARE(sealState, VAULT_SEAL_ABSENT);
        QCOMPARE(parseVault(_bytes(plaintext)).first().passwords.first().note.size(), VAULT_CAPACITY - 14);
    }

    void coreDumpsCanBeSwitchedOff()
    {
        disableCoreDumps();
#ifdef Q_OS_WIN
        // No crash report, which would write the process's memory to a dump file.
        QVERIFY((GetErrorMode() & SEM_NOGPFAULTERRORBOX) != 0);
#else
        QCOMPARE(prctl(PR_GET_DUMPABLE, 0, 0, 0, 0), 0);
        struct rlimit limit = {1, 1};
        QCOMPARE(getrlimit(RLIMIT_CORE, &limit), 0);
        QCOMPARE(limit.rlim_cur, rlim_t(0));
#endif
    }

    // Device buffers and read-back comparisons rely on a fresh buffer being zero and on an empty one never
    // comparing equal.
    void secureImageBufferStartsZeroCopiesAndReleases()
    {
        const std::vector<uint8_t> zeroImage(MEMORY_IMAGE_SIZE, 0);
        SecureImageBuffer buffer(MEMORY_IMAGE_SIZE);
        QCOMPARE(buffer.size(), std::size_t(MEMORY_IMAGE_SIZE));
        QVERIFY(buffer.isEqualTo(zeroImage.data()));

        std::vector<uint8_t> image(MEMORY_IMAGE_SIZE, 0x5a);
        buffer.assign(image.data(), image.size());
        QVERIFY(buffer.isEqualTo(image.data()));
        image[MEMORY_IMAGE_SIZE - 1] = 0;
        QVERIFY(!buffer.isEqualTo(image.data()));

        buffer.clear();
        QVERIFY(buffer.isEmpty());
        QVERIFY(!buffer.data());
        QVERIFY(!buffer.isEqualTo(zeroImage.data()));

        buffer.assign(image.data(), 16);
        QCOMPARE(buffer.size(), std::size_t(16));
        buffer.allocate(MEMORY_IMAGE_SIZE);
        QVERIFY(buffer.isEqualTo(zeroImage.data()));
    }

    void formatVersionsWithoutImplementationLeaveTheImageAlone()
    {
        const QByteArray original = _randomImage(6);
        for (int version : {0, 2, 3, -1})
        {
            QByteArray image = original;
            QCOMPARE(encryptMemoryImage(QStringLiteral("x"), version, _bytes(image)), -1);
            QCOMPARE(image, original);
        }
        for (int version : {0, 2})
        {
            QByteArray image = original;
            QCOMPARE(decryptMemoryImage(QStringLiteral("x"), version, _bytes(image)), 1);
            QCOMPARE(image, original);
        }
        for (int version : {3, -1, 255})
        {
            QByteArray image = original;
            QCOMPARE(decryptMemoryImage(QStringLiteral("x"), version, _bytes(image)), -1);
            QCOMPARE(image, original);
        }
    }

    void capacityByFormatVersion()
    {
        QCOMPARE(getMemoryImageCapacity(0), 131052);
        QCOMPARE(getMemoryImageCapacity(1), 130948);
        QCOMPARE(getMemoryImageCapacity(2), 130964);
        QCOMPARE(getMemoryImageCapacity(3), -1);
        QCOMPARE(getMemoryImageCapacity(-1), -1);
        QCOMPARE(getMemoryImageCapacity(MEMORY_IMAGE_FORMAT_VERSION), VAULT_CAPACITY);
    }

    // The lock's seal: the state comes back only with the password it was sealed under, under a fresh salt
    // and vector each time, and any changed byte fails like a wrong password.
    void lockedStateSealOpensOnlyWithItsPassword()
    {
        const QByteArray state = QByteArrayLiteral("vault records and a half-typed field");
        const auto* bytes = reinterpret_cast<const uint8_t*>(state.constData());
        const QString password = QStringLiteral("Correct horse 42");
        QByteArray first;
        QByteArray second;
        QCOMPARE(LockedStateSeal::seal(password, bytes, state.size(), first),
                 LockedStateSeal::RESULT_SUCCESS);
        QCOMPARE(LockedStateSeal::seal(password, bytes, state.size(), second),
                 LockedStateSeal::RESULT_SUCCESS);
        QVERIFY(first != second);
        QVERIFY(!first.contains(state));

        SecureImageBuffer opened;
        QCOMPARE(LockedStateSeal::open(password, first, opened), LockedStateSeal::RESULT_SUCCESS);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(opened.data()), static_cast<int>(opened.size())),
                 state);

        QCOMPARE(LockedStateSeal::open(QStringLiteral("correct horse 42"), first, opened),
                 LockedStateSeal::RESULT_WRONG_PASSWORD);
        QVERIFY(opened.isEmpty());
        for (const int index : {0, 20, 30, static_cast<int>(first.size()) - 1})
        {
            QByteArray changed = first;
            changed[index] = static_cast<char>(changed.at(index) ^ 0x01);
            QCOMPARE(LockedStateSeal::open(password, changed, opened),
                     LockedStateSeal::RESULT_WRONG_PASSWORD);
        }
        QCOMPARE(LockedStateSeal::open(password, first.left(10), opened), LockedStateSeal::RESULT_FAILURE);
    }

    // The sealed state is measured, then written into a buffer of exactly that size and read back in place.
    void secureBufferDeviceCountsWritesAndReadsInPlace()
    {
        const QString text = QStringLiteral("secret text");
        SecureBufferDevice counter(nullptr, 0);
        {
            QDataStream stream(&counter);
            stream << text << qint32(7);
        }
        SecureImageBuffer buffer(static_cast<std::size_t>(counter.writtenSize()));
        {
            SecureBufferDevice device(buffer.data(), buffer.size());
            QDataStream stream(&device);
            stream << text << qint32(7);
            QCOMPARE(stream.status(), QDataStream::Ok);
            stream << qint32(8);
            QCOMPARE(stream.status(), QDataStream::WriteFailed);
        }
        SecureBufferDevice device(buffer.data(), buffer.size());
        QDataStream stream(&device);
        QString readText;
        qint32 number = 0;
        stream >> readText >> number;
        QCOMPARE(readText, text);
        QCOMPARE(number, 7);
        stream >> number;
        QVERIFY(stream.status() != QDataStream::Ok);
    }

    void deriveKeyRejectsUnusableArguments()
    {
        uint8_t salt[32] = {};
        uint8_t key[32] = {};
        QCOMPARE(deriveKey(QStringLiteral("p"), salt, 32, 16384, 32, nullptr), -1);
        QCOMPARE(deriveKey(QStringLiteral("p"), nullptr, 32, 16384, 32, key), -1);
        QCOMPARE(deriveKey(QStringLiteral("p"), salt, -1, 16384, 32, key), -1);
        QCOMPARE(deriveKey(QStringLiteral("p"), salt, 32, 0, 32, key), -1);
        QCOMPARE(deriveKey(QStringLiteral("p"), salt, 32, 16384, 0, key), -1);
    }
};

QTEST_GUILESS_MAIN(TestMemoryImageEncryption)
#include "test_memory_image_encryption.moc"
