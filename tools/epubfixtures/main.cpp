// SPDX-License-Identifier: GPL-3.0-or-later
// make-epub-fixtures OUTDIR: writes the EPUB books of the importer's tests.
//
//   spine-order.epub       EPUB 3 with a navigation document; the spine's order differs from the
//                          order of the files in the zip and of their names, a cover page holds
//                          no text, a chapter's name needs percent-decoding, scripts and styles
//                          hold text that must not be read
//   ncx.epub               EPUB 2: the package document at the top, titles from the NCX, an
//                          XHTML 1.1 doctype with named entities
//   broken-container.epub  container.xml names a package document that is not there
//   no-container.epub      a zip without META-INF/container.xml
//   missing-chapter.epub   the spine names a document the zip does not hold
//   not-a-zip.epub         text with the extension of a book
//   chapters.txt           plain text with lines that start chapters
#include <QByteArray>
#include <QDir>
#include <QFile>

#include <zip.h>

#include <cstdio>
#include <utility>
#include <vector>

namespace {

using Parts = std::vector<std::pair<const char *, QByteArray>>;

bool WriteZip(const QString &path, const Parts &parts)
{
    QFile::remove(path);
    int error = 0;
    zip_t *archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        return false;
    for (const auto &[name, bytes] : parts) {
        zip_source_t *source = zip_source_buffer(archive, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        const zip_int64_t index = source ? zip_file_add(archive, name, source, ZIP_FL_OVERWRITE) : -1;
        if (index < 0) {
            zip_source_free(source);
            zip_discard(archive);
            return false;
        }
        // Readers expect the mimetype first and stored, as the format asks.
        if (QByteArray(name) == "mimetype")
            zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_STORE, 0);
    }
    return zip_close(archive) == 0;
}

const QByteArray kMimetype = "application/epub+zip";

QByteArray Container(const char *packagePath)
{
    return QByteArray("<?xml version=\"1.0\"?>\n"
                      "<container version=\"1.0\" xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\">\n"
                      "  <rootfiles><rootfile full-path=\"") +
           packagePath + "\" media-type=\"application/oebps-package+xml\"/></rootfiles>\n</container>\n";
}

QByteArray Xhtml(const QByteArray &title, const QByteArray &body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<html xmlns=\"http://www.w3.org/1999/xhtml\" xmlns:epub=\"http://www.idpf.org/2007/ops\">\n"
           "<head><title>" + title + "</title><style>p { color: red; } /* STYLE TEXT */</style>"
           "<script>var hidden = 'SCRIPT TEXT';</script></head>\n<body>" + body + "</body></html>\n";
}

Parts SpineOrderBook()
{
    const QByteArray opf =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<package xmlns=\"http://www.idpf.org/2007/opf\" version=\"3.0\" unique-identifier=\"id\">\n"
        "  <metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n"
        "    <dc:identifier id=\"id\">orvena-spine-order</dc:identifier><dc:title>The Order of Things</dc:title>\n"
        "    <dc:language>en</dc:language>\n"
        "  </metadata>\n"
        "  <manifest>\n"
        "    <item id=\"z-last\" href=\"text/a-epilogue.xhtml\" media-type=\"application/xhtml+xml\"/>\n"
        "    <item id=\"nav\" href=\"nav.xhtml\" media-type=\"application/xhtml+xml\" properties=\"nav\"/>\n"
        "    <item id=\"second\" href=\"text/b-middle.xhtml\" media-type=\"application/xhtml+xml\"/>\n"
        "    <item id=\"first\" href=\"text/c%20opening.xhtml\" media-type=\"application/xhtml+xml\"/>\n"
        "    <item id=\"cover\" href=\"text/z-cover.xhtml\" media-type=\"application/xhtml+xml\"/>\n"
        "  </manifest>\n"
        "  <spine><itemref idref=\"cover\"/><itemref idref=\"first\"/><itemref idref=\"second\"/>"
        "<itemref idref=\"z-last\"/></spine>\n"
        "</package>\n";
    const QByteArray nav = Xhtml("Contents",
                                 "<nav epub:type=\"toc\"><h1>Contents</h1><ol>"
                                 "<li><a href=\"text/c%20opening.xhtml\">Chapter 1: The <em>Opening</em></a></li>"
                                 "<li><a href=\"text/b-middle.xhtml#start\">Chapter 2: The Middle</a>"
                                 "<ol><li><a href=\"text/b-middle.xhtml#later\">A later part</a></li></ol></li>"
                                 "<li><a href=\"text/a-epilogue.xhtml\">Epilogue</a></li></ol></nav>"
                                 "<nav epub:type=\"landmarks\"><ol><li><a href=\"text/z-cover.xhtml\">Cover</a></li></ol></nav>");
    // Listed in the zip neither in reading order nor by name.
    return {
        {"mimetype", kMimetype},
        {"META-INF/container.xml", Container("OEBPS/content.opf")},
        {"OEBPS/text/a-epilogue.xhtml", Xhtml("Epilogue", "<h1>Epilogue</h1><p>And so it ended.</p>")},
        {"OEBPS/content.opf", opf},
        {"OEBPS/text/b-middle.xhtml",
         Xhtml("Middle", "<h1 id=\"start\">The Middle</h1><p>Then came the middle.</p><p id=\"later\">Much later.</p>")},
        {"OEBPS/nav.xhtml", nav},
        {"OEBPS/text/z-cover.xhtml", Xhtml("Cover", "<div><img src=\"cover.png\" alt=\"\"/></div>")},
        {"OEBPS/text/c opening.xhtml",
         Xhtml("Opening", "<h1>The Opening</h1><p>It began on a Monday.</p>")},
    };
}

Parts NcxBook()
{
    const QByteArray opf =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<package xmlns=\"http://www.idpf.org/2007/opf\" version=\"2.0\" unique-identifier=\"id\">\n"
        "  <metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:title>Two Chapters</dc:title>"
        "<dc:identifier id=\"id\">orvena-ncx</dc:identifier></metadata>\n"
        "  <manifest>\n"
        "    <item id=\"ncx\" href=\"toc.ncx\" media-type=\"application/x-dtbncx+xml\"/>\n"
        "    <item id=\"c2\" href=\"two.html\" media-type=\"application/xhtml+xml\"/>\n"
        "    <item id=\"c1\" href=\"one.html\" media-type=\"application/xhtml+xml\"/>\n"
        "  </manifest>\n"
        "  <spine toc=\"ncx\"><itemref idref=\"c1\"/><itemref idref=\"c2\"/></spine>\n"
        "</package>\n";
    const QByteArray ncx =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<ncx xmlns=\"http://www.daisy.org/z3986/2005/ncx/\" version=\"2005-1\"><head/>"
        "<docTitle><text>Two Chapters</text></docTitle><navMap>"
        "<navPoint id=\"p1\" playOrder=\"1\"><navLabel><text>I. Morning</text></navLabel><content src=\"one.html\"/></navPoint>"
        "<navPoint id=\"p2\" playOrder=\"2\"><navLabel><text>II. Evening</text></navLabel><content src=\"two.html#top\"/></navPoint>"
        "</navMap></ncx>\n";
    auto page = [](const QByteArray &body) {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.1//EN\" \"http://www.w3.org/TR/xhtml11/DTD/xhtml11.dtd\">\n"
               "<html xmlns=\"http://www.w3.org/1999/xhtml\"><head><title>t</title></head><body>" + body +
               "</body></html>\n";
    };
    return {
        {"mimetype", kMimetype},
        {"META-INF/container.xml", Container("content.opf")},
        {"content.opf", opf},
        {"toc.ncx", ncx},
        {"two.html", page("<h2 id=\"top\">Evening</h2><p>The sun went down&nbsp;slowly.</p>")},
        {"one.html", page("<h2>Morning</h2><p>Caf&eacute; first, then work.</p>")},
    };
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-epub-fixtures OUTDIR\n");
        return 2;
    }
    const QString out = QFile::decodeName(argv[1]);
    if (!QDir().mkpath(out)) {
        std::fprintf(stderr, "make-epub-fixtures: cannot create %s\n", argv[1]);
        return 1;
    }
    const Parts good = SpineOrderBook();
    Parts missingChapter = good;
    std::erase_if(missingChapter, [](const auto &part) { return QByteArray(part.first) == "OEBPS/text/b-middle.xhtml"; });
    Parts brokenContainer = good;
    for (auto &part : brokenContainer) {
        if (QByteArray(part.first) == "META-INF/container.xml")
            part.second = Container("OEBPS/missing.opf");
    }
    Parts noContainer = good;
    std::erase_if(noContainer, [](const auto &part) { return QByteArray(part.first) == "META-INF/container.xml"; });

    bool ok = WriteZip(out + QStringLiteral("/spine-order.epub"), good) &&
              WriteZip(out + QStringLiteral("/ncx.epub"), NcxBook()) &&
              WriteZip(out + QStringLiteral("/broken-container.epub"), brokenContainer) &&
              WriteZip(out + QStringLiteral("/no-container.epub"), noContainer) &&
              WriteZip(out + QStringLiteral("/missing-chapter.epub"), missingChapter);
    for (const auto &[name, bytes] :
         {std::pair{"/not-a-zip.epub", QByteArray("This is not a book, only text with a book's name.\n")},
          std::pair{"/chapters.txt",
                    QByteArray("A Short Book\n\nChapter 1\nThe first words. More of them.\n\n"
                               "Chapter 2: Later\nThe second part. A chapter of its own.\n\n"
                               "This line mentions Chapter 3 but does not start one.\n"
                               "Chapter Three\nThe end.\n")}}) {
        QFile file(out + QLatin1String(name));
        ok = ok && file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
    }
    if (!ok) {
        std::fprintf(stderr, "make-epub-fixtures: writing into %s failed\n", argv[1]);
        return 1;
    }
    return 0;
}
