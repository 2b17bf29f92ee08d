// SPDX-License-Identifier: GPL-3.0-or-later
// aboutpicture OUTPUT.gif: draws the About window's product picture and writes it as a GIF.
#include "AboutPicture.h"
#include "GifWriter.h"

#include <QFile>
#include <QString>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: aboutpicture OUTPUT.gif\n");
        return 2;
    }
    const auto gif = tools::GifWriter::Encode(tools::AboutPicture::Draw());
    if (!gif) {
        std::fprintf(stderr, "aboutpicture: the picture has more colours than a GIF holds\n");
        return 1;
    }
    QFile out(QString::fromLocal8Bit(argv[1]));
    if (!out.open(QIODevice::WriteOnly) || out.write(*gif) != gif->size()) {
        std::fprintf(stderr, "aboutpicture: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
