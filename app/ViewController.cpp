#include "app/ViewController.h"

#include "app/AboutUsWindowController.h"
#include "services/LanguageService.h"
#include "services/ResourceService.h"
#include "controls/PNQButton.h"
#include "controls/PNQImageView.h"
#include "controls/TextLabel.h"
#include "platform/Application.h"
#include "platform/Dispatch.h"
#include "platform/FontAlias.h"
#include "platform/Log.h"
#include "platform/PopUpButton.h"
#include "platform/Window.h"
#include "platform/WindowController.h"
#include "platform/Workspace.h"

#include <QFontMetricsF>

using platform::makeRect;

namespace {

const QColor kAccent(33, 176, 235);

struct ToolInfo
{
    const char *imageWord;
    const char *hoverKey;
    const char *captionKey;
    const char *layoutCaptionKey; // the caption after each layout
    const char *className;
    qint64 toolBit; // the editor's starting tool; 0 for the other windows
    const char *titleKey;
    void (ViewController::*action)(PNQButton *);
};

const std::array<ToolInfo, ViewController::ToolCount> kTools = {{
    {"Crop", VW_KEY("Crop_PlaceholderString"), VW_KEY("tool_cropItemTitle"), VW_KEY("tool_cropItemTitle"),
     "EditVideoWindowController", 4, VW_KEY("Crop_Title"), &ViewController::cropAction},
    {"Effect", VW_KEY("Effect_PlaceholderString"), VW_KEY("tool_effectItemTitle"),
     VW_KEY("tool_effectItemTitle"), "EditVideoWindowController", 8, VW_KEY("Effect_Title"),
     &ViewController::effectAction},
    {"Subtitle", VW_KEY("Subtitle_PlaceholderString"), VW_KEY("tool_subtitleItemTitle"),
     VW_KEY("tool_subtitleItemTitle"), "EditVideoWindowController", 32, VW_KEY("Subtitle_Title"),
     &ViewController::subtitleAction},
    {"Watermark", VW_KEY("Watermark_PlaceholderString"), VW_KEY("tool_watermarkItemTitle"),
     VW_KEY("tool_watermarkItemTitle"), "EditVideoWindowController", 16, VW_KEY("Watermark_Title"),
     &ViewController::watermarkAction},
    {"Join", VW_KEY("Joinner_PlaceholderString"), VW_KEY("tool_joinnerItemTitle"),
     VW_KEY("JoinnervideoWinTitle"), "JoinnerWindowController", 0, VW_KEY("Joinner_Title"),
     &ViewController::joinnerAction},
    {"EasyCut", VW_KEY("EasyCut_PlaceholderString"), VW_KEY("EasycutterstringValue"),
     VW_KEY("EasycutterstringValue"), "EasyCutterWindowcontroller", 0, VW_KEY("EasyCut_Title"),
     &ViewController::easy_cutterAction},
    {"BatchCut", VW_KEY("BatchCut_PlaceholderString"), VW_KEY("BatchcutterstringValue"),
     VW_KEY("BatchcutterstringValue"), "BatchCutterWindowController", 0, VW_KEY("BatchCut_Title"),
     &ViewController::batch_cutterAction},
    {"AdvancedCut", VW_KEY("AdvancedCut_PlaceholderString"), VW_KEY("AdvancedCutterstringValue"),
     VW_KEY("AdvancedCutterstringValue"), "EditVideoWindowController", 1, VW_KEY("AdvancedCut_Title"),
     &ViewController::advanced_cutterAction},
    {"Rotation", VW_KEY("Rotate_PlaceholderString"), VW_KEY("tool_rotateItemTitle"),
     VW_KEY("tool_rotateItemTitle"), "EditVideoWindowController", 2, VW_KEY("Rotate_Title"),
     &ViewController::rotateAction},
    {"Music", VW_KEY("AddMusic_PlaceholderString"), VW_KEY("tool_musicBtnTitle"),
     VW_KEY("tool_musicBtnTitle"), "EditVideoWindowController", 64, VW_KEY("AddMusic_Title"),
     &ViewController::addOrremovemusicAction},
    {"Split", VW_KEY("Split_PlaceholderString"), VW_KEY("SplitBtnstringValue"), VW_KEY("SplitBtnstringValue"),
     "SplitWindowController", 0, VW_KEY("Split_Title"), &ViewController::splitAction},
}};

// The launcher's layout: a light panel over the whole view, with the link row at its top right, the tool
// tiles four to a row under it and the description line at the bottom.
constexpr double kTileWidth = 150;
constexpr double kTileHeight = 120;
constexpr double kGap = 10;
constexpr double kTilesTop = 450;
constexpr double kLinkHeight = 24;

// Sets a tile's caption. A caption shows in the system font of size 13 on one line along the tile's lower
// edge; one too long for that (such as "Add/Remove Music" in some languages) wraps onto two lines at the
// largest size from 12 down to 11 that holds it, in a taller frame that keeps 4 points from the tile's edge.
// Only a caption that fits in neither way gets smaller (down to a readable 10).
void setCaption(TextLabel *caption, const QString &text)
{
    const double width = caption->frame().width();
    const double x = caption->frame().minX();
    QFont font = platform::FontAlias::systemFont(13);
    if (QFontMetricsF(font).horizontalAdvance(text) <= width - 4) {
        caption->setFrame(makeRect(x, 1, width, 24));
    } else {
        constexpr double kTwoLines = 30;
        caption->setFrame(makeRect(x, 4, width, kTwoLines));
        for (double size = 12; size >= 10; --size) {
            platform::FontAlias::setPlatformSize(font, size);
            const QRectF need = QFontMetricsF(font).boundingRect(QRectF(0, 0, width, kTwoLines),
                                                                 Qt::TextWordWrap, text);
            if (need.width() <= width && need.height() <= kTwoLines)
                break;
        }
    }
    caption->setTextFont(font);
    caption->setText(text);
}

QImage stateImage(const char *word, const char *state)
{
    return ResourceService::imageWithfileName(
        QStringLiteral("Main/btn%1_%2.bmp").arg(QLatin1String(word), QLatin1String(state)));
}

} // namespace

