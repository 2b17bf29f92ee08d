// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ui/Messages.h"

#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace ui
{

enum : int {
    vbBSNone = 0,
    vbFixedSingle = 1,
    vbSizable = 2,
    vbFixedDialog = 3,
    vbFixedToolWindow = 4,
    vbSizableToolWindow = 5
};
enum : int { vbNormal = 0, vbMinimized = 1, vbMaximized = 2 };
enum : int { vbFormControlMenu = 0, vbFormCode = 1 };

// A top-level window host: caption, border style, window state, its controls in control order,
// twips geometry and a message-filter chain standing in for window subclassing.
//
// Messages sent with SendMessage go through the filters, newest first; a filter that returns true
// swallows the message (its `result` is returned), otherwise the next filter and finally
// DefWindowProc see it. DefWindowProc turns a non-client press (WM_NCLBUTTONDOWN with a hit-test
// zone) into the system command the zone implies (SC_MOVE|HTCAPTION, SC_SIZE + WMSZ_* edge), which
// again passes the filters, and carries out move/size/minimise/maximise/restore/close commands.
// Moving and sizing ask the window system (startSystemMove/Resize); where it refuses (no window
// manager) the form follows the mouse itself until the button is released.
class Form : public QWidget
{
    Q_OBJECT
  public:
    using MessageFilter = std::function<bool(unsigned msg, WPARAM wParam, LPARAM lParam, LRESULT &result)>;

    explicit Form(QWidget *parent = nullptr);
    // The filters see WM_NCDESTROY, the last message, before the form goes. That happens after a
    // derived class's members are gone: a filter whose state may die first must be added with
    // that state's QObject as owner, or be removed with RemoveMessageFilter in time.
    ~Form() override;

    QString Caption() const { return windowTitle(); }
    void SetCaption(const QString &caption) { setWindowTitle(caption); }
    int BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(int style);
    int WindowState() const;
    void SetWindowState(int state);
    std::uint32_t BackColor() const { return backColor_; }
    void SetBackColor(std::uint32_t colour);

    // Outer geometry (frame included) in twips, and the client area in twips.
    double Left() const;
    double Top() const;
    double Width() const;
    double Height() const;
    void Move(double left, double top, double width, double height);
    double ScaleWidth() const;
    double ScaleHeight() const;
    double TwipsPerPixelX() const;
    double TwipsPerPixelY() const;

    // Controls in control order (the order they were added); destroyed ones drop out.
    void AddControl(QWidget *control, const QString &name = QString());
    std::vector<QWidget *> Controls() const;
    // By name, ignoring case; nullptr when there is none.
    QWidget *Control(const QString &name) const;

    // Adds a filter in front of the chain and returns its id. With an owner, the filter goes away
    // by itself when the owner is destroyed.
    int AddMessageFilter(MessageFilter filter, QObject *owner = nullptr);
    bool RemoveMessageFilter(int id);
    LRESULT SendMessage(unsigned msg, WPARAM wParam = 0, LPARAM lParam = 0);
    // The default handling at the end of the chain.
    virtual LRESULT DefWindowProc(unsigned msg, WPARAM wParam, LPARAM lParam);

    // The system command a press on a non-client zone means; 0 for zones that start none.
    static unsigned SysCommandForHitTest(int hitTest);
    // The window edges an SC_SIZE command drags (empty for other commands or edge codes).
    static Qt::Edges EdgesForSizeCommand(WPARAM command);

    // True while the form itself follows the mouse to move or size (the window system refused).
    bool ManualDragActive() const { return drag_.active; }
    // Unloads the form from code (QueryUnload/Unload see vbFormCode).
    void CloseFromCode();

  Q_SIGNALS:
    void Load();
    void Resize();
    void QueryUnload(int &cancel, int unloadMode);
    void Unload(int &cancel);

  protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

  private:
    struct Filter {
        int id;
        MessageFilter fn;
    };
    struct Drag {
        bool active = false;
        Qt::Edges edges; // empty = moving
        QPoint anchor;   // global mouse position at the start
        QPoint startPos; // frame position at the start
        QRect startGeometry;
    };
    class DragTracker;

    void BeginMoveOrSize(Qt::Edges edges, LPARAM lParam);
    bool TrackDrag(QEvent *event);
    void EndDrag();
    void ApplyFlags();

    int borderStyle_ = vbSizable;
    std::uint32_t backColor_ = 0x8000000Fu;
    std::vector<Filter> filters_;
    int nextFilterId_ = 1;
    std::vector<std::pair<QPointer<QWidget>, QString>> controls_;
    bool loaded_ = false;
    int unloadMode_ = vbFormControlMenu;
    Drag drag_;
    std::optional<QPoint> lastPress_; // global position of the last press on the form
    std::unique_ptr<DragTracker> tracker_;
};

} // namespace ui
