#include "profiles/SettingWindowController.h"

#include "services/LanguageService.h"
#include "services/ResourceService.h"
#include "controls/PNQButton.h"
#include "controls/PNQImageView.h"
#include "controls/TextLabel.h"
#include "platform/Application.h"
#include "platform/Bundle.h"
#include "platform/FontAlias.h"
#include "platform/Format.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/NumberScan.h"
#include "platform/Panels.h"
#include "platform/PopUpButton.h"
#include "platform/TextField.h"
#include "platform/UserDefaults.h"
#include "platform/Window.h"
#include "profiles/CustomProfileWriter.h"
#include "profiles/InputFileNameWindowController.h"
#include "profiles/ProfileDefaults.h"
#include "profiles/ProfileLibrary.h"
#include "profiles/ProfileReader.h"
#include "profiles/ProfileValue.h"

#include <QDir>
#include <QFileInfo>

using platform::makeRect;

namespace {

enum class Match { Text, Integer };

struct SettingInfo
{
    const char *profileKey;
    int mask;
    const char *editorKey;
    const char *joinerKey;
    const char *suffix;
    bool hasCustomItem;
    Match match;
};

const std::array<SettingInfo, SettingWindowController::SettingCount> kSettings = {{
    {"vcodec", 1, "vcodec_SelectTitle", "vcodecSelectTitle", "", false, Match::Text},
    {"s", 2, "resolution_SelectTitle", "resolutionSelectTitle", "", true, Match::Text},
    {"r", 4, "framerate_SelectTitle", "framerateSelectTitle", " fps", false, Match::Integer},
    {"b", 8, "bitate_SelectTitle", "bitateSelectTitle", " kbps", true, Match::Integer},
    {"acodec", 16, "acodec_SelectTitle", "acodecSelectTitle", "", false, Match::Text},
    {"ac", 32, "achannel_SelectTitle", "achannelSelectTitle", "", false, Match::Text},
    {"ar", 64, "asamplerate_SelectTitle", "asamplerateSelectTitle", " hz", false, Match::Integer},
    {"ab", 128, "abitate_SelectTitle", "abitateSelectTitle", " kbps", false, Match::Integer},
}};

const QString kCustom = QStringLiteral("Custom");
const QString kWidthKey = QStringLiteral("resolutionSelectCustom-Width");
const QString kHeightKey = QStringLiteral("resolutionSelectCustom-Height");
const QString kBitKey = QStringLiteral("bitSelectCustom-Value");

bool isVideoSetting(int setting)
{
    return setting <= SettingWindowController::VideoBitRate;
}

platform::UserDefaults &defaults()
{
    return platform::UserDefaults::standard();
}

QString keepOriginalTitle()
{
    return LanguageService::localizedStringForKey("Keep_OriginalStringValue");
}

QFont labelFont(double size, const QString &text)
{
    const QString name = LanguageService::isalaboLanguage() ? QStringLiteral("Muna") : QStringLiteral(".AppleSystemUIFont");
    return platform::FontAlias::fontNamed(name, size, text).value_or(platform::FontAlias::systemFont(size));
}

PNQButton *makePlateButton(const platform::Rect &frame, const QString &title, QWidget *parent)
{
    auto *button = new PNQButton(frame, parent);
    button->setNormalBackgroundImage(ResourceService::imageWithfileName(QStringLiteral("About/btnOK_Normal.bmp")));
    button->setOnBackgroundImage(ResourceService::imageWithfileName(QStringLiteral("About/btnOK_On.bmp")));
    button->setDownBackgroundImage(ResourceService::imageWithfileName(QStringLiteral("About/btnOK_Down.bmp")));
    button->setDisAbleBackgroundImage(ResourceService::imageWithfileName(QStringLiteral("About/btnOK_Disable.bmp")));
    button->setContentColor(Qt::black);
    button->setContentTitle(title);
    return button;
}

// The integer a custom field holds, read as the window stores it.
int fieldNumber(const platform::TextField *field)
{
    return field ? platform::scanInt(SettingWindowController::numForStringValue(field->stringValue())) : 0;
}

} // namespace

// Hands the custom fields' keystrokes to the window.
class SettingWindowController::FieldDelegate : public platform::TextFieldDelegate
{
public:
    explicit FieldDelegate(SettingWindowController *owner) : m_owner(owner) {}
    void controlTextDidChange(platform::TextField *field) override { m_owner->customValueChange(field); }

private:
    SettingWindowController *m_owner;
};

