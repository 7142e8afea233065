#pragma once
// The crop tool: the panel with the source size, the crop size and position fields and the keep-aspect
// check box, and the delegate of the crop overlay (RDUICliper) that the window lays over the picture.
//
// The crop is held in pixels of the upright source, before the user's mirror and turn, so a turn or a
// mirror keeps it: the overlay and the fields are laid out again for the turned picture
// (CropMapping). Two forms are derived from it for the picture as shown now: editVideoClipRect, the kept
// rectangle in video pixels (origin bottom-left), and convertCropSize, the even margins cut at the left,
// top, right and bottom edges that the preview and the export use (EngineRecords::cropMargins). A drag's
// release, an accepted typed value and the check box tell the host (editsChanged), so the crop the panel
// shows is the crop the file gets. Main thread only.
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
    // Enables or disables the four fields, the check box and the (hidden) reset button together.
    void enableEdit(bool enable);

    // A new overlay for a newly loaded picture (or none): becomes its delegate and restarts from the whole
    // picture with margins 0, in free mode unless the check box is on.
    void attachCliper(RDUICliper *cliper);
    // A newly loaded source of `width` x `height` (as displayed): the size label and the size fields.
    void showSourceSize(int width, int height);
    // The crop tool opens: the size label and the four fields from the held crop.
    void toolOpened();
    // The overlay is laid over the picture rectangle `r` (view points) after a resize, a turn or a
    // mirror: it shows the held crop where it now lies, and the fields follow.
    void layOverlay(const platform::Rect &r);
    // Back to the whole picture with margins 0: the overlay over `r` in free mode, the fields showing
    // the whole picture (the rotate tool's reset).
    void resetToWholePicture(const platform::Rect &r);
    // The user cropped something: margins or a rectangle other than the whole picture.
    bool hasCrop() const;

    // Overlay reports (rectangles in overlay points): a drag step and a release both run the mapping.
    void actionMovedForRDUICliperBlock(RDUICliper *cliper, const platform::Rect &clipRect) override;
    void actionMoveEndForRDUICliperBlock(RDUICliper *cliper, const platform::Rect &clipRect) override;
    // The overlay rectangle `r` (overlay points) as the crop: rectangle, fields and margins. Only a
    // rectangle within half a video pixel of the whole picture is no crop at all.
    void cropFromOverlayRect(const platform::Rect &r);

    // The end of an edit of one of the four fields: the typed value goes into the rectangle (kept inside
    // the picture), the overlay shows it and the margins follow, as after a drag. Other fields: true.
    bool controlTextShouldEndEditing(platform::TextField *field) override;
    // The check box's click work: on restarts from the whole picture in keep-aspect mode; off keeps the
    // shown rectangle in free mode. The watermark overlay is left as it is: clearing its picture and
    // text would put a blank picture in place of the edited text watermark the file gets.
    void keepAspectAction();

    // The crop's part of the export's settings.
    void exportInto(ExportEditState &state) const;

    // The kept rectangle on the picture as shown (video pixels, origin bottom-left): the whole picture
    // without a crop (the zero rectangle without a clip).
    platform::Rect editVideoClipRect() const;
    // Sets the crop from a rectangle on the picture as shown; the zero rectangle or the whole picture
    // is no crop.
    void setEditVideoClipRect(const platform::Rect &rect);
    // The margins of editVideoClipRect(), each even; all 0 without a crop.
    RECT convertCropSize() const;
    // The crop on the upright source (origin top-left); the zero rectangle is none.
    platform::Rect sourceCrop() const { return m_sourceCrop; }

    platform::TextField *originalSizeLabel() const { return m_original_SizeLabel; }
    platform::TextField *cropWidthField() const { return m_cropWidthField; }
    platform::TextField *cropHeightField() const { return m_cropHeightField; }
    platform::TextField *cropLeftField() const { return m_cropLeftField; }
    platform::TextField *cropTopField() const { return m_cropTopField; }
    PNQButton *keepAspectBtn() const { return m_keepAspectBtn; }
    PNQButton *editCropCancelBtn() const { return m_edit_cropCancelBtn; }

private:
    platform::Size sourceSize() const;
    void showFields();
    void showOnOverlay();

    EditToolHost &m_host;
    platform::Rect m_sourceCrop;
    QPointer<platform::TextField> m_original_SizeLabel, m_cropWidthField, m_cropHeightField, m_cropTopField,
        m_cropLeftField;
    QPointer<PNQButton> m_keepAspectBtn, m_edit_cropCancelBtn;
};
