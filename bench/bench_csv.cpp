// CSV import parsing speed. The main figure: a 1 MB file of 10 000 records in the application's own layout
// (goal: well under 150 ms). The same layout at 0.25, 0.5, 1 and 2 MB shows that the time grows linearly
// with the file size; a KeePass file and a file made of one huge quoted note cover the escape rewrite and
// the quoted-field reader. Export speed is measured on the same records.

#include "csv/CsvExport.h"
#include "csv/CsvImport.h"

#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace
{
constexpr int BYTES_PER_RECORD = 100; // 10 000 records per MB, about 105 bytes each

QString _randomText(QRandomGenerator& generator, int length, const QString& alphabet)
{
    QString text;
    text.reserve(length);
    for (int index = 0; index < length; index++)
        text.append(alphabet.at(static_cast<int>(generator.bounded(static_cast<quint32>(alphabet.size())))));
    return text;
}

// Records whose own-layout export is about byteCount bytes: passwords with separators and quotes, one note in
// four on two lines, a few non-ASCII names.
QList<PasswordRecord> _generateRecords(qsizetype byteCount)
{
    QRandomGenerator generator(12345);
    const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
    const QString passwordCharacters = QStringLiteral(
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789&\"#{}()[]-|_@=+,?;.:/!*%<>");
    const int recordCount = static_cast<int>(byteCount / BYTES_PER_RECORD);
    QList<PasswordRecord> records;
    records.reserve(recordCount);
    for (int index = 0; index < recordCount; index++)
    {
        PasswordRecord record;
        record.name =
            (index % 50 == 0 ? QStringLiteral("Café ") : QStringLiteral("Site ")) + QString::number(index);
        record.login = _randomText(generator, 10, letters) + QStringLiteral("@example.org");
        record.password = _randomText(generator, 20, passwordCharacters);
        record.url =
            QStringLiteral("https://www.") + _randomText(generator, 8, letters) + QStringLiteral(".com");
        record.note = _randomText(generator, 8, letters);
        if (index % 4 == 0)
            record.note += QStringLiteral("\nsecond line");
        records.append(record);
    }
    return records;
}

QByteArray _generateOwnLayout(qsizetype byteCount)
{
    return exportCSVText(_generateRecords(byteCount));
}

QByteArray _generateKeePassLayout(qsizetype byteCount)
{
    QByteArray text = "\"Account\",\"Login Name\",\"Password\",\"Web Site\",\"Comments\"\r\n";
    for (const PasswordRecord& record : _generateRecords(byteCount))
    {
        QByteArray line;
        for (int field = 0; field < PasswordRecord::FIELD_COUNT; field++)
        {
            QByteArray value = record.field(field).toUtf8();
            value.replace("\\", "\\\\").replace("\"", "\\\"").replace("\n", "\r\n");
            line += "\"" + value + "\"" + (field < PasswordRecord::FIELD_COUNT - 1 ? "," : "\r\n");
        }
        text += line;
    }
    return text;
}

void _silenceQtMessages()
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
}

void _runImport(benchmark::State& state, const QByteArray& text, bool isColumnsOrderFixed)
{
    _silenceQtMessages();
    qsizetype recordCount = 0;
    for (auto _ : state)
    {
        QList<PasswordRecord> passwords;
        QString errorMessage;
        if (importCSVText(text, u',', isColumnsOrderFixed, passwords, errorMessage) != 0)
            state.SkipWithError("import failed");
        recordCount = passwords.size();
        benchmark::DoNotOptimize(passwords);
    }
    state.SetBytesProcessed(state.iterations() * text.size());
    state.counters["records"] = static_cast<double>(recordCount);
    state.counters["MB"] = static_cast<double>(text.size()) / 1e6;
    state.SetComplexityN(text.size());
}

void BM_ImportOwnLayout(benchmark::State& state)
{
    _runImport(state, _generateOwnLayout(state.range(0)), true);
}

void BM_ImportKeePassLayout(benchmark::State& state)
{
    _runImport(state, _generateKeePassLayout(state.range(0)), false);
}

// One record whose note is a single quoted field of the whole size, full of doubled quotes and line feeds.
void BM_ImportHugeQuotedField(benchmark::State& state)
{
    QByteArray note;
    while (note.size() < state.range(0))
        note += "some text, \"\"quoted\"\"\nand a new line; ";
    _runImport(state, "\"name\",\"login\",\"password\",\"url\",\"" + note + "\"\n", true);
}

void BM_ImportFile(benchmark::State& state)
{
    _silenceQtMessages();
    QTemporaryDir directory;
    const QString fileName = directory.filePath(QStringLiteral("bench.csv"));
    const QByteArray text = _generateOwnLayout(state.range(0));
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        state.SkipWithError("cannot write the file");
    file.close();
    for (auto _ : state)
    {
        QList<PasswordRecord> passwords;
        QString errorMessage;
        if (importCSVFile(fileName, u',', true, passwords, errorMessage) != 0)
            state.SkipWithError("import failed");
        benchmark::DoNotOptimize(passwords);
    }
    state.SetBytesProcessed(state.iterations() * text.size());
}

void BM_ExportFile(benchmark::State& state)
{
    QTemporaryDir directory;
    const QString fileName = directory.filePath(QStringLiteral("bench.csv"));
    const QList<PasswordRecord> records = _generateRecords(state.range(0));
    for (auto _ : state)
    {
        QString errorMessage;
        if (exportCSVFile(fileName, records, true, errorMessage) != 0)
            state.SkipWithError("export failed");
    }
    state.counters["records"] = static_cast<double>(records.size());
}
} // namespace

constexpr int64_t MEGABYTE = 1000000;

BENCHMARK(BM_ImportOwnLayout)
    ->Arg(MEGABYTE / 4)
    ->Arg(MEGABYTE / 2)
    ->Arg(MEGABYTE)
    ->Arg(2 * MEGABYTE)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportKeePassLayout)->Arg(MEGABYTE)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportHugeQuotedField)->Arg(MEGABYTE)->Arg(2 * MEGABYTE)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportFile)->Arg(MEGABYTE)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportFile)->Arg(MEGABYTE)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
