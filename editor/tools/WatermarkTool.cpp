#include "editor/tools/WatermarkTool.h"

#include "controls/PNQButton.h"
#include "controls/PNQScrollView.h"
#include "controls/PNQView.h"
#include "editor/tools/RDWaterView.h"
#include "editor/tools/ToolPanel.h"
#include "editor/tools/WaterMarkCellItemView.h"
#include "media/RDMoviePlayer.h"
#include "model/HelpClass.h"
#include "model/SimpleData.h"
#include "model/WaterParam.h"
#include "platform/CMTime.h"
#include "platform/Dispatch.h"
#include "platform/FontAlias.h"
#include "platform/Format.h"
#include "platform/Log.h"
#include "platform/Panels.h"
#include "platform/Stepper.h"
#include "platform/View.h"
#include "services/LanguageService.h"
#include "services/ResourceService.h"
#include "toolkit/SourceProbe.h"
#include "toolkit/TimeFieldRules.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {
constexpr double kRowHeight = 24;
// Labels left, the fields after them: four time fields and a stepper fit the narrowest panel.
constexpr double kLabelWidth = 82;
constexpr double kFieldX = 88;
// The engine's records hold 259 bytes of UTF-8 and the terminating zero.
constexpr int kRecordTextBytes = 259;

// Hands each record to the preview player and keeps a copy for previewRecords().
class PreviewSink : public WatermarkWalk::Sink
{
public:
    PreviewSink(RDMoviePlayer &player, WatermarkTool::PreviewRecords &records)
        : m_player(player), m_records(records)
    {
    }
    void addImage(const IMAGE_WATERMARK_PARAM &r) override
    {
        m_records.images.push_back(r);
        platform::log("suc:%d", int(m_player.AddImageWatermask(r)));
    }
    void addVideo(const VIDEO_WATERMARK_PARAM &r) override
    {
        m_records.videos.push_back(r);
        platform::log("suc:%d", int(m_player.AddVideoWatermask(r)));
    }
    void addText(const TEXT_WATERMARK_PARAM &r) override
    {
        m_records.texts.push_back(r);
        platform::log("suc:%d", int(m_player.AddTextWatermask(r)));
    }

private:
    RDMoviePlayer &m_player;
    WatermarkTool::PreviewRecords &m_records;
};

PNQButton *textButton(platform::View *panel, const platform::Rect &frame, const QString &title,
                      std::function<void()> action)
{
    auto *button = new PNQButton(frame, panel);
    button->setAutoresizingMask(platform::View::MinYMargin);
    button->setContentTitle(title);
    button->setContentColor(Qt::black);
    button->setBordColor(QColor(33, 176, 235));
    button->setBackGroundColor(QColor(33, 176, 235));
    button->setDisAblebackGroundColor(QColor(221, 221, 221));
    button->setCornerRadius(4);
    button->setEnabled(false);
    button->mouseDownAction = [action = std::move(action)](PNQButton *b) {
        if (b->isEnabled())
            platform::dispatchMain(action);
    };
    return button;
}

// A button drawn by the images of `stem` ("_Normal", "_On", "_Down"; the hover image also when
// disabled); `tip` names it.
PNQButton *imageButton(platform::View *panel, const platform::Rect &frame, const char *stem,
                       const QString &tip, std::function<void()> action)
{
    auto *button = new PNQButton(frame, panel);
    button->setAutoresizingMask(platform::View::MinYMargin);
    const auto image = [stem](const char *state) {
        return ResourceService::imageWithfileName(QString::fromUtf8(stem) + QString::fromUtf8(state));
    };
    button->setNormalImage(image("_Normal.png"));
    button->setOnImage(image("_On.png"));
    button->setDownImage(image("_Down.png"));
    button->setDisAbleImage(image("_On.png"));
    button->setBorderWidth(0);
    button->setToolTip(tip);
    button->setEnabled(false);
    button->mouseDownAction = [action = std::move(action)](PNQButton *b) {
        if (b->isEnabled())
            platform::dispatchMain(action);
    };
    return button;
}

// A field group's frame: a thin light-grey border with rounded corners.
PNQView *groupFrame(platform::View *parent, const platform::Rect &frame)
{
    auto *view = new PNQView(frame, parent);
    view->setAutoresizingMask(platform::View::MinYMargin);
    view->setBordColor(QColor(214, 212, 212));
    view->setBorderWidth(1);
    view->setCornerRadius(2);
    return view;
}

// Layout units: one point is one pixel.
double fontSize(const QFont &font)
{
    return font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF();
}

// The record's font at its size (the system font when the name is unknown).
QFont fontOf(const WaterParam &item)
{
    QFont font = platform::FontAlias::fontNamed(item.waterFontName(), item.waterFontSize())
                     .value_or(platform::FontAlias::systemFont(item.waterFontSize()));
    platform::FontAlias::setPlatformSize(font, item.waterFontSize());
    return font;
}

// A picture file; an empty name (nothing chosen) is no picture, without Qt's warning on the terminal.
QImage pictureFile(const QString &path)
{
    return path.isEmpty() ? QImage() : QImage(path);
}

