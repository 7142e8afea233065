#include "toolkit/ToolWidgets.h"

#include "controls/PNQButton.h"
#include "controls/TextLabel.h"
#include "platform/FontAlias.h"
#include "platform/Log.h"
#include "platform/PopUpButton.h"
#include "platform/Workspace.h"
#include "services/LanguageService.h"
#include "services/ResourceService.h"

#include <QFontMetricsF>
#include <QUrl>

TextLabel *ToolWidgets::label(const platform::Rect &frame, const QString &value, QWidget *parent, double size,
                              const QColor &color)
{
    auto *label = new TextLabel(frame, parent);
    label->setText(value);
    label->setTextFont(platform::FontAlias::systemFont(size));
    label->setTextColor(color);
    return label;
}

PNQButton *ToolWidgets::listButton(const platform::Rect &frame, const QString &title, QWidget *parent)
{
    auto *button = new PNQButton(frame, parent);
    button->setContentTitle(title);
    button->setContentColor(Qt::black);
    button->setBackGroundColor(QColor(231, 231, 231));
    button->setDisAblebackGroundColor(QColor(221, 221, 221));
    button->setBordColor(QColor(188, 189, 189));
    button->setBorderWidth(1);
    button->setCornerRadius(4);
    return button;
}

PNQButton *ToolWidgets::addFileButton(const platform::Rect &frame, QWidget *parent)
{
    auto *button = new PNQButton(frame, parent);
    button->setBackGroundColor(QColor(90, 216, 238));
    button->setContentColor(Qt::white);
    button->setStateBackgroundImages(QStringLiteral("About/btnAddFile"));
    button->setContentTitle(LanguageService::localizedStringForKey("AddFileBtnTitle"));
    button->setCornerRadius(3);
    button->setBorderWidth(0);
    return button;
}

PNQButton *ToolWidgets::startButton(const platform::Rect &frame, QWidget *parent)
{
    auto *button = new PNQButton(frame, parent);
    button->setStateBackgroundImages(QStringLiteral("SubFun/btnStart"));
    button->setContentColor(Qt::white);
    button->setContentTitle(LanguageService::localizedStringForKey("StartExportTitle"));
    return button;
}

platform::PopUpButton *ToolWidgets::snapshotStylePopUp(const platform::Rect &frame, QWidget *parent)
{
    auto *popUp = new platform::PopUpButton(frame, false, parent);
    for (const char *key : {VW_KEY("png"), VW_KEY("jpg"), VW_KEY("bmp")})
        popUp->addItemWithTitle(LanguageService::localizedStringForKey(key));
    popUp->setHidden(true);
    return popUp;
}

PNQButton *ToolWidgets::emailButton(const platform::Rect &frame, QWidget *parent)
{
    auto *button = new PNQButton(frame, parent);
    button->setNormalImage(ResourceService::imageWithfileName(QStringLiteral("Join/imgEmail.png")));
    button->mouseDownAction = [](PNQButton *) {
        platform::log("email Selected");
        QString mail = QStringLiteral("mailto:%1?Subject= &body= ")
                           .arg(LanguageService::localizedStringForKey("email_address"));
        mail.replace(QStringLiteral(" "), QStringLiteral("%20"));
        platform::Workspace::instance().openUrl(QUrl(mail));
    };
    return button;
}

void ToolWidgets::shareOneFontSize(const QList<TextLabel *> &steps)
{
    // The size each label would draw its text at, found as TextLabel does; the smallest serves all.
    QFont shared;
    bool first = true;
    for (const TextLabel *step : steps) {
        if (!step)
            continue;
        const platform::Rect b = step->bounds();
        const QFont font = step->textFont();
        const QFontMetricsF metrics(font);
        const int flags = int(step->alignment()) | Qt::AlignVCenter;
        QFont drawn = font;
        if (metrics.height() > b.height() + 0.5)
            drawn = platform::View::fittingFont(font, step->text(), QSizeF(b.width(), b.height()), flags);
        else if (metrics.horizontalAdvance(step->text()) > b.width())
            drawn = platform::View::fittingFont(font, step->text(), QSizeF(b.width(), b.height()),
                                                flags | Qt::TextWordWrap);
        const auto size = [](const QFont &f) { return f.pixelSize() > 0 ? f.pixelSize() : f.pointSizeF(); };
        if (first || size(drawn) < size(shared))
            shared = drawn;
        first = false;
    }
    for (TextLabel *step : steps)
        if (step)
            step->setTextFont(shared);
}
