// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include <cstdint>
#include <functional>

class QFrame;
class QLabel;
class QUrl;

namespace about
{

// The About window: product title and version, the product picture, and the maker's web
// address, which opens in the desktop's browser when clicked. It is shown without being modal;
// a click anywhere else on it (or Esc) closes it, and closing deletes it, so the studio creates
// it again on the next use.
class About : public QWidget
{
    Q_OBJECT
  public:
    static constexpr const char *Caption = "  About Orvena STUDIO 4.0";
    static constexpr const char *Title = " Orvena STUDIO 4.0";
    static constexpr const char *Notice = " Text-to-speech studio.\n"
                                          " Free software under the GNU GPL,\n"
                                          " version 3 or later.";
    static constexpr const char *WebAddress = "https://orvena.example.org/";
    static constexpr std::uint32_t WebAddressColour = 0xC0FFFF; // 0x00BBGGRR: light yellow
    static constexpr const char *PictureResource = ":/about/orvena.gif";
    static constexpr const char *NoBrowser = "No web browser could be started to open %1.";

    explicit About(QWidget *parent = nullptr);

    QLabel *Label1() const { return label1_; }
    QLabel *Label4() const { return label4_; }
    QLabel *Image1() const { return image1_; }

    // Opens a web address in a visible browser; the desktop's unless a test replaced it.
    using Opener = std::function<bool(const QUrl &)>;
    static void SetOpener(Opener opener);

    void Label4_Click();
    void Form_Click();

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

  private:
    QFrame *shape1_;
    QFrame *frame1_;
    QLabel *image1_;
    QLabel *label1_;
    QLabel *notice_;
    QLabel *label4_;
};

} // namespace about
