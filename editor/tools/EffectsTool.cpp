#include "editor/tools/EffectsTool.h"

#include "controls/PNQButton.h"
#include "controls/PNQScrollView.h"
#include "controls/TextLabel.h"
#include "editor/EditorExportHost.h"
#include "editor/tools/ToolPanel.h"
#include "editor/tools/VolumeModel.h"
#include "media/RDMoviePlayer.h"
#include "platform/FontAlias.h"
#include "platform/Log.h"
#include "platform/View.h"
#include "services/LanguageService.h"
#include "services/ResourceService.h"

#include <QGroupBox>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr double kRowHeight = 30;

int labelValue(const TextLabel *label)
{
    return label ? label->text().toInt() : 0;
}
} // namespace

void EffectsTool::initEffectView(platform::View *panel)
{
    using platform::makeRect;
    const double w = panel->frame().width();
    const double top = panel->frame().height();
    // Volume 0..2 in hundredths; the colours in whole steps.
    const struct
    {
        const char *key;
        QPointer<QSlider> *slider;
        QPointer<TextLabel> *value;
        int min, max, start;
        void (EffectsTool::*action)();
    } rows[] = {
        {VW_KEY("VolumeLabelTitle"), &m_volueSlider, &m_volueValueLabel, 0, 200, 100,
         &EffectsTool::action_volueSlider},
        {VW_KEY("BrightnessLabelTitle"), &m_brightnessSlider, &m_brightnessValueLabel, -255, 255, 0,
         &EffectsTool::action_brightnessSlider},
        {VW_KEY("ContrastLabelTitle"), &m_contrastSlider, &m_contrastValueLabel, -100, 100, 0,
         &EffectsTool::action_contrastSlider},
        {VW_KEY("SaturationLabelTitle"), &m_saturationSlider, &m_saturationValueLabe, -100, 100, 0,
         &EffectsTool::action_saturationSlider},
    };
    double y = top - 30;
    for (const auto &row : rows) {
        ToolPanel::label(panel, makeRect(5, y, w - 10, 20), LanguageService::localizedStringForKey(row.key));
        auto *slider = new QSlider(Qt::Horizontal);
        slider->setRange(row.min, row.max);
        slider->setValue(row.start);
        slider->setEnabled(false);
        QObject::connect(slider, &QSlider::valueChanged, slider,
                         [this, action = row.action] { (this->*action)(); });
        ToolPanel::hosted(panel, makeRect(5, y - 22, w - 50, 21), slider);
        *row.slider = slider;
        *row.value = ToolPanel::label(panel, makeRect(w - 42, y - 22, 40, 20), QString());
        y -= 50;
    }
    showNeutral();

    ToolPanel::label(panel, makeRect(5, y, w - 10, 20),
                     LanguageService::localizedStringForKey("EffectsLabelTitle"));
    const double listTop = y - 4;
    const double listHeight = listTop - 45;
    auto *box = new QGroupBox;
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(2, 2, 2, 2);
    auto *scroll = new PNQScrollView;
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scroll->setWidgetResizable(false);
    layout->addWidget(scroll);
    ToolPanel::hosted(panel, makeRect(5, 45, w - 10, listHeight), box);
    m_filterScrollDocumentView = new platform::View(platform::Rect{});
    scroll->setWidget(m_filterScrollDocumentView);
    buildList(w - 34);

    m_effectReset =
        ToolPanel::resetButton(panel, makeRect((w - 120) / 2, 5, 120, 30), [this] { actionEffectReset(); });
    m_effectReset->setAutoresizingMask(platform::View::MaxYMargin);
    m_effectReset->setNormalBackgroundImage(
        ResourceService::imageWithfileName(QStringLiteral("About/btnOK_Normal.bmp")));
    m_effectReset->setOnBackgroundImage(
        ResourceService::imageWithfileName(QStringLiteral("About/btnOK_On.bmp")));
    m_effectReset->setDownBackgroundImage(
        ResourceService::imageWithfileName(QStringLiteral("About/btnOK_Down.bmp")));
    m_effectReset->setDisAbleBackgroundImage(
        ResourceService::imageWithfileName(QStringLiteral("About/btnOK_Disable.bmp")));
}

void EffectsTool::buildList(double width)
{
    const int n = int(m_effectTypes.size());
    const double D = kRowHeight * n;
    m_filterScrollDocumentView->setFrame(platform::makeRect(0, 0, width, D));
    for (int i = 0; i < n; ++i) {
        const QVariantMap entry = m_effectTypes.at(i).toMap();
        auto *cell = new EffectTableCellView(
            platform::makeRect(0, D - kRowHeight * (i + 1), width, kRowHeight), m_filterScrollDocumentView);
        cell->setRow(i);
        cell->setTitle(
            LanguageService::localizedStringForKey(entry.value(QStringLiteral("EffectName")).toString()));
        cell->selected(m_selectedEffectTypeIndexs.contains(entry.value(QStringLiteral("EffectId")).toInt()));
        cell->setDelegate(this);
        m_effectTableCells.append(cell);
    }
}

