#include "platform/TextField.h"

#include "platform/NumberScan.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMetaObject>

namespace platform {

TextField::TextField(const Rect &frame, QWidget *parent) : View(frame, parent), m_edit(new QLineEdit(this))
{
    m_edit->setGeometry(rect());
    m_edit->show(); // stays hidden otherwise when the field is made inside a window already on screen
    setFocusProxy(m_edit);
    m_edit->installEventFilter(this);
    connect(m_edit, &QLineEdit::textEdited, this, [this] {
        m_edited = true;
        if (m_delegate)
            m_delegate->controlTextDidChange(this);
    });
}

TextField::~TextField()
{
    // The line edit may still report a focus change while it is torn down; nobody must be asked then.
    m_edit->removeEventFilter(this);
}

void TextField::resizeEvent(QResizeEvent *event)
{
    View::resizeEvent(event);
    m_edit->setGeometry(rect());
}

QString TextField::stringValue() const
{
    return m_edit->text();
}

void TextField::setStringValue(const QString &text)
{
    m_edit->setText(text);
    m_edited = false;
}

int TextField::intValue() const
{
    return scanInt(m_edit->text());
}

long long TextField::integerValue() const
{
    return scanLongLong(m_edit->text());
}

float TextField::floatValue() const
{
    return float(scanDouble(m_edit->text()));
}

double TextField::doubleValue() const
{
    return scanDouble(m_edit->text());
}

void TextField::setIntValue(int value)
{
    setStringValue(QString::number(value));
}

QString TextField::placeholderString() const
{
    return m_edit->placeholderText();
}

void TextField::setPlaceholderString(const QString &text)
{
    m_edit->setPlaceholderText(text);
}

bool TextField::isEditable() const
{
    return !m_edit->isReadOnly();
}

void TextField::setEditable(bool on)
{
    m_edit->setReadOnly(!on);
}

void TextField::setBordered(bool on)
{
    m_edit->setFrame(on);
}

void TextField::setAlignment(Qt::Alignment alignment)
{
    m_edit->setAlignment(alignment);
}

void TextField::setTextColor(const QColor &color)
{
    QPalette palette = m_edit->palette();
    palette.setColor(QPalette::Text, color);
    m_edit->setPalette(palette);
}

void TextField::setFieldFont(const QFont &font)
{
    m_edit->setFont(font);
}

TextField::Outcome TextField::checkEnd()
{
    if (m_asking || !m_edited)
        return Outcome::Skipped;
    bool accepted = true;
    if (m_delegate) {
        m_asking = true;
        const QPointer<TextField> alive(this);
        accepted = m_delegate->controlTextShouldEndEditing(this);
        if (!alive)
            return Outcome::Skipped;
        m_asking = false;
    }
    if (!accepted)
        return Outcome::Refused;
    m_edited = false;
    if (m_delegate)
        m_delegate->controlTextDidEndEditing(this);
    return Outcome::Accepted;
}

bool TextField::validateEditing()
{
    return checkEnd() != Outcome::Refused;
}

void TextField::takeFocusBack()
{
    // Queued: the focus change (or the delegate's alert) that is under way must finish first.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (isVisible() && isEnabled()) {
                window()->activateWindow();
                m_edit->setFocus(Qt::OtherFocusReason);
            }
        },
        Qt::QueuedConnection);
}

bool TextField::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_edit)
        return View::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto *key = static_cast<QKeyEvent *>(event);
        const int k = key->key();
        if (k == Qt::Key_Return || k == Qt::Key_Enter) {
            const Outcome outcome = checkEnd();
            if (outcome == Outcome::Refused) {
                takeFocusBack();
                return true;
            }
            if (!m_asking && action)
                action(*this);
            return false;
        }
        if (k == Qt::Key_Tab || k == Qt::Key_Backtab) {
            if (checkEnd() == Outcome::Refused) {
                takeFocusBack();
                return true;
            }
            return false;
        }
        if (!m_edited && m_delegate && !key->text().isEmpty() && !m_edit->isReadOnly() &&
            !m_delegate->controlTextShouldBeginEditing(this))
            return true;
        return false;
    }
    case QEvent::FocusOut: {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        const bool byUser = reason == Qt::MouseFocusReason || reason == Qt::TabFocusReason ||
                            reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason;
        if (byUser && checkEnd() == Outcome::Refused)
            takeFocusBack();
        return false;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (mouseDownHandler && isEnabled()) {
            const QPointer<TextField> alive(this);
            const bool swallow = mouseDownHandler(*this);
            return alive && swallow;
        }
        return false;
    default:
        return false;
    }
}

} // namespace platform
