// SPDX-License-Identifier: GPL-3.0-or-later
// The studio window's costs, in process, with the installed voices and a sound device that
// plays in real time (pulling 16-bit samples at the voice's rate, as a sound card would):
//  - BM_StartToFirstFrame: building the window from its definition and painting it once;
//  - BM_SpeakClickToFirstSample: from the SPEAK click to the first sample taken by the device;
//  - BM_SpeakingWithLevelDisplay: 3 s of speaking with the level display running; counters give
//    the GUI thread's CPU share (the studio's own work, not the synthesis thread) and the
//    display's frames per second;
//  - BM_ResidentMemory: resident memory at idle and while speaking a 10,000-word text;
//  - BM_OpenDocument/<kind>/<MB>: Open File with the path given, from the click to the first paint
//    of the editor showing the document's text (run on a real X server for the true figure:
//    scripts/with-desktop build/dev/bin/bench_studio --benchmark_filter=Open), and the resident
//    memory with the document open once the editor has settled;
//  - BM_WholeTextCommand/<command>: Select All, Bold, Set Fore Color and CLEAR on a 10 MB
//    document, each from the click to the next paint of the editor;
//  - BM_KeystrokeToPaint: a key typed into a 10 MB document, from the key to the paint;
//  - BM_SpeakClickToFirstSample_10MB: SPEAK with a 10 MB document;
//  - BM_SpeakingWithHighlight[_10MB]/<highlight>: the GUI thread while the highlight follows the words.
#include "bench/speech/BenchText.h"
#include "platform/ui/Timer.h"
#include "speech/VoiceCatalogue.h"
#include "studio/DialogProvider.h"
#include "studio/FollowAlong.h"
#include "studio/FontSubstitutes.h"
#include "studio/LevelDisplay.h"
#include "studio/Main.h"
#include "studio/RichTextBox.h"
#include "tests/speech/FakeAudioDevice.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <ctime>
#include <functional>
#include <map>

namespace
{

// A device that plays in real time: a timer pulls what a sound card would have consumed.
struct RealTimeDevice {
    std::shared_ptr<FakeAudioDevice::State> state = std::make_shared<FakeAudioDevice::State>();
    QTimer timer;
    QElapsedTimer clock;
    qint64 pulled = 0;
    RealTimeDevice()
    {
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            if (!state->source)
                return;
            if (!clock.isValid())
                clock.start();
            const qint64 due = clock.elapsed() * state->sampleRate / 1000 - pulled;
            if (due > 0)
                pulled += static_cast<qint64>(state->Pull(due * 2));
        });
        timer.start();
    }
};

std::unique_ptr<studio::Main> MakeWindow(RealTimeDevice *device)
{
    studio::Main::Options options;
    options.definition = QStringLiteral(ORVENA_BINARY_DIR "/resources/studio/Main.json");
    options.iconFolder = QStringLiteral(ORVENA_BINARY_DIR "/resources/studio/icons/");
    options.engine.catalogue = speech::VoiceCatalogue::Installed();
    if (device)
        options.engine.audioDevice = FakeAudioDevice::Factory(device->state);
    QString error;
    auto window = studio::Main::Create(options, &error);
    if (!window)
        qFatal("%s", qPrintable(error));
    return window;
}

double ThreadCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

double ResidentMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

