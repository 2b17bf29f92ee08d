// SPDX-License-Identifier: GPL-3.0-or-later
#include "help/Sitemap.h"

#include "help/ChmFile.h"

#include <QRegularExpression>
#include <QTextDocumentFragment>

namespace help
{

namespace
{

QString Attribute(const QString &attributes, const QString &name)
{
    const QRegularExpression pattern(
        QStringLiteral(R"re((?:^|\s)%1\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s>]+)))re").arg(name),
        QRegularExpression::CaseInsensitiveOption);
    const auto match = pattern.match(attributes);
    if (!match.hasMatch())
        return {};
    for (int i = 1; i <= 3; ++i) {
        if (match.capturedStart(i) >= 0)
            return match.captured(i);
    }
    return {};
}

QString DecodeEntities(const QString &text)
{
    if (!text.contains('&'))
        return text;
    return QTextDocumentFragment::fromHtml(text.toHtmlEscaped().replace("&amp;", "&")).toPlainText();
}

} // namespace

std::vector<SitemapEntry> Sitemap::Parse(const QByteArray &html)
{
    const QString text = ChmFile::DecodeText(html);
    static const QRegularExpression tag(R"(<(/?)([A-Za-z]+)([^>]*)>)");

    std::vector<SitemapEntry> root;
    // The lists being filled, innermost last. Entries are only ever appended to the innermost
    // list, so pointers to the outer ones stay valid.
    std::vector<std::vector<SitemapEntry> *> lists{&root};
    int ignoredDepth = 0; // <ul> levels beyond MaxDepth
    bool inObject = false;
    bool sawUl = false;
    SitemapEntry current;
    QString lastName;

    auto it = tag.globalMatch(text);
    while (it.hasNext()) {
        const auto match = it.next();
        const bool closing = !match.captured(1).isEmpty();
        const QString name = match.captured(2).toLower();
        const QString attributes = match.captured(3);
        if (name == "ul") {
            if (!closing) {
                if (!sawUl) {
                    sawUl = true; // the outermost list is the root itself
                    continue;
                }
                std::vector<SitemapEntry> *list = lists.back();
                if (int(lists.size()) > MaxDepth || list->empty()) {
                    ++ignoredDepth;
                    continue;
                }
                lists.push_back(&list->back().children);
            } else if (ignoredDepth > 0) {
                --ignoredDepth;
            } else if (lists.size() > 1) {
                lists.pop_back();
            }
        } else if (name == "object" && !closing) {
            if (Attribute(attributes, "type").compare("text/sitemap", Qt::CaseInsensitive) == 0) {
                inObject = true;
                current = SitemapEntry();
                lastName.clear();
            }
        } else if (name == "param" && inObject) {
            const QString param = Attribute(attributes, "name").toLower();
            const QString value = DecodeEntities(Attribute(attributes, "value"));
            if (param == "name") {
                if (current.name.isEmpty())
                    current.name = value;
                lastName = value;
            } else if (param == "local") {
                current.links.emplace_back(lastName.isEmpty() ? current.name : lastName, value);
            } else if (param == "see also") {
                current.seeAlso = value;
            }
        } else if (name == "object" && closing && inObject) {
            inObject = false;
            if (!current.name.isEmpty())
                lists.back()->push_back(std::move(current));
            current = SitemapEntry();
        }
    }
    return root;
}

std::vector<std::pair<const SitemapEntry *, int>> Sitemap::Flatten(const std::vector<SitemapEntry> &tree)
{
    std::vector<std::pair<const SitemapEntry *, int>> out;
    // Iterative walk: (list, next index, depth).
    struct Frame {
        const std::vector<SitemapEntry> *list;
        std::size_t next;
        int depth;
    };
    std::vector<Frame> stack{{&tree, 0, 0}};
    while (!stack.empty()) {
        Frame &frame = stack.back();
        if (frame.next >= frame.list->size()) {
            stack.pop_back();
            continue;
        }
        const SitemapEntry &entry = (*frame.list)[frame.next++];
        out.emplace_back(&entry, frame.depth);
        if (!entry.children.empty())
            stack.push_back({&entry.children, 0, frame.depth + 1});
    }
    return out;
}

} // namespace help
