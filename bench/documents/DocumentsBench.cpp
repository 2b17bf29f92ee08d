// SPDX-License-Identifier: GPL-3.0-or-later
// Throughput of the document loaders: the plain-text and RTF readers on 10 MB inputs (MB/s), and
// the Word importer on a twenty-page legacy .doc (through antiword) and .docx (read directly).
// Then hostile inputs, read or refused: markup-heavy web pages, deep and attribute-heavy XML, and
// a zip bomb, whose figure of interest is the process's peak resident memory (run it alone:
// --benchmark_filter=ZipBomb, since the peak is the whole process's).
#include "studio/documents/DocumentStrings.h"
#include "studio/documents/HtmlTextReader.h"
#include "studio/documents/ReadTextFile.h"
#include "studio/documents/RtfReader.h"
#include "studio/documents/TextForEditor.h"
#include "studio/documents/WordConverter.h"
#include "studio/documents/ZipDocumentReader.h"

#include "tests/documents/HostileDocuments.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

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

void VisibleText(benchmark::State &state, const QString &html)
{
    for (auto _ : state) {
        QString text = documents::HtmlTextReader::VisibleText(html);
        benchmark::DoNotOptimize(text);
    }
    state.SetBytesProcessed(state.iterations() * html.size() * 2);
}

void BM_HtmlTextReader_Page(benchmark::State &state)
{
    // A 5.8 MB page of ordinary markup.
    const QByteArray unit = "<div class=\"story\"><p>The studio reads <b>documents</b> aloud &amp; records them, "
                            "<a href=\"/x?y=1\">a link</a> and <span>more</span>.</p></div>\n";
    VisibleText(state, QString::fromLatin1(Repeat(unit, 5800000)));
}
BENCHMARK(BM_HtmlTextReader_Page)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_HtmlTextReader_LessThanSigns(benchmark::State &state)
{
    VisibleText(state, QString(1 << 20, QChar(u'<')));
}
BENCHMARK(BM_HtmlTextReader_LessThanSigns)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_HtmlTextReader_MillionNestedDivs(benchmark::State &state)
{
    VisibleText(state, QString(QStringLiteral("<div>")).repeated(1000000) + QStringLiteral("x")
                           + QString(QStringLiteral("</div>")).repeated(1000000));
}
BENCHMARK(BM_HtmlTextReader_MillionNestedDivs)->Unit(benchmark::kMillisecond)->UseRealTime();

void DocxText(benchmark::State &state, const QByteArray &body)
{
    const QByteArray xml = documents::test::kDocxHead + body + documents::test::kDocxTail;
    for (auto _ : state) {
        std::optional<QString> text = documents::ZipDocumentReader::DocxText(xml);
        benchmark::DoNotOptimize(text);
    }
    state.SetBytesProcessed(state.iterations() * xml.size());
}

void BM_DocxText_100000NestedInText(benchmark::State &state)
{
    DocxText(state, "<w:p><w:r><w:t>" + documents::test::Nested("<x>", "</x>", 100000, "deep").head + "</w:t></w:r></w:p>");
}
BENCHMARK(BM_DocxText_100000NestedInText)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DocxText_200000Attributes(benchmark::State &state)
{
    QByteArray element = "<w:p><w:r";
    for (int i = 0; i < 200000; ++i)
        element += " a" + QByteArray::number(i) + "=\"1\"";
    DocxText(state, element + "><w:t>x</w:t></w:r></w:p>");
}
BENCHMARK(BM_DocxText_200000Attributes)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DocxText_ManyElementsAtTheAttributeBound(benchmark::State &state)
{
    // The worst a document may do without being refused: 10 MB of elements with 256 attributes.
    QByteArray element = "<w:r";
    for (int i = 0; i < 256; ++i)
        element += " a" + QByteArray::number(i) + "=\"1\"";
    DocxText(state, "<w:p>" + Repeat(element + "/>", kTenMegabytes) + "</w:p>");
}
BENCHMARK(BM_DocxText_ManyElementsAtTheAttributeBound)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ZipBomb_PeakMemory(benchmark::State &state)
{
    // 250 MB of text in a package of about 250 KB.
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("bomb.docx"));
    if (!documents::test::WriteDocx(path, {"<w:p><w:r><w:t>", "A", 250 * 1024 * 1024, "</w:t></w:r></w:p>"})) {
        state.SkipWithError("could not write the package");
        return;
    }
    for (auto _ : state) {
        documents::DocumentText result = documents::TextForEditor(path, documents::kFilterWord2007);
        if (result.ok)
            state.SkipWithError("the bomb was not refused");
        benchmark::DoNotOptimize(result);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MB"] = double(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_ZipBomb_PeakMemory)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace

BENCHMARK_MAIN();
