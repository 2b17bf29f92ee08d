// SPDX-License-Identifier: GPL-3.0-or-later
#include "help/FullTextSearch.h"

#include "help/ChmFile.h"

#include <QRegularExpression>
#include <QTextDocumentFragment>

#include <algorithm>

namespace help
{

namespace
{

int CountWord(const QString &text, const QString &word)
{
    int count = 0;
    qsizetype at = 0;
    while ((at = text.indexOf(word, at)) >= 0) {
        const bool startsWord = at == 0 || !text.at(at - 1).isLetterOrNumber();
        const qsizetype end = at + word.size();
        const bool endsWord = end >= text.size() || !text.at(end).isLetterOrNumber();
        if (startsWord && endsWord)
            ++count;
        at = end;
    }
    return count;
}

} // namespace

void FullTextSearch::Build(const ChmFile &file)
{
    Clear();
    static const QRegularExpression hidden("<(script|style|object)\\b.*?</\\1>",
                                           QRegularExpression::CaseInsensitiveOption |
                                               QRegularExpression::DotMatchesEverythingOption);
    for (const QString &path : file.Topics()) {
        const auto data = file.Read(path);
        if (!data)
            continue;
        QString html = ChmFile::DecodeText(*data);
        html.remove(hidden);
        Page page;
        page.path = path;
        page.title = file.TopicTitle(path);
        page.titleLower = page.title.toLower();
        page.text = QTextDocumentFragment::fromHtml(html).toPlainText().toLower();
        pages_.push_back(std::move(page));
    }
    built_ = true;
}

void FullTextSearch::Clear()
{
    pages_.clear();
    built_ = false;
}

QStringList FullTextSearch::Words(const QString &text)
{
    static const QRegularExpression separators("[^\\w]+", QRegularExpression::UseUnicodePropertiesOption);
    QStringList words = text.toLower().split(separators, Qt::SkipEmptyParts);
    words.removeDuplicates();
    return words;
}

std::vector<FullTextSearch::Hit> FullTextSearch::Search(const QString &query, bool titlesOnly) const
{
    std::vector<Hit> hits;
    const QStringList words = Words(query);
    if (words.isEmpty())
        return hits;
    for (const Page &page : pages_) {
        int total = 0;
        bool all = true;
        for (const QString &word : words) {
            const int n = CountWord(titlesOnly ? page.titleLower : page.text, word) +
                          (titlesOnly ? 0 : CountWord(page.titleLower, word));
            if (n == 0) {
                all = false;
                break;
            }
            total += n;
        }
        if (all)
            hits.push_back({page.path, page.title, total});
    }
    std::sort(hits.begin(), hits.end(), [](const Hit &a, const Hit &b) {
        if (a.occurrences != b.occurrences)
            return a.occurrences > b.occurrences;
        return a.title.localeAwareCompare(b.title) < 0;
    });
    return hits;
}

} // namespace help
