// SPDX-License-Identifier: GPL-3.0-or-later
#include "skin/ClsSkin.h"

#include "platform/gdi/RasterOp.h"
#include "platform/services/Resources.h"
#include "platform/ui/Form.h"
#include "platform/ui/InputCodes.h"
#include "platform/ui/Messages.h"
#include "platform/ui/MouseCapture.h"
#include "platform/ui/UserControl.h"
#include "skin/HostControls.h"
#include "skin/ReportError.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScopedValueRollback>

namespace skin
{
namespace
{

constexpr long ErrDivisionByZero = 11;
constexpr long ErrTypeMismatch = 13;
constexpr long ErrResourceNotFound = 326;
constexpr int CaptionColourEntry = 101;

} // namespace

const std::array<const char *, ClsSkin::PieceCount> &ClsSkin::PieceNames()
{
    static const std::array<const char *, PieceCount> names = {"BACKGROUND", "TOPLEFT",     "TOPRIGHT",
                                                               "BOTTOMLEFT", "BOTTOMRIGHT", "TOPFORM",
                                                               "BOTTOMFORM", "RIGHTFORM",   "LEFTFORM"};
    return names;
}

ClsSkin::ClsSkin(QObject *parent) : QObject(parent) {}

ClsSkin::~ClsSkin()
{
    if (form_)
        form_->removeEventFilter(this);
}

void ClsSkin::SetTheForm(ui::Form *form)
{
    if (form_ == form)
        return;
    if (form_) {
        form_->removeEventFilter(this);
        disconnect(form_, nullptr, this, nullptr);
    }
    form_ = form;
    buffer_ = QImage();
    if (!form_)
        return;
    // The skin hears every move over the window, not only drags, to show the resize pointers.
    form_->setMouseTracking(true);
    form_->installEventFilter(this);
    connect(form_, &ui::Form::Resize, this, &ClsSkin::TheForm_Resize);
}

// -- loading ---------------------------------------------------------------------------------

void ClsSkin::LoadPiece(Piece piece)
{
    const QString name = QString::fromLatin1(PieceNames()[piece]);
    const QImage image = services::Resources::Bitmap(name);
    if (image.isNull())
        throw Failure(ErrResourceNotFound,
                      QStringLiteral("Resource with identifier '%1' not found").arg(name));
    auto bitmap = std::make_unique<gdi::Bitmap>(image);
    pdcs_[piece].SetStdBitmap(bitmap.get());
    bitmaps_[piece] = std::move(bitmap); // the one it replaced is no longer selected anywhere
}

void ClsSkin::SetFrmPict()
{
    static constexpr std::array<Piece, PieceCount> order = {
        Background, TopLeft, TopRight, BottomLeft, BottomRight, TopForm, BottomForm, RightForm, LeftForm};
    try {
        for (Piece piece : order)
            LoadPiece(piece);
        HideControls(true);
        Succeeded(QStringLiteral("SetFrmPict"));
    } catch (const Failure &failure) {
        Report(QStringLiteral("SetFrmPict"), failure);
    }
    if (form_)
        form_->update();
}

void ClsSkin::SetFrmBackPict()
{
    try {
        LoadPiece(Background);
        HideControls(false);
        Succeeded(QStringLiteral("SetFrmBackPict"));
    } catch (const Failure &failure) {
        Report(QStringLiteral("SetFrmBackPict"), failure);
    }
    if (form_)
        form_->update();
}

// -- flags -----------------------------------------------------------------------------------

void ClsSkin::SetResizeFormAllow(bool allow)
{
    resizeFormAllow_ = allow;
    FormResizeSet(allow);
}

void ClsSkin::SetMinimiseAllow(bool allow)
{
    minimiseAllow_ = allow;
    MinimiseButtonSet(allow);
}

void ClsSkin::SetCloseButtonAllow(bool allow)
{
    closeButtonAllow_ = allow;
    ClosedButtonSet(allow);
}

// -- geometry --------------------------------------------------------------------------------

ClsSkin::Zone ClsSkin::ZoneAt(double x, double y, double w, double h)
{
    const double e = EdgeBand;
    if (y <= e && x > e && x < w - e)
        return {ui::HTTOP, ui::vbSizeNS};
    if (y <= e && x <= e)
        return {ui::HTTOPLEFT, ui::vbSizeNWSE};
    if (y <= e && x >= w - e)
        return {ui::HTTOPRIGHT, ui::vbSizeNESW};
    if (y >= h - e && x <= e)
        return {ui::HTBOTTOMLEFT, ui::vbSizeNESW};
    if (y >= h - e && x >= w - e)
        return {ui::HTBOTTOMRIGHT, ui::vbSizeNWSE};
    if (y > e && x >= w - e)
        return {ui::HTRIGHT, ui::vbSizeWE};
    if (y > e && x <= e)
        return {ui::HTLEFT, ui::vbSizeWE};
    if (y >= h - e && x > e && x < w - e)
        return {ui::HTBOTTOM, ui::vbSizeNS};
    return {ui::HTCLIENT, ui::vbDefault};
}

std::vector<QPoint> ClsSkin::TileOrigins(const QSize &client, const QSize &tile)
{
    std::vector<QPoint> origins;
    if (tile.width() <= 0 || tile.height() <= 0)
        return origins;
    const int columns = client.width() / tile.width();
    const int rows = client.height() / tile.height();
    origins.reserve(std::size_t(columns + 1) * std::size_t(rows + 1));
    for (int i = 0; i <= columns; ++i) {
        for (int j = 0; j <= rows; ++j)
            origins.emplace_back(i * tile.width(), j * tile.height());
    }
    return origins;
}

std::vector<ClsSkin::FrameCopy> ClsSkin::FrameCopies(const QRect &r,
                                                     const std::array<QSize, PieceCount> &sizes)
{
    // Right and bottom are exclusive, as the platform's client rectangle has them.
    const int right = r.x() + r.width();
    const int bottom = r.y() + r.height();
    const int cw = r.width();
    const int ch = r.height();
    auto w = [&](Piece p) { return sizes[p].width(); };
    auto h = [&](Piece p) { return sizes[p].height(); };
    // Edges first, corners over them; later copies cover earlier ones where they overlap.
    return {
        {TopForm, QRect(0, 0, cw, h(TopForm)), true},
        {BottomForm, QRect(0, bottom - h(BottomForm), cw, h(BottomForm)), true},
        {RightForm, QRect(right - w(RightForm), 0, w(RightForm), ch), true},
        {LeftForm, QRect(0, 0, w(LeftForm), ch), true},
        {TopLeft, QRect(0, 0, w(TopLeft), h(TopLeft)), false},
        {TopRight, QRect(right - w(TopRight), 0, w(TopRight), h(TopRight)), false},
        {BottomLeft, QRect(0, bottom - h(BottomLeft), w(BottomLeft), h(BottomLeft)), false},
        {BottomRight, QRect(right - w(BottomRight), bottom - h(BottomRight), w(BottomRight), h(BottomRight)),
         false},
    };
}

// -- painting --------------------------------------------------------------------------------

bool ClsSkin::PaintBorderless() const
{
    return form_ && form_->BorderStyle() == ui::vbBSNone;
}

std::unique_ptr<gdi::Dc> ClsSkin::GetDC(ui::Form *window)
{
    const QSize size = window->size();
    if (buffer_.size() != size) {
        buffer_ = QImage(size, QImage::Format_RGB32);
        buffer_.fill(gdi::ToQColor(window->BackColor()));
    }
    bufferDrawn_ = true;
    return std::make_unique<gdi::Dc>(&buffer_);
}

void ClsSkin::TileBlt(ui::Form *window, const ClsPictureDC *pdc)
{
    if (!pdc || !window)
        return;
    try {
        const QSize tile(pdc->Width(), pdc->Height());
        if (tile.width() == 0 || tile.height() == 0)
            throw Failure(ErrDivisionByZero, QStringLiteral("Division by zero"));
        auto dc = GetDC(window);
        for (const QPoint &origin : TileOrigins(window->size(), tile))
            dc->BitBlt(origin.x(), origin.y(), tile.width(), tile.height(), pdc->hDC(), 0, 0, gdi::SRCCOPY);
        Succeeded(QStringLiteral("TileBlt"));
    } catch (const Failure &failure) {
        Report(QStringLiteral("TileBlt"), failure);
    }
}

void ClsSkin::CopyToFormCorner(ui::Form *window)
{
    if (!window)
        return;
    try {
        std::array<QSize, PieceCount> sizes;
        for (int i = 0; i < PieceCount; ++i)
            sizes[i] = QSize(pdcs_[i].Width(), pdcs_[i].Height());
        auto dc = GetDC(window);
        for (const FrameCopy &copy : FrameCopies(window->rect(), sizes)) {
            const ClsPictureDC &src = pdcs_[copy.piece];
            const QRect &d = copy.destination;
            if (copy.stretch)
                dc->StretchBlt(d.x(), d.y(), d.width(), d.height(), src.hDC(), 0, 0, src.Width(),
                               src.Height(), gdi::SRCCOPY);
            else
                dc->BitBlt(d.x(), d.y(), d.width(), d.height(), src.hDC(), 0, 0, gdi::SRCCOPY);
        }
        Succeeded(QStringLiteral("CopyToFormCorner"));
    } catch (const Failure &failure) {
        Report(QStringLiteral("CopyToFormCorner"), failure);
    }
}

bool ClsSkin::PaintWindow(ui::Form *window)
{
    if (window->BorderStyle() != ui::vbBSNone) {
        // A framed window uses the skin for its background only, once one is loaded.
        if (pdcs_[Background].hDC())
            TileBlt(window, &pdcs_[Background]);
        return false;
    }
    TileBlt(window, &pdcs_[Background]);
    CopyToFormCorner(window);
    return true;
}

void ClsSkin::TheForm_Paint()
{
    ui::Form *window = form_;
    if (!window)
        return;
    try {
        PaintWindow(window);
    } catch (const Failure &failure) {
        Report(QStringLiteral("TheForm_Paint"), failure);
    }
}

void ClsSkin::TheForm_Resize()
{
    ui::Form *window = form_;
    if (!window)
        return;
    try {
        if (PaintWindow(window))
            ResizeControls(window);
    } catch (const Failure &failure) {
        Report(QStringLiteral("TheForm_Resize"), failure);
    }
    window->update();
}

// -- moving and sizing -----------------------------------------------------------------------

void ClsSkin::TheForm_MouseMove(int /*button*/, int /*shift*/, double x, double y)
{
    if (!PaintBorderless() || !resizeFormAllow_)
        return;
    try {
        const Zone zone = ZoneAt(x, y, form_->Width(), form_->Height());
        resizeZone_ = zone.hitTest;
        SetWindowMousePointer(form_, zone.pointer);
    } catch (const Failure &failure) {
        Report(QStringLiteral("TheForm_MouseMove"), failure);
    }
}

void ClsSkin::TheForm_MouseDown(int button, int /*shift*/, double /*x*/, double y)
{
    if (!PaintBorderless() || button != 1)
        return;
    // The title band comes first, whatever edge zone the pointer is in.
    if (y > TitleBandBottom || y < EdgeBand) {
        if (resizeFormAllow_)
            FormResize();
    } else if (moveFormAllow_) {
        FormMove();
    }
}

void ClsSkin::FormResize()
{
    try {
        if (resizeZone_ == ui::HTCLIENT)
            return;
        ui::MouseCapture::ReleaseCapture();
        // Through the form's own non-client path, so its message filters can refuse the size.
        form_->SendMessage(ui::WM_NCLBUTTONDOWN, ui::WPARAM(resizeZone_), 0);
    } catch (const Failure &failure) {
        Report(QStringLiteral("FormResize"), failure);
    }
}

void ClsSkin::FormMove()
{
    ui::MouseCapture::ReleaseCapture();
    form_->SendMessage(ui::WM_NCLBUTTONDOWN, ui::WPARAM(ui::HTCAPTION), 0);
}

// -- caption controls ------------------------------------------------------------------------

void ClsSkin::ResizeControls(ui::Form *window)
{
    // Moving the controls may bring resize events of its own back here.
    if (resizingControls_)
        return;
    const QScopedValueRollback running(resizingControls_, true);
    try {
        if (window->BorderStyle() != ui::vbBSNone)
            return;
        const double w = window->Width();
        for (QWidget *control : HostControls(window)) {
            const QString tag = ControlTag(control);
            if (tag == QLatin1String(TagClose)) {
                SetControlTop(control, CaptionTop);
                SetControlLeft(control, w - ControlWidth(control) - CaptionRightMargin);
            } else if (tag == QLatin1String(TagRestore)) {
                SetControlTop(control, CaptionTop);
                SetControlLeft(control, w - 2 * ControlWidth(control) - CaptionRightMargin);
            } else if (tag == QLatin1String(TagMinimise)) {
                SetControlTop(control, CaptionTop);
                SetControlLeft(control, w - 3 * ControlWidth(control) - CaptionRightMargin);
            } else if (tag == QLatin1String(TagCaption)) {
                control->update();
            } else if (tag == QLatin1String(TagTopLeft)) {
                control->move(0, 0);
            }
        }
        Succeeded(QStringLiteral("ResizeControls"));
    } catch (const Failure &failure) {
        Report(QStringLiteral("ResizeControls"), failure);
    }
}

void ClsSkin::HideControls(bool show)
{
    if (!form_)
        return;
    try {
        for (QWidget *control : HostControls(form_)) {
            const QString tag = ControlTag(control);
            if (tag == QLatin1String(TagClose) || tag == QLatin1String(TagRestore) ||
                tag == QLatin1String(TagMinimise)) {
                SetControlVisible(control, show);
            } else if (tag == QLatin1String(TagCaption)) {
                SetControlVisible(control, show);
                const auto colour = services::Resources::StringAsNumber(CaptionColourEntry);
                if (!colour)
                    throw Failure(ErrTypeMismatch, QStringLiteral("Type mismatch"));
                SetLabelColour(control, unsigned(*colour));
                SetLabelCaption(control, form_->Caption());
            }
        }
        Succeeded(QStringLiteral("HideControls"));
    } catch (const Failure &failure) {
        Report(QStringLiteral("HideControls"), failure);
    }
}

void ClsSkin::EnableTagged(const QString &tag, bool value)
{
    for (QWidget *control : HostControls(form_)) {
        if (ControlTag(control) == tag)
            SetControlEnabled(control, value);
    }
}

void ClsSkin::FormResizeSet(bool value)
{
    try {
        EnableTagged(QLatin1String(TagRestore), value);
    } catch (const Failure &failure) {
        Report(QStringLiteral("FormResizeSet"), failure);
    }
}

void ClsSkin::ClosedButtonSet(bool value)
{
    try {
        EnableTagged(QLatin1String(TagClose), value);
    } catch (const Failure &failure) {
        Report(QStringLiteral("ClosedButtonSet"), failure);
    }
}

void ClsSkin::MinimiseButtonSet(bool value)
{
    try {
        EnableTagged(QLatin1String(TagMinimise), value);
    } catch (const Failure &failure) {
        Report(QStringLiteral("MinimiseButtonSet"), failure);
    }
}

// -- reports ---------------------------------------------------------------------------------

void ClsSkin::Report(const QString &operation, const Failure &failure)
{
    const QString key = QString::number(failure.Number()) + QLatin1Char('\n') + failure.Description();
    auto &last = reported_[operation];
    if (last == key)
        return;
    last = key;
    ReportError(failure, operation, QLatin1String(ModuleName));
    Q_EMIT ErrorReported(operation);
}

void ClsSkin::Succeeded(const QString &operation)
{
    reported_.erase(operation);
}

// -- events of the host window ----------------------------------------------------------------

bool ClsSkin::eventFilter(QObject *watched, QEvent *event)
{
    ui::Form *window = form_;
    if (!window || watched != window)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Paint: {
        bufferDrawn_ = false;
        TheForm_Paint();
        if (bufferDrawn_ && !buffer_.isNull()) {
            QPainter painter(window);
            const QRect area = static_cast<QPaintEvent *>(event)->rect();
            painter.drawImage(area, buffer_, area);
        }
        break;
    }
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        const QPoint p = mouse->position().toPoint();
        // Only presses on the window's own surface, not ones passed up from a child control.
        if (window->childAt(p) || window->ManualDragActive())
            break;
        TheForm_MouseDown(ui::MouseButtonCode(mouse->button()), ui::ShiftCode(mouse->modifiers()),
                          p.x() * window->TwipsPerPixelX(), p.y() * window->TwipsPerPixelY());
        break;
    }
    case QEvent::MouseMove: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        const QPoint p = mouse->position().toPoint();
        // The platform's move/size loop keeps these from the window while it runs.
        if (window->childAt(p) || window->ManualDragActive())
            break;
        TheForm_MouseMove(ui::MouseButtonCode(mouse->buttons()), ui::ShiftCode(mouse->modifiers()),
                          p.x() * window->TwipsPerPixelX(), p.y() * window->TwipsPerPixelY());
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace skin
