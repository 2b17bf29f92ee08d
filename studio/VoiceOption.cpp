// SPDX-License-Identifier: GPL-3.0-or-later
#include "studio/VoiceOption.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace studio
{

void VoiceOption::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    const QRect indicator = style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, this);
    option.rect = indicator;
    painter.drawPrimitive(QStyle::PE_IndicatorRadioButton, option);
    const QRect textBox(indicator.right() + 3, 0, width() - indicator.right() - 3, height());
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(textBox, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, caption);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect =
            painter.boundingRect(textBox, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, caption);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

} // namespace studio