SettingWindowController::SettingWindowController(QObject *parent)
    : platform::WindowController(parent)
    , m_fieldDelegate(std::make_unique<FieldDelegate>(this))
{
}

SettingWindowController::~SettingWindowController()
{
    platform::log("%s", "-[SettingWindowController dealloc]");
    for (platform::TextField *field : {m_customWidth, m_customHeight, m_customVideoBit}) {
        if (field)
            field->setDelegate(nullptr);
    }
}

std::unique_ptr<platform::Window> SettingWindowController::makeWindow()
{
    return std::make_unique<platform::Window>(platform::Size{360, hasVideoPart() ? 480.0 : 292.0});
}

QString SettingWindowController::keyForSetting(Setting setting) const
{
    const SettingInfo &info = kSettings[setting];
    return QString::fromLatin1(m_joinner ? info.joinerKey : info.editorKey);
}

TextLabel *SettingWindowController::makeLabel(const platform::Rect &frame, const QString &text,
                                              Qt::Alignment alignment, double size)
{
    auto *label = new TextLabel(frame, window()->contentView());
    label->setTextFont(labelFont(size, text));
    label->setTextColor(Qt::black);
    label->setAlignment(alignment);
    label->setText(text);
    return label;
}

void SettingWindowController::windowDidLoad()
{
    platform::Window *win = window();
    win->setTitle(m_joinner ? LanguageService::localizedStringForKey("Joinner_settingsTitle")
                            : LanguageService::localizedStringForKey("Edit_settingsTitle"));
    const double width = win->contentView()->frame().width();
    if (hasVideoPart())
        initVideoView();
    initaudioView();

    m_defaultBtn = makePlateButton(makeRect(20, 20, 80, 23), LanguageService::localizedStringForKey("DefaultBtnTitle"),
                                   win->contentView());
    m_defaultBtn->mouseDownAction = [this](PNQButton *) { actiondefaultBtn(); };
    m_createCustomBtn = makePlateButton(makeRect(width - 140, 20, 120, 23),
                                        LanguageService::localizedStringForKey("CreateCustomBtnTitle"),
                                        win->contentView());
    m_createCustomBtn->mouseDownAction = [this](PNQButton *) { actionCreateCustomBtn(); };
}

void SettingWindowController::initVideoView()
{
    platform::View *content = window()->contentView();
    const double width = content->frame().width();
    m_videoBackView = new PNQImageView(makeRect(22, 256, width - 44, 178), content);
    m_videoBackView->setBackGroundColor(QColor(245, 245, 245));
    m_videoBackView->setCornerRadius(4);
    makeLabel(makeRect(30, 432, 100, 20), LanguageService::localizedStringForKey("VideoLabelTitle"), Qt::AlignLeft);

    const char *labels[] = {VW_KEY("CodecLabelTitle"), VW_KEY("ResolutionLabel"), VW_KEY("Frame_RateLabelTitle"),
                            VW_KEY("Bit_RateLabelTitle")};
    for (int i = VideoCodec; i <= VideoBitRate; ++i) {
        const double y = 394 - (i - VideoCodec) * 40;
        makeLabel(makeRect(30, y + 3, 110, 20), LanguageService::localizedStringForKey(labels[i - VideoCodec]),
                  Qt::AlignRight);
        auto *popUp = new platform::PopUpButton(makeRect(150, y, 160, 26), false, content);
        const auto setting = static_cast<Setting>(i);
        popUp->action = [this, setting](platform::PopUpButton &) { itemChosen(setting); };
        m_popUps[i] = popUp;
    }

    auto makeField = [&](const platform::Rect &frame, int tag) {
        auto *field = new platform::TextField(frame, content);
        field->setTag(tag);
        field->setAlignment(Qt::AlignRight);
        field->setTextColor(Qt::black);
        field->setDelegate(m_fieldDelegate.get());
        return field;
    };
    m_customWidth = makeField(makeRect(320, 357, 60, 20), 2000);
    m_sp = makeLabel(makeRect(382, 355, 14, 24), QStringLiteral("*"), Qt::AlignCenter, 18);
    m_customHeight = makeField(makeRect(398, 357, 60, 20), 3000);
    m_customVideoBit = makeField(makeRect(320, 277, 60, 20), 4000);
}

