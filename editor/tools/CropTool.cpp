#include "editor/tools/CropTool.h"

#include "editor/tools/CropMapping.h"

#include "controls/ImageView.h"
#include "controls/PNQButton.h"
#include "editor/EditorExportHost.h"
#include "editor/tools/RDUICliper.h"
#include "editor/tools/ToolPanel.h"
#include "model/EngineRecords.h"
#include "platform/Log.h"
#include "platform/View.h"
#include "services/LanguageService.h"
#include "services/ResourceService.h"
#include "toolkit/TimeFieldRules.h"

#include <algorithm>

namespace {

void setText(platform::TextField *field, const QString &text)
{
    if (field)
        field->setStringValue(text);
}

QImage image(const char *name)
{
    return ResourceService::imageWithfileName(QString::fromUtf8(name));
}

} // namespace

void CropTool::initCropView(platform::View *panel)
{
    using platform::makeRect;
    using ToolPanel::label;
    const double w = panel->frame().width();
    const double top = panel->frame().height();
    ToolPanel::description(panel, makeRect(5, top - 85, w - 10, 80),
                           LanguageService::localizedStringForKey("descripationLabelstringValue"));
    auto separator = [&](double y) {
        auto *line = new ImageView(makeRect(5, y, w - 10, 2), panel);
        line->setImage(image("Resources/blankBkg.bmp"));
        line->setAutoresizingMask(platform::View::MinYMargin);
    };
    separator(top - 92);
    label(panel, makeRect(10, top - 122, w - 20, 20),
          LanguageService::localizedStringForKey("original_ratioLabel_string"));
    m_original_SizeLabel = new platform::TextField(makeRect(10, top - 146, w - 20, 20), panel);
    m_original_SizeLabel->setEditable(false);
    m_original_SizeLabel->setBordered(false);
    m_original_SizeLabel->setAutoresizingMask(platform::View::MinYMargin);
    m_original_SizeLabel->setStringValue(QString::asprintf("%.f x %.f", 0.0, 0.0));
    label(panel, makeRect(10, top - 176, w - 20, 20),
          LanguageService::localizedStringForKey("crop_Area_SizeLabel_string"));
    m_cropWidthField = ToolPanel::numberField(panel, makeRect(10, top - 206, 80, 26), this);
    label(panel, makeRect(96, top - 206, 14, 26), QStringLiteral("x"));
    m_cropHeightField = ToolPanel::numberField(panel, makeRect(112, top - 206, 80, 26), this);

    m_keepAspectBtn = new PNQButton(makeRect(10, top - 240, w - 20, 24), panel);
    m_keepAspectBtn->setAutoresizingMask(platform::View::MinYMargin);
    m_keepAspectBtn->setIsCheckType(true);
    m_keepAspectBtn->setContentTitle(QStringLiteral("  ") +
                                     LanguageService::localizedStringForKey("KeepAspectRatiostring"));
    m_keepAspectBtn->setContentColor(Qt::black);
    m_keepAspectBtn->setContentImagePosition(1);
    m_keepAspectBtn->setNormalImage(image("Resources/checkNoFiles.png"));
    m_keepAspectBtn->setSelectedImage(image("Resources/checkFiles.png"));
    m_keepAspectBtn->setSelected(false);
    m_keepAspectBtn->setEnabled(false);
    m_keepAspectBtn->mouseDownAction = [this](PNQButton *) {
        m_host.queueOnMain([this] { keepAspectAction(); });
    };

    separator(top - 250);
    label(panel, makeRect(10, top - 278, w - 20, 20),
          LanguageService::localizedStringForKey("positionLabelstringValue"));
    label(panel, makeRect(10, top - 308, 100, 26),
          LanguageService::localizedStringForKey("topLabelstringValue"));
    m_cropTopField = ToolPanel::numberField(panel, makeRect(112, top - 308, 80, 26), this);
    label(panel, makeRect(10, top - 340, 100, 26),
          LanguageService::localizedStringForKey("leftMarginLabelstringValue"));
    m_cropLeftField = ToolPanel::numberField(panel, makeRect(112, top - 340, 80, 26), this);

    // Kept hidden: nothing shows it, so the user never reaches it; it follows the editing state.
    m_edit_cropCancelBtn = new PNQButton(makeRect((w - 80) / 2, top - 380, 80, 28), panel);
    m_edit_cropCancelBtn->setAutoresizingMask(platform::View::MinYMargin);
    m_edit_cropCancelBtn->setCornerRadius(5);
    m_edit_cropCancelBtn->setStateBackgroundImages(QStringLiteral("About/btnOK"));
    m_edit_cropCancelBtn->setContentTitle(LanguageService::localizedStringForKey("ResetBtnTitle"));
    m_edit_cropCancelBtn->setEnabled(false);
    m_edit_cropCancelBtn->setHidden(true);
}

