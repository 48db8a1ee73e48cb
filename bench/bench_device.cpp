// Memory transfers between Device and the device simulator on a pseudo-terminal.
//   ReadBothMemories, WriteBothMemories: unlimited link speed (targets: < 0.1 s and < 0.3 s).
//   WriteOneMemoryAt11520: a link of 11 520 bytes per second (115 200 baud, 8N1); the counter
//   line_time_ratio is the write time over its pure line time 512 * 260 / 11520 s (target <= 1.05).

#include "device/Device.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

namespace
{
constexpr double LINK_BYTES_PER_SECOND = 11520.0;

// One simulator process serving a device with a throw-away state, without request log.
class BenchmarkSimulator
{
public:
    explicit BenchmarkSimulator(const QStringList& extraArguments)
    {
        _process.start(QStringLiteral(CORVANE_SIMULATOR_PATH),
                       QStringList{"--exit-with-parent", "--device-dir", "", "--usb-serial", "TZQVR-BENCH",
                                   "--state-dir", _stateDirectory.path()} +
                           extraArguments);
        if (_process.waitForReadyRead(20000))
        {
            const QByteArray line = _process.readLine().trimmed();
            if (line.startsWith("ready port="))
                _portPath = QString::fromUtf8(line.mid(11));
        }
    }
    ~BenchmarkSimulator()
    {
        _process.terminate();
        _process.waitForFinished(10000);
    }
    QString portPath() const
    {
        return _portPath;
    }

private:
    QTemporaryDir _stateDirectory;
    QProcess _process;
    QString _portPath;
};

std::unique_ptr<Device> _openDevice_helper(BenchmarkSimulator& simulator, benchmark::State& state)
{
    auto device =
        std::make_unique<Device>(DevicePortInfo(simulator.portPath(), "TZQVR-BENCH", 0x0403, 0x6015));
    if (simulator.portPath().isEmpty() || device->open() != 0)
    {
        state.SkipWithError("the simulator could not be opened");
        return nullptr;
    }
    return device;
}

bool _writeMemory_helper(Device& device, int memoryIndex, const uint8_t* image)
{
    if (device.selectMemory(memoryIndex) != 0)
        return false;
    for (int block = 0; block < DEVICE_MEMORY_BLOCK_COUNT; block++)
    {
        if (device.writeMemoryBlock(block, image + block * DEVICE_MEMORY_BLOCK_SIZE) != 0)
            return false;
    }
    return true;
}

void ReadBothMemories(benchmark::State& state)
{
    BenchmarkSimulator simulator({});
    std::unique_ptr<Device> device = _openDevice_helper(simulator, state);
    if (!device)
        return;
    for (auto _ : state)
    {
        if (device->readMemory(0) != 0 || device->readMemory(1) != 0)
        {
            state.SkipWithError("read failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * 2 * DEVICE_MEMORY_SIZE);
    device->close();
}

void WriteBothMemories(benchmark::State& state)
{
    BenchmarkSimulator simulator({});
    std::unique_ptr<Device> device = _openDevice_helper(simulator, state);
    if (!device)
        return;
    std::vector<uint8_t> image(DEVICE_MEMORY_SIZE);
    for (size_t index = 0; index < image.size(); index++)
        image[index] = static_cast<uint8_t>(index * 31 + 7);
    for (auto _ : state)
    {
        if (!_writeMemory_helper(*device, 0, image.data()) || !_writeMemory_helper(*device, 1, image.data()))
        {
            state.SkipWithError("write failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * 2 * DEVICE_MEMORY_SIZE);
    state.counters["blocks"] = benchmark::Counter(2.0 * DEVICE_MEMORY_BLOCK_COUNT);
    device->close();
}

void WriteOneMemoryAt11520(benchmark::State& state)
{
    BenchmarkSimulator simulator({"--speed", "11520"});
    std::unique_ptr<Device> device = _openDevice_helper(simulator, state);
    if (!device)
        return;
    std::vector<uint8_t> image(DEVICE_MEMORY_SIZE, 0x5A);
    const double lineSeconds =
        DEVICE_MEMORY_BLOCK_COUNT * (4.0 + DEVICE_MEMORY_BLOCK_SIZE) / LINK_BYTES_PER_SECOND;
    double totalSeconds = 0;
    for (auto _ : state)
    {
        const auto start = std::chrono::steady_clock::now();
        if (!_writeMemory_helper(*device, 0, image.data()))
        {
            state.SkipWithError("write failed");
            break;
        }
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        totalSeconds += elapsed.count();
        state.SetIterationTime(elapsed.count());
    }
    if (state.iterations() > 0)
        state.counters["line_time_ratio"] =
            totalSeconds / static_cast<double>(state.iterations()) / lineSeconds;
    device->close();
}
} // namespace

BENCHMARK(ReadBothMemories)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(WriteBothMemories)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(WriteOneMemoryAt11520)->Unit(benchmark::kSecond)->UseManualTime()->Iterations(2);

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