QImage firstFrameOf(const QString &path, float &duration)
{
    // The one probe gives the still and the length; a file without a picture gives neither.
    const auto record = SourceProbe::probe(path, SourceProbe::Titles{});
    duration = record && record->sourceData() ? record->sourceData()->duration() : 0;
    return record ? record->thumbImage() : QImage();
}
} // namespace

WatermarkTool::~WatermarkTool()
{
    for (const auto &field : {m_wmAlphaField, m_wmWidthField, m_wmHeightField, m_waterContentTextField})
        if (field)
            field->setDelegate(nullptr);
    for (const TimeFieldGroup &group : m_groups)
        for (platform::TextField *field : group.fields())
            if (field)
                field->setDelegate(nullptr);
    if (m_overlay && m_overlay->delegate() == this)
        m_overlay->setDelegate(nullptr);
}

bool WatermarkTool::isPictureFile(const QString &path)
{
    static const QStringList pictures{"png", "jpg", "tiff", "jpeg", "gif"};
    return pictures.contains(QFileInfo(path).suffix().toLower());
}

void WatermarkTool::initWaterView(platform::View *panel)
{
    using platform::makeRect;
    const double w = panel->frame().width();
    m_panelWidth = w;
    double y = panel->frame().height() - 30;

    // The three list buttons above the list: add text, add a picture or video, delete.
    m_textmarkBtn =
        imageButton(panel, makeRect(5, y, 26, 26), "SubFun/btnAddTextWaterMark",
                    LanguageService::localizedStringForKey("wmAddTextBtnTitle"), [this] { addTextAction(); });
    m_imagemarkBtn =
        imageButton(panel, makeRect(37, y, 26, 26), "SubFun/btnAddPicWaterMark",
                    LanguageService::localizedStringForKey("wmAddFileBtnTitle"), [this] { addFileAction(); });
    m_deletedmarkBtn =
        imageButton(panel, makeRect(w - 31, y, 26, 26), "SubFun/btnDeleteWaterMark",
                    LanguageService::localizedStringForKey("wmDeleteBtnTitle"), [this] { deleteAction(); });

    const double listHeight = 80;
    y -= listHeight + 4;
    auto *box = new QGroupBox;
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(1, 1, 1, 1);
    auto *scroll = new PNQScrollView;
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidgetResizable(false);
    layout->addWidget(scroll);
    ToolPanel::hosted(panel, makeRect(5, y, w - 10, listHeight), box);
    m_listDocument = new platform::View(makeRect(0, 0, w - 30, listHeight - 12));
    scroll->setWidget(m_listDocument);

    // The four time groups: a label, four fields and a stepper each.
    const char *keys[] = {VW_KEY("watermarkStartTimeLabelstringValue"),
                          VW_KEY("watermarkDurationLabelstringValue"),
                          VW_KEY("wmFileStartTimeLabelstringValue"), VW_KEY("wmFileEndTimeLabelstringValue")};
    auto timeRow = [&](platform::View *parent, double rowY, int group) {
        ToolPanel::label(parent, makeRect(5, rowY, kLabelWidth, 20),
                         LanguageService::localizedStringForKey(keys[group]));
        platform::TextField *f[4];
        for (int i = 0; i < 4; ++i) {
            f[i] = ToolPanel::numberField(parent, makeRect(kFieldX + i * 30, rowY - 2, 28, 24), this);
            f[i]->mouseDownHandler = [this](platform::TextField &field) {
                primeTimeStepper(&field);
                return false;
            };
        }
        m_groups[group] = TimeFieldGroup(f[0], f[1], f[2], f[3]);
        auto *stepper = new platform::Stepper(makeRect(kFieldX + 4 * 30, rowY - 4, 19, 27), parent);
        stepper->setAutoresizingMask(platform::View::MinYMargin);
        stepper->setEnabled(false);
        stepper->action = [this, group](platform::Stepper &) { stepTime(group); };
        m_steppers[group] = stepper;
    };
    y -= 26;
    ToolPanel::label(panel, makeRect(5, y, w - 10, 20),
                     LanguageService::localizedStringForKey("timeRangeofDisplayLabelstringValue"));
    y -= 26;
    timeRow(panel, y, Start);
    y -= 26;
    timeRow(panel, y, Duration);

    // The part of a video file, shown only for a video row; the lower groups move up in its place.
    y -= 84;
    m_fileGroupView = new platform::View(makeRect(0, y, w, 80), panel);
    m_fileGroupView->setAutoresizingMask(platform::View::MinYMargin);
    ToolPanel::label(m_fileGroupView, makeRect(5, 54, w - 10, 20),
                     LanguageService::localizedStringForKey("selectaportionofClipLabelstringValue"));
    timeRow(m_fileGroupView, 28, FileStart);
    timeRow(m_fileGroupView, 2, FileEnd);
    m_fileGroupView->setVisible(false);

    // Transparency and keep-aspect, then the kind's own group in one place: the size of a picture or
    // video, or the text, font and colour of a text.
    const double lowerHeight = 138;
    m_lowerGroupView = new platform::View(makeRect(0, y + 80 - lowerHeight, w, lowerHeight), panel);
    m_lowerGroupView->setAutoresizingMask(platform::View::MinYMargin);
    platform::View *lower = m_lowerGroupView;
    ToolPanel::label(lower, makeRect(5, 114, kLabelWidth, 20),
                     LanguageService::localizedStringForKey("wmTransparenceLabelstringValue"));
    m_wmAlphaField = ToolPanel::numberField(lower, makeRect(kFieldX, 112, 34, 24), this);
    m_wmAlphaStepper = new platform::Stepper(makeRect(kFieldX + 36, 110, 19, 27), lower);
    m_wmAlphaStepper->setMaxValue(100);
    m_wmAlphaStepper->setValueWraps(false);
    m_wmAlphaStepper->action = [this](platform::Stepper &s) { setTransparency(s.intValue()); };
    auto *slider = new QSlider(Qt::Horizontal);
    slider->setRange(0, 100);
    // Every change counts, a drag, a click on the groove or a key alike.
    QObject::connect(slider, &QSlider::valueChanged, slider, [this](int v) { setTransparency(v); });
    m_wmAlphaSlider = slider;
    ToolPanel::hosted(lower, makeRect(kFieldX + 58, 114, w - kFieldX - 63, 21), slider);

    m_wmkeepaspectRatioBtn = new PNQButton(makeRect(5, 84, w - 10, 22), lower);
    m_wmkeepaspectRatioBtn->setNormalImage(
        ResourceService::imageWithfileName(QStringLiteral("Join/CheckBox_NoCheck.bmp")));
    m_wmkeepaspectRatioBtn->setSelectedImage(
        ResourceService::imageWithfileName(QStringLiteral("Join/CheckBox_Checked.bmp")));
    m_wmkeepaspectRatioBtn->setContentImagePosition(1);
    m_wmkeepaspectRatioBtn->setContentColor(Qt::black);
    m_wmkeepaspectRatioBtn->setContentTitle(
        QStringLiteral("  ") + LanguageService::localizedStringForKey("wmkeepaspectRatioBtnTitle"));
    m_wmkeepaspectRatioBtn->mouseDownAction = [this](PNQButton *b) {
        if (b->isEnabled())
            platform::dispatchMain([this] { keepAspectAction(); });
    };

    m_wmsizeBackgroundView = groupFrame(lower, makeRect(2, 52, w - 4, 30));
    platform::View *size = m_wmsizeBackgroundView;
    ToolPanel::label(size, makeRect(3, 5, kLabelWidth, 20),
                     LanguageService::localizedStringForKey("wmSizeLabelstringValue"));
    m_wmWidthField = ToolPanel::numberField(size, makeRect(kFieldX - 2, 3, 34, 24), this);
    m_wmWidthStepper = new platform::Stepper(makeRect(kFieldX + 34, 1, 19, 27), size);
    m_wmHeightField = ToolPanel::numberField(size, makeRect(kFieldX + 56, 3, 34, 24), this);
    m_wmHeightStepper = new platform::Stepper(makeRect(kFieldX + 92, 1, 19, 27), size);
    for (platform::Stepper *s : {m_wmWidthStepper.data(), m_wmHeightStepper.data()}) {
        s->setMaxValue(100000);
        s->setValueWraps(false);
    }
    m_wmWidthStepper->action = [this](platform::Stepper &s) {
        if (WaterParam *item = editedItem())
            setSize(s.intValue(), pixelSize(*item).height);
    };
    m_wmHeightStepper->action = [this](platform::Stepper &s) {
        if (WaterParam *item = editedItem())
            setSize(pixelSize(*item).width, s.intValue());
    };

    m_wmfontStyleBackView = groupFrame(lower, makeRect(2, 0, w - 4, 82));
    platform::View *font = m_wmfontStyleBackView;
    ToolPanel::label(font, makeRect(3, 58, w - 12, 20),
                     LanguageService::localizedStringForKey("wmFontStyleLabelstringValue"));
    m_waterContentTextField = new platform::TextField(makeRect(3, 32, w - 12, 24), font);
    m_waterContentTextField->setAutoresizingMask(platform::View::MinYMargin);
    m_waterContentTextField->setDelegate(this);
    m_waterContentTextField->setEnabled(false);
    m_waterFontBtn = textButton(font, makeRect(3, 3, (w - 15) / 2, 26),
                                LanguageService::localizedStringForKey("waterFontBtntitle"),
                                [this] { actionwaterFontBtn(); });
    m_waterColorBtn = textButton(font, makeRect(8 + (w - 15) / 2, 3, (w - 15) / 2, 26),
                                 LanguageService::localizedStringForKey("waterColorBtntitle"),
                                 [this] { actionColorBtn(); });

    // Its action is empty: there is nothing given for it to restore.
    m_watermarkDefaultBtn = new PNQButton(makeRect((w - 80) / 2, 5, 80, 30), panel);
    m_watermarkDefaultBtn->setAutoresizingMask(platform::View::MinYMargin);
    m_watermarkDefaultBtn->setStateBackgroundImages(QStringLiteral("About/btnOK"));
    m_watermarkDefaultBtn->setCornerRadius(5);
    m_watermarkDefaultBtn->setBordColor(QColor(33, 176, 235));
    m_watermarkDefaultBtn->setContentTitle(
        LanguageService::localizedStringForKey("watermarkDefaultBtnTitle"));
    m_watermarkDefaultBtn->setEnabled(false);
    refreshWaterTime();
    enableWaterChildView(false);
}

