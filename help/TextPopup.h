// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QFrame>

#include <cstdint>
#include <optional>

class QLabel;

namespace help
{

struct HelpPopup;

// A small window with plain text, shown at a point and gone at the next click or key, as
// context help has always looked.
class TextPopup : public QFrame
{
    Q_OBJECT
  public:
    explicit TextPopup(QWidget *parent = nullptr);

    // Shows `text` with the record's colours, margins, font and position.
    void ShowText(const QString &text, const HelpPopup &popup);
    QString Text() const;

    // "Arial, 10, ascii, Bold Italic Underline" → a font; missing parts take Arial and 10 points.
    static QFont ParseFont(const QString &fontText);
    // The text of ".topic <id>" in a popup text file, up to the next ".topic".
    static std::optional<QString> FindTopic(const QString &fileText, std::uint32_t id);

  private:
    QLabel *label_;
};

} // namespace help