void CropTool::enableEdit(bool enable)
{
    ToolPanel::setEnabled({m_cropWidthField.data(), m_cropHeightField.data(), m_cropTopField.data(),
                           m_cropLeftField.data(), m_keepAspectBtn.data(), m_edit_cropCancelBtn.data()},
                          enable);
}

void CropTool::attachCliper(RDUICliper *cliper)
{
    m_sourceCrop = platform::Rect{};
    if (!cliper)
        return;
    cliper->setDelegate(this);
    if (m_keepAspectBtn && m_keepAspectBtn->selected())
        cliper->setCrop_Type(2);
}

void CropTool::showSourceSize(int width, int height)
{
    setText(m_original_SizeLabel, QString::asprintf("%d x %d", width, height));
    setText(m_cropWidthField, QString::asprintf("%d", width));
    setText(m_cropHeightField, QString::asprintf("%d", height));
}

platform::Size CropTool::sourceSize() const
{
    return CropMapping::shownSize(m_host.videoSize(), m_host.orientation().angle);
}

platform::Rect CropTool::editVideoClipRect() const
{
    const platform::Size size = m_host.videoSize();
    if (m_sourceCrop.isZero())
        return platform::Rect{platform::Point{}, size};
    const platform::Rect t = CropMapping::toShown(m_sourceCrop, sourceSize(), m_host.orientation());
    return platform::makeRect(t.minX(), size.height - t.maxY(), t.width(), t.height());
}

void CropTool::setEditVideoClipRect(const platform::Rect &c)
{
    const platform::Size size = m_host.videoSize();
    const bool whole = c.minX() <= 0.5 && c.minY() <= 0.5 && c.maxX() >= size.width - 0.5 &&
                       c.maxY() >= size.height - 0.5;
    if (c.isZero() || c.isEmpty() || whole || size.width <= 0 || size.height <= 0) {
        m_sourceCrop = platform::Rect{};
        return;
    }
    const platform::Rect t = platform::makeRect(c.minX(), size.height - c.maxY(), c.width(), c.height());
    m_sourceCrop = CropMapping::toSource(t, sourceSize(), m_host.orientation());
}

RECT CropTool::convertCropSize() const
{
    if (m_sourceCrop.isZero())
        return RECT{0, 0, 0, 0};
    const platform::Size size = m_host.videoSize();
    return EngineRecords::cropMargins(editVideoClipRect(), size.width, size.height);
}

void CropTool::toolOpened()
{
    const platform::Size size = m_host.videoSize();
    if (size.width > 0)
        setText(m_original_SizeLabel, QString::asprintf("%d x %d", int(size.width), int(size.height)));
    if (size.width > 0) {
        showFields();
        // Opened, the tool shows the size unpadded (a turn pads it to two digits).
        const platform::Rect c = editVideoClipRect();
        setText(m_cropWidthField, QString::asprintf("%.f", c.width()));
        setText(m_cropHeightField, QString::asprintf("%.f", c.height()));
    }
}

bool CropTool::hasCrop() const
{
    return !m_sourceCrop.isZero();
}

void CropTool::layOverlay(const platform::Rect &r)
{
    if (RDUICliper *cliper = m_host.cliper()) {
        cliper->setVideoSize(m_host.videoSize());
        cliper->setFrameRect(r);
        showOnOverlay();
    }
    showFields();
}

void CropTool::resetToWholePicture(const platform::Rect &r)
{
    m_sourceCrop = platform::Rect{};
    if (RDUICliper *cliper = m_host.cliper())
        cliper->setCropType(1);
    if (m_keepAspectBtn)
        m_keepAspectBtn->setSelected(false);
    layOverlay(r);
}

// The held crop on the overlay, in its points.
void CropTool::showOnOverlay()
{
    RDUICliper *cliper = m_host.cliper();
    const platform::Size size = m_host.videoSize();
    if (!cliper || size.width <= 0 || size.height <= 0)
        return;
    const platform::Rect F = cliper->frame();
    const platform::Rect c = editVideoClipRect();
    cliper->setClipRect(platform::makeRect(float(c.minX() / size.width) * F.width(),
                                           float(c.minY() / size.height) * F.height(),
                                           float(c.width() / size.width) * F.width(),
                                           float(c.height() / size.height) * F.height()));
}

