// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/documents/RtfReader.h"

#include "studio/documents/DocumentFile.h"
#include "studio/documents/DocumentStrings.h"
#include "studio/documents/TextDecoding.h"

#include <QHash>

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

namespace documents {

namespace {

// Groups nested deeper than this share the state of the deepest one kept; real documents stay far
// below it, and it bounds the memory a hostile file can make the reader use.
constexpr std::size_t kMaxGroupDepth = 4096;
// \ucN larger than this is not a real fallback length.
constexpr int kMaxUnicodeSkip = 16;
// Control words longer than this (the format allows 32 letters) are read but not recognised.
constexpr int kMaxWordLength = 32;

struct GroupState {
    int unicodeSkip = 1;   // \uc: fallback characters after each \u
    int codePage = -1;     // code page of the font in use; -1: the document's
    bool skip = false;     // a destination without body text
    bool hidden = false;   // \v hidden text
    bool fontTable = false;
};

// Windows code page of an RTF \fcharset value; -1 for "the document's own".
int CodePageOfCharset(std::int64_t charset)
{
    switch (charset) {
    case 0: return 1252;
    case 2: return 1252; // symbol fonts: the glyph numbers read as Windows-1252 are the closest text
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    case 255: return 850;
    default: return -1;
    }
}

// Destinations whose content a word processor does not show as body text.
bool IsSkippedDestination(std::string_view word)
{
    static constexpr std::string_view kSkipped[] = {
        "annotation", "atnauthor", "atnid", "author", "bkmkend", "bkmkstart", "colorschememapping",
        "colortbl", "comment", "datastore", "docvar", "doccomm", "falt", "fchars", "filetbl",
        "fldinst", "footer", "footerf", "footerl", "footerr", "footnote", "generator", "header",
        "headerf", "headerl", "headerr", "info", "keywords", "latentstyles", "lchars", "listoverridetable",
        "listpicture", "listtable", "listtext", "mmathPr", "nonshppict", "objclass", "objdata", "operator",
        "panose", "passwordhash", "pgdsctbl", "pict", "pn", "pntext", "pntxta", "pntxtb", "private",
        "protusertbl", "revtbl", "rsidtbl", "stylesheet", "subject", "tc", "template", "themedata",
        "title", "upr", "userprops", "wgrffmtfilter", "xe", "xmlnstbl",
    };
    static const std::vector<std::string_view> sorted = [] {
        std::vector<std::string_view> words(std::begin(kSkipped), std::end(kSkipped));
        std::sort(words.begin(), words.end());
        return words;
    }();
    return std::binary_search(sorted.begin(), sorted.end(), word);
}

class Parser {
public:
    explicit Parser(QByteArrayView bytes) : data_(bytes) {}

    QString Run();

private:
    GroupState &State() { return stack_.back(); }
    bool Showing() const { return !stack_.back().skip && !stack_.back().hidden; }
    int EffectiveCodePage() const
    {
        const int page = stack_.back().codePage;
        return page > 0 ? page : documentCodePage_;
    }

    void OpenGroup();
    bool CloseGroup(); // false once the document's outermost group has closed
    void ControlSequence();
    void ControlWord(std::string_view word, bool hasParam, std::int64_t param);
    void ControlSymbol(char symbol);

    // A character of the document: a byte in the current code page, or a UTF-16 code unit.
    void TextByte(unsigned char byte);
    void TextChar(char16_t ch);
    void FlushBytes();
    bool ConsumeFallback();
    void EndRow();

