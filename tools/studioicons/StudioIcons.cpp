// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the studio's icons as PNG files into the folder given on the command line:
//   studioicons OUTPUT_FOLDER
// The speech buttons' icons are drawn on the button's see-through colour (pure red, or white for
// RECORD); the tool bar, menu and program icons have an alpha channel.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cstdio>
#include <functional>

namespace
{

using Draw = std::function<void(QPainter &, double)>;

const QColor Ink(48, 52, 60);
const QColor Accent(236, 176, 96); // the display's amber
const QColor Teal(70, 120, 160);

QImage Render(int size, const QColor &background, const Draw &draw)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(background);
    QPainter p(&image);
    // The see-through colour must stay exact at the edges: no smoothing on keyed icons.
    p.setRenderHint(QPainter::Antialiasing, background.alpha() == 0);
    p.scale(size / 16.0, size / 16.0);
    draw(p, size / 16.0);
    return image;
}

void Pen(QPainter &p, const QColor &c, double w)
{
    p.setPen(QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

void Speaker(QPainter &p, double)
{
    p.setBrush(Ink);
    Pen(p, Ink, 0.6);
    QPainterPath body;
    body.moveTo(2, 6);
    body.lineTo(5, 6);
    body.lineTo(9, 2.5);
    body.lineTo(9, 13.5);
    body.lineTo(5, 10);
    body.lineTo(2, 10);
    body.closeSubpath();
    p.drawPath(body);
    p.setBrush(Qt::NoBrush);
    Pen(p, QColor(0, 90, 40), 1.1);
    p.drawArc(QRectF(8, 5, 4, 6), -60 * 16, 120 * 16);
    p.drawArc(QRectF(8, 3, 6.5, 10), -60 * 16, 120 * 16);
}

void PauseBars(QPainter &p, double)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Ink);
    p.drawRect(QRectF(4, 3, 3, 10));
    p.drawRect(QRectF(9, 3, 3, 10));
}

void StopSquare(QPainter &p, double)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Ink);
    p.drawRect(QRectF(3.5, 3.5, 9, 9));
}

void Eraser(QPainter &p, double)
{
    Pen(p, Ink, 0.8);
    p.setBrush(QColor(240, 240, 240));
    QPainterPath path;
    path.moveTo(2, 10);
    path.lineTo(8, 4);
    path.lineTo(13, 9);
    path.lineTo(9, 13);
    path.lineTo(5, 13);
    path.closeSubpath();
    p.drawPath(path);
    p.setBrush(QColor(90, 110, 200));
    QPainterPath tip;
    tip.moveTo(8, 4);
    tip.lineTo(13, 9);
    tip.lineTo(10.5, 11.5);
    tip.lineTo(5.5, 6.5);
    tip.closeSubpath();
    p.drawPath(tip);
}

void RecordDot(QPainter &p, double)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 24, 24));
    p.drawEllipse(QRectF(3, 3, 10, 10));
}

void WaveFile(QPainter &p, double)
{
    Pen(p, Ink, 0.8);
    p.setBrush(QColor(250, 250, 250));
    QPainterPath page;
    page.moveTo(3, 1.5);
    page.lineTo(10, 1.5);
    page.lineTo(13, 4.5);
    page.lineTo(13, 14.5);
    page.lineTo(3, 14.5);
    page.closeSubpath();
    p.drawPath(page);
    Pen(p, QColor(0, 90, 40), 0.9);
    QPainterPath wave;
    wave.moveTo(4.5, 9);
    const double ys[] = {9, 6, 12, 7, 11, 8, 10, 9};
    for (int i = 0; i < 8; ++i)
        wave.lineTo(4.5 + i, ys[i]);
    p.setBrush(Qt::NoBrush);
    p.drawPath(wave);
}

void Folder(QPainter &p, double)
{
    Pen(p, QColor(120, 80, 10), 0.8);
    p.setBrush(QColor(250, 200, 80));
    QPainterPath path;
    path.moveTo(1.5, 3.5);
    path.lineTo(6, 3.5);
    path.lineTo(7.5, 5);
    path.lineTo(14.5, 5);
    path.lineTo(14.5, 13.5);
    path.lineTo(1.5, 13.5);
    path.closeSubpath();
    p.drawPath(path);
    p.setBrush(QColor(255, 225, 130));
    QPainterPath front;
    front.moveTo(1.5, 13.5);
    front.lineTo(3.5, 7);
    front.lineTo(15.5, 7);
    front.lineTo(14.5, 13.5);
    front.closeSubpath();
    p.drawPath(front);
}