void WatermarkTool::attachOverlay(RDWaterView *overlay)
{
    m_overlay = overlay;
    if (overlay)
        overlay->setDelegate(this);
}

WaterParam *WatermarkTool::editedItem() const
{
    if (m_selectedWaterMarkIndex < 0 || m_selectedWaterMarkIndex >= m_list.size())
        return nullptr;
    return m_list.at(m_selectedWaterMarkIndex).get();
}

QList<std::shared_ptr<WaterParam>> WatermarkTool::waterMarkSelecteds() const
{
    QList<std::shared_ptr<WaterParam>> ticked;
    for (const auto &item : m_list)
        if (item->selected())
            ticked.append(item);
    return ticked;
}

QList<WaterMarkCellItemView *> WatermarkTool::cells() const
{
    QList<WaterMarkCellItemView *> cells;
    for (const auto &cell : m_cells)
        if (cell)
            cells.append(cell);
    return cells;
}

double WatermarkTool::mediaDuration() const
{
    const auto &player = m_host.rdPlayer();
    if (!player)
        return 0;
    const double d = platform::CMTimeGetSeconds(player->duration());
    return d > 0 ? d : 0;
}

bool WatermarkTool::fitsRecord(const QString &text)
{
    if (text.toUtf8().size() <= kRecordTextBytes)
        return true;
    m_host.showToolAlert(LanguageService::localizedStringForKey("wmTooLongString"));
    return false;
}

