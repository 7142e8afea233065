// Renders every control of the toolkit in its states into one PNG, for a look at them:
//   control-gallery <out.png>
// Run it under xvfb-run or with QT_QPA_PLATFORM=offscreen, from the build's bin folder (the resources
// sit beside it).
#include "services/ResourceService.h"
#include "controls/MergeButton.h"
#include "controls/NSProgressView.h"
#include "controls/PNQButton.h"
#include "controls/PNQImageView.h"
#include "controls/PNQView.h"
#include "controls/RDButton.h"
#include "controls/RDCustomButton.h"
#include "controls/RDCutProgressView.h"
#include "controls/RDProgressSlider.h"
#include "controls/RDRadioButton.h"
#include "controls/RDSwitchButton.h"
#include "controls/RDTextField.h"
#include "controls/TextLabel.h"
#include "platform/View.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QEnterEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPixmap>

#include <cstdio>

namespace {

QImage image(const char *name)
{
    return ResourceService::imageWithfileName(name);
}

void caption(platform::View *parent, double x, double y, const QString &text)
{
    auto *label = new TextLabel(platform::makeRect(x, y, 150, 16), parent);
    label->setText(text);
    label->setTextColor(QColor(60, 60, 60));
    QFont f = label->textFont();
    f.setPointSizeF(8);
    label->setTextFont(f);
}

void hover(QWidget *w)
{
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QCoreApplication::sendEvent(w, &enter);
}

void press(QWidget *w)
{
    QMouseEvent down(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &down);
}

PNQButton *cropButton(platform::View *parent, double x, double y)
{
    auto *b = new PNQButton(platform::makeRect(x, y, 110, 40), parent);
    b->setNormalImage(image("Main/btnCrop_Normal.bmp"));
    b->setOnImage(image("Main/btnCrop_On.bmp"));
    b->setDownImage(image("Main/btnCrop_Down.bmp"));
    b->setDisAbleImage(image("Main/btnCrop_Disable.bmp"));
    b->setSelectedImage(image("Main/btnCrop_On.bmp"));
    b->setBackGroundColor(QColor(33, 176, 235));
    b->setDisAblebackGroundColor(QColor(200, 200, 200));
    b->setContentTitle("Crop");
    b->setCornerRadius(6);
    return b;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: control-gallery <out.png>\n");
        return 2;
    }

    platform::View root(platform::makeRect(0, 0, 760, 560));
    root.setBackgroundColor(QColor(245, 245, 245));

    // Image buttons: normal, hovered, pressed, selected, disabled, link-style.
    const char *states[] = {"normal", "hover", "pressed", "selected", "disabled", "underlined"};
    for (int i = 0; i < 6; ++i) {
        const double x = 10 + i * 122;
        caption(&root, x, 540, states[i]);
        PNQButton *b = nullptr;
        if (i == 5) {
            b = new PNQButton(platform::makeRect(x, 495, 110, 40), &root);
            b->setContentTitle("Open folder");
            b->setContentColor(QColor(33, 176, 235));
            b->setUnderLine(true);
        } else {
            b = cropButton(&root, x, 495);
        }
        if (i == 1)
            hover(b);
        if (i == 2)
            press(b);
        if (i == 3)
            b->setSelected(true);
        if (i == 4)
            b->setEnabled(false);
    }
    auto *left = new PNQButton(platform::makeRect(10, 445, 200, 30), &root);
    left->setBackGroundColor(QColor(90, 90, 90));
    left->setContentTitle("titlePosition left 10");
    left->setTitlePosition(PNQPosition(0, 10, 0, 0));
    auto *right = new PNQButton(platform::makeRect(220, 445, 200, 30), &root);
    right->setBackGroundColor(QColor(90, 90, 90));
    right->setContentTitle("right 10");
    right->setTitlePosition(PNQPosition(0, 0, 0, 10));
    auto *iconLeft = new PNQButton(platform::makeRect(430, 445, 200, 30), &root);
    iconLeft->setBackGroundColor(QColor(90, 90, 90));
    iconLeft->setNormalImage(image("Cut/btnPlay_Normal.png"));
    iconLeft->setContentTitle("icon + title");

    // Button family.
    caption(&root, 10, 425,
            "RDCustomButton normal / selected / disabled, RDButton, RDRadioButton, switch, merge");
    for (int i = 0; i < 3; ++i) {
        auto *c = new RDCustomButton(platform::makeRect(10 + i * 90, 355, 80, 60), &root);
        c->setNormalBackImage(image("Resources/WSCategoryBack.png"));
        c->setSelectedBackImage(image("Resources/selDVDItemBack.png"));
        c->setTitle("MP4");
        if (i == 2)
            c->setEnabled(false);
        c->setSelected(i == 1);
    }
    auto *rdButton = new RDButton(platform::makeRect(290, 370, 90, 25), &root);
    rdButton->setTitle("Cancel");
    auto *radio = new RDRadioButton(platform::makeRect(390, 370, 120, 30), &root);
    radio->setTitle("Text");
    radio->setSelected(true);
    auto *sw = new RDSwitchButton(platform::makeRect(520, 370, 120, 30), &root);
    sw->setTitle("Switch");
    sw->setSelected(true);
    auto *merge = new MergeButton(platform::makeRect(650, 370, 80, 30), &root);
    merge->setselected(true);

    // Views.
    caption(&root, 10, 335, "PNQView, PNQImageView, NSProgressView 0.25, RDTextField (disabled / enabled)");
    auto *panel = new PNQView(platform::makeRect(10, 270, 100, 60), &root);
    panel->setBackGroundColor(QColor(33, 176, 235));
    panel->setCornerRadius(8);
    panel->setBordColor(Qt::darkBlue);
    panel->setBorderWidth(2);
    auto *imageView = new PNQImageView(platform::makeRect(120, 270, 60, 60), &root);
    imageView->setBackGroundColor(QColor(220, 220, 220));
    imageView->setNormalImage(image("Cut/btnSlip_Normal.png"));
    auto *bar = new NSProgressView(platform::makeRect(190, 290, 200, 14), &root);
    bar->setProgress(0.25f);
    auto *field = new RDTextField(platform::makeRect(400, 285, 60, 24), &root);
    field->setStringValue("00");
    auto *enabledField = new RDTextField(platform::makeRect(470, 285, 60, 24), &root);
    enabledField->setStringValue("12");
    enabledField->setEnabled(true);

    // Trim bars: keep, remove, disabled, cutter look.
    const char *trims[] = {"trim keep 0.2..0.7", "trim remove 0.2..0.7", "trim disabled", "trim type 1"};
    for (int i = 0; i < 4; ++i) {
        const double y = 210 - i * 45;
        caption(&root, 10, y + 22, trims[i]);
        auto *trim = new RDCutProgressView(platform::makeRect(150, y, 400, 30), &root);
        if (i == 3)
            trim->setType(1);
        if (i == 1)
            trim->setIsFanxuan(true);
        trim->setLowerValueUpperValue(0.2f, 0.7f);
        if (i == 2)
            trim->setDisable(true);
    }

    // Sliders.
    const float values[] = {0.0f, 0.5f, 1.0f};
    for (int i = 0; i < 3; ++i) {
        caption(&root, 10 + i * 250, 45, QString("slider %1").arg(values[i]));
        auto *slider = new RDProgressSlider(platform::makeRect(10 + i * 250, 15, 230, 20), &root);
        slider->setProgress(values[i]);
    }

    root.show();
    QCoreApplication::processEvents();
    const QPixmap shot = root.grab();
    if (!shot.save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