void SettingWindowController::initaudioView()
{
    platform::View *content = window()->contentView();
    const double width = content->frame().width();
    m_audioBackView = new PNQImageView(makeRect(22, 56, width - 44, 178), content);
    m_audioBackView->setBackGroundColor(QColor(245, 245, 245));
    m_audioBackView->setCornerRadius(4);
    makeLabel(makeRect(30, 232, 100, 20), LanguageService::localizedStringForKey("AudioLabelTitle"), Qt::AlignLeft);

    const char *labels[] = {VW_KEY("CodecLabelTitle"), VW_KEY("audio_ChannelLabelTitle"),
                            VW_KEY("audio_Sample_RateLabelTitle"), VW_KEY("audio_Bit_RateLabelTitle")};
    for (int i = AudioCodec; i <= AudioBitRate; ++i) {
        const double y = 194 - (i - AudioCodec) * 40;
        makeLabel(makeRect(30, y + 3, 110, 20), LanguageService::localizedStringForKey(labels[i - AudioCodec]),
                  Qt::AlignRight);
        auto *popUp = new platform::PopUpButton(makeRect(150, y, 160, 26), false, content);
        const auto setting = static_cast<Setting>(i);
        popUp->action = [this, setting](platform::PopUpButton &) { itemChosen(setting); };
        m_popUps[i] = popUp;
    }
}

QString SettingWindowController::resolvedProfilePath() const
{
    QString path = m_pfPath;
    if (path.isEmpty()) {
        path = m_joinner ? QStringLiteral("Settings.bundle/pf_join/Video/mkv(HEVC).pf")
                         : QStringLiteral("Settings.bundle/functionFolder/Video/mkv(HEVC).pf");
    }
    if (QDir::isRelativePath(path))
        path = platform::Bundle::main().resourcePath() + u'/' + path;
    return path;
}

bool SettingWindowController::isKeepOriginalProfile() const
{
    return QFileInfo(resolvedProfilePath()).completeBaseName() == QLatin1String(ProfileLibrary::KeepOriginal);
}

void SettingWindowController::readLists()
{
    const QString path = resolvedProfilePath();
    for (int i = 0; i < SettingCount; ++i) {
        const QString value = ProfileReader::readProfileValue(QStringLiteral("Parameter"),
                                                              QString::fromLatin1(kSettings[i].profileKey), path);
        m_lists[i] = ProfileValue::resultContentStrForArr(value, ProfileValue::Rules::SettingsWindow).value_or(QStringList());
    }
}

void SettingWindowController::loadStoredTitles()
{
    for (int i = 0; i < SettingCount; ++i) {
        if (isKeepOriginalProfile()) {
            m_titles[i].clear();
            continue;
        }
        QString title = defaults().string(keyForSetting(static_cast<Setting>(i)));
        if (!isVideoSetting(i))
            title = ProfileValue::new_startAndendnospaceString(title).value_or(QString());
        m_titles[i] = title;
    }
}

void SettingWindowController::displayViewChildes()
{
    window();
    readLists();
    loadStoredTitles();
    setViewChildes();
    showCustomFields();
}

void SettingWindowController::setViewChildes()
{
    for (int i = 0; i < SettingCount; ++i) {
        if (m_popUps[i])
            fillMenu(static_cast<Setting>(i));
    }
}

void SettingWindowController::fillMenu(Setting setting)
{
    platform::PopUpButton *popUp = m_popUps[setting];
    const SettingInfo &info = kSettings[setting];
    popUp->removeAllItems();
    const bool codec = setting == VideoCodec || setting == AudioCodec;
    m_hasLeadingItem[setting] = codec ? isKeepOriginalProfile() : !m_joinner;
    if (m_hasLeadingItem[setting])
        popUp->addItemWithTitle(keepOriginalTitle());
    for (QString item : m_lists[setting]) {
        item.remove(u'"');
        if (!item.isEmpty())
            popUp->addItemWithTitle(item + QLatin1String(info.suffix));
    }
    if (info.hasCustomItem)
        popUp->addItemWithTitle(kCustom);

    const QString title = m_titles[setting];
    int index = 0;
    if (title == kCustom && info.hasCustomItem) {
        index = popUp->numberOfItems() - 1;
    } else if (!title.isEmpty() && title != QLatin1String(" ")) {
        const QStringList items = popUp->itemTitles();
        for (int i = m_hasLeadingItem[setting] ? 1 : 0; i < items.size(); ++i) {
            const bool same = info.match == Match::Integer ? platform::scanInt(items[i]) == platform::scanInt(title)
                                                           : items[i] == title;
            if (same) {
                index = i;
                break;
            }
        }
    }
    popUp->selectItemAtIndex(index);
}

