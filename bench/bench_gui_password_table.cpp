// Showing a large tab: building every row of a PasswordTable (text items plus one masked password
// cell widget per row), sizing the columns and painting the first screen.
#include "mainwindow/PasswordTable.h"
#include "vault/MemoryImage.h"

#include <QApplication>
#include <QCoreApplication>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <vector>

namespace
{
QList<PasswordRecord> _makeRecords_helper(int count)
{
    QList<PasswordRecord> records;
    records.reserve(count);
    for (int index = 0; index < count; index++)
    {
        PasswordRecord record;
        record.name = QStringLiteral("Account %1").arg(index, 5, 10, QLatin1Char('0'));
        record.login = QStringLiteral("user%1@example.com").arg(index);
        record.password = QStringLiteral("pw-%1-Xy7!q").arg(index * 7919);
        record.url = QStringLiteral("https://www.site%1.example.org/login").arg(index);
        record.note = index % 3 == 0 ? QStringLiteral("Security question: first pet") : QString();
        records.append(record);
    }
    return records;
}

// Rows of a freshly read vault appearing in a visible table, up to the first paint.
void BM_ShowRecords(benchmark::State& state)
{
    const QList<PasswordRecord> records = _makeRecords_helper(static_cast<int>(state.range(0)));
    for (auto _ : state)
    {
        PasswordTable table;
        table.resize(1500, 800);
        table.show();
        QCoreApplication::processEvents();
        table.setPasswords(records);
        table.rebuildRows();
        table.repaint();
        QCoreApplication::processEvents();
        state.PauseTiming();
        table.hide();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ShowRecords)->Arg(300)->Arg(3000)->Unit(benchmark::kMillisecond);

// Scrolling a large tab by one page, up to the repaint.
void BM_ScrollOnePage(benchmark::State& state)
{
    PasswordTable table;
    table.resize(1500, 800);
    table.setPasswords(_makeRecords_helper(static_cast<int>(state.range(0))));
    table.rebuildRows();
    table.show();
    QCoreApplication::processEvents();
    QScrollBar* scrollBar = table.verticalScrollBar();
    for (auto _ : state)
    {
        const int next = scrollBar->value() + scrollBar->pageStep();
        scrollBar->setValue(next > scrollBar->maximum() ? 0 : next);
        table.repaint();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_ScrollOnePage)->Arg(3000)->Unit(benchmark::kMillisecond);

// One edited record landing at its sorted place in a large tab.
void BM_AddOneRecordSorted(benchmark::State& state)
{
    PasswordTable table;
    table.resize(1500, 800);
    table.setPasswords(_makeRecords_helper(static_cast<int>(state.range(0))));
    table.rebuildRows();
    table.show();
    QCoreApplication::processEvents();
    PasswordRecord record;
    record.name = QStringLiteral("Account 01500 b");
    record.password = QStringLiteral("secret");
    for (auto _ : state)
    {
        const int row = table.addPasswordSorted(record);
        state.PauseTiming();
        table.removePasswordAt(row);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AddOneRecordSorted)->Arg(3000)->Unit(benchmark::kMillisecond);
// What the editor does on every selection change to update its fill label: encode the whole vault.
void BM_FillLabelEncoding(benchmark::State& state)
{
    // Records small enough that the whole tab fits in the device memory, so that every byte gets encoded.
    QList<PasswordRecord> records;
    for (int index = 0; index < state.range(0); index++)
    {
        PasswordRecord record;
        record.name = QStringLiteral("A%1").arg(index, 5, 10, QLatin1Char('0'));
        record.login = QStringLiteral("u%1").arg(index);
        record.password = QStringLiteral("p%1x!").arg(index * 7919);
        record.url = index % 2 ? QStringLiteral("s%1.example").arg(index) : QString();
        records.append(record);
    }
    PasswordTable table;
    table.setPasswords(records);
    std::vector<uint8_t> image(MEMORY_IMAGE_SIZE);
    if (serializeVault(Vault{VaultTab{QStringLiteral("Tab"), records}}, image.data()) < 0)
        state.SkipWithError("the records do not fit in one memory image");
    for (auto _ : state)
    {
        const Vault vault{VaultTab{QStringLiteral("Tab"), table.passwords()}};
        benchmark::DoNotOptimize(serializeVault(vault, image.data()));
    }
}
BENCHMARK(BM_FillLabelEncoding)->Arg(3000)->Unit(benchmark::kMillisecond);
} // namespace
