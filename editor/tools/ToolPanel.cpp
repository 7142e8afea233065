#include "editor/tools/ToolPanel.h"

#include "controls/ImageView.h"
#include "controls/PNQButton.h"
#include "controls/RDTextField.h"
#include "controls/TextLabel.h"
#include "platform/FontAlias.h"
#include "platform/View.h"
#include "services/LanguageService.h"
#include "services/ResourceService.h"

#include <QLabel>
#include <QVBoxLayout>

namespace ToolPanel {

TextLabel *label(platform::View *panel, const platform::Rect &frame, const QString &text)
{
    auto *l = new TextLabel(frame, panel);
    l->setText(text);
    l->setTextFont(platform::FontAlias::systemFont(13));
    l->setAutoresizingMask(platform::View::MinYMargin);
    return l;
}

void setEnabled(std::initializer_list<QWidget *> controls, bool enable)
{
    for (QWidget *w : controls)
        if (w)
            w->setEnabled(enable);
}

QWidget *hosted(platform::View *panel, const platform::Rect &frame, QWidget *widget, int margin)
{
    // A frame of the platform's kind places the Qt widget and keeps it pinned with the panel's top.
    auto *box = new platform::View(frame, panel);
    box->setAutoresizingMask(platform::View::MinYMargin);
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(margin, margin, margin, margin);
    widget->setParent(box);
    layout->addWidget(widget);
    return widget;
}

QLabel *description(platform::View *panel, const platform::Rect &frame, const QString &text)
{
    auto *l = new QLabel(text);
    l->setWordWrap(true);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    l->setFont(platform::FontAlias::systemFont(13));
    l->setStyleSheet(QStringLiteral("color: black; background: transparent;"));
    hosted(panel, frame, l, 4);
    return l;
}

platform::TextField *numberField(platform::View *panel, const platform::Rect &frame,
                                 platform::TextFieldDelegate *delegate)
{
    auto *back = new ImageView(frame, panel);
    back->setImage(ResourceService::imageWithfileName(QStringLiteral("Resources/trim_textfield.png")));
    back->setAutoresizingMask(platform::View::MinYMargin);
    auto *field = new RDTextField(
        platform::makeRect(frame.minX() + 4, frame.minY() + 3, frame.width() - 8, frame.height() - 6), panel);
    field->setIntValue(0);
    field->setTextColor(Qt::black);
    field->setBordered(false);
    field->setDelegate(delegate);
    field->setEnabled(false);
    field->setAutoresizingMask(platform::View::MinYMargin);
    return field;
}

PNQButton *resetButton(platform::View *panel, const platform::Rect &frame, std::function<void()> action)
{
    auto *b = new PNQButton(frame, panel);
    b->setAutoresizingMask(platform::View::MinYMargin);
    b->setContentTitle(LanguageService::localizedStringForKey("ResetBtnTitle"));
    b->setContentColor(Qt::black);
    b->setBorderWidth(0);
    b->setBordColor(QColor(33, 176, 235));
    b->setBackGroundColor(QColor(33, 176, 235));
    b->setDisAblebackGroundColor(QColor(221, 221, 221));
    b->setCornerRadius(5);
    b->setEnabled(false);
    b->mouseDownAction = [action = std::move(action)](PNQButton *) {
        if (action)
            action();
    };
    return b;
}

} // namespace ToolPanel
