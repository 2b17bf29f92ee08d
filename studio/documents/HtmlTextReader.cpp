// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/documents/HtmlTextReader.h"

#include "studio/documents/DocumentFile.h"
#include "studio/documents/DocumentStrings.h"
#include "studio/documents/TextDecoding.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>
#include <string_view>

namespace documents {

namespace {

struct NamedEntity {
    std::u16string_view name;
    char16_t value;
};

// The named references pages use in running text: markup, Latin-1 and typographic punctuation.
constexpr NamedEntity kEntities[] = {
    {u"amp", u'&'}, {u"lt", u'<'}, {u"gt", u'>'}, {u"quot", u'"'}, {u"apos", u'\''},
    {u"nbsp", 0xA0}, {u"iexcl", 0xA1}, {u"cent", 0xA2}, {u"pound", 0xA3}, {u"curren", 0xA4},
    {u"yen", 0xA5}, {u"brvbar", 0xA6}, {u"sect", 0xA7}, {u"uml", 0xA8}, {u"copy", 0xA9},
    {u"ordf", 0xAA}, {u"laquo", 0xAB}, {u"not", 0xAC}, {u"shy", 0xAD}, {u"reg", 0xAE},
    {u"macr", 0xAF}, {u"deg", 0xB0}, {u"plusmn", 0xB1}, {u"sup2", 0xB2}, {u"sup3", 0xB3},
    {u"acute", 0xB4}, {u"micro", 0xB5}, {u"para", 0xB6}, {u"middot", 0xB7}, {u"cedil", 0xB8},
    {u"sup1", 0xB9}, {u"ordm", 0xBA}, {u"raquo", 0xBB}, {u"frac14", 0xBC}, {u"frac12", 0xBD},
    {u"frac34", 0xBE}, {u"iquest", 0xBF}, {u"Agrave", 0xC0}, {u"Aacute", 0xC1}, {u"Acirc", 0xC2},
    {u"Atilde", 0xC3}, {u"Auml", 0xC4}, {u"Aring", 0xC5}, {u"AElig", 0xC6}, {u"Ccedil", 0xC7},
    {u"Egrave", 0xC8}, {u"Eacute", 0xC9}, {u"Ecirc", 0xCA}, {u"Euml", 0xCB}, {u"Igrave", 0xCC},
    {u"Iacute", 0xCD}, {u"Icirc", 0xCE}, {u"Iuml", 0xCF}, {u"ETH", 0xD0}, {u"Ntilde", 0xD1},
    {u"Ograve", 0xD2}, {u"Oacute", 0xD3}, {u"Ocirc", 0xD4}, {u"Otilde", 0xD5}, {u"Ouml", 0xD6},
    {u"times", 0xD7}, {u"Oslash", 0xD8}, {u"Ugrave", 0xD9}, {u"Uacute", 0xDA}, {u"Ucirc", 0xDB},
    {u"Uuml", 0xDC}, {u"Yacute", 0xDD}, {u"THORN", 0xDE}, {u"szlig", 0xDF}, {u"agrave", 0xE0},
    {u"aacute", 0xE1}, {u"acirc", 0xE2}, {u"atilde", 0xE3}, {u"auml", 0xE4}, {u"aring", 0xE5},
    {u"aelig", 0xE6}, {u"ccedil", 0xE7}, {u"egrave", 0xE8}, {u"eacute", 0xE9}, {u"ecirc", 0xEA},
    {u"euml", 0xEB}, {u"igrave", 0xEC}, {u"iacute", 0xED}, {u"icirc", 0xEE}, {u"iuml", 0xEF},
    {u"eth", 0xF0}, {u"ntilde", 0xF1}, {u"ograve", 0xF2}, {u"oacute", 0xF3}, {u"ocirc", 0xF4},
    {u"otilde", 0xF5}, {u"ouml", 0xF6}, {u"divide", 0xF7}, {u"oslash", 0xF8}, {u"ugrave", 0xF9},
    {u"uacute", 0xFA}, {u"ucirc", 0xFB}, {u"uuml", 0xFC}, {u"yacute", 0xFD}, {u"thorn", 0xFE},
    {u"yuml", 0xFF}, {u"OElig", 0x152}, {u"oelig", 0x153}, {u"Scaron", 0x160}, {u"scaron", 0x161},
    {u"Yuml", 0x178}, {u"fnof", 0x192}, {u"circ", 0x2C6}, {u"tilde", 0x2DC}, {u"ensp", 0x2002},
    {u"emsp", 0x2003}, {u"thinsp", 0x2009}, {u"zwnj", 0x200C}, {u"zwj", 0x200D}, {u"lrm", 0x200E},
    {u"rlm", 0x200F}, {u"ndash", 0x2013}, {u"mdash", 0x2014}, {u"lsquo", 0x2018}, {u"rsquo", 0x2019},
    {u"sbquo", 0x201A}, {u"ldquo", 0x201C}, {u"rdquo", 0x201D}, {u"bdquo", 0x201E}, {u"dagger", 0x2020},
    {u"Dagger", 0x2021}, {u"bull", 0x2022}, {u"hellip", 0x2026}, {u"permil", 0x2030}, {u"prime", 0x2032},
    {u"Prime", 0x2033}, {u"lsaquo", 0x2039}, {u"rsaquo", 0x203A}, {u"euro", 0x20AC}, {u"trade", 0x2122},
    {u"larr", 0x2190}, {u"rarr", 0x2192}, {u"minus", 0x2212},
};

// Elements whose content a browser never shows.
bool IsHiddenElement(QStringView name)
{
    return name == u"script" || name == u"style" || name == u"title" || name == u"noscript" || name == u"template"
           || name == u"iframe";
}

// Line ends a block element asks for around itself (0: an inline element).
int BlockBreaks(QStringView name)
{
    static constexpr std::u16string_view kParagraphs[] = {u"p", u"h1", u"h2", u"h3", u"h4", u"h5", u"h6"};
    static constexpr std::u16string_view kBlocks[] = {
        u"address", u"article", u"aside", u"blockquote", u"body", u"caption", u"center", u"dd", u"details",
        u"dialog", u"div", u"dl", u"dt", u"fieldset", u"figcaption", u"figure", u"footer", u"form",
        u"header", u"hgroup", u"hr", u"html", u"legend", u"li", u"main", u"menu", u"nav", u"ol", u"option",
        u"pre", u"section", u"summary", u"table", u"tbody", u"tfoot", u"thead", u"tr", u"ul",
    };
    const std::u16string_view view(reinterpret_cast<const char16_t *>(name.utf16()), std::size_t(name.size()));
    if (std::find(std::begin(kParagraphs), std::end(kParagraphs), view) != std::end(kParagraphs))
        return 2;
    if (std::find(std::begin(kBlocks), std::end(kBlocks), view) != std::end(kBlocks))
        return 1;
    return 0;
}

bool IsHtmlSpace(QChar ch)
{
    return ch == u' ' || ch == u'\t' || ch == u'\n' || ch == u'\r' || ch == u'\f';
}

bool IsNameChar(QChar ch)
{
    return (ch >= u'a' && ch <= u'z') || (ch >= u'A' && ch <= u'Z') || (ch >= u'0' && ch <= u'9') || ch == u'-'
           || ch == u':' || ch == u'_';
}

// Collects the visible text with the line-end and white-space rules of a browser's reading view.
class TextBuilder {
public:
    void Text(QChar ch, bool preformatted)
    {
        if (!preformatted && IsHtmlSpace(ch)) {
            pendingSpace_ = true;
            return;
        }
        if (ch == u'\r')
            return;
        Settle();
        out_.append(ch);
    }
    void Block(int breaks) { requiredBreaks_ = std::max(requiredBreaks_, breaks); }
    void LineBreak()
    {
        Settle();
        out_.append(QChar(u'\n'));
        pendingSpace_ = false;
    }
    void Tab()
    {
        Settle();
        out_.append(QChar(u'\t'));
        pendingSpace_ = false;
    }
    QString Take()
    {
        while (!out_.isEmpty() && (out_.back() == u'\n' || out_.back() == u' ' || out_.back() == u'\t'))
            out_.chop(1);
        return std::move(out_);
    }
    qsizetype Size() const { return out_.size(); }

private:
    void Settle()
    {
        if (out_.isEmpty()) {
            requiredBreaks_ = 0;
            pendingSpace_ = false;
            return;
        }
        if (requiredBreaks_ > 0) {
            while (!out_.isEmpty() && out_.back() == u' ')
                out_.chop(1);
            int have = 0;
            for (qsizetype i = out_.size() - 1; i >= 0 && out_[i] == u'\n' && have < requiredBreaks_; --i)
                ++have;
            for (; have < requiredBreaks_; ++have)
                out_.append(QChar(u'\n'));
            requiredBreaks_ = 0;
            pendingSpace_ = false;
            return;
        }
        if (pendingSpace_ && out_.back() != u'\n' && out_.back() != u'\t' && out_.back() != u' ')
            out_.append(QChar(u' '));
        pendingSpace_ = false;
    }