void BM_StartToFirstFrame(benchmark::State &state)
{
    for (auto _ : state) {
        auto window = MakeWindow(nullptr);
        window->show();
        const QPixmap frame = window->grab(); // paints every control once
        benchmark::DoNotOptimize(frame.cacheKey());
    }
}
BENCHMARK(BM_StartToFirstFrame)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_SpeakClickToFirstSample(benchmark::State &state)
{
    RealTimeDevice device;
    auto window = MakeWindow(&device);
    window->show();
    window->RichTextBox1()->SetText(BenchText(60));
    for (auto _ : state) {
        device.state->played.clear();
        device.pulled = 0;
        device.clock.invalidate();
        QElapsedTimer t;
        t.start();
        window->cmdSpkText_Click();
        (void)QTest::qWaitFor([&] { return !device.state->played.empty(); }, 10000);
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
        window->cmdStopText_Click();
        QTest::qWait(20);
    }
}
BENCHMARK(BM_SpeakClickToFirstSample)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_SpeakingWithLevelDisplay(benchmark::State &state)
{
    RealTimeDevice device;
    auto window = MakeWindow(&device);
    window->show();
    window->RichTextBox1()->SetText(BenchText(2000));
    for (auto _ : state) {
        window->cmdSpkText_Click();
        QTest::qWait(300);
        const int rendersBefore = window->Picture1()->RenderCount();
        const double cpuBefore = ThreadCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        QTest::qWait(3000);
        const double seconds = double(wall.nsecsElapsed()) / 1e9;
        state.counters["gui_cpu_percent"] = (ThreadCpuSeconds() - cpuBefore) / seconds * 100;
        state.counters["display_fps"] = (window->Picture1()->RenderCount() - rendersBefore) / seconds;
        window->cmdStopText_Click();
    }
}
BENCHMARK(BM_SpeakingWithLevelDisplay)->Unit(benchmark::kSecond)->Iterations(1);

void BM_ResidentMemory(benchmark::State &state)
{
    RealTimeDevice device;
    auto window = MakeWindow(&device);
    window->show();
    QTest::qWait(200);
    const double idle = ResidentMiB();
    window->RichTextBox1()->SetText(BenchText(10000));
    double speaking = 0;
    for (auto _ : state) {
        window->cmdSpkText_Click();
        QTest::qWait(2000);
        speaking = std::max(speaking, ResidentMiB());
        window->cmdStopText_Click();
    }
    state.counters["idle_MiB"] = idle;
    state.counters["speaking_10000_words_MiB"] = speaking;
}
BENCHMARK(BM_ResidentMemory)->Unit(benchmark::kSecond)->Iterations(1);

// ---- Big documents -------------------------------------------------------------------------------

// The open dialog answering with one path and filter, the colour and font dialogs as cancelled.
class AnsweringDialogs : public studio::DialogProvider
{
  public:
    studio::FileDialogAnswer answer;
    std::optional<studio::FileDialogAnswer> GetOpenFileName(const studio::FileDialogRequest &) override
    {
        return answer;
    }
    std::optional<studio::FileDialogAnswer> GetSaveFileName(const studio::FileDialogRequest &) override
    {
        return std::nullopt;
    }
    std::optional<std::uint32_t> ChooseColour(QWidget *, std::uint32_t) override { return 0x0000C0u; }
    std::optional<studio::FontChoice> ChooseFont(QWidget *, const studio::FontChoice &) override
    {
        return std::nullopt;
    }
};

// Counts the editor's paints, and whether the last one showed any text.
class PaintWatch : public QObject
{
  public:
    explicit PaintWatch(studio::RichTextBox *editor) : editor_(editor)
    {
        editor->viewport()->installEventFilter(this);
    }
    int paints = 0;
    int paintsWithText = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
            if (editor_->document()->characterCount() > 1)
                ++paintsWithText;
        }
        return false;
    }

  private:
    studio::RichTextBox *editor_;
};

// Prose of about `bytes` bytes, in lines of a paragraph each.
QString BenchProse(qint64 bytes)
{
    const QString paragraph = BenchText(100);
    QString text;
    text.reserve(bytes + paragraph.size());
    while (text.size() < bytes)
        text += paragraph;
    return text;
}

enum class BenchKind { Text, Rtf, Docx, Epub };