void WatermarkTool::addTextAction()
{
    auto item = std::make_shared<WaterParam>();
    item->setWaterType(WaterParam::Text);
    item->setWaterText(LanguageService::localizedStringForKey("watermarkstringValue"));
    item->setWaterFontColor(Qt::white);
    append(item);
}

void WatermarkTool::addFileAction()
{
    platform::OpenPanelRequest request;
    request.cancelTitle = LanguageService::localizedStringForKey("OpenPanelCancelTitle");
    request.prompt = LanguageService::localizedStringForKey("OpenPanelOpenTitle");
    request.message = LanguageService::localizedStringForKey("MessageSelectafile");
    request.allowsMultipleSelection = true;
    request.canCreateDirectories = true;
    request.allowedExtensions = {"jpg", "png", "JPEG", "tiff", "mov", "mp4", "gif"};
    const QStringList paths = platform::Panels::instance().runOpenPanel(request);
    for (const QString &path : paths)
        platform::log("%@", path);
    if (!paths.isEmpty())
        addFile(paths.last());
}

bool WatermarkTool::addFile(const QString &path)
{
    if (!fitsRecord(path))
        return false;
    auto item = std::make_shared<WaterParam>();
    item->setWaterType(WaterParam::File);
    item->setWaterImagePath(path);
    item->setKeepaspectRatio(true);
    if (!isPictureFile(path)) {
        float length = 0;
        const QImage still = firstFrameOf(path, length);
        if (still.isNull() || length <= 0) {
            m_host.showToolAlert(LanguageService::localizedStringForKey("Pleaseselectedvideo'sfilestring"));
            return false;
        }
        item->setIsVideo(true);
        item->setFileDuration(length);
        item->setFileEndTime(length);
    }
    append(item);
    return true;
}

void WatermarkTool::append(const std::shared_ptr<WaterParam> &item)
{
    item->setSelected(true);
    item->setDuration(float(mediaDuration()));
    m_selectedWaterMarkIndex = int(m_list.size());
    if (m_overlay) {
        m_overlay->setWaterMarkAlph(0);
        m_overlay->setMarkWaterType(int(item->waterType()));
        if (item->waterType() == WaterParam::File) {
            float length = 0;
            const QImage picture = item->isVideo() ? firstFrameOf(item->waterImagePath(), length)
                                                   : pictureFile(item->waterImagePath());
            m_overlay->setScale_Type(3);
            m_overlay->setWaterMarkString(QString());
            m_overlay->setWaterMark(picture);
            m_overlay->setClipRect(
                m_overlay->getCheckClipRect(platform::makeRect(0, 0, picture.width(), picture.height())));
            storeOverlayRect(*item);
        } else {
            m_overlay->setWaterMark(QImage());
            m_overlay->setWaterMarkString(item->waterText());
            m_overlay->setWaterMarkColor(item->waterFontColor());
            m_overlay->setWaterMarkFont(fontOf(*item));
            m_list.append(item);
            fitTextRect(*item);
            m_list.removeLast();
        }
        m_overlay->setVisible(true);
    }
    m_list.append(item);
    refresWaterMarkListView();
    m_host.editsChanged();
}