ViewController::ViewController(platform::Window *window)
    : platform::View(window->contentView()->bounds(), window->contentView()), m_window(window)
{
    setAutoresizingMask(WidthSizable | HeightSizable);
    layoutControls();
    viewDidLoad();
}

ViewController::~ViewController()
{
    platform::NotificationCenter::defaultCenter().removeObserver(this);
}

QString ViewController::idleText()
{
    return LanguageService::localizedStringForKey("Title") +
           LanguageService::localizedStringForKey("viewController_normalDescLabelString");
}

// Places the controls, as the window layout would.
void ViewController::layoutControls()
{
    const platform::Rect all = bounds();
    m_backImageView = new PNQImageView(all, this);
    m_backImageView->setAutoresizingMask(WidthSizable | HeightSizable);
    for (int i = 0; i < ToolCount; ++i) {
        const int row = i / 4;
        const int column = i % 4;
        const int inRow = row < 2 ? 4 : ToolCount - 8;
        const double rowWidth = inRow * kTileWidth + (inRow - 1) * kGap;
        const double x = (all.width() - rowWidth) / 2 + column * (kTileWidth + kGap);
        const double y = kTilesTop - (row + 1) * kTileHeight - row * kGap;
        m_toolButtons[i] = new PNQButton(makeRect(x, y, kTileWidth, kTileHeight), this);
    }
    m_descLabel1 = new TextLabel(makeRect(20, 16, all.width() - 40, 26), this);
    m_descLabel1->setAlignment(Qt::AlignHCenter);
    const double linkY = all.height() - kLinkHeight - 8;
    m_homepageButton = new PNQButton(makeRect(all.width() - 105, linkY, 100, kLinkHeight), this);
    m_aboutButton = new PNQButton(makeRect(all.width() - 210, linkY, 100, kLinkHeight), this);
}

