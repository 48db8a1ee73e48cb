// Password generation speed: 10 000 "Auto" passwords (20 to 30 characters, every class) per iteration,
// each with its own securely seeded generator as in the application.

#include "passwordtools/PasswordGenerator.h"
#include "passwordtools/PasswordStrength.h"

#include <benchmark/benchmark.h>

namespace
{
void BM_GenerateAutoPasswords(benchmark::State& state)
{
    for (auto _ : state)
    {
        qsizetype totalLength = 0;
        for (int index = 0; index < 10000; index++)
            totalLength += generatePassword(20, 30, true, true, true, true).size();
        benchmark::DoNotOptimize(totalLength);
    }
    state.SetItemsProcessed(state.iterations() * 10000);
}

void BM_GenerateLongestAdvancedPassword(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(generatePassword(1024, 1024, false, false, false, true));
}

void BM_RatePasswords(benchmark::State& state)
{
    const QString password = generatePassword(64, 64, true, true, true, true);
    QString strengthText;
    for (auto _ : state)
        benchmark::DoNotOptimize(getPasswordStrength(password, &strengthText));
}
} // namespace

BENCHMARK(BM_GenerateAutoPasswords)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GenerateLongestAdvancedPassword)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RatePasswords);

BENCHMARK_MAIN();
