// SPDX-License-Identifier: GPL-3.0-or-later
// skingen: draws the skin bitmaps and writes them as Windows bitmap files.
//   skingen OUTDIR               all bitmaps, as OUTDIR/<NAME>.bmp, each read back and checked
//   skingen --gallery OUT.png    every bitmap on one labelled review sheet
//   skingen --preview OUT.png    a mock studio window assembled from the bitmaps

#include "tools/skingen/BmpFile.h"
#include "tools/skingen/SheetRenderer.h"
#include "tools/skingen/SkinTable.h"

#include <QDir>
#include <QGuiApplication>
#include <QSaveFile>

#include <cstdio>
#include <exception>

namespace
{

bool WriteFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        std::fprintf(stderr, "skingen: cannot write %s: %s\n", qPrintable(path),
                     qPrintable(file.errorString()));
        return false;
    }
    return true;
}

// The file must decode to exactly the picture that was encoded.
bool ReadsBack(const skingen::SkinBitmap &entry, const QByteArray &bytes, const QImage &written)
{
    const QImage back = QImage::fromData(bytes, "BMP");
    const int depth = entry.format == skingen::BitmapFormat::Rgb24 ? 32 : 8; // Qt widens 24-bit to 32
    if (back.isNull() || back.size() != entry.size || back.depth() != depth) {
        std::fprintf(stderr, "skingen: %s does not read back as a %dx%d bitmap of depth %d\n",
                     qPrintable(entry.name), entry.size.width(), entry.size.height(), depth);
        return false;
    }
    if (back.convertToFormat(QImage::Format_RGB32) != written.convertToFormat(QImage::Format_RGB32)) {
        std::fprintf(stderr, "skingen: %s reads back with different pixels\n", qPrintable(entry.name));
        return false;
    }
    return true;
}

int WriteBitmaps(const QString &folder)
{
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "skingen: cannot create %s\n", qPrintable(folder));
        return 1;
    }
    for (const auto &entry : skingen::SkinBitmaps()) {
        const QImage image = skingen::RenderSkinBitmap(entry);
        const QByteArray bytes = entry.format == skingen::BitmapFormat::Rgb24
                                     ? skingen::BmpFile::Encode24(image)
                                     : skingen::BmpFile::EncodeRle8(image);
        if (!ReadsBack(entry, bytes, image) ||
            !WriteFile(QDir(folder).filePath(entry.name + ".bmp"), bytes)) {
            return 1;
        }
    }
    return 0;
}

int WriteSheet(const QImage &sheet, const QString &path)
{
    if (sheet.isNull() || !sheet.save(path, "PNG")) {
        std::fprintf(stderr, "skingen: cannot write %s\n", qPrintable(path));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    // Text on the review sheets needs a GUI application; no display is ever opened.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    try {
        if (args.size() == 2 && args[0] == "--gallery") {
            return WriteSheet(skingen::SheetRenderer::Gallery(), args[1]);
        }
        if (args.size() == 2 && args[0] == "--preview") {
            return WriteSheet(skingen::SheetRenderer::Preview(), args[1]);
        }
        if (args.size() == 1 && !args[0].startsWith("--")) {
            return WriteBitmaps(args[0]);
        }
    } catch (const std::exception &e) {
        std::fprintf(stderr, "skingen: %s\n", e.what());
        return 1;
    }
    std::fprintf(stderr, "usage: skingen OUTDIR | --gallery OUT.png | --preview OUT.png\n");
    return 2;
}
