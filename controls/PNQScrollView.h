#pragma once
// A scroll view with a stored flag that nothing reads; drawing and scrolling are Qt's. Main thread only.
#include <QScrollArea>

class PNQScrollView : public QScrollArea
{
    Q_OBJECT

public:
    explicit PNQScrollView(QWidget *parent = nullptr);

    bool enable() const { return m_enable; }
    void setEnable(bool enable) { m_enable = enable; }

private:
    bool m_enable = false;
};
