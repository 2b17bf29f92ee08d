// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ui/Form.h"

#include "platform/gdi/Colour.h"
#include "platform/ui/Twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWindow>

#include <algorithm>

namespace ui
{

// Watches the application's mouse events for the form. It remembers where the last press on
// the form (or any of its widgets) was, the point a move or size started without coordinates
// anchors to. While the form follows the mouse itself, it takes every widget's mouse events first:
// the press that started the drag may have been on a child, which keeps receiving the mouse where
// the window system cannot grab it for the form. Like the old modal move loop, it keeps them all.
class Form::DragTracker : public QObject
{
  public:
    explicit DragTracker(Form *form) : form_(form) {}

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // Window-level delivery stays untouched so Qt's own press/release bookkeeping runs.
        if (!watched->isWidgetType())
            return false;
        if (event->type() == QEvent::MouseButtonPress && !form_->drag_.active) {
            auto *widget = static_cast<QWidget *>(watched);
            if (widget == form_ || form_->isAncestorOf(widget))
                form_->lastPress_ = static_cast<QMouseEvent *>(event)->globalPosition().toPoint();
            return false;
        }
        return form_->drag_.active && form_->TrackDrag(event);
    }

  private:
    Form *form_;
};

Form::Form(QWidget *parent) : QWidget(parent, Qt::Window), tracker_(std::make_unique<DragTracker>(this))
{
    SetBackColor(backColor_);
    qApp->installEventFilter(tracker_.get());
}

Form::~Form()
{
    EndDrag();
    qApp->removeEventFilter(tracker_.get());
    SendMessage(WM_NCDESTROY, 0, 0);
}

void Form::ApplyFlags()
{
    const bool wasVisible = isVisible();
    Qt::WindowFlags flags;
    switch (borderStyle_) {
    case vbBSNone:
        flags = Qt::Window | Qt::FramelessWindowHint;
        break;
    case vbFixedSingle:
        flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;
        break;
    case vbFixedDialog:
        flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
        break;
    case vbFixedToolWindow:
    case vbSizableToolWindow:
        flags = Qt::Tool;
        break;
    default:
        flags = Qt::Window;
        break;
    }
    setWindowFlags(flags);
    if (wasVisible)
        show();
}

void Form::SetBorderStyle(int style)
{
    if (style < vbBSNone || style > vbSizableToolWindow || style == borderStyle_)
        return;
    borderStyle_ = style;
    ApplyFlags();
}

int Form::WindowState() const
{
    const Qt::WindowStates state = windowState();
    if (state & Qt::WindowMinimized)
        return vbMinimized;
    if (state & Qt::WindowMaximized)
        return vbMaximized;
    return vbNormal;
}

void Form::SetWindowState(int state)
{
    switch (state) {
    case vbMinimized:
        setWindowState((windowState() & ~Qt::WindowMaximized) | Qt::WindowMinimized);
        break;
    case vbMaximized:
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
        break;
    case vbNormal:
        setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
        break;
    default:
        break;
    }
}

void Form::SetBackColor(std::uint32_t colour)
{
    backColor_ = colour;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, gdi::ToQColor(colour));
    setPalette(pal);
    setAutoFillBackground(true);
    update();
}

double Form::TwipsPerPixelX() const
{
    return Twips::PerPixelX(this);
}

double Form::TwipsPerPixelY() const
{
    return Twips::PerPixelY(this);
}

double Form::Left() const
{
    return frameGeometry().x() * TwipsPerPixelX();
}

double Form::Top() const
{
    return frameGeometry().y() * TwipsPerPixelY();
}

double Form::Width() const
{
    return frameGeometry().width() * TwipsPerPixelX();
}

double Form::Height() const
{
    return frameGeometry().height() * TwipsPerPixelY();
}

void Form::Move(double left, double top, double width, double height)
{
    // The frame's extra size is only known once the window system has framed the window.
    const QRect frame = frameGeometry();
    const int extraW = frame.width() - this->width();
    const int extraH = frame.height() - this->height();
    move(Twips::ToPixelsX(left, this), Twips::ToPixelsY(top, this));
    resize(std::max(1, Twips::ToPixelsX(width, this) - extraW),
           std::max(1, Twips::ToPixelsY(height, this) - extraH));
}

