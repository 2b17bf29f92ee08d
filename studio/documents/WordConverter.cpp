// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/documents/WordConverter.h"

#include "studio/documents/ChildProcess.h"
#include "studio/documents/DocumentFile.h"
#include "studio/documents/DocumentStrings.h"
#include "studio/documents/HtmlTextReader.h"
#include "studio/documents/PdfReader.h"
#include "studio/documents/ReadTextFile.h"
#include "studio/documents/RtfReader.h"
#include "studio/documents/ZipDocumentReader.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QStringList>
#include <QUrl>

namespace documents {

namespace {

constexpr char kOle2Signature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";

QString Failure()
{
    return QString::fromLatin1(kErrorConvertingWord);
}

// Converter output as editor text: line ends as "\n", page breaks as line ends, no NULs, and
// without the blank lines converters put around the document.
QString CleanOutput(QByteArray bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QString text = QString::fromUtf8(bytes);
    text.remove(QChar(u'\r'));
    text.remove(QChar(u'\0'));
    text.replace(QChar(u'\f'), QChar(u'\n'));
    qsizetype start = 0;
    while (start < text.size() && text[start] == u'\n')
        ++start;
    qsizetype end = text.size();
    while (end > start && (text[end - 1] == u'\n' || text[end - 1] == u' '))
        --end;
    return text.sliced(start, end - start);
}

// antiword draws table rows as "|cell   |cell   |"; the editor gets them as tab-separated cells,
// the way the other converters give them.
QString UnframeTableRows(const QString &text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString &line : lines) {
        if (line.size() < 2 || !line.startsWith(QLatin1Char('|')) || !line.endsWith(QLatin1Char('|')))
            continue;
        QStringList cells = line.sliced(1, line.size() - 2).split(QLatin1Char('|'));
        for (QString &cell : cells)
            cell = cell.trimmed();
        line = cells.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n'));
}

bool LooksLikeText(const QByteArray &head)
{
    if (head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF"))
        return true;
    return !head.contains('\0');
}

bool LooksLikeHtml(const QByteArray &head)
{
    const QByteArray lower = head.left(1024).toLower();
    return lower.contains("<html") || lower.contains("<!doctype html");
}

} // namespace

ConverterTools ConverterTools::Installed()
{
    ConverterTools tools;
    tools.antiword = QStandardPaths::findExecutable(QStringLiteral("antiword"));
    tools.catdoc = QStandardPaths::findExecutable(QStringLiteral("catdoc"));
    tools.office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (tools.office.isEmpty())
        tools.office = QStandardPaths::findExecutable(QStringLiteral("libreoffice"));
    return tools;
}

WordConverter::Format WordConverter::Detect(const QString &path)
{
    // Only regular files: the converters open the document by name, and would block on a pipe
    // or read a device without end.
    if (!IsRegularFile(path))
        return Format::Missing;
    const DocumentBytes start = ReadDocumentBytes(path, 4096);
    if (start.status == DocumentBytes::Status::Unreadable)
        return Format::Missing;
    const QByteArray &head = start.bytes;
    if (head.startsWith(QByteArrayView(kOle2Signature, 8)))
        return Format::LegacyWord;
    if (head.startsWith("PK\x03\x04")) {
        switch (ZipDocumentReader::Detect(path)) {
        case ZipDocumentReader::Kind::Docx: return Format::Docx;
        case ZipDocumentReader::Kind::Odt: return Format::Odt;
        case ZipDocumentReader::Kind::None: return Format::Unknown;
        }
    }
    if (RtfReader::LooksLikeRtf(head))
        return Format::RichText;
    if (head.startsWith("%PDF-"))
        return Format::Pdf;
    if (LooksLikeText(head))
        return LooksLikeHtml(head) ? Format::WebPage : Format::PlainText;
    return Format::Unknown;
}

DocumentText WordConverter::Convert(const QString &path, const ConverterTools &tools)
{
    DocumentText result;
    switch (Detect(path)) {
    case Format::Missing:
    case Format::Unknown:
        break;
    case Format::LegacyWord:
        result = RunAntiword(path, tools);
        if (!result.ok)
            result = RunCatdoc(path, tools);
        if (!result.ok)
            result = RunOffice(path, tools);
        break;
    case Format::Docx:
    case Format::Odt:
        result = ZipDocumentReader::Read(path);
        break;
    case Format::RichText:
        result = RtfReader::LoadFile(path);
        break;
    case Format::Pdf:
        result = PdfReader::LoadFile(path);
        break;
    case Format::WebPage:
        result = HtmlTextReader::LoadFile(path);
        break;
    case Format::PlainText:
        result = LoadTextFile(path);
        break;
    }
    if (!result.ok)
        return DocumentText::Failure(Failure());
    if (result.text.size() > kMaxDocumentChars)
        return DocumentText::Failure(Failure());
    return result;
}

DocumentText WordConverter::RunAntiword(const QString &path, const ConverterTools &tools)
{
    // -w 0: one line per paragraph instead of text wrapped at 80 columns.
    const ChildProcess::Outcome outcome = ChildProcess::Run(
        tools.antiword, {QStringLiteral("-w"), QStringLiteral("0"), QStringLiteral("-m"), QStringLiteral("UTF-8.txt"), path},
        tools.timeLimit);
    if (!outcome.Succeeded())
        return DocumentText::Failure({});
    return DocumentText::Success(UnframeTableRows(CleanOutput(outcome.output)));
}

DocumentText WordConverter::RunCatdoc(const QString &path, const ConverterTools &tools)
{
    // -w: paragraphs unwrapped; -d utf-8: the output's character set whatever the locale.
    const ChildProcess::Outcome outcome = ChildProcess::Run(
        tools.catdoc, {QStringLiteral("-w"), QStringLiteral("-d"), QStringLiteral("utf-8"), path}, tools.timeLimit);
    if (!outcome.Succeeded())
        return DocumentText::Failure({});
    return DocumentText::Success(CleanOutput(outcome.output));
}

DocumentText WordConverter::RunOffice(const QString &path, const ConverterTools &tools)
{
    if (tools.office.isEmpty())
        return DocumentText::Failure({});
    // A profile of its own: it neither waits for nor disturbs a LibreOffice the user has open.
    QTemporaryDir profile;
    if (!profile.isValid())
        return DocumentText::Failure({});
    const ChildProcess::Outcome outcome = ChildProcess::Run(
        tools.office,
        {QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profile.path()).toString(),
         QStringLiteral("--headless"), QStringLiteral("--norestore"), QStringLiteral("--cat"), path},
        tools.officeTimeLimit, profile.path());
    if (!outcome.Succeeded())
        return DocumentText::Failure({});
    // It exits with 0 even when it could not load the file, printing nothing but its mark.
    const QString text = CleanOutput(outcome.output);
    if (text.isEmpty() || outcome.errors.contains("Error:"))
        return DocumentText::Failure({});
    return DocumentText::Success(text);
}

} // namespace documents
