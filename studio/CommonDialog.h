// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdint>

class QWidget;

namespace studio
{

// The save, colour and font dialogs with the values they keep between calls. Each Show* returns
// when the dialog closes; a cancelled dialog leaves every value as it was. The dialogs come from
// the current DialogProvider.
class CommonDialog
{
  public:
    explicit CommonDialog(QWidget *owner = nullptr) : owner_(owner) {}

    std::uint32_t Color() const { return color_; }
    void SetColor(std::uint32_t colour) { color_ = colour; }

    QString FontName() const { return fontName_; }
    void SetFontName(const QString &name) { fontName_ = name; }
    double FontSize() const { return fontSize_; }
    void SetFontSize(double points) { fontSize_ = points; }
    bool FontBold() const { return fontBold_; }
    void SetFontBold(bool bold) { fontBold_ = bold; }
    bool FontItalic() const { return fontItalic_; }
    void SetFontItalic(bool italic) { fontItalic_ = italic; }
    bool FontUnderline() const { return fontUnderline_; }
    void SetFontUnderline(bool underline) { fontUnderline_ = underline; }
    bool FontStrikethru() const { return fontStrikethru_; }
    void SetFontStrikethru(bool strikethrough) { fontStrikethru_ = strikethrough; }

    int Flags() const { return flags_; }
    void SetFlags(int flags) { flags_ = flags; }

    // "Wav Files (*.wav)|*.wav"
    QString Filter() const { return filter_; }
    void SetFilter(const QString &filter) { filter_ = filter; }
    QString FileName() const { return fileName_; }
    void SetFileName(const QString &name) { fileName_ = name; }

    // Each returns true when the user confirmed the dialog.
    bool ShowSave();
    bool ShowColor();
    bool ShowFont();

  private:
    QWidget *owner_;
    std::uint32_t color_ = 0;
    QString fontName_;
    double fontSize_ = 8.25;
    bool fontBold_ = false;
    bool fontItalic_ = false;
    bool fontUnderline_ = false;
    bool fontStrikethru_ = false;
    int flags_ = 0;
    QString filter_;
    QString fileName_;
    int filterIndex_ = 0;
};

} // namespace studio
