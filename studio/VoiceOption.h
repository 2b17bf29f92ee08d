// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRadioButton>

namespace studio
{

// An option button whose caption wraps onto further lines when it is wider than the button, as
// the voice buttons' two-word captions do in their narrow places.
class VoiceOption : public QRadioButton
{
    Q_OBJECT
  public:
    using QRadioButton::QRadioButton;

  protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace studio
