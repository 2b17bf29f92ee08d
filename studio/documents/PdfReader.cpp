// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/documents/PdfReader.h"

#include "studio/documents/DocumentFile.h"
#include "studio/documents/DocumentStrings.h"

#include <poppler-qt6.h>

#include <memory>

namespace documents {

namespace {

void QuietPopplerMessage(const QString &, const QVariant &)
{
    // Poppler reports every oddity of a damaged file on standard error; the studio reports the
    // failure itself.
}

} // namespace

bool PdfReader::LooksLikePdf(const QByteArray &head)
{
    // The header may follow a little junk; readers look within the first kilobyte.
    return head.left(1024).contains("%PDF-");
}

DocumentText PdfReader::LoadFile(const QString &path)
{
    const QString failure = QString::fromLatin1(kErrorLoadingPdf);
    // Poppler opens the file by name: a pipe would block it and a device feed it forever.
    if (!IsRegularFile(path))
        return DocumentText::Failure(failure);
    Poppler::setDebugErrorFunction(QuietPopplerMessage, QVariant());
    std::unique_ptr<Poppler::Document> document = Poppler::Document::load(path);
    if (!document || document->isLocked())
        return DocumentText::Failure(failure);
    QString text;
    const int pages = document->numPages();
    for (int i = 0; i < pages; ++i) {
        std::unique_ptr<Poppler::Page> page = document->page(i);
        if (!page)
            continue;
        // The physical layout is poppler's reading order: columns and lines as a reader takes them.
        QString pageText = page->text(QRectF(), Poppler::Page::PhysicalLayout);
        pageText.remove(QChar(u'\0'));
        text.append(pageText);
        if (!text.endsWith(QChar(u'\n')))
            text.append(QChar(u'\n'));
        if (text.size() > kMaxDocumentChars)
            return DocumentText::Failure(QString::fromLatin1(kErrorTooLarge));
    }
    return DocumentText::Success(std::move(text));
}

} // namespace documents