void WatermarkTool::deleteAction()
{
    if (!editedItem())
        return;
    m_list.removeAt(m_selectedWaterMarkIndex);
    if (!m_list.isEmpty())
        m_selectedWaterMarkIndex = std::min<int>(m_selectedWaterMarkIndex, int(m_list.size()) - 1);
    refresWaterMarkListView();
    m_host.editsChanged();
    if (m_list.isEmpty()) {
        if (m_overlay) {
            m_overlay->setWaterMark(QImage());
            m_overlay->setWaterMarkString(QString());
            m_overlay->setClipRect(platform::Rect{});
        }
        refreshWaterTime();
    }
}

void WatermarkTool::clear()
{
    m_list.clear();
    m_selectedWaterMarkIndex = 0;
    if (m_overlay) {
        m_overlay->setWaterMark(QImage());
        m_overlay->setWaterMarkString(QString());
    }
    refresWaterMarkListView();
}

void WatermarkTool::keepAspectAction()
{
    WaterParam *item = editedItem();
    if (!item)
        return;
    item->setKeepaspectRatio(!item->keepaspectRatio());
    m_wmkeepaspectRatioBtn->setSelected(item->keepaspectRatio());
    if (m_overlay)
        m_overlay->setScale_Type(item->keepaspectRatio() ? 3 : 1);
}

void WatermarkTool::selectRow(int row)
{
    platform::log("%s", "-[EditVideoWindowController selectEditWaterItem:]");
    if (row < 0 || row >= m_list.size())
        return;
    m_selectedWaterMarkIndex = row;
    for (WaterMarkCellItemView *cell : cells())
        cell->setSelected(cell->row() == row);
    refreshWaterTime();
    enableWaterChildView(m_enabled);
    m_host.editsChanged();
}

void WatermarkTool::checkRow(bool checked, int row)
{
    if (row < 0 || row >= m_list.size())
        return;
    m_list.at(row)->setSelected(checked);
    m_host.editsChanged();
}

void WatermarkTool::editRowText(const QString &text, int row)
{
    if (row < 0 || row >= m_list.size())
        return;
    if (!fitsRecord(text)) {
        // Refused where it is typed: the row shows the stored text again.
        for (WaterMarkCellItemView *cell : cells())
            if (cell->row() == row)
                cell->setTitleStringValue(m_list.at(row)->waterText());
        return;
    }
    WaterParam &item = *m_list.at(row);
    item.setWaterText(text);
    if (row == m_selectedWaterMarkIndex && m_waterContentTextField)
        m_waterContentTextField->setStringValue(text);
    if (m_overlay && row == m_selectedWaterMarkIndex) {
        m_overlay->setWaterMarkString(text);
        fitTextRect(item);
    }
}

void WatermarkTool::refresWaterMarkListView()
{
    for (const auto &cell : m_cells)
        delete cell.data();
    m_cells.clear();
    if (!m_list.isEmpty())
        m_selectedWaterMarkIndex = std::min<int>(m_selectedWaterMarkIndex, int(m_list.size()) - 1);
    if (m_listDocument) {
        const double width = m_listDocument->frame().width();
        const double height = std::max(m_listDocument->frame().height(), kRowHeight * m_list.size());
        m_listDocument->setFrame(platform::makeRect(0, 0, width, height));
        for (int i = 0; i < m_list.size(); ++i) {
            const WaterParam &item = *m_list.at(i);
            auto *cell = new WaterMarkCellItemView(
                platform::makeRect(0, height - (i + 1) * kRowHeight, width, kRowHeight), m_listDocument);
            cell->setRow(i);
            cell->setNormalTextColor(QColor(90, 216, 238));
            cell->setSelectTextColor(Qt::white);
            cell->setSelectedBackgroundColor(QColor(105, 168, 219));
            cell->setType(item.waterType() == WaterParam::Text ? WaterMarkCellItemView::TextRow
                          : item.isVideo()                     ? WaterMarkCellItemView::VideoRow
                                                               : WaterMarkCellItemView::PictureRow);
            cell->setCheck(item.selected());
            cell->setTitleStringValue(item.waterType() == WaterParam::Text ? item.waterText()
                                                                           : item.waterImagePath());
            cell->setSelected(i == m_selectedWaterMarkIndex);
            cell->setEnabledRow(m_enabled);
            cell->CheckWateMarkBlock = [this](bool checked, int row) { checkRow(checked, row); };
            cell->EditWaterTextBlock = [this](const QString &text, int row) { editRowText(text, row); };
            cell->SelectBlock = [this](int row) { selectRow(row); };
            cell->show();
            m_cells.append(cell);
        }
    }
    refreshWaterTime();
    enableWaterChildView(m_enabled);
}

