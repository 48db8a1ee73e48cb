// The password health report with 3 000 records: rating one password, the page's first rows and its full
// list right after a vault was opened (nothing cached), reopening it (everything cached), and the longest
// stretch the window spends without handling events while the ratings run.
#include "app/Configuration.h"
#include "mainwindow/FormContentEditor.h"
#include "passwordtools/PasswordRating.h"
#include "views/ViewBase.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableWidget>

#include <benchmark/benchmark.h>

#include <algorithm>

namespace
{
constexpr int TAB_COUNT = 5;
constexpr int RECORDS_PER_TAB = 600;

// A vault as people keep it: mostly generated passwords, some made of words and years, a few shared
// between records, some records without a password.
Vault _makeVault_helper()
{
    const QStringList services = {"Bank",    "Mail",   "Shop",  "Forum", "Cloud",   "Travel",
                                  "Payroll", "Gaming", "Video", "News",  "Telecom", "Insurance"};
    const QStringList words = {"Summer", "dragon", "Monkey", "sunshine", "Football", "princess", "qwerty"};
    const QStringList tabNames = {"Personal", "Work", "Finance", "Shopping", "Other"};
    Vault vault;
    for (int tabIndex = 0; tabIndex < TAB_COUNT; tabIndex++)
    {
        VaultTab tab;
        tab.name = tabNames[tabIndex];
        for (int index = 0; index < RECORDS_PER_TAB; index++)
        {
            const int number = tabIndex * RECORDS_PER_TAB + index;
            const QString& service = services[number % services.size()];
            PasswordRecord record;
            record.name = QStringLiteral("%1 account %2").arg(service).arg(number, 4, 10, QLatin1Char('0'));
            record.login = QStringLiteral("firstname.lastname%1@mailbox.example").arg(number);
            record.url =
                QStringLiteral("https://www.%1-%2.example.com/login").arg(service.toLower()).arg(number);
            switch (number % 10)
            {
            case 0:
            case 1:
                record.password =
                    QStringLiteral("%1%2!").arg(words[number % words.size()]).arg(1990 + number % 30);
                break;
            case 2:
                record.password = QStringLiteral("Shared-Secret-%1").arg(number % 50);
                break;
            case 3:
                if (number % 30 == 3)
                    break;
                [[fallthrough]];
            default:
                record.password = QStringLiteral("T7#kq%1Lm!v9Xp2").arg(number * 7919);
                break;
            }
            tab.passwords.append(record);
        }
        vault.append(tab);
    }
    return vault;
}

FormContentEditor* _createEditor_helper()
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

QTableWidget* _findingsTable_helper(FormContentEditor* window)
{
    return window->view(VIEW_ID_PASSWORD_HEALTH)
        ->findChild<QTableWidget*>(QStringLiteral("tableWidgetFindings"));
}

void _leavePage_helper(FormContentEditor* window)
{
    window->view(VIEW_ID_PASSWORD_HEALTH)->findChild<QPushButton*>(QStringLiteral("pushButtonBack"))->click();
    QCoreApplication::processEvents();
}

// One zxcvbn rating with the record's own words as user inputs, over a mix of passwords.
void BM_RatePassword(benchmark::State& state)
{
    const Vault vault = _makeVault_helper();
    const QList<PasswordRecord>& records = vault.first().passwords;
    int index = 0;
    for (auto _ : state)
    {
        const PasswordRecord& record = records.at(index++ % records.size());
        benchmark::DoNotOptimize(
            ratePassword(record.password, passwordUserInputs(record.name, record.login, record.url)));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RatePassword)->Unit(benchmark::kMicrosecond);

// From the menu entry to the painted page once the first ratings are in, right after the vault was
// replaced (the cache is empty); then on to the painted full list. The longest event-loop turn is the
// longest the window stays frozen.
void BM_PageFirstRowsAndFullListUncached(benchmark::State& state)
{
    FormContentEditor* window = _createEditor_helper();
    const Vault vault = _makeVault_helper();
    QAction* action = window->findChild<QAction*>(QStringLiteral("actionPasswordHealth"));
    double firstRowsMilliseconds = 0;
    double fullListMilliseconds = 0;
    double longestTurnMilliseconds = 0;
    double firstTurnMilliseconds = 0;
    int rowCount = 0;
    for (auto _ : state)
    {
        state.PauseTiming();
        window->setVault(Vault());
        QCoreApplication::processEvents();
        window->setVault(vault);
        state.ResumeTiming();

        QElapsedTimer elapsed;
        elapsed.start();
        action->trigger();
        QTableWidget* table = _findingsTable_helper(window);
        bool isFirstStepShown = false;
        bool isFirstTurn = true;
        while (!window->isPasswordHealthAnalysisFinished() || !isFirstStepShown)
        {
            const qint64 turnStart = elapsed.nsecsElapsed();
            QCoreApplication::processEvents();
            window->repaint();
            const double turnMilliseconds = (elapsed.nsecsElapsed() - turnStart) / 1e6;
            // The first turn also lays out the editor's freshly filled tables, which is not the report's
            // work.
            if (isFirstTurn)
                firstTurnMilliseconds = std::max(firstTurnMilliseconds, turnMilliseconds);
            else
                longestTurnMilliseconds = std::max(longestTurnMilliseconds, turnMilliseconds);
            isFirstTurn = false;

            if (!isFirstStepShown && table->rowCount() > 0)
            {
                isFirstStepShown = true;
                firstRowsMilliseconds += elapsed.nsecsElapsed() / 1e6;
            }
        }
        fullListMilliseconds += elapsed.nsecsElapsed() / 1e6;
        rowCount = table->rowCount();

        state.PauseTiming();
        _leavePage_helper(window);
        state.ResumeTiming();
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["first_rows_ms"] = firstRowsMilliseconds / iterations;
    state.counters["full_list_ms"] = fullListMilliseconds / iterations;
    state.counters["first_turn_ms"] = firstTurnMilliseconds;
    state.counters["longest_turn_ms"] = longestTurnMilliseconds;
    state.counters["rows"] = rowCount;
    delete window;
}
BENCHMARK(BM_PageFirstRowsAndFullListUncached)->Unit(benchmark::kMillisecond)->Iterations(5);

// Reopening the page on the same vault: every rating comes from the cache.
void BM_PageReopenCached(benchmark::State& state)
{
    FormContentEditor* window = _createEditor_helper();
    window->setVault(_makeVault_helper());
    while (!window->isPasswordHealthAnalysisFinished())
        QCoreApplication::processEvents();
    QAction* action = window->findChild<QAction*>(QStringLiteral("actionPasswordHealth"));
    int rowCount = 0;
    for (auto _ : state)
    {
        action->trigger();
        window->repaint();
        QCoreApplication::processEvents();
        state.PauseTiming();
        rowCount = _findingsTable_helper(window)->rowCount();
        _leavePage_helper(window);
        state.ResumeTiming();
    }
    state.counters["rows"] = rowCount;
    delete window;
}
BENCHMARK(BM_PageReopenCached)->Unit(benchmark::kMillisecond);

// What every edit costs: the analysis of the whole vault again, with the ratings cached.
void BM_ReanalysisAfterEditCached(benchmark::State& state)
{
    FormContentEditor* window = _createEditor_helper();
    window->setVault(_makeVault_helper());
    while (!window->isPasswordHealthAnalysisFinished())
        QCoreApplication::processEvents();
    for (auto _ : state)
    {
        window->setDataModified(true);
        while (!window->isPasswordHealthAnalysisFinished())
            QCoreApplication::processEvents();
    }
    delete window;
}
BENCHMARK(BM_ReanalysisAfterEditCached)->Unit(benchmark::kMillisecond);

// The same with one record whose web site field holds 125 KB of words (a pasted page): its words must not
// be split and compared again on every edit, nor compared word by word with each other.
void BM_ReanalysisAfterEditWithLongField(benchmark::State& state)
{
    Vault vault = _makeVault_helper();
    QString longField;
    for (int index = 0; longField.size() < 125 * 1024; index++)
        longField += QStringLiteral("word%1 ").arg(index);
    vault.first().passwords.first().url = longField;
    FormContentEditor* window = _createEditor_helper();
    window->setVault(vault);
    while (!window->isPasswordHealthAnalysisFinished())
        QCoreApplication::processEvents();
    for (auto _ : state)
    {
        window->setDataModified(true);
        while (!window->isPasswordHealthAnalysisFinished())
            QCoreApplication::processEvents();
    }
    delete window;
}
BENCHMARK(BM_ReanalysisAfterEditWithLongField)->Unit(benchmark::kMillisecond);

// Rating the record with the long field once, as after editing it.
void BM_RateWithLongField(benchmark::State& state)
{
    QString longField;
    for (int index = 0; longField.size() < 125 * 1024; index++)
        longField += QStringLiteral("word%1 ").arg(index);
    for (auto _ : state)
        benchmark::DoNotOptimize(
            ratePassword(QStringLiteral("Summer2019!"),
                         passwordUserInputs(QStringLiteral("Notes"), QString(), longField)));
}
BENCHMARK(BM_RateWithLongField)->Unit(benchmark::kMillisecond);
} // namespace