    QString out_;
    int requiredBreaks_ = 0;
    bool pendingSpace_ = false;
};

// Decodes a character reference starting at `i` (which holds '&'); returns its length, 0 if none.
qsizetype DecodeReference(const QString &s, qsizetype i, QString &into)
{
    const qsizetype n = s.size();
    qsizetype j = i + 1;
    if (j < n && s[j] == u'#') {
        ++j;
        const bool hex = j < n && (s[j] == u'x' || s[j] == u'X');
        if (hex)
            ++j;
        const qsizetype digitsStart = j;
        char32_t value = 0;
        while (j < n && j - digitsStart < 8) {
            const char16_t c = s[j].unicode();
            int v = -1;
            if (c >= u'0' && c <= u'9')
                v = c - u'0';
            else if (hex && c >= u'a' && c <= u'f')
                v = c - u'a' + 10;
            else if (hex && c >= u'A' && c <= u'F')
                v = c - u'A' + 10;
            if (v < 0)
                break;
            value = value * (hex ? 16 : 10) + char32_t(v);
            ++j;
        }
        if (j == digitsStart)
            return 0;
        while (j < n && s[j].isDigit()) {
            value = 0x110000; // more digits than any code point has
            ++j;
        }
        if (j < n && s[j] == u';')
            ++j;
        if (value >= 0x80 && value <= 0x9F)
            value = TextDecoding::Windows1252Char(static_cast<unsigned char>(value));
        if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            value = 0xFFFD;
        into.append(QString::fromUcs4(&value, 1));
        return j - i;
    }
    qsizetype end = j;
    while (end < n && end - j < 10 && ((s[end] >= u'a' && s[end] <= u'z') || (s[end] >= u'A' && s[end] <= u'Z') || (s[end] >= u'0' && s[end] <= u'9')))
        ++end;
    if (end == j)
        return 0;
    const std::u16string_view name(reinterpret_cast<const char16_t *>(s.utf16()) + j, std::size_t(end - j));
    for (const NamedEntity &entity : kEntities) {
        if (entity.name == name) {
            into.append(QChar(entity.value));
            return end - i + (end < n && s[end] == u';' ? 1 : 0);
        }
    }
    return 0;
}

} // namespace

QString HtmlTextReader::Decode(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.sliced(3));
    if (bytes.startsWith("\xFF\xFE"))
        return QStringDecoder(QStringConverter::Utf16LE).decode(bytes.sliced(2));
    if (bytes.startsWith("\xFE\xFF"))
        return QStringDecoder(QStringConverter::Utf16BE).decode(bytes.sliced(2));
    // The charset declaration has to sit near the top of the page.
    static const QRegularExpression kCharset(QStringLiteral(R"(<meta[^>]*charset\s*=\s*["']?\s*([A-Za-z0-9._:-]+))"),
                                             QRegularExpression::CaseInsensitiveOption);
    const QString head = QString::fromLatin1(bytes.first(std::min<qsizetype>(bytes.size(), 4096)));
    const QRegularExpressionMatch match = kCharset.match(head);
    if (match.hasMatch()) {
        if (std::optional<QString> text = TextDecoding::Charset(bytes, match.captured(1).toLatin1()))
            return *text;
    }
    if (TextDecoding::IsUtf8(bytes))
        return QString::fromUtf8(bytes);
    return TextDecoding::Windows1252(bytes);
}

QString HtmlTextReader::PageText(QByteArrayView bytes)
{
    return VisibleText(Decode(bytes));
}

QString HtmlTextReader::VisibleText(const QString &html)
{
    TextBuilder builder;
    const qsizetype n = html.size();
    int preDepth = 0;
    int cellsInRow = 0;
    QString decoded;
    qsizetype i = 0;
    while (i < n) {
        const QChar ch = html[i];
        if (ch == u'<' && i + 1 < n) {
            const QChar next = html[i + 1];
            // A view, not sliced(): a copy of the rest of the page at every '<' made pages quadratic.
            if (QStringView(html).sliced(i).startsWith(u"<!--")) {
                const qsizetype end = html.indexOf(u"-->", i + 4);
                i = end < 0 ? n : end + 3;
                continue;
            }
            if (next == u'!' || next == u'?') {
                const qsizetype end = html.indexOf(u'>', i + 2);
                i = end < 0 ? n : end + 1;
                continue;
            }
            const bool closing = next == u'/';
            qsizetype j = i + (closing ? 2 : 1);
            const qsizetype nameStart = j;
            if (j < n && html[j].isLetter()) {
                while (j < n && IsNameChar(html[j]))
                    ++j;
                const QString name = html.sliced(nameStart, j - nameStart).toLower();
                // Find the end of the tag; quoted attribute values may hold '>'.
                QChar quote;
                while (j < n) {
                    const QChar c = html[j];
                    if (!quote.isNull()) {
                        if (c == quote)
                            quote = QChar();
                    } else if (c == u'"' || c == u'\'') {
                        quote = c;
                    } else if (c == u'>') {
                        break;
                    }
                    ++j;
                }
                i = j < n ? j + 1 : n;

                if (!closing && IsHiddenElement(name)) {
                    // Everything up to the matching end tag is invisible (scripts may hold '<').
                    const qsizetype end = html.indexOf(QStringLiteral("</") + name, i, Qt::CaseInsensitive);
                    i = end < 0 ? n : end;
                    continue;
                }
                if (name == u"br") {
                    builder.LineBreak();
                } else if (name == u"td" || name == u"th") {
                    // End tags of cells are optional; a cell's start separates it from the last.
                    if (!closing && cellsInRow++ > 0)
                        builder.Tab();
                } else {
                    if (name == u"tr" || name == u"table")
                        cellsInRow = 0;
                    if (name == u"pre")
                        preDepth = std::max(0, preDepth + (closing ? -1 : 1));
                    if (const int breaks = BlockBreaks(name))
                        builder.Block(breaks);
                }
                continue;
            }
            if (closing) {
                // "</>" or "</ junk>": a malformed end tag shows nothing.
                const qsizetype end = html.indexOf(u'>', i + 2);
                i = end < 0 ? n : end + 1;
                continue;
            }
        }
        if (ch == u'&') {
            decoded.clear();
            if (const qsizetype length = DecodeReference(html, i, decoded)) {
                for (const QChar c : decoded)
                    builder.Text(c, true);
                i += length;
                continue;
            }
        }
        builder.Text(ch, preDepth > 0);
        ++i;
        if (builder.Size() > kMaxDocumentChars)
            break;
    }
    return builder.Take();
}

DocumentText HtmlTextReader::LoadFile(const QString &path)
{
    const DocumentBytes file = ReadDocumentBytes(path);
    if (file.status == DocumentBytes::Status::TooLarge)
        return DocumentText::Failure(QString::fromLatin1(kErrorTooLarge));
    if (!file.ok())
        return DocumentText::Failure(QString::fromLatin1(kErrorLoadingWebPage));
    QString text = PageText(file.bytes);
    text.remove(QChar(u'\0'));
    return DocumentText::Success(std::move(text));
}

} // namespace documents