void ViewController::viewDidLoad()
{
    m_window->setTitlebarAppearsTransparent(true);
    m_window->setBackgroundColor(kAccent);
    m_window->setTitle(LanguageService::localizedStringForKey("Ixy-de-Rz5.title"));

    platform::NotificationCenter::defaultCenter().addObserver(
        this, QString::fromLatin1(WillCloseNotification), nullptr,
        [this](const platform::Notification &notification) { childEnable(notification); });

    m_backImageView->setBackGroundColor(QColor(245, 245, 245));
    m_backImageView->setBordColor(QColor(245, 245, 245));
    m_backImageView->setCornerRadius(1);
    m_backImageView->setBorderWidth(0);

    const QPointer<ViewController> self(this);
    for (int i = 0; i < ToolCount; ++i) {
        PNQButton *button = m_toolButtons[i];
        const ToolInfo &tool = kTools[i];
        button->setNormalImage(stateImage(tool.imageWord, "Normal"));
        button->setOnImage(stateImage(tool.imageWord, "On"));
        button->setDownImage(stateImage(tool.imageWord, "Down"));
        button->setDisAbleImage(stateImage(tool.imageWord, "Disable"));
        const char *hoverKey = tool.hoverKey;
        button->mouseEnteredCallback = [self, hoverKey](PNQButton *) {
            platform::dispatchMain([self, hoverKey] {
                if (self)
                    self->m_descLabel1->setText(LanguageService::localizedStringForKey(hoverKey));
            });
        };
        button->mouseExitedCallback = [self](PNQButton *) {
            platform::dispatchMain([self] {
                if (self)
                    self->m_descLabel1->setText(idleText());
            });
        };
        const auto action = tool.action;
        button->mouseDownAction = [self, action](PNQButton *sender) {
            const QPointer<PNQButton> clicked(sender);
            platform::dispatchMain([self, action, clicked] {
                if (self)
                    (self.data()->*action)(clicked);
            });
        };
    }

    m_aboutButton->setNormalImage(
        ResourceService::imageWithfileName(QStringLiteral("Main/btnAbout_Normal.png")));
    m_aboutButton->setContentTitle(LanguageService::localizedStringForKey("aboutBtnTitle"));
    m_homepageButton->setNormalImage(
        ResourceService::imageWithfileName(QStringLiteral("Main/btnHomepage_Normal.png")));
    m_homepageButton->setContentTitle(LanguageService::localizedStringForKey("HomepageBtnTitle"));
    for (PNQButton *link : {m_aboutButton, m_homepageButton})
        link->setContentColor(kAccent);
    m_aboutButton->mouseDownAction = [self](PNQButton *sender) {
        const QPointer<PNQButton> clicked(sender);
        platform::dispatchMain([self, clicked] {
            if (self)
                self->aboutAction(clicked);
        });
    };
    m_homepageButton->mouseDownAction = [](PNQButton *) {
        platform::log("select homepage");
        platform::dispatchMain([] {
            platform::Workspace::instance().openUrl(
                QUrl(LanguageService::localizedStringForKey("homepageUrl")));
        });
    };

    m_descLabel1->setTextColor(kAccent);
    m_descLabel1->setEnabled(false);
    m_descLabel1->setText(idleText());

    initButtonTitle();
    viewDidLayout();
    update();
}

void ViewController::initButtonTitle()
{
    for (int i = 0; i < ToolCount; ++i) {
        PNQButton *button = m_toolButtons[i];
        const platform::Rect bounds = button->bounds();
        // The caption runs along the tile's lower edge, which the tile pictures leave free for it: y = height
        // - 25 counted in the button's own top-down coordinates.
        // (setCaption() gives a caption that wraps a taller frame.)
        auto *caption = new TextLabel(makeRect(10, 1, bounds.width() - 20, 24), button);
        caption->setTextColor(Qt::white);
        caption->setAlignment(Qt::AlignLeft);
        setCaption(caption, LanguageService::localizedStringForKey(kTools[i].captionKey));
        m_captions[i] = caption;
    }
}