// The same prose as a plain-text, rich-text or Word 2007 file in `dir`.
QString WriteDocument(const QTemporaryDir &dir, BenchKind kind, qint64 bytes)
{
    const QString text = BenchProse(bytes);
    if (kind == BenchKind::Text) {
        const QString path = dir.filePath(QStringLiteral("prose.txt"));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(text.toUtf8());
        return path;
    }
    if (kind == BenchKind::Rtf) {
        const QString path = dir.filePath(QStringLiteral("prose.rtf"));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly)) {
            QString body = text;
            body.replace(QLatin1Char('\n'), QStringLiteral("\\par\n"));
            file.write("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Verdana;}}\\f0\\fs20 " + body.toLatin1() + "}");
        }
        return path;
    }
    if (kind == BenchKind::Epub) {
        const QString folder = dir.filePath(QStringLiteral("epub"));
        QDir().mkpath(folder + QStringLiteral("/META-INF"));
        const auto put = [&](const QString &name, const QByteArray &bytes) {
            QFile file(folder + name);
            if (file.open(QIODevice::WriteOnly))
                file.write(bytes);
        };
        put(QStringLiteral("/mimetype"), "application/epub+zip");
        put(QStringLiteral("/META-INF/container.xml"),
            "<?xml version=\"1.0\"?><container version=\"1.0\" "
            "xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\"><rootfiles><rootfile "
            "full-path=\"content.opf\" "
            "media-type=\"application/oebps-package+xml\"/></rootfiles></container>");
        // Chapters of about 100 KB, as a book has them.
        const QStringList lines = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QByteArray manifest, spine, chapter;
        int chapters = 0;
        const auto flush = [&] {
            const QByteArray name = "c" + QByteArray::number(++chapters) + ".xhtml";
            put(QStringLiteral("/") + QString::fromLatin1(name),
                "<?xml version=\"1.0\" encoding=\"UTF-8\"?><html "
                "xmlns=\"http://www.w3.org/1999/xhtml\"><head>"
                "<title>Chapter</title></head><body>" +
                    chapter + "</body></html>");
            manifest += "<item id=\"c" + QByteArray::number(chapters) + "\" href=\"" + name +
                        "\" media-type=\"application/xhtml+xml\"/>";
            spine += "<itemref idref=\"c" + QByteArray::number(chapters) + "\"/>";
            chapter.clear();
        };
        for (const QString &line : lines) {
            chapter += "<p>" + line.toHtmlEscaped().toUtf8() + "</p>";
            if (chapter.size() > 100000)
                flush();
        }
        if (!chapter.isEmpty())
            flush();
        put(QStringLiteral("/content.opf"),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><package xmlns=\"http://www.idpf.org/2007/opf\" "
            "version=\"3.0\" unique-identifier=\"id\"><metadata "
            "xmlns:dc=\"http://purl.org/dc/elements/1.1/\">"
            "<dc:identifier "
            "id=\"id\">bench</dc:identifier><dc:title>Bench</dc:title><dc:language>en</dc:language>"
            "</metadata><manifest>" +
                manifest + "</manifest><spine>" + spine + "</spine></package>");
        const QString path = dir.filePath(QStringLiteral("prose.epub"));
        QProcess zip;
        zip.setWorkingDirectory(folder);
        zip.start(QStringLiteral("zip"), {QStringLiteral("-qX0"), path, QStringLiteral("mimetype")});
        zip.waitForFinished(60000);
        zip.start(QStringLiteral("zip"), {QStringLiteral("-qrX"), path, QStringLiteral("."),
                                          QStringLiteral("-x"), QStringLiteral("mimetype")});
        zip.waitForFinished(60000);
        return path;
    }
    const QString folder = dir.filePath(QStringLiteral("docx"));
    QDir().mkpath(folder + QStringLiteral("/_rels"));
    QDir().mkpath(folder + QStringLiteral("/word"));
    const auto put = [&](const QString &name, const QByteArray &bytes) {
        QFile file(folder + name);
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
    };
    put(QStringLiteral("/[Content_Types].xml"),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Types "
        "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"><Default Extension=\"rels\" "
        "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/><Default "
        "Extension=\"xml\" "
        "ContentType=\"application/xml\"/><Override PartName=\"/word/document.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/></"
        "Types>");
    put(QStringLiteral("/_rels/.rels"),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
        "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId1\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
        "Target=\"word/document.xml\"/></Relationships>");
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><w:document "
                     "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body>";
    for (const QString &line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        xml += "<w:p><w:r><w:t>" + line.toHtmlEscaped().toUtf8() + "</w:t></w:r></w:p>";
    xml += "</w:body></w:document>";
    put(QStringLiteral("/word/document.xml"), xml);
    const QString path = dir.filePath(QStringLiteral("prose.docx"));
    QProcess zip;
    zip.setWorkingDirectory(folder);
    zip.start(QStringLiteral("zip"), {QStringLiteral("-qr"), path, QStringLiteral(".")});
    zip.waitForFinished(60000);
    return path;
}

