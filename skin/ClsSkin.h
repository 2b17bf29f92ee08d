// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Dc.h"
#include "platform/ui/Form.h"
#include "skin/ClsPictureDC.h"
#include "skin/Failure.h"

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace skin {

// The window skin: paints a borderless host window from the skin bitmaps (a tiled background and
// a frame of four corners and four edges) and gives it what the missing platform frame would:
// moving by the title band, resizing from the edges with the matching pointers, and the caption
// controls (close / restore / minimise buttons, caption label) kept in place, shown and enabled.
//
// The skin listens to its host through TheForm: paint, resize, mouse down and mouse move of the
// window's own surface (not of its child controls). Moving and sizing go through the form's
// non-client path (WM_NCLBUTTONDOWN), so the host's message filters see the resulting system
// commands and may refuse them.
//
// Lengths of the mouse rules and of the caption-control layout are twips, the host's scale.
class ClsSkin : public QObject {
    Q_OBJECT
public:
    // The nine picture device contexts, in their fixed order.
    enum Piece : int {
        Background = 0,
        TopLeft,
        TopRight,
        BottomLeft,
        BottomRight,
        TopForm,
        BottomForm,
        RightForm,
        LeftForm,
        PieceCount
    };
    // The bitmap of each piece, indexed by Piece.
    static const std::array<const char *, PieceCount> &PieceNames();

    // The program's own strings.
    static constexpr const char *ModuleName = "ClsSkin";
    static constexpr const char *TagClose = "TOPCLOSE";
    static constexpr const char *TagRestore = "RESTORE";
    static constexpr const char *TagMinimise = "MINIMISE";
    static constexpr const char *TagCaption = "LblCaption";
    static constexpr const char *TagTopLeft = "TOPLEFT";

    // Layout constants (twips).
    static constexpr double EdgeBand = 60;          // resize zone thickness
    static constexpr double TitleBandBottom = 250;  // presses with 60 <= Y <= 250 move the window
    static constexpr double CaptionTop = 55;        // top of the caption buttons
    static constexpr double CaptionRightMargin = 90;

    explicit ClsSkin(QObject *parent = nullptr);
    ~ClsSkin() override;

    // Connects the skin to the host window; must come before any other call.
    ui::Form *TheForm() const { return form_.data(); }
    void SetTheForm(ui::Form *form);

    // Loads all nine frame bitmaps and shows the caption controls.
    void SetFrmPict();
    // Loads the background only and hides the caption controls (a host that keeps its frame).
    void SetFrmBackPict();

    bool MoveFormAllow() const { return moveFormAllow_; }
    void SetMoveFormAllow(bool allow) { moveFormAllow_ = allow; }
    // Also the enabled state of the "RESTORE" controls (applied on write).
    bool ResizeFormAllow() const { return resizeFormAllow_; }
    void SetResizeFormAllow(bool allow);
    // The enabled state of the "MINIMISE" controls, applied on write only.
    bool MinimiseAllow() const { return minimiseAllow_; }
    void SetMinimiseAllow(bool allow);
    // The enabled state of the "TOPCLOSE" controls, applied on write only.
    bool CloseButtonAllow() const { return closeButtonAllow_; }
    void SetCloseButtonAllow(bool allow);

    // The hit-test zone chosen by the last qualifying mouse move (0 before any).
    int ResizeZone() const { return resizeZone_; }

    // The picture device context of a piece (empty until loaded).
    const ClsPictureDC &PictureDC(Piece piece) const { return pdcs_[piece]; }

    // -- geometry shared by painting, hit testing and the tests ---------------------------------
    struct Zone {
        int hitTest;       // platform hit-test code
        int pointer;       // standard mouse pointer number
    };
    // The mouse-move table: the zone and pointer for a point (X, Y) of a W x H window, in twips.
    static Zone ZoneAt(double x, double y, double width, double height);

    // Where TileBlt puts its tiles: every origin, columns outer, rows inner, 0..client/tile
    // inclusive (the last column and row may stick out). Empty when a tile side is 0.
    static std::vector<QPoint> TileOrigins(const QSize &client, const QSize &tile);

    // One step of the frame: the piece drawn, the destination, and whether it is stretched.
    struct FrameCopy {
        Piece piece;
        QRect destination;
        bool stretch;
    };
    // The eight copies of the frame in drawing order, for a client rectangle and piece sizes
    // (indexed by Piece; the background entry is not used).
    static std::vector<FrameCopy> FrameCopies(const QRect &client, const std::array<QSize, PieceCount> &sizes);

Q_SIGNALS:
    // A report went out through ReportError (operation name); for the host's diagnostics.
    void ErrorReported(const QString &operation);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Handlers of the host window's events.
    void TheForm_Paint();
    void TheForm_Resize();
    void TheForm_MouseDown(int button, int shift, double x, double y);
    void TheForm_MouseMove(int button, int shift, double x, double y);

    void LoadPiece(Piece piece);
    void TileBlt(ui::Form *window, const ClsPictureDC *pdc);
    void CopyToFormCorner(ui::Form *window);
    // Tiles the background and, on a borderless window, draws the frame; true when it did both.
    bool PaintWindow(ui::Form *window);
    void FormResize();
    void FormMove();
    void ResizeControls(ui::Form *window);
    void HideControls(bool show);
    void FormResizeSet(bool value);
    void ClosedButtonSet(bool value);
    void MinimiseButtonSet(bool value);
    void EnableTagged(const QString &tag, bool value);

    // The window's device context: a surface over the window's back buffer, which the paint
    // event shows once the skin has drawn into it.
    std::unique_ptr<gdi::Dc> GetDC(ui::Form *window);
    bool PaintBorderless() const;

    // Reports a failure of an operation through ReportError, once while it keeps failing the
    // same way (a paint that fails on every expose must not raise a box each time); a success of
    // the operation (Succeeded) arms the report again.
    void Report(const QString &operation, const Failure &failure);
    void Succeeded(const QString &operation);

    QPointer<ui::Form> form_;
    // Bitmaps before their picture device contexts: the contexts let go of them first.
    std::array<std::unique_ptr<gdi::Bitmap>, PieceCount> bitmaps_;
    std::array<ClsPictureDC, PieceCount> pdcs_;

    bool moveFormAllow_ = true;
    bool resizeFormAllow_ = true;
    bool minimiseAllow_ = false;
    bool closeButtonAllow_ = false;
    int resizeZone_ = 0;
    bool resizingControls_ = false;

    QImage buffer_;          // the window's pixels as the skin drew them
    bool bufferDrawn_ = false;
    std::map<QString, QString> reported_;   // operation -> failure already reported
};

} // namespace skin
