#pragma once
// The crop tool: the panel with the source size, the crop size and position fields and the keep-aspect
// check box, and the delegate of the crop overlay (RDUICliper) that the window lays over the picture.
//
// It holds the crop in two forms: editVideoClipRect, the kept rectangle in video pixels of the picture as
// displayed (origin bottom-left), and convertCropSize, the even margins cut at the left, top, right and
// bottom edges that the export sends (EngineRecords::cropMargins). A drag of the overlay and an accepted
// typed value both update the rectangle, the fields and the margins at once, so the crop shown is the
// crop exported. The preview itself is never cropped. Main thread only.
#include "editor/tools/EditToolHost.h"
#include "editor/tools/RDUICliperDelegate.h"
#include "media/MediaRecords.h"
#include "platform/Geometry.h"
#include "platform/TextField.h"

#include <QPointer>

#include "controls/PNQButton.h"
struct ExportEditState;

namespace platform {
class View;
}

class CropTool : public RDUICliperDelegate, public platform::TextFieldDelegate
{
public:
    explicit CropTool(EditToolHost &host) : m_host(host) {}

    // Builds the panel into `panel` once, from its top down; fields and check box start disabled.
    void initCropView(platform::View *panel);
    // Enables or disables the four fields and the check box together.
    void enableEdit(bool enable);

    // A new overlay for a newly loaded picture (or none): becomes its delegate and restarts from the whole
    // picture with margins 0, in free mode unless the check box is on.
    void attachCliper(RDUICliper *cliper);
    // A newly loaded source of `width` x `height` (as displayed): the size label and the size fields.
    void showSourceSize(int width, int height);
    // The crop tool opens: the size label, and the size fields from the overlay's rectangle.
    void toolOpened();
    // The overlay was laid over a new picture rectangle `r` keeping its selection (a resize): the
    // crop follows the overlay when the user had one, else stays the whole picture.
    void overlayRefitted(bool hadCrop);
    // Back to the whole picture with margins 0: the overlay over `r` in free mode, the position fields 0
    // (a rotation or a mirror changed the picture).
    void resetToWholePicture(const platform::Rect &r);
    // The user cropped something: margins or a rectangle other than the whole picture.
    bool hasCrop() const;

    // Overlay reports (rectangles in overlay points): a drag step and a release both run the mapping.
    void actionMovedForRDUICliperBlock(RDUICliper *cliper, const platform::Rect &clipRect) override;
    void actionMoveEndForRDUICliperBlock(RDUICliper *cliper, const platform::Rect &clipRect) override;
    // The overlay rectangle `r` (overlay points) as the crop: rectangle, fields and margins. An overlay
    // rectangle that covers the whole picture within a point (its outline) is no crop at all.
    void cropFromOverlayRect(const platform::Rect &r);

    // The end of an edit of one of the four fields: the typed value goes into the rectangle (kept inside
    // the picture), the overlay shows it and the margins follow, as after a drag. Other fields: true.
    bool controlTextShouldEndEditing(platform::TextField *field) override;
    // The check box's click work: on restarts from the whole picture in keep-aspect mode; off keeps the
    // shown rectangle in free mode.
    void keepAspectAction();

    // The crop's part of the export's settings.
    void exportInto(ExportEditState &state) const;

    platform::Rect editVideoClipRect() const { return m_editVideoClipRect; }
    void setEditVideoClipRect(const platform::Rect &rect) { m_editVideoClipRect = rect; }
    RECT convertCropSize() const { return m_convertCropSize; }
    void setConvertCropSize(const RECT &margins) { m_convertCropSize = margins; }

    platform::TextField *originalSizeLabel() const { return m_original_SizeLabel; }
    platform::TextField *cropWidthField() const { return m_cropWidthField; }
    platform::TextField *cropHeightField() const { return m_cropHeightField; }
    platform::TextField *cropLeftField() const { return m_cropLeftField; }
    platform::TextField *cropTopField() const { return m_cropTopField; }
    PNQButton *keepAspectBtn() const { return m_keepAspectBtn; }

private:
    void showMargins();

    EditToolHost &m_host;
    platform::Rect m_editVideoClipRect;
    RECT m_convertCropSize{0, 0, 0, 0};
    QPointer<platform::TextField> m_original_SizeLabel, m_cropWidthField, m_cropHeightField, m_cropTopField,
        m_cropLeftField;
    QPointer<PNQButton> m_keepAspectBtn;
};