// Waits until the editor has painted with text after `paintsBefore`, up to `ms`.
bool WaitForTextPaint(PaintWatch &watch, int paintsBefore, int ms)
{
    return QTest::qWaitFor([&] { return watch.paintsWithText > paintsBefore; }, ms);
}

void BM_OpenDocument(benchmark::State &state, BenchKind kind)
{
    const qint64 bytes = state.range(0) * 1024 * 1024;
    QTemporaryDir dir;
    AnsweringDialogs dialogs;
    dialogs.answer.fileName = WriteDocument(dir, kind, bytes);
    dialogs.answer.filterIndex = kind == BenchKind::Text   ? 1
                                 : kind == BenchKind::Rtf  ? 2
                                 : kind == BenchKind::Epub ? 9
                                                           : 3;
    studio::DialogProvider::SetCurrent(&dialogs);
    double settledMiB = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto window = MakeWindow(nullptr);
        window->show();
        (void)QTest::qWaitForWindowExposed(window.get());
        QTest::qWait(100);
        PaintWatch watch(window->RichTextBox1());
        QElapsedTimer t;
        state.ResumeTiming();
        t.start();
        window->cmdOpen_Click();
        if (!WaitForTextPaint(watch, 0, 120000)) {
            state.SkipWithError("the text was never painted");
            break;
        }
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
        state.PauseTiming();
        QTest::qWait(3000); // the editor lays the rest out in the background
        settledMiB = ResidentMiB();
        window.reset();
        state.ResumeTiming();
    }
    studio::DialogProvider::SetCurrent(nullptr);
    state.counters["settled_MiB"] = settledMiB;
}
BENCHMARK_CAPTURE(BM_OpenDocument, Text, BenchKind::Text)
    ->Arg(1)
    ->Arg(10)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(BM_OpenDocument, Rtf, BenchKind::Rtf)
    ->Arg(10)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(BM_OpenDocument, Epub, BenchKind::Epub)
    ->Arg(10)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(BM_OpenDocument, Docx, BenchKind::Docx)
    ->Arg(10)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// A window with 10 MB of prose in its editor, opened through Open File and settled.
struct BigDocumentWindow {
    QTemporaryDir dir;
    AnsweringDialogs dialogs;
    std::unique_ptr<studio::Main> window;
    std::unique_ptr<PaintWatch> watch;
    explicit BigDocumentWindow(RealTimeDevice *device)
    {
        dialogs.answer = {WriteDocument(dir, BenchKind::Text, 10 * 1024 * 1024), 1};
        studio::DialogProvider::SetCurrent(&dialogs);
        window = MakeWindow(device);
        window->show();
        (void)QTest::qWaitForWindowExposed(window.get());
        watch = std::make_unique<PaintWatch>(window->RichTextBox1());
        window->cmdOpen_Click();
        (void)WaitForTextPaint(*watch, 0, 120000);
        Settle();
    }
    // Lets the editor finish laying the document out in the background, as it has by the time a
    // user acts on a document just opened.
    void Settle()
    {
        QTest::qWait(500);
        (void)window->RichTextBox1()->document()->pageCount(); // the rest of the layout, at once
        QTest::qWait(100);
    }
    ~BigDocumentWindow() { studio::DialogProvider::SetCurrent(nullptr); }
    // Runs `command`, then waits for the editor's next paint; the seconds it took.
    double TimeToPaint(const std::function<void()> &command)
    {
        const int before = watch->paints;
        QElapsedTimer t;
        t.start();
        command();
        window->RichTextBox1()->viewport()->update();
        (void)QTest::qWaitFor([&] { return watch->paints > before; }, 60000);
        return double(t.nsecsElapsed()) / 1e9;
    }
};

