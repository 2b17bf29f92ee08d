// SPDX-License-Identifier: GPL-3.0-or-later
#include "help/Sitemap.h"

#include "help/ChmFile.h"

#include <QRegularExpression>
#include <QTextDocumentFragment>

#include <cstring>

namespace help
{

namespace
{

QRegularExpression AttributePattern(const char *name)
{
    return QRegularExpression(
        QStringLiteral(R"re((?:^|\s)%1\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s>]+)))re").arg(QLatin1String(name)),
        QRegularExpression::CaseInsensitiveOption);
}

// The value of one of the attributes a sitemap uses ("type", "name", "value"). The patterns are made
// once: a contents file can hold hundreds of thousands of parameters.
QString Attribute(const QString &attributes, const char *name)
{
    static const QRegularExpression type = AttributePattern("type");
    static const QRegularExpression nameAttribute = AttributePattern("name");
    static const QRegularExpression value = AttributePattern("value");
    const QRegularExpression &pattern = std::strcmp(name, "type") == 0   ? type
                                        : std::strcmp(name, "name") == 0 ? nameAttribute
                                                                         : value;
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

// One tag of the text: <name attributes> or </name attributes>.
struct Tag {
    bool closing = false;
    QString name; // lower case
    QString attributes;
};

// Finds the tags of a text one after the other in a single pass. The next '>' is remembered, so a
// text full of '<' without '>' costs one scan rather than one scan per '<'.
class TagScanner
{
  public:
    explicit TagScanner(const QString &text) : text_(text) {}

    bool Next(Tag *tag)
    {
        const qsizetype size = text_.size();
        while (at_ < size) {
            const qsizetype open = text_.indexOf(QLatin1Char('<'), at_);
            if (open < 0)
                break;
            qsizetype p = open + 1;
            const bool closing = p < size && text_[p] == QLatin1Char('/');
            if (closing)
                ++p;
            const qsizetype nameStart = p;
            while (p < size && IsAsciiLetter(text_[p]))
                ++p;
            if (p == nameStart) {
                at_ = open + 1;
                continue;
            }
            if (close_ < p)
                close_ = text_.indexOf(QLatin1Char('>'), p);
            if (close_ < 0)
                break; // no tag can end any more
            tag->closing = closing;
            tag->name = text_.mid(nameStart, p - nameStart).toLower();
            tag->attributes = text_.mid(p, close_ - p);
            at_ = close_ + 1;
            return true;
        }
        at_ = size;
        return false;
    }

  private:
    static bool IsAsciiLetter(QChar c)
    {
        return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
               (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
    }

    const QString &text_;
    qsizetype at_ = 0;
    qsizetype close_ = -1;
};

} // namespace

std::vector<SitemapEntry> Sitemap::Parse(const QByteArray &html)
{
    const QString text = ChmFile::DecodeText(html);

    std::vector<SitemapEntry> root;
    // The lists being filled, innermost last. Entries are only ever appended to the innermost
    // list, so pointers to the outer ones stay valid.
    std::vector<std::vector<SitemapEntry> *> lists{&root};
    int ignoredDepth = 0; // <ul> levels beyond MaxDepth
    bool inObject = false;
    bool sawUl = false;
    SitemapEntry current;
    QString lastName;

    // One pass over the tags with the open lists on a stack of our own: no recursion per level.
    TagScanner scanner(text);
    Tag tag;
    while (scanner.Next(&tag)) {
        const bool closing = tag.closing;
        const QString &name = tag.name;
        const QString &attributes = tag.attributes;
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