void CropTool::actionMovedForRDUICliperBlock(RDUICliper *cliper, const platform::Rect &clipRect)
{
    if (cliper && cliper == m_host.cliper())
        cropFromOverlayRect(clipRect);
}

void CropTool::actionMoveEndForRDUICliperBlock(RDUICliper *cliper, const platform::Rect &)
{
    // The release reports fractions; the shown rectangle in points is the one to map.
    if (cliper && cliper == m_host.cliper()) {
        cropFromOverlayRect(cliper->getclipRectFrame());
        m_host.editsChanged();
    }
}

void CropTool::cropFromOverlayRect(const platform::Rect &r)
{
    RDUICliper *cliper = m_host.cliper();
    if (!cliper)
        return;
    const platform::Rect F = cliper->frame();
    const platform::Size size = m_host.videoSize();
    const double W = size.width;
    const double H = size.height;
    if (F.width() <= 0 || F.height() <= 0)
        return;
    // Every report is mapped: one point of the overlay may be several pixels of a large picture. Only
    // what lies within half a pixel of the whole picture is no crop (setEditVideoClipRect).
    const float fx = float(r.minX() / F.width());
    const float fy = float(r.minY() / F.height());
    const float fw = float(r.width() / F.width());
    const float fh = float(r.height() / F.height());
    setEditVideoClipRect(platform::makeRect(float(fx * W), float(fy * H), float(fw * W), float(fh * H)));
    const platform::Rect c = editVideoClipRect();
    platform::log("v_x: %f v_y: %f v_w: %f v_h: %f", c.minX(), c.minY(), c.width(), c.height());
    showFields();
}

// The four fields from the held crop on the picture as shown: size, left margin and top margin.
void CropTool::showFields()
{
    const platform::Size size = m_host.videoSize();
    const platform::Rect c = editVideoClipRect();
    setText(m_cropWidthField, QString::asprintf("%02.f", c.width()));
    setText(m_cropHeightField, QString::asprintf("%02.f", c.height()));
    setText(m_cropLeftField, QString::asprintf("%i", int(c.minX())));
    setText(m_cropTopField, QString::asprintf("%i", int(size.height - c.height() - c.minY())));
}

bool CropTool::controlTextShouldEndEditing(platform::TextField *field)
{
    using Crop = TimeFieldRules::CropField;
    const struct
    {
        platform::TextField *field;
        Crop kind;
    } crops[] = {{m_cropWidthField, Crop::Width},
                 {m_cropHeightField, Crop::Height},
                 {m_cropLeftField, Crop::Left},
                 {m_cropTopField, Crop::Top}};
    for (const auto &crop : crops) {
        if (!field || crop.field != field)
            continue;
        const platform::Size size = m_host.videoSize();
        const double W = size.width;
        const double H = size.height;
        if (W <= 0 || H <= 0)
            return true;
        platform::Rect c = TimeFieldRules::cropEdit(crop.kind, field->doubleValue(), editVideoClipRect(), W, H);
        // A typed size that would carry the rectangle past the right or top edge pulls it back inside.
        const double w = std::clamp(c.width(), 2.0, W);
        const double h = std::clamp(c.height(), 2.0, H);
        c = platform::makeRect(std::min(c.minX(), W - w), std::min(c.minY(), H - h), w, h);
        setEditVideoClipRect(c);
        showOnOverlay();
        // A typed value reaches the preview and the export exactly as a drag does.
        showFields();
        m_host.editsChanged();
        return true;
    }
    return true;
}

void CropTool::keepAspectAction()
{
    if (!m_keepAspectBtn)
        return;
    m_keepAspectBtn->setSelected(!m_keepAspectBtn->selected());
    RDUICliper *cliper = m_host.cliper();
    if (!cliper)
        return;
    if (!m_keepAspectBtn->selected()) {
        cliper->setCropType(1);
        return;
    }
    if (cliper->crop_Type() != 2) {
        m_sourceCrop = platform::Rect{};
        cliper->setVideoSize(m_host.videoSize());
        const platform::Rect F = cliper->frame();
        cliper->setClipRect(platform::makeRect(0, 0, F.width(), F.height()));
        showFields();
        m_host.editsChanged();
    }
    cliper->setCropType(2);
}

void CropTool::exportInto(ExportEditState &state) const
{
    state.editVideoClipRect = editVideoClipRect();
    state.convertCropSize = convertCropSize();
}
