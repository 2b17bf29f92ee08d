// SPDX-License-Identifier: GPL-3.0-or-later
#include "help/TextPopup.h"

#include "help/HelpViewer.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace help
{

namespace
{

QColor FromColourRef(std::int64_t value)
{
    const auto v = std::uint32_t(value);
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

} // namespace

TextPopup::TextPopup(QWidget *parent) : QFrame(parent, Qt::Popup), label_(new QLabel(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setObjectName("helpTextPopup");
    label_->setWordWrap(true);
    label_->setTextFormat(Qt::PlainText);
    label_->setMaximumWidth(420);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label_);
}

QString TextPopup::Text() const
{
    return label_->text();
}

void TextPopup::ShowText(const QString &text, const HelpPopup &popup)
{
    label_->setText(text);
    label_->setFont(ParseFont(popup.font));
    QPalette palette = this->palette();
    const QColor fore =
        popup.clrForeground < 0 ? palette.color(QPalette::ToolTipText) : FromColourRef(popup.clrForeground);
    const QColor back =
        popup.clrBackground < 0 ? palette.color(QPalette::ToolTipBase) : FromColourRef(popup.clrBackground);
    palette.setColor(QPalette::Window, back);
    palette.setColor(QPalette::WindowText, fore);
    setPalette(palette);
    label_->setPalette(palette);
    setAutoFillBackground(true);
    const auto margin = [](int m) { return m < 0 ? 8 : m; };
    label_->setContentsMargins(margin(popup.margins.left()), margin(popup.margins.top()),
                               margin(popup.margins.right()), margin(popup.margins.bottom()));
    adjustSize();

    // Keep the popup on the screen that holds the point.
    QPoint at = popup.pt;
    if (const QScreen *screen = QGuiApplication::screenAt(at)) {
        const QRect area = screen->availableGeometry();
        at.setX(std::max(area.left(), std::min(at.x(), area.right() - width())));
        at.setY(std::max(area.top(), std::min(at.y(), area.bottom() - height())));
    }
    move(at);
    show();
}

QFont TextPopup::ParseFont(const QString &fontText)
{
    const QStringList parts = fontText.split(',');
    QString face = parts.value(0).trimmed();
    if (face.isEmpty())
        face = QStringLiteral("Arial");
    bool ok = false;
    double points = parts.value(1).trimmed().toDouble(&ok);
    if (!ok || points <= 0 || points > 200)
        points = 10;
    QFont font(face);
    font.setPointSizeF(points);
    const QString styles = parts.mid(3).join(' ');
    font.setBold(styles.contains("Bold", Qt::CaseInsensitive));
    font.setItalic(styles.contains("Italic", Qt::CaseInsensitive));
    font.setUnderline(styles.contains("Underline", Qt::CaseInsensitive));
    return font;
}

std::optional<QString> TextPopup::FindTopic(const QString &fileText, std::uint32_t id)
{
    QStringList collected;
    bool inTopic = false;
    bool found = false;
    for (const QString &line : fileText.split('\n')) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(".topic", Qt::CaseInsensitive)) {
            if (found)
                break;
            bool ok = false;
            const auto number = trimmed.mid(6).trimmed().toUInt(&ok, 0);
            inTopic = ok && number == id;
            found = inTopic;
            continue;
        }
        if (inTopic)
            collected.append(line.endsWith('\r') ? line.chopped(1) : line);
    }
    if (!found)
        return std::nullopt;
    return collected.join('\n').trimmed();
}

} // namespace help
