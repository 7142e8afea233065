#pragma once
// The effects and colour tool: the volume, brightness, contrast and saturation sliders with their value
// labels, the list of the effect catalogue ("Settings.bundle/EffectList.plist") as check-box rows, and
// reset. It is the delegate of its own rows.
//
// The chosen effects are kept by id, ascending and without duplicates; the preview gets them in that
// order after a ClearImageEffect, and the export sends them in the same order. The colour values are the
// integers the value labels show. The volume is the effect volume of the editor's one VolumeModel: the
// preview's and the export's main-audio level is that volume times the original-audio level. Every change
// shows in the preview at once (a paused player is refreshed). Main thread only.
#include "editor/tools/EditToolHost.h"
#include "editor/tools/EffectTableCellView.h"

#include <QList>
#include <QPointer>
#include <QSlider>
#include <QVariantList>

class PNQButton;

class TextLabel;
class VolumeModel;
struct ExportEditState;

namespace platform {
class View;
}

class EffectsTool : public EffectTableCellViewDelegate
{
public:
    EffectsTool(EditToolHost &host, VolumeModel &volume) : m_host(host), m_volumeModel(volume) {}

    // The catalogue: maps with "EffectName" (a localisation key) and "EffectId" (int), in row order.
    void setEffectTypes(const QVariantList &types) { m_effectTypes = types; }
    QVariantList effectTypes() const { return m_effectTypes; }

    // Builds the panel into `panel` once; the sliders and reset start disabled.
    void initEffectView(platform::View *panel);
    void enableEdit(bool enable);

    // The slider actions (the sliders call them on every change).
    void action_volueSlider();
    void action_brightnessSlider();
    void action_contrastSlider();
    void action_saturationSlider();
    // Everything back to neutral: volume 1, colours 0, no effect.
    void actionEffectReset();
    // A newly loaded clip: no effect, neutral colours and volume (the window then shows the neutral
    // edit state).
    void sourceLoaded();
    // Sends the main-audio level to the player (a new player); the colours and effects reach it with the
    // window's edit state (EditToolHost::editsChanged).
    void applyToPlayer() const;

    // Row reports: a check-box click and a row click both toggle the row's effect; nothing without a
    // player.
    void actionSelectedForEffectTableCellViewBlock(EffectTableCellView *cell, qint64 row) override;
    void actionMouseDownForEffectTableCellViewBlock(EffectTableCellView *cell, qint64 row) override;
    void toggleEffect(EffectTableCellView *cell, qint64 row);

    void exportInto(ExportEditState &state) const;

    QList<int> selectedEffectTypeIndexs() const { return m_selectedEffectTypeIndexs; }
    // The colour values as the labels show them.
    int brightness() const;
    int contrast() const;
    int saturation() const;
    double volume() const;

    QList<EffectTableCellView *> effectTableCells() const;
    QSlider *volueSlider() const { return m_volueSlider; }
    QSlider *brightnessSlider() const { return m_brightnessSlider; }
    QSlider *contrastSlider() const { return m_contrastSlider; }
    QSlider *saturationSlider() const { return m_saturationSlider; }
    TextLabel *volueValueLabel() const { return m_volueValueLabel; }
    TextLabel *brightnessValueLabel() const { return m_brightnessValueLabel; }
    PNQButton *effectReset() const { return m_effectReset; }
    platform::View *filterScrollDocumentView() const { return m_filterScrollDocumentView; }

private:
    void buildList(double width);
    void showNeutral();

    EditToolHost &m_host;
    VolumeModel &m_volumeModel;
    QVariantList m_effectTypes;
    QList<int> m_selectedEffectTypeIndexs;
    QList<QPointer<EffectTableCellView>> m_effectTableCells;
    QPointer<QSlider> m_volueSlider, m_brightnessSlider, m_contrastSlider, m_saturationSlider;
    QPointer<TextLabel> m_volueValueLabel, m_brightnessValueLabel, m_contrastValueLabel,
        m_saturationValueLabe;
    QPointer<PNQButton> m_effectReset;
    QPointer<platform::View> m_filterScrollDocumentView;
};