void WatermarkTool::refreshWaterTime()
{
    const WaterParam *item = editedItem();
    if (!item) {
        for (const TimeFieldGroup &group : m_groups)
            group.showZero();
        for (const auto &field : {m_wmAlphaField, m_wmWidthField, m_wmHeightField})
            if (field)
                field->setStringValue(QStringLiteral("00"));
        showFileGroup(false);
        showKindGroup(true);
        return;
    }
    m_groups[Start].show(item->startTime());
    m_groups[Duration].show(item->duration());
    m_groups[FileStart].show(item->fileStartTime());
    m_groups[FileEnd].show(item->fileEndTime());
    if (m_wmWidthField) {
        const platform::Size pixels = pixelSize(*item);
        m_wmWidthField->setStringValue(platform::qformat("%.f", pixels.width));
        m_wmHeightField->setStringValue(platform::qformat("%.f", pixels.height));
        m_wmWidthStepper->setIntValue(int(std::lround(pixels.width)));
        m_wmHeightStepper->setIntValue(int(std::lround(pixels.height)));
        // Field, stepper and slider show the record, so the next step starts from it.
        m_wmAlphaField->setStringValue(platform::qformat("%d", int(item->waterAlph())));
        m_wmAlphaStepper->setIntValue(int(item->waterAlph()));
        const QSignalBlocker quiet(m_wmAlphaSlider);
        m_wmAlphaSlider->setValue(int(item->waterAlph()));
        m_wmkeepaspectRatioBtn->setSelected(item->keepaspectRatio());
    }
    showFileGroup(item->isVideo() && item->fileDuration() > 0);
    showKindGroup(item->waterType() == WaterParam::Text);
    if (m_waterContentTextField && item->waterType() == WaterParam::Text)
        m_waterContentTextField->setStringValue(item->waterText());
    if (!m_overlay)
        return;
    m_overlay->setWaterMarkAlph(int(item->waterAlph()));
    m_overlay->setScale_Type(item->keepaspectRatio() ? 3 : 1);
    m_overlay->setMarkWaterType(int(item->waterType()));
    m_overlay->setWaterMarkColor(item->waterFontColor());
    if (item->waterType() == WaterParam::Text) {
        m_overlay->setWaterMarkFont(fontOf(*item));
        m_overlay->setWaterMark(QImage());
        m_overlay->setWaterMarkString(item->waterText());
        if (!overlayRect(*item).isEmpty())
            m_overlay->setClipRect(overlayRect(*item));
    } else {
        float length = 0;
        m_overlay->setWaterMarkString(QString());
        m_overlay->setWaterMark(item->isVideo() ? firstFrameOf(item->waterImagePath(), length)
                                                : pictureFile(item->waterImagePath()));
        platform::Rect r = overlayRect(*item);
        const double W = m_overlay->frame().width();
        if (r.minX() + r.width() > W)
            r = platform::makeRect(W - r.width(), r.minY(), r.width(), r.height());
        m_overlay->setClipRect(r);
    }
}

void WatermarkTool::showFileGroup(bool show)
{
    if (!m_fileGroupView || !m_lowerGroupView)
        return;
    // The lower groups sit directly under the file part, or in its place.
    m_fileGroupView->setVisible(show);
    const platform::Rect file = m_fileGroupView->frame();
    const platform::Rect lower = m_lowerGroupView->frame();
    const double top = show ? file.minY() : file.maxY();
    m_lowerGroupView->setFrame(
        platform::makeRect(lower.minX(), top - lower.height(), lower.width(), lower.height()));
}

void WatermarkTool::showKindGroup(bool text)
{
    if (m_wmfontStyleBackView)
        m_wmfontStyleBackView->setVisible(text);
    if (m_wmsizeBackgroundView)
        m_wmsizeBackgroundView->setVisible(!text);
}

void WatermarkTool::enableWaterChildView(bool enable)
{
    m_enabled = enable;
    const bool player = m_host.rdPlayer() != nullptr;
    ToolPanel::setEnabled({m_textmarkBtn.data(), m_imagemarkBtn.data(), m_deletedmarkBtn.data()},
                          enable && player);
    const WaterParam *item = editedItem();
    const bool e = enable && item;
    QList<QWidget *> timeControls;
    for (int g = 0; g < 4; ++g) {
        for (platform::TextField *f : m_groups[g].fields())
            ToolPanel::setEnabled({f}, e);
        ToolPanel::setEnabled({m_steppers[g].data()}, e);
    }
    ToolPanel::setEnabled({m_wmAlphaField.data(), m_wmAlphaStepper.data(), m_wmAlphaSlider.data(),
                           m_wmkeepaspectRatioBtn.data(), m_watermarkDefaultBtn.data()},
                          e);
    const bool file = e && item->waterType() == WaterParam::File;
    ToolPanel::setEnabled(
        {m_wmWidthField.data(), m_wmHeightField.data(), m_wmWidthStepper.data(), m_wmHeightStepper.data()},
        file);
    const bool text = e && item->waterType() == WaterParam::Text;
    ToolPanel::setEnabled({m_waterFontBtn.data(), m_waterColorBtn.data(), m_waterContentTextField.data()},
                          text);
    for (WaterMarkCellItemView *cell : cells())
        cell->setEnabledRow(enable);
}

void WatermarkTool::primeTimeStepper(platform::TextField *field)
{
    for (int g = 0; g < 4; ++g) {
        if (!m_groups[g].contains(field))
            continue;
        m_editFields[g] = field;
        if (m_steppers[g]) {
            m_steppers[g]->setMaxValue(m_groups[g].isHundredths(field) ? 99 : 59);
            m_steppers[g]->setIntValue(field->intValue());
        }
    }
}