double Form::ScaleWidth() const
{
    return this->width() * TwipsPerPixelX();
}

double Form::ScaleHeight() const
{
    return this->height() * TwipsPerPixelY();
}

void Form::AddControl(QWidget *control, const QString &name)
{
    if (!control)
        return;
    for (const auto &entry : controls_) {
        if (entry.first == control)
            return;
    }
    controls_.emplace_back(control, name.isEmpty() ? control->objectName() : name);
}

std::vector<QWidget *> Form::Controls() const
{
    std::vector<QWidget *> list;
    for (const auto &entry : controls_) {
        if (entry.first)
            list.push_back(entry.first.data());
    }
    return list;
}

QWidget *Form::Control(const QString &name) const
{
    for (const auto &entry : controls_) {
        if (entry.first && entry.second.compare(name, Qt::CaseInsensitive) == 0)
            return entry.first.data();
    }
    return nullptr;
}

int Form::AddMessageFilter(MessageFilter filter, QObject *owner)
{
    const int id = nextFilterId_++;
    filters_.push_back({id, std::move(filter)});
    if (owner)
        connect(owner, &QObject::destroyed, this, [this, id] { RemoveMessageFilter(id); });
    return id;
}

bool Form::RemoveMessageFilter(int id)
{
    const auto it =
        std::find_if(filters_.begin(), filters_.end(), [id](const Filter &f) { return f.id == id; });
    if (it == filters_.end())
        return false;
    filters_.erase(it);
    return true;
}

LRESULT Form::SendMessage(unsigned msg, WPARAM wParam, LPARAM lParam)
{
    // A filter may add or remove filters (unsubclassing on WM_NCDESTROY): walk a snapshot of the
    // ids and skip the ones that went away meanwhile.
    std::vector<int> ids;
    for (auto it = filters_.rbegin(); it != filters_.rend(); ++it)
        ids.push_back(it->id);
    for (int id : ids) {
        const auto it =
            std::find_if(filters_.begin(), filters_.end(), [id](const Filter &f) { return f.id == id; });
        if (it == filters_.end() || !it->fn)
            continue;
        const MessageFilter fn = it->fn; // the filter may remove itself while running
        LRESULT result = 0;
        if (fn(msg, wParam, lParam, result))
            return result;
    }
    return DefWindowProc(msg, wParam, lParam);
}

unsigned Form::SysCommandForHitTest(int hitTest)
{
    if (hitTest == HTCAPTION)
        return SC_MOVE | static_cast<unsigned>(HTCAPTION);
    if (hitTest >= HTLEFT && hitTest <= HTBOTTOMRIGHT)
        return SC_SIZE + static_cast<unsigned>(hitTest - HTLEFT + WMSZ_LEFT);
    return 0;
}

Qt::Edges Form::EdgesForSizeCommand(WPARAM command)
{
    if ((command & SC_COMMAND_MASK) != SC_SIZE)
        return {};
    switch (command & 0xF) {
    case WMSZ_LEFT:
        return Qt::LeftEdge;
    case WMSZ_RIGHT:
        return Qt::RightEdge;
    case WMSZ_TOP:
        return Qt::TopEdge;
    case WMSZ_TOPLEFT:
        return Qt::TopEdge | Qt::LeftEdge;
    case WMSZ_TOPRIGHT:
        return Qt::TopEdge | Qt::RightEdge;
    case WMSZ_BOTTOM:
        return Qt::BottomEdge;
    case WMSZ_BOTTOMLEFT:
        return Qt::BottomEdge | Qt::LeftEdge;
    case WMSZ_BOTTOMRIGHT:
        return Qt::BottomEdge | Qt::RightEdge;
    default:
        return {};
    }
}

