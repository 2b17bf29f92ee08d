// SPDX-License-Identifier: GPL-3.0-or-later
#include "about/About.h"

#include "platform/services/MessageBox.h"

#include <QDesktopServices>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QUrl>

namespace about
{

namespace
{

About::Opener &CurrentOpener()
{
    static About::Opener opener;
    return opener;
}

QColor FromColourRef(std::uint32_t value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

} // namespace

About::About(QWidget *parent)
    : QWidget(parent, Qt::Dialog), shape1_(new QFrame(this)), frame1_(new QFrame(this)),
      image1_(new QLabel(this)), label1_(new QLabel(frame1_)), notice_(new QLabel(frame1_)),
      label4_(new QLabel(this))
{
    setObjectName("About");
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowModality(Qt::NonModal);
    setWindowTitle(QString::fromLatin1(Caption));
    setFixedSize(400, 200);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(0x99, 0x99, 0x99));
    palette.setColor(QPalette::WindowText, QColor(0x40, 0x40, 0x40));
    setPalette(palette);
    setAutoFillBackground(true);

    // Shape1: the plum panel that carries the picture and the web address.
    shape1_->setGeometry(0, 0, 128, 200);
    shape1_->setObjectName("Shape1");
    shape1_->setStyleSheet(QStringLiteral("QFrame#Shape1 { background-color: #9c5750; border: none; }"));

    image1_->setObjectName("Image1");
    image1_->setGeometry(16, 16, 96, 96);
    image1_->setPixmap(QPixmap(QString::fromLatin1(PictureResource)));

    // Frame1: the box around the title and notice.
    frame1_->setObjectName("Frame1");
    frame1_->setFrameStyle(QFrame::Box | QFrame::Sunken);
    frame1_->setGeometry(140, 16, 244, 132);
    label1_->setObjectName("Label1");
    label1_->setText(QString::fromLatin1(Title) + QStringLiteral("\n Version " ORVENA_VERSION));
    QFont titleFont = label1_->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    label1_->setFont(titleFont);
    label1_->setGeometry(8, 8, 228, 48);
    notice_->setText(QString::fromLatin1(Notice));
    notice_->setGeometry(8, 60, 228, 64);
    notice_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    notice_->setWordWrap(true);

    label4_->setObjectName("Label4");
    label4_->setText(QString::fromLatin1(WebAddress));
    label4_->setGeometry(8, 164, 384, 24);
    QPalette linkPalette = label4_->palette();
    linkPalette.setColor(QPalette::WindowText, FromColourRef(WebAddressColour));
    label4_->setPalette(linkPalette);
    QFont linkFont = label4_->font();
    linkFont.setUnderline(true);
    label4_->setFont(linkFont);
    label4_->setCursor(Qt::PointingHandCursor);
    label4_->setFocusPolicy(Qt::StrongFocus);
    label4_->setToolTip(tr("Open the maker's web site"));
    label4_->installEventFilter(this);
    // The address runs across the plum panel onto the grey: keep it readable on both.
    label4_->setAutoFillBackground(true);
    QPalette band = label4_->palette();
    band.setColor(QPalette::Window, QColor(0x6e, 0x3d, 0x38));
    label4_->setPalette(band);
}

void About::SetOpener(Opener opener)
{
    CurrentOpener() = std::move(opener);
}

bool About::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == label4_) {
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton &&
            label4_->rect().contains(static_cast<QMouseEvent *>(event)->position().toPoint())) {
            Label4_Click();
            return true;
        }
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
                Label4_Click();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void About::Label4_Click()
{
    const QUrl address(QString::fromLatin1(WebAddress));
    const bool opened = CurrentOpener() ? CurrentOpener()(address) : QDesktopServices::openUrl(address);
    if (!opened) {
        services::MessageBox::Warn(QString::fromLatin1(NoBrowser).arg(address.toString()),
                                   QString::fromLatin1(Caption).trimmed());
    }
}

void About::Form_Click()
{
    close();
}

void About::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        Form_Click();
    QWidget::mouseReleaseEvent(event);
}

void About::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace about