void SettingWindowController::showCustomFields()
{
    if (!hasVideoPart())
        return;
    const bool customSize = m_titles[FrameSize] == kCustom;
    m_customWidth->setVisible(customSize);
    m_sp->setVisible(customSize);
    m_customHeight->setVisible(customSize);
    if (customSize) {
        if (defaults().contains(kWidthKey))
            m_customWidth->setStringValue(QString::number(defaults().integer(kWidthKey)));
        if (defaults().contains(kHeightKey))
            m_customHeight->setStringValue(QString::number(defaults().integer(kHeightKey)));
    }
    const bool customBit = m_titles[VideoBitRate] == kCustom;
    m_customVideoBit->setVisible(customBit);
    if (customBit)
        m_customVideoBit->setStringValue(platform::qformat("%d", defaults().integer(kBitKey)));
}

void SettingWindowController::itemChosen(Setting setting)
{
    platform::PopUpButton *popUp = m_popUps[setting];
    if (!popUp)
        return;
    const QString item = popUp->titleOfSelectedItem();
    const QString key = keyForSetting(setting);
    if (m_hasLeadingItem[setting] && popUp->indexOfSelectedItem() == 0 && item == keepOriginalTitle()) {
        defaults().remove(key);
        m_titles[setting].clear();
    } else {
        QString stored = item;
        const QString suffix = QLatin1String(kSettings[setting].suffix);
        if (!suffix.isEmpty() && stored.endsWith(suffix))
            stored.chop(suffix.size());
        defaults().setValue(key, stored);
        m_titles[setting] = stored;
    }
    platform::log("items:%@", item);

    if (setting == FrameSize || setting == VideoBitRate) {
        const bool customSize = m_titles[FrameSize] == kCustom;
        const bool customBit = m_titles[VideoBitRate] == kCustom;
        m_customWidth->setVisible(customSize);
        m_sp->setVisible(customSize);
        m_customHeight->setVisible(customSize);
        if (setting == FrameSize && customBit)
            defaults().setValue(keyForSetting(VideoBitRate), kCustom);
        m_customVideoBit->setVisible(customBit);
        layoutForWidth(customSize || customBit ? 480 : 360);
    }
    if (selectSettingCallbackBlock)
        selectSettingCallbackBlock(kSettings[setting].mask);
}

void SettingWindowController::layoutForWidth(double width)
{
    if (!hasVideoPart())
        return;
    platform::Window *win = window();
    const platform::Rect old = win->frame();
    const double height = 480;
    win->setFrame(makeRect(old.midX() - width / 2, old.midY() - height / 2, width, height));
    m_videoBackView->setFrame(makeRect(22, 256, width - 44, 178));
    m_audioBackView->setFrame(makeRect(22, 56, width - 44, 178));
    m_createCustomBtn->setFrame(makeRect(width - 140, 20, 120, 23));
}

void SettingWindowController::customValueChange(platform::TextField *field)
{
    if (!field)
        return;
    if (field == m_customVideoBit) {
        defaults().setValue(kBitKey, fieldNumber(m_customVideoBit));
        if (selectSettingCallbackBlock)
            selectSettingCallbackBlock(8);
    } else if (field == m_customWidth || field == m_customHeight) {
        defaults().setValue(kWidthKey, fieldNumber(m_customWidth));
        defaults().setValue(kHeightKey, fieldNumber(m_customHeight));
        if (selectSettingCallbackBlock)
            selectSettingCallbackBlock(2);
    }
}

QString SettingWindowController::numForStringValue(const QString &text)
{
    if (text.isEmpty())
        return QStringLiteral("0");
    qsizetype first = 0;
    while (first < text.size() && !(text.at(first) >= u'0' && text.at(first) <= u'9'))
        ++first;
    return platform::qformat("%.2f", platform::scanDouble(text.mid(first)));
}

