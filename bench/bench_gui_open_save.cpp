// Opening and saving a vault of about 130 KB through the main window, against the device simulator at
// unlimited link speed: everything from the "Open Corvane..." action to the vault shown (enumeration, open,
// both memories read, decryption, parsing, tabs rebuilt), and from "Save" to the success message (random
// filler, encoding, encryption, 1024 blocks written, both memories read back and compared).
// Each direction derives two keys of 16 384 PBKDF2 iterations by design; the counter
// ms_without_key_derivation removes their measured time (targets: open < 500 ms, save < 1000 ms).
#include "app/Configuration.h"
#include "device/Device.h"
#include "device/DeviceEnumeration.h"
#include "mainwindow/FormContentEditor.h"
#include "support/SimulatorProcess.h"
#include "vault/MemoryImage.h"
#include "vault/MemoryImageEncryption.h"
#include "vault/VaultImage.h"
#include "views/ViewBase.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <vector>

namespace
{
const QString PASSWORD = QStringLiteral("bench master password");

// About 130 KB of records as people keep them.
Vault _makeLargeVault_helper()
{
    const QStringList services = {"Bank", "Mail", "Shop", "Forum", "Cloud", "Travel", "Payroll", "Video"};
    Vault vault;
    std::vector<uint8_t> image(MEMORY_IMAGE_SIZE);
    for (int tabIndex = 0; tabIndex < 6; tabIndex++)
        vault.append(VaultTab{QStringLiteral("Tab %1").arg(tabIndex + 1), {}});
    for (int number = 0;; number++)
    {
        const QString& service = services[number % services.size()];
        PasswordRecord record;
        record.name = QStringLiteral("%1 account %2").arg(service).arg(number, 4, 10, QLatin1Char('0'));
        record.login = QStringLiteral("firstname.lastname%1@mailbox.example").arg(number);
        record.password = QStringLiteral("T7#kq%1Lm!v9Xp2").arg(number * 7919);
        record.url = QStringLiteral("https://www.%1-%2.example.com/login").arg(service.toLower()).arg(number);
        if (number % 3 == 0)
            record.note = QStringLiteral("Security question: name of the first school. Changed in spring.");
        vault[number % vault.size()].passwords.append(record);
        if (serializeVault(vault, image.data()) < 2000)
            return vault;
    }
}

QByteArray _encryptedImage_helper(const Vault& vault)
{
    QByteArray image(MEMORY_IMAGE_SIZE, Qt::Uninitialized);
    // Without its input the benchmark would measure nothing.
    if (buildVaultImage(vault, PASSWORD, reinterpret_cast<uint8_t*>(image.data())) != VAULT_IMAGE_SUCCESS)
        std::abort();
    return image;
}

// The time of the two key derivations every encryption or decryption makes.
double _keyDerivationPairMilliseconds_helper()
{
    uint8_t salt[32] = {};
    uint8_t key[32];
    constexpr int repetitions = 5;
    const auto start = std::chrono::steady_clock::now();
    for (int repetition = 0; repetition < 2 * repetitions; repetition++)
    {
        if (deriveKey(PASSWORD, salt, sizeof(salt), 16384, sizeof(key), key) != 0)
            std::abort();
    }
    const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
    return elapsed.count() / repetitions;
}

// One simulated device with the given memories, registered in a device directory that the window lists.
class BenchmarkDevice
{
public:
    explicit BenchmarkDevice(const QByteArray& image)
    {
        qputenv(DEVICE_DIRECTORY_ENVIRONMENT_VARIABLE, QFile::encodeName(_deviceDirectory.path()));
        // No request log: it would cost time.
        _simulator.setRequestLogEnabled(false);
        _isReady = _simulator.writeMemory(DEVICE_MEMORY_MAIN, image) &&
                   _simulator.writeMemory(DEVICE_MEMORY_BACKUP, image) &&
                   _simulator.start(_deviceDirectory.path(), QStringLiteral("TZQVR-BENCH"),
                                    {QStringLiteral("--name"), QStringLiteral("Bench")});
    }
    ~BenchmarkDevice()
    {
        _simulator.stop();
        qunsetenv(DEVICE_DIRECTORY_ENVIRONMENT_VARIABLE);
    }
    bool isReady() const
    {
        return _isReady;
    }

private:
    QTemporaryDir _deviceDirectory;
    SimulatorProcess _simulator;
    bool _isReady = false;
};

// Runs the event loop, as the application does, until predicate holds or 60 s passed.
bool _runUntil_helper(const std::function<bool()>& predicate)
{
    if (predicate())
        return true;
    QEventLoop loop;
    QTimer pollTimer;
    QObject::connect(&pollTimer, &QTimer::timeout, &loop,
                     [&]()
                     {
                         if (predicate())
                             loop.quit();
                     });
    pollTimer.start(0);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    loop.exec();
    return predicate();
}

QPushButton* _button_helper(FormContentEditor* window, int viewId, const char* objectName)
{
    return window->view(viewId)->findChild<QPushButton*>(QLatin1String(objectName));
}

bool _openVault_helper(FormContentEditor* window)
{
    window->findChild<QAction*>(QStringLiteral("actionOpenDevice"))->trigger();
    if (window->currentViewId() != VIEW_ID_INSERT_READING_MASTER_PASSWORD)
        return false;
    // As typed: the page enables OK on user edits.
    auto* passwordField = window->view(VIEW_ID_INSERT_READING_MASTER_PASSWORD)
                              ->findChild<QLineEdit*>(QStringLiteral("lineEditPasswordField"));
    passwordField->setText(PASSWORD);
    Q_EMIT passwordField->textEdited(PASSWORD);
    _button_helper(window, VIEW_ID_INSERT_READING_MASTER_PASSWORD, "pushButtonOk")->click();
    return _runUntil_helper(
        [&]() { return window->currentViewId() == VIEW_ID_CONTENT_EDITOR && !window->workflowDevice(); });
}

bool _saveVault_helper(FormContentEditor* window)
{
    window->findChild<QPushButton*>(QStringLiteral("pushButtonWriteDevice"))
        ->menu()
        ->actions()
        .at(0)
        ->trigger();
    if (!_runUntil_helper([&]() { return window->currentViewId() == VIEW_ID_MESSAGE_BOX_DIALOG; }))
        return false;
    _button_helper(window, VIEW_ID_MESSAGE_BOX_DIALOG, "pushButtonYes")->click();
    if (!_runUntil_helper([&]() { return window->currentViewId() == VIEW_ID_MESSAGE_BOX_DIALOG; }))
        return false;
    const bool isSaved = window->view(VIEW_ID_MESSAGE_BOX_DIALOG)->title() == QStringLiteral("Write success");
    _button_helper(window, VIEW_ID_MESSAGE_BOX_DIALOG, "pushButtonOk")->click();
    return isSaved;
}

FormContentEditor* _createWindow_helper()
{
    auto* window = new FormContentEditor();
    mainWindow = window;
    window->resize(1600, 1000);
    window->show();
    window->switchView(VIEW_ID_CONTENT_EDITOR);
    window->clearViewStack();
    QCoreApplication::processEvents();
    return window;
}

void _reportWithoutKeyDerivation_helper(benchmark::State& state, double totalMilliseconds)
{
    const double perIteration = totalMilliseconds / static_cast<double>(state.iterations());
    const double keyDerivation = _keyDerivationPairMilliseconds_helper();
    state.counters["ms_key_derivation"] = keyDerivation;
    state.counters["ms_without_key_derivation"] = perIteration - keyDerivation;
}

void BM_OpenVaultFromDevice(benchmark::State& state)
{
    const Vault vault = _makeLargeVault_helper();
    BenchmarkDevice device(_encryptedImage_helper(vault));
    if (!device.isReady())
    {
        state.SkipWithError("the simulator did not start");
        return;
    }
    FormContentEditor* window = _createWindow_helper();
    double totalMilliseconds = 0;
    for (auto _ : state)
    {
        const auto start = std::chrono::steady_clock::now();
        const bool isOpened = _openVault_helper(window);
        totalMilliseconds +=
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        if (!isOpened || window->getVault() != vault)
        {
            state.SkipWithError("the vault was not opened");
            break;
        }
    }
    _reportWithoutKeyDerivation_helper(state, totalMilliseconds);
    delete window;
    mainWindow = nullptr;
}
BENCHMARK(BM_OpenVaultFromDevice)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_SaveVaultToDevice(benchmark::State& state)
{
    const Vault vault = _makeLargeVault_helper();
    BenchmarkDevice device(_encryptedImage_helper(vault));
    FormContentEditor* window = _createWindow_helper();
    // Opened once, so that "Save" knows the master password.
    if (!device.isReady() || !_openVault_helper(window))
    {
        state.SkipWithError("the vault could not be opened");
        delete window;
        return;
    }
    double totalMilliseconds = 0;
    for (auto _ : state)
    {
        const auto start = std::chrono::steady_clock::now();
        const bool isSaved = _saveVault_helper(window);
        totalMilliseconds +=
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        if (!isSaved)
        {
            state.SkipWithError("the save did not succeed");
            break;
        }
    }
    _reportWithoutKeyDerivation_helper(state, totalMilliseconds);
    delete window;
    mainWindow = nullptr;
}
BENCHMARK(BM_SaveVaultToDevice)->Unit(benchmark::kMillisecond)->Iterations(10);
} // namespace