void BM_WholeTextCommand(benchmark::State &state, const char *command)
{
    BigDocumentWindow big(nullptr);
    studio::Main &w = *big.window;
    const std::map<std::string, std::function<void()>> commands = {
        {"SelectAll", [&] { w.cmdAll_Click(); }},
        {"Bold", [&] { w.cmdBold_Click(); }},
        {"ForeColor", [&] { w.cmdForeColor_Click(); }},
        {"Clear", [&] { w.cmdClearText_Click(); }},
    };
    for (auto _ : state) {
        state.PauseTiming();
        w.cmdAll_Click();
        big.Settle();
        state.ResumeTiming();
        state.SetIterationTime(big.TimeToPaint(commands.at(command)));
    }
}
BENCHMARK_CAPTURE(BM_WholeTextCommand, SelectAll, "SelectAll")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_WholeTextCommand, Bold, "Bold")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_WholeTextCommand, ForeColor, "ForeColor")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(BM_WholeTextCommand, Clear, "Clear")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

void BM_KeystrokeToPaint(benchmark::State &state)
{
    BigDocumentWindow big(nullptr);
    studio::RichTextBox *editor = big.window->RichTextBox1();
    editor->setFocus();
    editor->SetSelStart(5000);
    for (auto _ : state)
        state.SetIterationTime(big.TimeToPaint([&] { QTest::keyClick(editor, Qt::Key_A); }));
}
BENCHMARK(BM_KeystrokeToPaint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_SpeakClickToFirstSample_10MB(benchmark::State &state)
{
    RealTimeDevice device;
    BigDocumentWindow big(&device);
    for (auto _ : state) {
        device.state->played.clear();
        device.pulled = 0;
        device.clock.invalidate();
        QElapsedTimer t;
        t.start();
        big.window->cmdSpkText_Click();
        (void)QTest::qWaitFor([&] { return !device.state->played.empty(); }, 10000);
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
        big.window->cmdStopText_Click();
        QTest::qWait(20);
    }
}
BENCHMARK(BM_SpeakClickToFirstSample_10MB)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// Following the reading: the GUI thread's CPU share over 3 s of speaking, with the highlight
// following the words and, for comparison, with it left out (the level display runs in both), in a
// 2,000-word document and in the 10 MB one. Counters: GUI CPU per cent and words highlighted.
void SpeakWithHighlight(benchmark::State &state, studio::Main &window, bool highlight)
{
    int words = 0;
    auto counter = QObject::connect(window.DirectSS1(), &speech::SpeechEngine::WordReached, [&] { ++words; });
    if (!highlight)
        QObject::disconnect(window.DirectSS1(), &speech::SpeechEngine::WordReached,
                            window.FollowAlongDisplay(), nullptr);
    for (auto _ : state) {
        window.cmdSpkText_Click();
        QTest::qWait(500);
        words = 0;
        const double cpuBefore = ThreadCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        QTest::qWait(3000);
        const double seconds = double(wall.nsecsElapsed()) / 1e9;
        state.counters["gui_cpu_percent"] = (ThreadCpuSeconds() - cpuBefore) / seconds * 100;
        state.counters["words"] = words;
        window.cmdStopText_Click();
        QTest::qWait(50);
    }
    QObject::disconnect(counter);
}

void BM_SpeakingWithHighlight(benchmark::State &state, bool highlight)
{
    RealTimeDevice device;
    auto window = MakeWindow(&device);
    window->show();
    window->RichTextBox1()->SetText(BenchText(2000));
    SpeakWithHighlight(state, *window, highlight);
}
BENCHMARK_CAPTURE(BM_SpeakingWithHighlight, highlight, true)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_SpeakingWithHighlight, no_highlight, false)->Unit(benchmark::kSecond)->Iterations(1);

void BM_SpeakingWithHighlight_10MB(benchmark::State &state, bool highlight)
{
    RealTimeDevice device;
    BigDocumentWindow big(&device);
    SpeakWithHighlight(state, *big.window, highlight);
}
BENCHMARK_CAPTURE(BM_SpeakingWithHighlight_10MB, highlight, true)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_SpeakingWithHighlight_10MB, no_highlight, false)
    ->Unit(benchmark::kSecond)
    ->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    studio::FontSubstitutes::Install();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
