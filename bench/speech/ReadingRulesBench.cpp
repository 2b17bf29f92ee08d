// SPDX-License-Identifier: GPL-3.0-or-later
// What pronunciation rules and reading filters add before a text is spoken (the engine's thread
// pays it once per Speak), and what mapping a spoken word back to the text costs (once per word).
#include "BenchText.h"

#include "speech/Lexicon.h"
#include "speech/ReadingFilters.h"
#include "speech/SpokenText.h"

#include <benchmark/benchmark.h>

using namespace speech;

namespace
{

// A rules file of the size people keep: fifty words and a few patterns.
const Lexicon &TypicalRules()
{
    static const Lexicon lexicon = [] {
        Lexicon l;
        QString text;
        const char *words[] = {"train",  "station",  "farmers",   "clerks",    "students", "city",
                               "fields", "frost",    "woman",     "window",    "harbour",  "ships",
                               "timber", "coffee",   "parts",     "conductor", "ticket",   "sun",
                               "hills",  "carriage", "passengers"};
        for (int i = 0; i < 50; ++i)
            text += QStringLiteral("%1%2 = %1 %2\n")
                        .arg(QLatin1String(words[i % 21]))
                        .arg(i / 21 ? QString::number(i) : QString());
        text +=
            QStringLiteral("morning = mourning\nDr. = Doctor\n/\\b(\\d+)kg\\b/ = \\1 kilograms\n"
                           "/\\bpart (\\d+)\\b/i = chapter \\1\n/(\\w+)ly\\b/ = \\1-ly\n[Sam]\nread = red\n");
        l.Add(text, QStringLiteral("bench.txt"));
        return l;
    }();
    return lexicon;
}

void BM_TextAsGiven(benchmark::State &state)
{
    const QString text = BenchText(int(state.range(0)));
    for (auto _ : state) {
        SpokenText spoken(text);
        benchmark::DoNotOptimize(spoken.Text().size());
    }
    state.SetBytesProcessed(state.iterations() * text.size() * 2);
}
BENCHMARK(BM_TextAsGiven)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_TypicalRulesAndBothFilters(benchmark::State &state)
{
    const QString text = BenchText(int(state.range(0)));
    const Lexicon &rules = TypicalRules();
    for (auto _ : state) {
        SpokenText spoken(text);
        ReadingFilters::Apply(spoken, ReadingFilters::Brackets | ReadingFilters::WebAddresses);
        rules.Apply(spoken, QStringLiteral("Mary"));
        benchmark::DoNotOptimize(spoken.Text().size());
        state.counters["pieces"] = double(spoken.PieceCount());
    }
    state.SetBytesProcessed(state.iterations() * text.size() * 2);
}
BENCHMARK(BM_TypicalRulesAndBothFilters)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_MapEveryWordBack(benchmark::State &state)
{
    const QString text = BenchText(100000);
    SpokenText spoken(text);
    TypicalRules().Apply(spoken, QStringLiteral("Mary"));
    const QString &said = spoken.Text();
    std::vector<SpokenText::Range> words;
    for (qsizetype i = 0, start = 0; i <= said.size(); ++i) {
        if (i == said.size() || said.at(i).isSpace()) {
            if (i > start)
                words.push_back({start, i - start});
            start = i + 1;
        }
    }
    for (auto _ : state) {
        for (const SpokenText::Range &w : words)
            benchmark::DoNotOptimize(spoken.ToOriginal(w));
    }
    state.SetItemsProcessed(state.iterations() * qint64(words.size()));
}
BENCHMARK(BM_MapEveryWordBack)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
