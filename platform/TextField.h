#pragma once
// A one-line text field whose delegate may refuse the end of an edit.
//
// Once the user has changed the text, the end of the edit is checked with the delegate's
// controlTextShouldEndEditing() on Return/Enter, on Tab/Backtab and when the user moves the focus away
// (a click elsewhere, a shortcut). A field that was not changed is not checked, as on the original
// platform. A refused end keeps the field's text, swallows the key, and takes the keyboard focus back
// (after the current event, so the delegate may show an alert meanwhile). Focus taken by code or by
// another window is not an end of editing. While the delegate is being asked, a second check of the same
// field is not started (the delegate's own alert takes the focus away).
//
// Return (when accepted) also runs the action, as the platform's text fields send their action.
#include "platform/View.h"

#include <QPointer>

#include <functional>

class QLineEdit;

namespace platform {

class TextField;

class TextFieldDelegate
{
public:
    virtual ~TextFieldDelegate() = default;
    // Asked before the first change of an edit; false keeps the text unchanged.
    virtual bool controlTextShouldBeginEditing(TextField *) { return true; }
    // Asked when an edit ends (see above); false refuses: the field keeps its text and the focus.
    virtual bool controlTextShouldEndEditing(TextField *) { return true; }
    virtual void controlTextDidEndEditing(TextField *) {}
    virtual void controlTextDidChange(TextField *) {}
};

class TextField : public View
{
    Q_OBJECT

public:
    explicit TextField(const Rect &frame = Rect{}, QWidget *parent = nullptr);
    ~TextField() override;

    // Non-owning; the delegate must outlive the field or be reset first.
    TextFieldDelegate *delegate() const { return m_delegate; }
    void setDelegate(TextFieldDelegate *delegate) { m_delegate = delegate; }

    QString stringValue() const;
    void setStringValue(const QString &text); // by code: no delegate calls, the edit starts afresh
    // Leading-number values with the original platform's rules ("12abc" -> 12, no digits -> 0).
    int intValue() const;
    long long integerValue() const;
    float floatValue() const;
    double doubleValue() const;
    void setIntValue(int value);

    QString placeholderString() const;
    void setPlaceholderString(const QString &text);
    bool isEditable() const;
    void setEditable(bool on);
    void setBordered(bool on);
    void setAlignment(Qt::Alignment alignment);
    void setTextColor(const QColor &color);
    void setFieldFont(const QFont &font);
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

    // True when the user changed the text since the last accepted end (or since setStringValue()).
    bool isEdited() const { return m_edited; }
    // Runs the end-of-edit check now, as Return would (without the action); true when the edit may end.
    bool validateEditing();

    // Runs on a mouse press in the field before the platform handling; returning true swallows the
    // press, so a click does not start editing (fields that report clicks instead of editing).
    std::function<bool(TextField &)> mouseDownHandler;
    // Runs after an accepted Return.
    std::function<void(TextField &)> action;

    QLineEdit *lineEdit() const { return m_edit; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class Outcome { Accepted, Refused, Skipped };
    Outcome checkEnd();
    void takeFocusBack();

    QLineEdit *m_edit = nullptr;
    TextFieldDelegate *m_delegate = nullptr;
    bool m_edited = false;
    bool m_asking = false;
    int m_tag = 0;
};

} // namespace platform