LRESULT Form::DefWindowProc(unsigned msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_NCLBUTTONDOWN:
        if (const unsigned command = SysCommandForHitTest(static_cast<int>(wParam)))
            SendMessage(WM_SYSCOMMAND, command, lParam);
        return 0;
    case WM_SYSCOMMAND:
        switch (wParam & SC_COMMAND_MASK) {
        case SC_MOVE:
            BeginMoveOrSize({}, lParam);
            break;
        case SC_SIZE:
            if (const Qt::Edges edges = EdgesForSizeCommand(wParam))
                BeginMoveOrSize(edges, lParam);
            break;
        case SC_MINIMIZE:
            SetWindowState(vbMinimized);
            break;
        case SC_MAXIMIZE:
            SetWindowState(vbMaximized);
            break;
        case SC_RESTORE:
            SetWindowState(vbNormal);
            break;
        case SC_CLOSE:
            close();
            break;
        default:
            break;
        }
        return 0;
    default:
        return 0;
    }
}

void Form::BeginMoveOrSize(Qt::Edges edges, LPARAM lParam)
{
    if (!isVisible() || drag_.active)
        return;
    if (QWindow *window = windowHandle()) {
        const bool started = edges ? window->startSystemResize(edges) : window->startSystemMove();
        if (started)
            return;
    }
    // The window system would not do it: follow the mouse ourselves, with the mouse grabbed so
    // every move reaches the form until the button comes up.
    drag_.active = true;
    drag_.edges = edges;
    // Where the press was, unless the message says; the cursor's position only as a last resort.
    if (lParam != 0)
        drag_.anchor = QPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    else
        drag_.anchor = lastPress_ ? *lastPress_ : QCursor::pos();
    drag_.startPos = pos();
    drag_.startGeometry = geometry();
    // Platforms without a pointer (offscreen tests) cannot grab and only complain when asked.
    if (!QGuiApplication::platformName().startsWith(QLatin1String("offscreen")))
        grabMouse();
}

bool Form::TrackDrag(QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseMove: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (!(mouse->buttons() & Qt::LeftButton)) {
            EndDrag(); // the release happened where we could not see it
            return true;
        }
        const QPoint delta = mouse->globalPosition().toPoint() - drag_.anchor;
        if (!drag_.edges) {
            move(drag_.startPos + delta);
            return true;
        }
        QRect r = drag_.startGeometry;
        const QSize minimum = minimumSize().expandedTo(QSize(1, 1));
        const QSize maximum = maximumSize();
        if (drag_.edges & Qt::LeftEdge)
            r.setLeft(std::clamp(r.left() + delta.x(), r.right() + 1 - maximum.width(),
                                 r.right() + 1 - minimum.width()));
        if (drag_.edges & Qt::RightEdge)
            r.setRight(std::clamp(r.right() + delta.x(), r.left() - 1 + minimum.width(),
                                  r.left() - 1 + std::min(maximum.width(), 1 << 20)));
        if (drag_.edges & Qt::TopEdge)
            r.setTop(std::clamp(r.top() + delta.y(), r.bottom() + 1 - maximum.height(),
                                r.bottom() + 1 - minimum.height()));
        if (drag_.edges & Qt::BottomEdge)
            r.setBottom(std::clamp(r.bottom() + delta.y(), r.top() - 1 + minimum.height(),
                                   r.top() - 1 + std::min(maximum.height(), 1 << 20)));
        setGeometry(r);
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            EndDrag();
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        return true;
    case QEvent::KeyPress:
        // Escape abandons the move or size, as it always has: the window goes back.
        if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
            if (drag_.edges)
                setGeometry(drag_.startGeometry);
            else
                move(drag_.startPos);
            EndDrag();
            return true;
        }
        return false;
    default:
        return false;
    }
}

void Form::EndDrag()
{
    if (!drag_.active)
        return;
    drag_.active = false;
    if (QWidget::mouseGrabber() == this)
        releaseMouse();
}

void Form::CloseFromCode()
{
    unloadMode_ = vbFormCode;
    close();
    unloadMode_ = vbFormControlMenu;
}

void Form::showEvent(QShowEvent *event)
{
    if (!loaded_) {
        loaded_ = true;
        Q_EMIT Load();
    }
    QWidget::showEvent(event);
}

void Form::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Q_EMIT Resize();
}

void Form::closeEvent(QCloseEvent *event)
{
    int cancel = 0;
    Q_EMIT QueryUnload(cancel, unloadMode_);
    if (cancel == 0)
        Q_EMIT Unload(cancel);
    if (cancel != 0) {
        event->ignore();
        return;
    }
    EndDrag();
    QWidget::closeEvent(event);
}

} // namespace ui