void EffectsTool::enableEdit(bool enable)
{
    ToolPanel::setEnabled({m_volueSlider.data(), m_brightnessSlider.data(), m_contrastSlider.data(),
                           m_saturationSlider.data(), m_effectReset.data()},
                          enable);
    for (EffectTableCellView *cell : effectTableCells())
        cell->setEnable(enable);
}

QList<EffectTableCellView *> EffectsTool::effectTableCells() const
{
    QList<EffectTableCellView *> cells;
    for (const QPointer<EffectTableCellView> &cell : m_effectTableCells)
        if (cell)
            cells.append(cell);
    return cells;
}

int EffectsTool::brightness() const
{
    return labelValue(m_brightnessValueLabel);
}

int EffectsTool::contrast() const
{
    return labelValue(m_contrastValueLabel);
}

int EffectsTool::saturation() const
{
    return labelValue(m_saturationValueLabe);
}

double EffectsTool::volume() const
{
    return m_volumeModel.effectVolume();
}

void EffectsTool::action_volueSlider()
{
    const double v = m_volueSlider->value() / 100.0;
    m_volueValueLabel->setText(QString::number(int(v * 100)));
    m_volumeModel.setEffectVolume(v);
    if (RDMoviePlayer *player = m_host.rdPlayer().get())
        player->SetMainAudioVolume(m_volumeModel.mainLevel());
    refreshPausedPreview(m_host);
}

void EffectsTool::action_brightnessSlider()
{
    m_brightnessValueLabel->setText(QString::number(m_brightnessSlider->value()));
    m_host.editsChanged();
}

void EffectsTool::action_contrastSlider()
{
    m_contrastValueLabel->setText(QString::number(m_contrastSlider->value()));
    m_host.editsChanged();
}

void EffectsTool::action_saturationSlider()
{
    m_saturationValueLabe->setText(QString::number(m_saturationSlider->value()));
    m_host.editsChanged();
}

// Sliders and labels at volume 1 and colours 0, without sending anything.
void EffectsTool::showNeutral()
{
    m_volumeModel.setEffectVolume(1.0);
    for (QSlider *slider : {m_volueSlider.data(), m_brightnessSlider.data(), m_contrastSlider.data(),
                            m_saturationSlider.data()}) {
        if (!slider)
            continue;
        const QSignalBlocker quiet(slider);
        slider->setValue(slider == m_volueSlider ? 100 : 0);
    }
    if (m_volueValueLabel)
        m_volueValueLabel->setText(QString::asprintf("%.lf", m_volumeModel.effectVolume() * 100));
    for (TextLabel *label :
         {m_brightnessValueLabel.data(), m_contrastValueLabel.data(), m_saturationValueLabe.data()})
        if (label)
            label->setText(QString::asprintf("%i", 0));
    m_selectedEffectTypeIndexs.clear();
    for (EffectTableCellView *cell : effectTableCells())
        cell->selected(false);
}

void EffectsTool::actionEffectReset()
{
    showNeutral();
    applyToPlayer();
    m_host.editsChanged();
}

void EffectsTool::sourceLoaded()
{
    showNeutral();
    applyToPlayer();
}

void EffectsTool::applyToPlayer() const
{
    if (RDMoviePlayer *player = m_host.rdPlayer().get())
        player->SetMainAudioVolume(m_volumeModel.mainLevel());
}

void EffectsTool::actionSelectedForEffectTableCellViewBlock(EffectTableCellView *cell, qint64 row)
{
    toggleEffect(cell, row);
}

void EffectsTool::actionMouseDownForEffectTableCellViewBlock(EffectTableCellView *cell, qint64 row)
{
    toggleEffect(cell, row);
}

void EffectsTool::toggleEffect(EffectTableCellView *cell, qint64 row)
{
    row = std::max<qint64>(row, 0);
    if (!m_host.rdPlayer() || !cell || row >= m_effectTypes.size())
        return;
    const QVariantMap entry = m_effectTypes.at(int(row)).toMap();
    const int id = entry.value(QStringLiteral("EffectId")).toInt();
    if (m_selectedEffectTypeIndexs.contains(id)) {
        cell->selected(false);
        m_selectedEffectTypeIndexs.removeAll(id);
    } else {
        cell->selected(true);
        m_selectedEffectTypeIndexs.append(id);
    }
    std::sort(m_selectedEffectTypeIndexs.begin(), m_selectedEffectTypeIndexs.end());
    for (int i = 0; i < m_selectedEffectTypeIndexs.size(); ++i)
        platform::log("effectType_%d : %d", i, m_selectedEffectTypeIndexs.at(i));
    m_host.editsChanged();
}

void EffectsTool::exportInto(ExportEditState &state) const
{
    state.brightness = brightness();
    state.contrast = contrast();
    state.saturation = saturation();
    state.volume = m_volumeModel.effectVolume();
    state.selectedEffectTypeIndexs = m_selectedEffectTypeIndexs;
}
