#pragma once
// A top-level window whose content is a View (bottom-left coordinates).
//
// The window's client area is the frame view; it holds the content view and, when the title bar is made
// transparent, a header strip of titlebarHeight() at the top painted in the window's background colour,
// where title-bar buttons go (Linux window managers draw their own title bars).
//
// Notifications posted on NotificationCenter::defaultCenter() with the window as object:
// DidResize on every size change; WillStartLiveResize / DidEndLiveResize around a resize that does not
// come from setFrame()/setContentSize(). Qt does not report the start and end of a user's drag, so they are
// approximated: the first such resize after a quiet period starts it, and the end is posted
// liveResizeQuietMs after the last one. WillEnterFullScreen / DidEnterFullScreen / DidExitFullScreen
// around toggleFullScreen(). WillClose exactly once per close, by the user or by close().
#include "platform/Geometry.h"

#include <QColor>
#include <QTimer>
#include <QWidget>

namespace platform {

class View;
class WindowController;

inline constexpr char NSWindowDidResizeNotification[] = "NSWindowDidResizeNotification";
inline constexpr char NSWindowWillStartLiveResizeNotification[] = "NSWindowWillStartLiveResizeNotification";
inline constexpr char NSWindowDidEndLiveResizeNotification[] = "NSWindowDidEndLiveResizeNotification";
inline constexpr char NSWindowWillEnterFullScreenNotification[] = "NSWindowWillEnterFullScreenNotification";
inline constexpr char NSWindowDidEnterFullScreenNotification[] = "NSWindowDidEnterFullScreenNotification";
inline constexpr char NSWindowDidExitFullScreenNotification[] = "NSWindowDidExitFullScreenNotification";
inline constexpr char NSWindowWillCloseNotification[] = "NSWindowWillCloseNotification";

class Window : public QWidget
{
    Q_OBJECT

public:
    static constexpr int liveResizeQuietMs = 250;
    static constexpr double titlebarHeight = 30;

    explicit Window(Size contentSize = Size{800, 600}, QWidget *parent = nullptr);
    ~Window() override;

    // The whole client area (the content view and the header strip are its subviews).
    View *frameView() const { return m_frameView; }
    View *contentView() const { return m_contentView; }
    // The header strip, or nullptr while the title bar is not transparent.
    View *titlebarView() const { return m_titlebarView; }

    // The frame on the screen, origin at the bottom-left of the primary screen, y upwards.
    Rect frame() const;
    void setFrame(const Rect &frame);
    void setContentSize(Size size);
    Size minSize() const;
    void setMinSize(Size size);

    QString title() const { return windowTitle(); }
    void setTitle(const QString &title) { setWindowTitle(title); }
    QColor backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const QColor &color);
    bool titlebarAppearsTransparent() const { return m_titlebarView != nullptr; }
    void setTitlebarAppearsTransparent(bool on);

    // Centres the window on its screen.
    void center();
    void makeKeyAndOrderFront();
    void orderOut() { hide(); }
    void toggleFullScreen();
    bool isInLiveResize() const { return m_liveResizeTimer.isActive(); }

    // The controller that owns the window, if any.
    WindowController *windowController() const { return m_controller; }
    void setWindowController(WindowController *controller) { m_controller = controller; }

signals:
    void didClose();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void layoutViews();
    void post(const char *name);

    View *m_frameView = nullptr;
    View *m_contentView = nullptr;
    View *m_titlebarView = nullptr;
    QColor m_backgroundColor;
    WindowController *m_controller = nullptr;
    QTimer m_liveResizeTimer;
    QSize m_lastSize;
    QSize m_programmaticSize; // a size asked for by code: its resize is not a live resize
    bool m_open = false;
    bool m_fullScreen = false;
};

} // namespace platform