void WatermarkTool::stepTime(int group)
{
    WaterParam *item = editedItem();
    if (!item || !m_editFields[group] || !m_steppers[group])
        return;
    m_editFields[group]->setIntValue(m_steppers[group]->intValue());
    const float t = m_groups[group].seconds();
    switch (group) {
    case Start:
        item->setStartTime(t);
        break;
    case Duration:
        item->setDuration(t);
        break;
    case FileStart:
        item->setFileStartTime(t);
        break;
    default:
        item->setFileEndTime(t);
        break;
    }
    refreshWaterTime();
    m_host.editsChanged();
}

void WatermarkTool::setTransparency(double percent)
{
    WaterParam *item = editedItem();
    if (!item)
        return;
    item->setWaterAlph(std::clamp(percent, 0.0, 100.0));
    refreshWaterTime();
    // The other watermarks stay in the preview: they are handed again, not only cleared.
    m_host.editsChanged();
}

void WatermarkTool::setSize(double width, double height)
{
    WaterParam *item = editedItem();
    const platform::Size v = m_host.videoSize();
    if (!item || item->waterType() != WaterParam::File || v.width <= 0 || v.height <= 0)
        return;
    // Video pixels, as the crop fields take them; the record keeps fractions, which preview and export
    // read, and the overlay follows them.
    const platform::Rect p = item->waterPercentClipRect();
    const double fw = std::clamp(width / v.width, 1.0 / v.width, 1.0);
    const double fh = std::clamp(height / v.height, 1.0 / v.height, 1.0);
    item->setWaterPercentClipRect(
        platform::makeRect(std::min(p.minX(), 1.0 - fw), std::min(p.minY(), 1.0 - fh), fw, fh));
    if (m_overlay)
        item->setWaterRect(overlayRect(*item));
    refreshWaterTime();
    m_host.editsChanged();
}

platform::Size WatermarkTool::pixelSize(const WaterParam &item) const
{
    const platform::Size v = m_host.videoSize();
    const platform::Rect p = item.waterPercentClipRect();
    return platform::Size{p.width() * v.width, p.height() * v.height};
}

platform::Rect WatermarkTool::overlayRect(const WaterParam &item) const
{
    const platform::Rect p = item.waterPercentClipRect();
    if (!m_overlay || p.isEmpty())
        return item.waterRect();
    const platform::Size F = m_overlay->frame().size;
    return platform::makeRect(p.minX() * F.width, p.minY() * F.height, p.width() * F.width,
                              p.height() * F.height);
}

void WatermarkTool::actionwaterFontBtn()
{
    WaterParam *item = editedItem();
    if (!item || item->waterType() != WaterParam::Text)
        return;
    platform::log("%@", item->waterFontName());
    const auto font = platform::Panels::instance().runFontPanel(fontOf(*item));
    if (!font)
        return;
    if (!fitsRecord(font->family()))
        return;
    item->setWaterFontName(font->family());
    item->setWaterFontSize(float(fontSize(*font)));
    platform::log("%@", font->toString());
    if (m_overlay) {
        const QRectF b = HelpClass::getHeightOfText(m_overlay->waterMarkString(), m_overlay->frame().width(),
                                                    m_overlay->frame().height(), *font);
        platform::log("wr:%@",
                      platform::qformat("{{%g, %g}, {%g, %g}}", b.x(), b.y(), b.width(), b.height()));
        m_overlay->setWaterMarkFont(*font);
        fitTextRect(*item);
    }
    m_host.editsChanged();
}

void WatermarkTool::actionColorBtn()
{
    WaterParam *item = editedItem();
    if (!item || item->waterType() != WaterParam::Text)
        return;
    const auto color = platform::Panels::instance().runColorPanel(item->waterFontColor());
    if (!color)
        return;
    platform::log("color:%@", color->name());
    item->setWaterFontColor(*color);
    if (m_overlay) {
        m_overlay->setWaterMarkColor(*color);
        m_overlay->update();
    }
    m_host.editsChanged();
}

void WatermarkTool::refreshPlayerWaterMark(bool editing)
{
    const auto &player = m_host.rdPlayer();
    if (!player)
        return;
    player->ClearWatermask();
    m_preview = PreviewRecords{};
    const int skip = editing ? m_selectedWaterMarkIndex : -1;
    const WaterParam *edited = editedItem();
    // The overlay shows the edited row only where the file gets it: a deleted or unticked row is gone.
    m_preview.overlayShown = editing && edited && edited->selected() && m_overlay;
    if (m_overlay)
        m_overlay->setVisible(m_preview.overlayShown);
    PreviewSink sink(*player, m_preview);
    const double overlayWidth = m_overlay ? m_overlay->frame().width() : 0.0;
    WatermarkWalk::walk(m_list, m_host.videoSize(), overlayWidth, WatermarkWalk::defaultWaterFolder(), sink,
                        skip);
}

