// SPDX-License-Identifier: GPL-3.0-or-later
// Throughput of the document loaders: the plain-text and RTF readers on 10 MB inputs (MB/s), and
// the Word importer on a twenty-page legacy .doc (through antiword) and .docx (read directly).
#include "studio/documents/ReadTextFile.h"
#include "studio/documents/RtfReader.h"
#include "studio/documents/WordConverter.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr qsizetype kTenMegabytes = 10 * 1024 * 1024;

QByteArray Repeat(const QByteArray &unit, qsizetype size)
{
    QByteArray bytes;
    bytes.reserve(size + unit.size());
    while (bytes.size() < size)
        bytes.append(unit);
    return bytes;
}

// A 10 MB file in a temporary folder that lives as long as the benchmark.
class TempFile {
public:
    explicit TempFile(const QByteArray &bytes)
    {
        path_ = dir_.filePath(QStringLiteral("input"));
        QFile file(path_);
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
    }
    const QString &Path() const { return path_; }

private:
    QTemporaryDir dir_;
    QString path_;
};

void ReadText(benchmark::State &state, const QByteArray &unit)
{
    const QByteArray bytes = Repeat(unit, kTenMegabytes);
    const TempFile file(bytes);
    for (auto _ : state) {
        QString text = documents::ReadTextFile(file.Path());
        benchmark::DoNotOptimize(text);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void BM_ReadTextFile_Utf8(benchmark::State &state)
{
    ReadText(state, QByteArray("The studio reads documents aloud, Grüße aus Köln — 東京.\n"));
}
BENCHMARK(BM_ReadTextFile_Utf8)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadTextFile_Windows1252(benchmark::State &state)
{
    ReadText(state, QByteArray("The studio reads documents aloud, caf\xe9 \x80 5 \x93quoted\x94.\n"));
}
BENCHMARK(BM_ReadTextFile_Windows1252)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadTextFile_Utf16(benchmark::State &state)
{
    const QString line = QStringLiteral("The studio reads documents aloud, Grüße aus Köln — 東京.\n");
    const QByteArray unit(reinterpret_cast<const char *>(line.utf16()), line.size() * 2);
    ReadText(state, "\xFF\xFE" + Repeat(unit, kTenMegabytes - 2));
}
BENCHMARK(BM_ReadTextFile_Utf16)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RtfReader(benchmark::State &state)
{
    // Typical word-processor output: formatting groups, hex escapes, Unicode escapes, tables.
    const QByteArray body = Repeat(
        "\\pard\\plain\\f0\\fs20 The studio {\\b reads} documents {\\i aloud}, caf\\'e9 \\u8364\\'80 and "
        "\\u26481\\'3f text.\\par\n\\trowd\\cellx2000\\cellx4000\\pard\\intbl Cell one\\cell Cell two\\cell\\row\n",
        kTenMegabytes);
    const QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fcharset0 Arial;}}\n" + body + "}";
    for (auto _ : state) {
        documents::RtfReader::Result result = documents::RtfReader::Read(rtf);
        benchmark::DoNotOptimize(result);
    }
    state.SetBytesProcessed(state.iterations() * rtf.size());
}
BENCHMARK(BM_RtfReader)->Unit(benchmark::kMillisecond)->UseRealTime();

void ImportWord(benchmark::State &state, const char *fixture)
{
    const QString path = QStringLiteral(ORVENA_FIXTURES "/documents/") + QString::fromLatin1(fixture);
    const documents::ConverterTools tools = documents::ConverterTools::Installed();
    for (auto _ : state) {
        documents::DocumentText result = documents::WordConverter::Convert(path, tools);
        if (!result.ok)
            state.SkipWithError("conversion failed");
        benchmark::DoNotOptimize(result);
    }
}

void BM_ImportWordDocument_Doc20Pages(benchmark::State &state)
{
    ImportWord(state, "twenty-pages.doc");
}
BENCHMARK(BM_ImportWordDocument_Doc20Pages)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ImportWordDocument_Docx20Pages(benchmark::State &state)
{
    ImportWord(state, "twenty-pages.docx");
}
BENCHMARK(BM_ImportWordDocument_Docx20Pages)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
