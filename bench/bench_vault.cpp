// Vault storage costs: the envelope against the key derivations it is made of, and the encoding work
// that the editor repeats on every refresh. Compare medians:
//   build/bench/bench_vault --benchmark_repetitions=10 --benchmark_report_aggregates_only=true
// Goals: encryption and decryption within 1.2x of two derivations; encode < 1 ms, parse < 3 ms and the
// fill level < 1 ms for a full vault.
#include "vault/MemoryImage.h"
#include "vault/MemoryImageEncryption.h"

#include <QRandomGenerator>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace
{
const QString PASSWORD = QStringLiteral("correct horse battery staple");

int _encodedSize_helper(const QString& text)
{
    return static_cast<int>(text.toUtf8().size()) + 1;
}

// About 130 KB of records shaped like real ones, spread over a few tabs, with some non-ASCII text.
Vault _fullVault_helper()
{
    static const char* const tabNames[] = {"Personal", "Work", "Banking", "Shopping", "Social", "Gaming"};
    QRandomGenerator generator(42);
    Vault vault;
    int used = 1; // end marker
    for (const char* tabName : tabNames)
    {
        vault.append(VaultTab{QString::fromLatin1(tabName), {}});
        used += _encodedSize_helper(vault.last().name);
    }
    for (int index = 0;; index++)
    {
        PasswordRecord record;
        record.name = QStringLiteral("Service %1 Caf\u00e9").arg(index, 4, 10, QLatin1Char('0'));
        record.login = QStringLiteral("user.%1@example.org").arg(index);
        for (int character = 0; character < 20; character++)
            record.password.append(QChar(static_cast<char16_t>(generator.bounded(33, 127))));
        record.url = QStringLiteral("https://www.site%1.example/login").arg(index);
        if (index % 3 == 0)
            record.note = QStringLiteral(
                "Recovery codes kept in the safe; security question: premi\u00e8re \u00e9cole.");
        int size = 0;
        for (int field = 0; field < PasswordRecord::FIELD_COUNT; field++)
            size += _encodedSize_helper(record.field(field));
        if (used + size > VAULT_CAPACITY)
            break;
        used += size;
        vault[index % vault.size()].passwords.append(record);
    }
    return vault;
}

std::vector<uint8_t> _plaintextImage_helper()
{
    std::vector<uint8_t> image(MEMORY_IMAGE_SIZE);
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(image.data()), MEMORY_IMAGE_SIZE / 4);
    // Without its input the benchmark would measure nothing.
    if (serializeVault(_fullVault_helper(), image.data()) < 0)
        std::abort();
    return image;
}

void BM_DeriveOneKey(benchmark::State& state)
{
    uint8_t salt[32] = {1, 2, 3};
    uint8_t key[32];
    for (auto _ : state)
    {
        if (deriveKey(PASSWORD, salt, 32, 16384, 32, key) != 0)
            state.SkipWithError("derivation failed");
        benchmark::DoNotOptimize(key);
    }
}

// What each direction of the envelope spends on PBKDF2 alone.
void BM_DeriveTwoKeys(benchmark::State& state)
{
    uint8_t salts[2][32] = {{1}, {2}};
    uint8_t key[32];
    for (auto _ : state)
    {
        for (const auto& salt : salts)
            if (deriveKey(PASSWORD, salt, 32, 16384, 32, key) != 0)
                state.SkipWithError("derivation failed");
        benchmark::DoNotOptimize(key);
    }
}

void BM_EncryptMemoryImage(benchmark::State& state)
{
    const std::vector<uint8_t> plaintext = _plaintextImage_helper();
    std::vector<uint8_t> image(MEMORY_IMAGE_SIZE);
    for (auto _ : state)
    {
        std::memcpy(image.data(), plaintext.data(), MEMORY_IMAGE_SIZE);
        if (encryptMemoryImage(PASSWORD, MEMORY_IMAGE_FORMAT_VERSION, image.data()) != 0)
            state.SkipWithError("encryption failed");
        benchmark::ClobberMemory();
    }
}

void BM_DecryptMemoryImage(benchmark::State& state)
{
    std::vector<uint8_t> stored = _plaintextImage_helper();
    if (encryptMemoryImage(PASSWORD, MEMORY_IMAGE_FORMAT_VERSION, stored.data()) != 0)
        std::abort();
    std::vector<uint8_t> image(MEMORY_IMAGE_SIZE);
    for (auto _ : state)
    {
        std::memcpy(image.data(), stored.data(), MEMORY_IMAGE_SIZE);
        if (decryptMemoryImage(PASSWORD, MEMORY_IMAGE_FORMAT_VERSION, image.data()) != 0)
            state.SkipWithError("decryption failed");
        benchmark::ClobberMemory();
    }
}

void BM_SerializeFullVault(benchmark::State& state)
{
    const Vault vault = _fullVault_helper();
    std::vector<uint8_t> buffer(MEMORY_IMAGE_SIZE);
    int freeCount = 0;
    for (auto _ : state)
    {
        freeCount = serializeVault(vault, buffer.data());
        benchmark::DoNotOptimize(freeCount);
    }
    state.counters["encoded_bytes"] = VAULT_CAPACITY - freeCount;
}

void BM_ParseFullVault(benchmark::State& state)
{
    const std::vector<uint8_t> image = _plaintextImage_helper();
    int records = 0;
    for (auto _ : state)
    {
        Vault vault = parseVault(image.data());
        records = 0;
        for (const VaultTab& tab : vault)
            records += static_cast<int>(tab.passwords.size());
        benchmark::DoNotOptimize(records);
    }
    state.counters["records"] = records;
}

// The editor's fill label: a full serialization into a scratch image on every refresh.
void BM_FillLevelOfFullVault(benchmark::State& state)
{
    const Vault vault = _fullVault_helper();
    for (auto _ : state)
    {
        std::vector<uint8_t> scratch(MEMORY_IMAGE_SIZE);
        // Not const: Google Benchmark 1.8 deprecates DoNotOptimize on a const reference.
        int percentage = getVaultFillPercentage(serializeVault(vault, scratch.data()));
        benchmark::DoNotOptimize(percentage);
    }
}
} // namespace

BENCHMARK(BM_DeriveOneKey)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeriveTwoKeys)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncryptMemoryImage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecryptMemoryImage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SerializeFullVault)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ParseFullVault)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FillLevelOfFullVault)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