    QByteArrayView data_;
    qsizetype pos_ = 0;
    std::vector<GroupState> stack_;
    std::size_t overflowDepth_ = 0;
    int documentCodePage_ = 1252;
    int defaultFont_ = -1;
    std::int64_t currentFont_ = -1;
    QHash<std::int64_t, int> fontCodePages_;
    int pendingSkip_ = 0;        // fallback characters still to drop after a \u
    bool pendingIgnorable_ = false; // "\*" seen: an unknown destination that follows is skipped
    QByteArray pendingBytes_;
    int pendingCodePage_ = 1252;
    QString out_;
};

QString Parser::Run()
{
    // The caller checked the signature; begin inside the outermost group.
    while (pos_ < data_.size() && data_[pos_] != '{')
        ++pos_;
    ++pos_;
    stack_.emplace_back();
    out_.reserve(data_.size() / 2);

    while (pos_ < data_.size()) {
        const auto c = static_cast<unsigned char>(data_[pos_]);
        switch (c) {
        case '{':
            ++pos_;
            OpenGroup();
            break;
        case '}':
            ++pos_;
            if (!CloseGroup()) {
                FlushBytes();
                return out_;
            }
            break;
        case '\\':
            ++pos_;
            ControlSequence();
            break;
        case '\r':
        case '\n':
            ++pos_;
            break;
        default:
            if (c >= 0x20 && c < 0x80 && pendingSkip_ == 0 && pendingBytes_.isEmpty()) {
                // Most of a document is runs of plain ASCII text: take the whole run at once.
                const qsizetype start = pos_;
                while (pos_ < data_.size()) {
                    const auto b = static_cast<unsigned char>(data_[pos_]);
                    if (b < 0x20 || b >= 0x80 || b == '{' || b == '}' || b == '\\')
                        break;
                    ++pos_;
                }
                pendingIgnorable_ = false;
                if (Showing())
                    out_.append(QLatin1StringView(data_.data() + start, pos_ - start));
                break;
            }
            ++pos_;
            pendingIgnorable_ = false;
            if (ConsumeFallback())
                break;
            if (c == '\t')
                TextChar(u'\t');
            else if (c >= 0x20)
                TextByte(c);
            break;
        }
    }
    // Truncated document: keep what was read.
    FlushBytes();
    return out_;
}

void Parser::OpenGroup()
{
    pendingSkip_ = 0;
    pendingIgnorable_ = false;
    if (stack_.size() >= kMaxGroupDepth) {
        ++overflowDepth_;
        return;
    }
    stack_.push_back(stack_.back());
}

bool Parser::CloseGroup()
{
    pendingSkip_ = 0;
    pendingIgnorable_ = false;
    if (overflowDepth_ > 0) {
        --overflowDepth_;
        return true;
    }
    if (stack_.size() <= 1)
        return false;
    const bool leavingFontTable = stack_.back().fontTable;
    stack_.pop_back();
    // Body text before any \f is in the default font, whose code page the font table just gave.
    if (leavingFontTable && !stack_.back().fontTable && defaultFont_ >= 0 && stack_.size() == 1)
        stack_.back().codePage = fontCodePages_.value(defaultFont_, -1);
    return true;
}

bool Parser::ConsumeFallback()
{
    if (pendingSkip_ <= 0)
        return false;
    --pendingSkip_;
    return true;
}

void Parser::ControlSequence()
{
    if (pos_ >= data_.size())
        return;
    const char first = data_[pos_];
    const bool isLetter = (first >= 'a' && first <= 'z') || (first >= 'A' && first <= 'Z');
    if (!isLetter) {
        ++pos_;
        ControlSymbol(first);
        return;
    }
    const qsizetype start = pos_;
    while (pos_ < data_.size() && ((data_[pos_] >= 'a' && data_[pos_] <= 'z') || (data_[pos_] >= 'A' && data_[pos_] <= 'Z')))
        ++pos_;
    const qsizetype length = pos_ - start;
    const std::string_view word = length <= kMaxWordLength ? std::string_view(data_.data() + start, std::size_t(length))
                                                           : std::string_view("?");
    bool negative = false;
    bool hasParam = false;
    std::int64_t param = 0;
    if (pos_ < data_.size() && data_[pos_] == '-') {
        negative = true;
        ++pos_;
    }
    while (pos_ < data_.size() && data_[pos_] >= '0' && data_[pos_] <= '9') {
        hasParam = true;
        // Saturate: an absurd parameter must not overflow, only be absurd.
        if (param < (std::int64_t(1) << 40))
            param = param * 10 + (data_[pos_] - '0');
        ++pos_;
    }
    if (negative)
        param = -param;
    // One space after a control word belongs to it.
    if (pos_ < data_.size() && data_[pos_] == ' ')
        ++pos_;
    ControlWord(word, hasParam, param);
}

void Parser::ControlSymbol(char symbol)
{
    if (symbol == '*') {
        pendingIgnorable_ = true;
        return;
    }
    pendingIgnorable_ = false;
    if (symbol == '\'') {
        int value = 0;
        int digits = 0;
        while (digits < 2 && pos_ < data_.size()) {
            const char h = data_[pos_];
            int v;
            if (h >= '0' && h <= '9')
                v = h - '0';
            else if (h >= 'a' && h <= 'f')
                v = h - 'a' + 10;
            else if (h >= 'A' && h <= 'F')
                v = h - 'A' + 10;
            else
                break;
            value = value * 16 + v;
            ++digits;
            ++pos_;
        }
        if (ConsumeFallback() || digits == 0)
            return;
        TextByte(static_cast<unsigned char>(value));
        return;
    }
    if (ConsumeFallback())
        return;
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
        TextByte(static_cast<unsigned char>(symbol));
        break;
    case '~':
        TextChar(u'\u00A0');
        break;
    case '_':
        TextChar(u'\u2011');
        break;
    case '\r':
    case '\n':
        TextChar(u'\n'); // a backslash before a line end is a paragraph mark
        break;
    default:
        // "\-" (optional hyphen), "\:" and "\|" show nothing.
        break;
    }
}

void Parser::ControlWord(std::string_view word, bool hasParam, std::int64_t param)
{
    const bool ignorable = pendingIgnorable_;
    pendingIgnorable_ = false;

    // Binary data is skipped whatever else is going on, or its bytes would be read as RTF.
    if (word == "bin") {
        if (hasParam && param > 0)
            pos_ += std::min<std::int64_t>(param, data_.size() - pos_);
        return;
    }
    if (ConsumeFallback())
        return;

    GroupState &state = State();
    if (word == "fonttbl") {
        state.skip = true;
        state.fontTable = true;
        return;
    }
    if (word == "ud") {
        // The Unicode alternative inside \upr is the text to show.
        state.skip = false;
        return;
    }
    if (IsSkippedDestination(word) || (ignorable && !state.skip)) {
        state.skip = true;
        return;
    }

    if (word == "par" || word == "line" || word == "sect" || word == "page") {
        TextChar(u'\n');
    } else if (word == "tab" || word == "cell" || word == "nestcell") {
        TextChar(u'\t');
    } else if (word == "row" || word == "nestrow") {
        EndRow();
    } else if (word == "u") {
        if (!hasParam)
            return;
        // Values above 32767 are written as negative numbers; anything outside 16 bits is no
        // character, shown as the replacement character rather than a wrong one.
        const bool valid = param >= -32768 && param <= 65535;
        TextChar(valid ? static_cast<char16_t>(static_cast<std::uint16_t>(param & 0xFFFF)) : u'\uFFFD');
        pendingSkip_ = state.unicodeSkip;
    } else if (word == "uc") {
        state.unicodeSkip = hasParam ? static_cast<int>(std::clamp<std::int64_t>(param, 0, kMaxUnicodeSkip)) : 1;
    } else if (word == "f") {
        if (!hasParam)
            return;
        if (state.fontTable)
            currentFont_ = param;
        else
            state.codePage = fontCodePages_.value(param, -1);
    } else if (word == "fcharset") {
        if (state.fontTable && hasParam && currentFont_ >= 0 && !fontCodePages_.contains(currentFont_))
            fontCodePages_.insert(currentFont_, CodePageOfCharset(param));
    } else if (word == "cpg") {
        if (state.fontTable && hasParam && currentFont_ >= 0 && param > 0 && param < 100000)
            fontCodePages_.insert(currentFont_, static_cast<int>(param));
    } else if (word == "ansicpg") {
        if (hasParam && param > 0 && param < 100000)
            documentCodePage_ = static_cast<int>(param);
    } else if (word == "ansi") {
        documentCodePage_ = 1252;
    } else if (word == "mac") {
        documentCodePage_ = 10000;
    } else if (word == "pc") {
        documentCodePage_ = 437;
    } else if (word == "pca") {
        documentCodePage_ = 850;
    } else if (word == "deff") {
        if (hasParam && param >= 0 && param < 1000000)
            defaultFont_ = static_cast<int>(param);
    } else if (word == "v") {
        state.hidden = !hasParam || param != 0;
    } else if (word == "emdash") {
        TextChar(u'\u2014');
    } else if (word == "endash") {
        TextChar(u'\u2013');
    } else if (word == "bullet") {
        TextChar(u'\u2022');
    } else if (word == "lquote") {
        TextChar(u'\u2018');
    } else if (word == "rquote") {
        TextChar(u'\u2019');
    } else if (word == "ldblquote") {
        TextChar(u'\u201C');
    } else if (word == "rdblquote") {
        TextChar(u'\u201D');
    } else if (word == "emspace") {
        TextChar(u'\u2003');
    } else if (word == "enspace") {
        TextChar(u'\u2002');
    } else if (word == "qmspace") {
        TextChar(u'\u2005');
    } else if (word == "zwj") {
        TextChar(u'\u200D');
    } else if (word == "zwnj") {
        TextChar(u'\u200C');
    } else if (word == "ltrmark") {
        TextChar(u'\u200E');
    } else if (word == "rtlmark") {
        TextChar(u'\u200F');
    }
}

void Parser::TextByte(unsigned char byte)
{
    if (!Showing())
        return;
    if (byte < 0x80 && pendingBytes_.isEmpty()) {
        out_.append(QChar(char16_t(byte)));
        return;
    }
    const int page = EffectiveCodePage();
    if (!pendingBytes_.isEmpty() && page != pendingCodePage_)
        FlushBytes();
    pendingCodePage_ = page;
    pendingBytes_.append(char(byte));
}

void Parser::TextChar(char16_t ch)
{
    if (!Showing())
        return;
    FlushBytes();
    out_.append(QChar(ch));
}

void Parser::FlushBytes()
{
    if (pendingBytes_.isEmpty())
        return;
    QString decoded = TextDecoding::CodePage(pendingBytes_, pendingCodePage_);
    decoded.remove(QChar(u'\0'));
    out_.append(decoded);
    pendingBytes_.clear();
}

void Parser::EndRow()
{
    if (!Showing())
        return;
    FlushBytes();
    // The last cell's separator becomes the end of the row.
    if (out_.endsWith(QChar(u'\t')))
        out_.chop(1);
    out_.append(QChar(u'\n'));
}

} // namespace

bool RtfReader::LooksLikeRtf(QByteArrayView bytes)
{
    qsizetype i = 0;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        i = 3;
    while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n'))
        ++i;
    return bytes.sliced(i).startsWith("{\\rtf");
}

RtfReader::Result RtfReader::Read(QByteArrayView bytes)
{
    if (!LooksLikeRtf(bytes))
        return {};
    QString text = Parser(bytes).Run();
    // \'00 and \u0 spell a NUL; the editor and the speech engines would cut the text short there.
    text.remove(QChar(u'\0'));
    return {true, std::move(text)};
}

DocumentText RtfReader::LoadFile(const QString &path)
{
    const DocumentBytes file = ReadDocumentBytes(path);
    if (file.status == DocumentBytes::Status::TooLarge)
        return DocumentText::Failure(QString::fromLatin1(kErrorTooLarge));
    if (!file.ok())
        return DocumentText::Failure(QString::fromLatin1(kErrorLoadingRichText));
    Result result = Read(file.bytes);
    if (!result.isRtf)
        return DocumentText::Failure(QString::fromLatin1(kErrorLoadingRichText));
    return DocumentText::Success(std::move(result.text));
}

} // namespace documents
