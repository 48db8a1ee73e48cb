// Locking and unlocking the main window over a vault of 3 000 records, with the record page of one of them
// open: the lock seals the vault and the page into one encrypted blob and empties the tables and fields; the
// unlock decrypts it with the typed password and rebuilds everything. Each direction derives one key of
// 16 384 PBKDF2 iterations by design; the counter ms_without_key_derivation removes its measured time
// (target: lock and unlock each < 200 ms besides the key derivation).
#include "app/Configuration.h"
#include "mainwindow/FormContentEditor.h"
#include "mainwindow/PasswordTable.h"
#include "vault/MemoryImageEncryption.h"
#include "views/ViewBase.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabWidget>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>

namespace
{
const QString PASSWORD = QStringLiteral("bench master password");
constexpr int RECORD_COUNT = 3000;

Vault _makeVault_helper()
{
    const QStringList services = {"Bank", "Mail", "Shop", "Forum", "Cloud", "Travel", "Payroll", "Video"};
    Vault vault;
    for (int tabIndex = 0; tabIndex < 6; tabIndex++)
        vault.append(VaultTab{QStringLiteral("Tab %1").arg(tabIndex + 1), {}});
    for (int number = 0; number < RECORD_COUNT; number++)
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
    }
    return vault;
}

double _keyDerivationMilliseconds_helper()
{
    uint8_t salt[16] = {};
    uint8_t key[32];
    constexpr int repetitions = 5;
    const auto start = std::chrono::steady_clock::now();
    for (int repetition = 0; repetition < repetitions; repetition++)
    {
        if (deriveKey(PASSWORD, salt, sizeof(salt), 16384, sizeof(key), key) != 0)
            std::abort();
    }
    const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
    return elapsed.count() / repetitions;
}

void _lock_helper(FormContentEditor* window)
{
    window->findChild<QAction*>(QStringLiteral("actionLockApplication"))->trigger();
}

void _unlock_helper(FormContentEditor* window)
{
    QWidget* page = window->view(VIEW_ID_APPLICATION_LOCKED);
    page->findChild<QLineEdit*>(QStringLiteral("lineEditPassword"))->setText(PASSWORD);
    page->findChild<QPushButton*>(QStringLiteral("pushButtonUnlock"))->click();
}

void BM_LockAndUnlock(benchmark::State& state)
{
    auto* window = new FormContentEditor();
    mainWindow = window;
    window->resize(1600, 1000);
    window->show();
    window->switchView(VIEW_ID_CONTENT_EDITOR);
    window->clearViewStack();
    const Vault vault = _makeVault_helper();
    window->setVault(vault);
    window->setKnownMasterPassword(PASSWORD);
    auto* table = qobject_cast<PasswordTable*>(
        window->findChild<QTabWidget*>(QStringLiteral("tabWidget"))->currentWidget());
    table->setCurrentCell(0, PasswordTable::COLUMN_NAME);
    window->findChild<QAction*>(QStringLiteral("actionEditRecord"))->trigger();
    QCoreApplication::processEvents();
    if (window->currentViewId() != VIEW_ID_PASSWORD_INFORMATION)
    {
        state.SkipWithError("the record page did not open");
        delete window;
        return;
    }

    double lockMilliseconds = 0;
    double unlockMilliseconds = 0;
    for (auto _ : state)
    {
        auto start = std::chrono::steady_clock::now();
        _lock_helper(window);
        lockMilliseconds +=
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        if (!window->isApplicationLocked())
        {
            state.SkipWithError("the window did not lock");
            break;
        }
        start = std::chrono::steady_clock::now();
        _unlock_helper(window);
        unlockMilliseconds +=
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        if (window->isApplicationLocked() || window->getVault() != vault)
        {
            state.SkipWithError("the window did not unlock to the same vault");
            break;
        }
        QCoreApplication::processEvents();
    }
    const double iterations = static_cast<double>(state.iterations());
    const double keyDerivation = _keyDerivationMilliseconds_helper();
    state.counters["ms_key_derivation"] = keyDerivation;
    state.counters["ms_lock_without_key_derivation"] = lockMilliseconds / iterations - keyDerivation;
    state.counters["ms_unlock_without_key_derivation"] = unlockMilliseconds / iterations - keyDerivation;
    delete window;
    mainWindow = nullptr;
}
BENCHMARK(BM_LockAndUnlock)->Unit(benchmark::kMillisecond)->Iterations(10);
} // namespace