bool WatermarkTool::controlTextShouldEndEditing(platform::TextField *field)
{
    WaterParam *item = editedItem();
    if (!item)
        return true;
    if (field == m_wmAlphaField) {
        setTransparency(field->intValue());
        return true;
    }
    if (field == m_wmWidthField || field == m_wmHeightField) {
        // The other side keeps its exact size, not the whole pixels its field shows.
        const platform::Size now = pixelSize(*item);
        if (field == m_wmWidthField)
            setSize(field->intValue(), now.height);
        else
            setSize(now.width, field->intValue());
        return true;
    }
    for (int g = 0; g < 4; ++g) {
        if (!m_groups[g].contains(field))
            continue;
        const float V = m_groups[g].seconds();
        const float D = float(mediaDuration());
        const TimeFieldRules::Verdict v = g == Start       ? TimeFieldRules::watermarkStart(V, D, *item)
                                          : g == Duration  ? TimeFieldRules::watermarkDuration(V, D, *item)
                                          : g == FileStart ? TimeFieldRules::watermarkFileStart(V, *item)
                                                           : TimeFieldRules::watermarkFileEnd(V, *item);
        if (!v.accepted) {
            if (v.alertKey)
                m_host.showToolAlert(LanguageService::localizedStringForKey(v.alertKey));
            return false;
        }
        // A start may have shortened the duration: every field shows the record again.
        refreshWaterTime();
        m_host.editsChanged();
        return true;
    }
    return true;
}

void WatermarkTool::controlTextDidChange(platform::TextField *field)
{
    if (field != m_waterContentTextField || !m_overlay)
        return;
    const QString text = field->stringValue();
    WaterParam *item = editedItem();
    const bool textRow = item && item->waterType() == WaterParam::Text;
    if (textRow && !fitsRecord(text)) {
        field->setStringValue(item->waterText());
        return;
    }
    m_overlay->setWaterMarkString(text);
    // The edited text row takes the text as well: the overlay's picture of it is what the file gets,
    // so its text, its row and its picture stay one.
    WaterParam scratch;
    WaterParam &fitted = textRow ? *item : scratch;
    fitTextRect(fitted);
    if (textRow) {
        item->setWaterText(text);
        for (WaterMarkCellItemView *cell : cells())
            if (cell->row() == m_selectedWaterMarkIndex)
                cell->setTitleStringValue(text);
    }
    if (m_waterParam) {
        m_waterParam->setWaterPercentClipRect(m_overlay->getPercentTextClipRect());
        m_waterParam->setWaterRect(m_overlay->getclipRectFrame());
        m_waterParam->setWaterText(text);
        m_waterParam->setWaterFontSize(float(fontSize(m_overlay->waterMarkFont())));
        m_waterParam->setWaterFontName(m_overlay->waterMarkFont().family());
        m_waterParam->setWaterViewFrameWidth(float(m_panelWidth));
    }
    m_overlay->setVisible(!m_host.isPlaying() && !text.isEmpty());
}

void WatermarkTool::storeOverlayRect(WaterParam &item)
{
    item.setWaterRect(m_overlay->getclipRectFrame());
    item.setWaterPercentClipRect(m_overlay->markWaterType() == int(WaterParam::File)
                                     ? m_overlay->getPercentImageClipRect()
                                     : m_overlay->getPercentTextClipRect());
}

void WatermarkTool::fitTextRect(WaterParam &item)
{
    const double W = m_overlay->frame().width();
    const double H = m_overlay->frame().height();
    const QRectF b =
        HelpClass::getHeightOfText(m_overlay->waterMarkString(), W, H, m_overlay->waterMarkFont());
    m_overlay->setOrginY(float(b.y()));
    const platform::Rect r = m_overlay->getclipRectFrame();
    const double width = std::min(W, b.width() + 10);
    const double height = std::min(H, b.height());
    const double x = r.minX() + width > W ? W - width : r.minX();
    m_overlay->setClipRect(platform::makeRect(x, r.minY(), width, height));
    item.setWaterRect(m_overlay->getclipRectFrame());
    item.setWaterPercentClipRect(m_overlay->getPercentImageClipRect());
    item.setWaterFontSize(float(fontSize(m_overlay->waterMarkFont())));
    item.setWaterFontName(m_overlay->waterMarkFont().family());
}

void WatermarkTool::actionMouseMovedForWaterViewBlock(RDWaterView *view, const platform::Rect &)
{
    WaterParam *item = editedItem();
    if (view != m_overlay || !item)
        return;
    storeOverlayRect(*item);
    showSizeFields(*item);
}

void WatermarkTool::showSizeFields(const WaterParam &item)
{
    if (!m_wmWidthField)
        return;
    const platform::Size pixels = pixelSize(item);
    m_wmWidthField->setStringValue(platform::qformat("%.f", pixels.width));
    m_wmHeightField->setStringValue(platform::qformat("%.f", pixels.height));
}

void WatermarkTool::actionMouseMoveEndForWaterViewBlock(RDWaterView *, const platform::Rect &)
{
    WaterParam *item = editedItem();
    if (!item || !m_overlay)
        return;
    storeOverlayRect(*item);
    showSizeFields(*item);
    m_host.editsChanged();
}

void WatermarkTool::DreawwaterImage(const QImage &image)
{
    if (!image.isNull())
        if (WaterParam *item = editedItem())
            item->setWaterImage(image);
}