void SettingWindowController::actiondefaultBtn()
{
    window();
    readLists();
    const bool keep = isKeepOriginalProfile();
    const QString path = resolvedProfilePath();
    for (int i = 0; i < SettingCount; ++i) {
        if (keep) {
            m_titles[i].clear();
            continue;
        }
        const QString value = ProfileReader::readProfileValue(QStringLiteral("Parameter"),
                                                              QString::fromLatin1(kSettings[i].profileKey), path);
        m_titles[i] = ProfileValue::resultSelectItemTitleForContentStr(value, ProfileValue::Rules::SettingsWindow)
                          .value_or(QString());
    }
    if (!keep && !m_joinner && hasVideoPart() && ProfileDefaults::isShipped(path)) {
        const ProfileDefaults::Video video =
            ProfileDefaults::resolve({m_titles[FrameSize], m_titles[FrameRate], m_titles[VideoBitRate]},
                                     m_lists[VideoBitRate], ProfileDefaults::Use::OneSource, m_sourcePicture);
        m_titles[FrameSize] = video.frameSize;
        m_titles[FrameRate] = video.frameRate;
        m_titles[VideoBitRate] = video.bitRate;
    }
    setViewChildes();
    showCustomFields();
    for (int i = 0; i < SettingCount; ++i) {
        const QString key = keyForSetting(static_cast<Setting>(i));
        if (m_titles[i].isEmpty())
            defaults().remove(key);
        else
            defaults().setValue(key, m_titles[i]);
    }
    if (settingCallbackBlock)
        settingCallbackBlock();
}

// The profile as the user has tuned it: each setting's default item is the current choice (empty keeps
// the source's value), a custom frame size or bit rate joins its list, and the container stays the
// profile's.
QStringList SettingWindowController::customProfileLines() const
{
    const QString path = resolvedProfilePath();
    QStringList lines{QStringLiteral("# Custom output profile, saved from the output settings window."),
                      QStringLiteral("[Main]"),
                      QStringLiteral("ExtName=") + ProfileReader::readProfileValue(QStringLiteral("Main"),
                                                                                   QStringLiteral("ExtName"), path).trimmed(),
                      QStringLiteral("[Parameter]")};
    for (int i = 0; i < SettingCount; ++i) {
        if (m_lists[i].isEmpty() && m_titles[i].isEmpty())
            continue;
        QString current = m_titles[i];
        if (current == kCustom && i == FrameSize)
            current = QString::number(fieldNumber(m_customWidth)) + u'x' + QString::number(fieldNumber(m_customHeight));
        else if (current == kCustom && i == VideoBitRate)
            current = QString::number(fieldNumber(m_customVideoBit));
        QStringList items = m_lists[i];
        if (!current.isEmpty() && !items.contains(current))
            items.append(current);
        lines << QString::fromLatin1(kSettings[i].profileKey) + u'=' + current + QStringLiteral(",{") + items.join(u',') + u'}';
    }
    return lines;
}

void SettingWindowController::actionCreateCustomBtn()
{
    platform::Window *win = window();
    const QStringList lines = customProfileLines();
    auto *dialog = new InputFileNameWindowController;
    platform::Window *dialogWindow = dialog->window();
    const platform::Rect frame = win->frame();
    dialogWindow->setFrame(makeRect(frame.midX() - 190, frame.midY() - 70.5, 380, 141));
    dialog->setCustomValue(platform::qformat("custom={%@x%@}", m_customWidth ? m_customWidth->stringValue() : QString(),
                                             m_customHeight ? m_customHeight->stringValue() : QString()));

    // The name comes back on the dialog's notification; this window has closed by then but lives on until
    // the dialog's modal run has returned here.
    QObject receiver;
    platform::NotificationCenter::defaultCenter().addObserver(
        &receiver, QString::fromLatin1(InputFileNameWindowController::AddPfFileNotification), nullptr,
        [lines](const platform::Notification &note) {
            saveCustomProfile(lines, note.userInfo.value(QStringLiteral("fileName")).toString());
        });
    close();
    platform::Application::shared().runModal(dialogWindow);
}

void SettingWindowController::saveCustomProfile(const QStringList &lines, const QString &name)
{
    const QString target = ProfileLibrary::customFolder() + u'/' + name + QStringLiteral(".pf");
    QString message;
    if (QFileInfo::exists(target))
        message = platform::qformat(LanguageService::localizedStringForKey("CustomProfileExistsMessage"), name);
    else if (!CustomProfileWriter::saveSettingForpf(lines, name))
        message = platform::qformat(LanguageService::localizedStringForKey("CustomProfileNotSavedMessage"), name);
    if (message.isEmpty())
        return;
    platform::AlertRequest alert;
    alert.messageText = message;
    alert.buttonTitles = {LanguageService::localizedStringForKey("OKBtnTitle")};
    platform::Panels::instance().runAlert(alert);
}
