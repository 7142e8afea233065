#include "platform/Window.h"

#include "platform/Application.h"
#include "platform/NotificationCenter.h"
#include "platform/View.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace platform {

namespace {

double screenHeight(const QWidget *widget)
{
    const QScreen *screen = widget->screen() ? widget->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->geometry().height() : 0;
}

} // namespace

Window::Window(Size contentSize, QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    m_frameView = new View(makeRect(0, 0, contentSize.width, contentSize.height), this);
    m_contentView = new View(m_frameView->bounds(), m_frameView);
    m_contentView->setAutoresizingMask(View::WidthSizable | View::HeightSizable);
    m_programmaticSize = QSize(int(std::lround(contentSize.width)), int(std::lround(contentSize.height)));
    resize(m_programmaticSize);
    m_lastSize = m_programmaticSize;
    m_liveResizeTimer.setSingleShot(true);
    m_liveResizeTimer.setInterval(liveResizeQuietMs);
    connect(&m_liveResizeTimer, &QTimer::timeout, this, [this] { post(NSWindowDidEndLiveResizeNotification); });
}

Window::~Window() = default;

void Window::post(const char *name)
{
    NotificationCenter::defaultCenter().post(QString::fromLatin1(name), this);
}

Rect Window::frame() const
{
    const QRect g = geometry();
    return makeRect(g.x(), screenHeight(this) - g.y() - g.height(), g.width(), g.height());
}

void Window::setFrame(const Rect &frame)
{
    const int w = int(std::lround(frame.width()));
    const int h = int(std::lround(frame.height()));
    m_programmaticSize = QSize(w, h);
    move(int(std::lround(frame.minX())), int(std::lround(screenHeight(this) - frame.maxY())));
    resize(w, h);
    layoutViews();
}

void Window::setContentSize(Size size)
{
    setFrame(makeRect(frame().minX(), frame().maxY() - size.height, size.width, size.height));
}

Size Window::minSize() const
{
    return Size{double(minimumWidth()), double(minimumHeight())};
}

void Window::setMinSize(Size size)
{
    setMinimumSize(int(std::ceil(size.width)), int(std::ceil(size.height)));
}

void Window::setBackgroundColor(const QColor &color)
{
    m_backgroundColor = color;
    m_frameView->setBackgroundColor(color);
    if (m_titlebarView)
        m_titlebarView->setBackgroundColor(color);
}

void Window::setTitlebarAppearsTransparent(bool on)
{
    if (on == titlebarAppearsTransparent())
        return;
    if (on) {
        m_titlebarView = new View(m_frameView);
        m_titlebarView->setBackgroundColor(m_backgroundColor);
        m_titlebarView->setAutoresizingMask(View::WidthSizable | View::MinYMargin);
    } else {
        delete m_titlebarView;
        m_titlebarView = nullptr;
    }
    layoutViews();
}

void Window::layoutViews()
{
    // Direct, not through resize events: a hidden window receives those only when it is shown.
    const Rect all = makeRect(0, 0, width(), height());
    m_frameView->setFrame(all);
    const double header = m_titlebarView ? titlebarHeight : 0;
    if (m_titlebarView)
        m_titlebarView->setFrame(makeRect(0, all.height() - header, all.width(), header));
    m_contentView->setFrame(makeRect(0, 0, all.width(), std::max(0.0, all.height() - header)));
}

void Window::center()
{
    const QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s)
        return;
    const QRect area = s->availableGeometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
}

void Window::makeKeyAndOrderFront()
{
    show();
    raise();
    activateWindow();
}

void Window::toggleFullScreen()
{
    if (!m_fullScreen) {
        post(NSWindowWillEnterFullScreenNotification);
        m_fullScreen = true;
        showFullScreen();
        post(NSWindowDidEnterFullScreenNotification);
    } else {
        m_fullScreen = false;
        showNormal();
        post(NSWindowDidExitFullScreenNotification);
    }
}

void Window::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutViews();
    if (size() == m_lastSize)
        return;
    m_lastSize = size();
    const bool fromCode = size() == m_programmaticSize || m_fullScreen != isFullScreen();
    if (!fromCode && !m_liveResizeTimer.isActive())
        post(NSWindowWillStartLiveResizeNotification);
    post(NSWindowDidResizeNotification);
    if (!fromCode)
        m_liveResizeTimer.start();
}

void Window::showEvent(QShowEvent *event)
{
    m_open = true;
    QWidget::showEvent(event);
}

void Window::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::WindowStateChange && !isFullScreen() && m_fullScreen) {
        // Left full screen by other means than toggleFullScreen() (the window manager).
        m_fullScreen = false;
        post(NSWindowDidExitFullScreenNotification);
    }
    QWidget::changeEvent(event);
}

void Window::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (!event->isAccepted() || !m_open)
        return;
    m_open = false;
    if (m_liveResizeTimer.isActive()) {
        m_liveResizeTimer.stop();
        post(NSWindowDidEndLiveResizeNotification);
    }
    post(NSWindowWillCloseNotification);
    Application::shared().windowDidClose(this);
    emit didClose();
}

} // namespace platform
