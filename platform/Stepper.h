#pragma once
// Up and down arrows that step a number between a minimum and a maximum.
//
// Defaults as on the original platform: minimum 0, maximum 59, increment 1, value 0, and the value wraps
// (stepping above the maximum gives the minimum, below the minimum gives the maximum). Without wrapping it
// stops at the bounds. A click in the upper half steps up, in the lower half down; the Up and Down keys do
// the same. The action runs after every step made by the user or by stepUp()/stepDown().
#include "platform/View.h"

#include <functional>

namespace platform {

class Stepper : public View
{
    Q_OBJECT

public:
    explicit Stepper(const Rect &frame = makeRect(0, 0, 19, 27), QWidget *parent = nullptr);

    double minValue() const { return m_minValue; }
    void setMinValue(double value);
    double maxValue() const { return m_maxValue; }
    void setMaxValue(double value);
    double increment() const { return m_increment; }
    void setIncrement(double increment) { m_increment = increment; }
    bool valueWraps() const { return m_valueWraps; }
    void setValueWraps(bool on) { m_valueWraps = on; }

    // The value, kept within [minValue, maxValue].
    double doubleValue() const { return m_value; }
    void setDoubleValue(double value);
    int intValue() const;
    void setIntValue(int value) { setDoubleValue(value); }

    void stepUp();
    void stepDown();

    std::function<void(Stepper &)> action;

protected:
    void drawRect(QPainter &painter, const Rect &dirty) override;
    void mouseDown(const MouseEvent &event) override;
    void mouseUp(const MouseEvent &event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void step(double delta);

    double m_minValue = 0;
    double m_maxValue = 59;
    double m_increment = 1;
    double m_value = 0;
    bool m_valueWraps = true;
    int m_pressed = 0; // +1 upper arrow held, -1 lower, 0 none
};

} // namespace platform