void SelectAll(QPainter &p, double)
{
    p.setBrush(QColor(170, 200, 240));
    p.setPen(QPen(Ink, 0.9, Qt::DashLine));
    p.drawRect(QRectF(2, 2, 12, 12));
    Pen(p, Ink, 1);
    for (double y : {5.0, 8.0, 11.0})
        p.drawLine(QPointF(4.5, y), QPointF(11.5, y));
}

void Scissors(QPainter &p, double)
{
    Pen(p, Ink, 1);
    p.drawLine(QPointF(4, 1.5), QPointF(10.5, 10));
    p.drawLine(QPointF(12, 1.5), QPointF(5.5, 10));
    p.setBrush(Qt::NoBrush);
    Pen(p, QColor(190, 30, 30), 1.2);
    p.drawEllipse(QRectF(2, 10, 4, 4));
    p.drawEllipse(QRectF(10, 10, 4, 4));
}

void Page(QPainter &p, double x, double y)
{
    Pen(p, Ink, 0.8);
    p.setBrush(QColor(250, 250, 250));
    p.drawRect(QRectF(x, y, 8, 10));
    Pen(p, QColor(120, 130, 150), 0.7);
    for (double ly = y + 2.5; ly < y + 9; ly += 2)
        p.drawLine(QPointF(x + 1.5, ly), QPointF(x + 6.5, ly));
}

void CopyPages(QPainter &p, double)
{
    Page(p, 2, 1.5);
    Page(p, 6, 4.5);
}

void Clipboard(QPainter &p, double)
{
    Pen(p, QColor(110, 70, 20), 0.8);
    p.setBrush(QColor(200, 150, 80));
    p.drawRoundedRect(QRectF(2.5, 2.5, 11, 12.5), 1, 1);
    p.setBrush(QColor(250, 250, 250));
    p.drawRect(QRectF(4, 4.5, 8, 9));
    p.setBrush(QColor(150, 150, 160));
    p.drawRoundedRect(QRectF(5.5, 1, 5, 3), 1, 1);
}

void Paste(QPainter &p, double s)
{
    Clipboard(p, s);
    Page(p, 7, 5.5);
}

void Cross(QPainter &p, double)
{
    Pen(p, QColor(200, 30, 30), 2.2);
    p.drawLine(QPointF(4, 4), QPointF(12, 12));
    p.drawLine(QPointF(12, 4), QPointF(4, 12));
}

void ClearClipboard(QPainter &p, double s)
{
    Clipboard(p, s);
    Pen(p, QColor(200, 30, 30), 1.6);
    p.drawLine(QPointF(6, 7), QPointF(11, 12));
    p.drawLine(QPointF(11, 7), QPointF(6, 12));
}

void ForeColour(QPainter &p, double)
{
    Pen(p, Ink, 1.6);
    p.drawLine(QPointF(3.5, 11), QPointF(8, 1.5));
    p.drawLine(QPointF(8, 1.5), QPointF(12.5, 11));
    p.drawLine(QPointF(5.5, 7.5), QPointF(10.5, 7.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(210, 30, 30));
    p.drawRect(QRectF(1.5, 12.5, 13, 3));
}

void BackColour(QPainter &p, double)
{
    Pen(p, Ink, 0.8);
    p.setBrush(QColor(250, 250, 250));
    QPainterPath bucket;
    bucket.moveTo(2, 7);
    bucket.lineTo(7, 2);
    bucket.lineTo(12, 7);
    bucket.lineTo(7, 12);
    bucket.closeSubpath();
    p.drawPath(bucket);
    p.setBrush(QColor(40, 90, 200));
    p.drawEllipse(QRectF(11.5, 9, 3.5, 5));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(1.5, 13.5, 9, 2));
}