void ViewController::viewDidLayout()
{
    if (!m_homepageButton)
        return;
    // Each link is as wide as its title in a 150 x 20 box, plus room for its icon, right-aligned with
    // 5 points between them.
    const QFontMetricsF metrics(m_homepageButton->font());
    auto widthFor = [&](const QString &title) {
        return metrics.boundingRect(QRectF(0, 0, 150, 20), Qt::TextWordWrap, title).width() + 25;
    };
    const QString homepage = LanguageService::localizedStringForKey("HomepageBtnTitle");
    m_homepageButton->setContentTitle(homepage);
    platform::Rect link = m_homepageButton->frame();
    const double homepageWidth = widthFor(homepage);
    m_homepageButton->setFrame(
        makeRect(frame().width() - homepageWidth - 5, link.minY(), homepageWidth, link.height()));

    const QString about = LanguageService::localizedStringForKey("aboutBtnTitle");
    m_aboutButton->setContentTitle(about);
    link = m_aboutButton->frame();
    const double aboutWidth = widthFor(about);
    m_aboutButton->setFrame(
        makeRect(m_homepageButton->frame().minX() - aboutWidth - 5, link.minY(), aboutWidth, link.height()));

    for (int i = 0; i < ToolCount; ++i) {
        if (m_captions[i]) {
            setCaption(m_captions[i], LanguageService::localizedStringForKey(kTools[i].layoutCaptionKey));
        }
    }
}

void ViewController::langeuageAction()
{
    m_descLabel1->setText(idleText());
    viewDidLayout();
    update();
}

void ViewController::enable(bool on)
{
    for (PNQButton *button : m_toolButtons)
        button->setEnabled(on);
    if (m_langeuagePopBtn)
        m_langeuagePopBtn->setEnabled(on);
    m_aboutButton->setEnabled(on);
    m_homepageButton->setEnabled(on);
}

void ViewController::childEnable(const platform::Notification &)
{
    enable(true);
}

void ViewController::openTool(Tool tool)
{
    const ToolInfo &info = kTools[tool];
    platform::WindowController *controller =
        platform::WindowController::create(QString::fromLatin1(info.className));
    if (!controller) {
        platform::logWarning("no window controller registered as %s", info.className);
        return;
    }
    if (info.toolBit != 0)
        controller->setProperty("toolItemType", QVariant::fromValue<qint64>(info.toolBit));
    controller->center();
    controller->setTitle(LanguageService::localizedStringForKey(info.titleKey));
    controller->makeKeyAndOrderFront();
    enable(false);
    // The controller keeps itself alive while its window is open.
}

void ViewController::cropAction(PNQButton *)
{
    openTool(Crop);
}
void ViewController::effectAction(PNQButton *)
{
    openTool(Effect);
}
void ViewController::subtitleAction(PNQButton *)
{
    openTool(Subtitle);
}
void ViewController::watermarkAction(PNQButton *)
{
    openTool(Watermark);
}
void ViewController::joinnerAction(PNQButton *)
{
    openTool(Joinner);
}
void ViewController::easy_cutterAction(PNQButton *)
{
    openTool(EasyCutter);
}
void ViewController::batch_cutterAction(PNQButton *)
{
    openTool(BatchCutter);
}
void ViewController::advanced_cutterAction(PNQButton *)
{
    openTool(AdvancedCutter);
}
void ViewController::rotateAction(PNQButton *)
{
    openTool(Rotate);
}
void ViewController::addOrremovemusicAction(PNQButton *)
{
    openTool(Music);
}
void ViewController::splitAction(PNQButton *)
{
    openTool(Split);
}

void ViewController::aboutAction(PNQButton *)
{
    auto *about = new AboutUsWindowController;
    platform::Window *aboutWindow = about->window();
    const platform::Rect launcher = m_window->frame();
    const float x = float(launcher.minX()) + float((launcher.width() - 480) / 2);
    const float y = float(launcher.minY()) + float((launcher.height() - 270) / 2);
    aboutWindow->setFrame(makeRect(x, y, 480, 270));
    platform::Application::shared().runModal(aboutWindow);
}
