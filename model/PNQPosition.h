#pragma once
// Four insets of an image button's title, in points. The button reads only left and right.
// A plain value; it logs nothing.

class PNQPosition
{
public:
    PNQPosition() = default;
    PNQPosition(float top, float left, float bottom, float right)
        : m_top(top), m_left(left), m_bottom(bottom), m_right(right)
    {
    }

    float top() const { return m_top; }
    void setTop(float v) { m_top = v; }
    float left() const { return m_left; }
    void setLeft(float v) { m_left = v; }
    float bottom() const { return m_bottom; }
    void setBottom(float v) { m_bottom = v; }
    float right() const { return m_right; }
    void setRight(float v) { m_right = v; }

private:
    float m_top = 0;
    float m_left = 0;
    float m_bottom = 0;
    float m_right = 0;
};