void ExitDoor(QPainter &p, double)
{
    Pen(p, Ink, 0.8);
    p.setBrush(QColor(170, 110, 60));
    p.drawRect(QRectF(2, 1.5, 7, 13));
    Pen(p, QColor(200, 30, 30), 1.6);
    p.drawLine(QPointF(7, 8), QPointF(14.5, 8));
    p.drawLine(QPointF(11.5, 5), QPointF(14.5, 8));
    p.drawLine(QPointF(11.5, 11), QPointF(14.5, 8));
}

void Badge(QPainter &p, const QColor &fill, const QString &glyph)
{
    Pen(p, fill.darker(140), 0.8);
    p.setBrush(fill);
    p.drawEllipse(QRectF(1, 1, 14, 14));
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setBold(true);
    font.setPixelSize(11);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(1, 1, 14, 14), Qt::AlignCenter, glyph);
}

void HelpBadge(QPainter &p, double)
{
    Badge(p, QColor(40, 110, 200), QStringLiteral("?"));
}

void AboutBadge(QPainter &p, double)
{
    Badge(p, QColor(40, 150, 90), QStringLiteral("i"));
}

void Program(QPainter &p, double)
{
    QLinearGradient face(0, 0, 0, 16);
    face.setColorAt(0, QColor(92, 104, 160));
    face.setColorAt(1, QColor(40, 46, 90));
    p.setPen(QPen(QColor(20, 22, 40), 0.4));
    p.setBrush(face);
    p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
    // Level bars in the display's colours.
    p.setPen(Qt::NoPen);
    const double heights[] = {4, 7, 10, 6, 8};
    for (int i = 0; i < 5; ++i) {
        const double v = (i + 5) * 10.2 * 2.2;
        p.setBrush(QColor(std::min(255, int(v)), std::min(255, int(v + 50)), std::min(255, int(v + 50))));
        p.drawRect(QRectF(2.2 + i * 2.4, 13 - heights[i], 1.8, heights[i]));
    }
    p.setBrush(Qt::NoBrush);
    Pen(p, Accent, 1);
    p.drawArc(QRectF(9, 2, 6, 6), -60 * 16, 120 * 16);
    Pen(p, QColor(255, 255, 192), 0.9);
    p.drawEllipse(QRectF(3, 2.2, 4.5, 4.5));
}

bool Save(const QImage &image, const QString &path)
{
    if (image.save(path, "PNG"))
        return true;
    std::fprintf(stderr, "studioicons: cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: studioicons OUTPUT_FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "studioicons: cannot create %s\n", argv[1]);
        return 1;
    }
    const QColor red(255, 0, 0);       // see-through colour 0x0000FF of the speech buttons
    const QColor white(255, 255, 255); // RECORD's see-through colour
    const QColor clear(0, 0, 0, 0);
    struct Icon {
        const char *name;
        int size;
        QColor background;
        Draw draw;
    };
    const Icon icons[] = {
        {"speak.png", 20, red, Speaker},
        {"pause.png", 16, red, PauseBars},
        {"stop.png", 16, red, StopSquare},
        {"clear.png", 16, red, Eraser},
        {"record.png", 16, white, RecordDot},
        {"filename.png", 16, red, WaveFile},
        {"open.png", 16, clear, Folder},
        {"all.png", 16, clear, SelectAll},
        {"cut.png", 16, clear, Scissors},
        {"copy.png", 16, clear, CopyPages},
        {"paste.png", 16, clear, Paste},
        {"delete.png", 16, clear, Cross},
        {"clearclip.png", 16, clear, ClearClipboard},
        {"forecolor.png", 16, clear, ForeColour},
        {"backcolor.png", 16, clear, BackColour},
        {"exit.png", 16, clear, ExitDoor},
        {"help.png", 16, clear, HelpBadge},
        {"about.png", 16, clear, AboutBadge},
        {"orvena-studio.png", 32, clear, Program},
        {"orvena-studio-128.png", 128, clear, Program},
        {"orvena-studio-256.png", 256, clear, Program},
    };
    bool ok = true;
    for (const Icon &icon : icons)
        ok = Save(Render(icon.size, icon.background, icon.draw),
                  folder + QLatin1Char('/') + QLatin1String(icon.name)) &&
             ok;
    return ok ? 0 : 1;
}
