#pragma once
// The watermark tool: a list of text, picture and video watermarks (check-box rows with an editable
// title for text), add and delete, and the panel of the edited row: when it shows (start and duration),
// which part of a video file plays (file start and end), transparency, keep-aspect, then the kind's own
// group in one place: size (pictures and videos), or, for text, the text, font and colour (through the
// font and colour panels); with no row edited the text group shows. The default button does nothing.
//
// It holds the list and the edited index, is the delegate of its rows, fields and of the overlay
// (RDWaterView) the window lays over the picture, and shows the edited row in that overlay. The preview
// draws the ticked watermarks through WatermarkWalk, the export's own walk, with the edited one left to
// the overlay; previewRecords() gives what the preview was last handed. Each row's place and size are
// held as fractions of the picture (what preview and export read); the overlay follows them through
// resizes and turns, and the size fields show and take video pixels. Main thread only.
#include "editor/WatermarkWalk.h"
#include "editor/tools/EditToolHost.h"
#include "editor/tools/RDWaterViewDelegate.h"
#include "platform/TextField.h"
#include "toolkit/TimeFieldGroup.h"

#include <QList>
#include <QPointer>
#include <QSlider>

#include <memory>
#include <vector>

class PNQButton;
class PNQView;
class RDWaterView;
class WaterMarkCellItemView;
class WaterParam;

namespace platform {
class Stepper;
class View;
} // namespace platform

class WatermarkTool : public RDWaterViewDelegate, public platform::TextFieldDelegate
{
public:
    // What the preview player was handed at the last refresh, in order.
    struct PreviewRecords
    {
        std::vector<IMAGE_WATERMARK_PARAM> images;
        std::vector<VIDEO_WATERMARK_PARAM> videos;
        std::vector<TEXT_WATERMARK_PARAM> texts;
        bool overlayShown = false;
    };

    // `waterParam` is the controller's own watermark record (may be null): the text field writes it too.
    WatermarkTool(EditToolHost &host, std::shared_ptr<WaterParam> &waterParam)
        : m_host(host), m_waterParam(waterParam)
    {
    }
    ~WatermarkTool() override;

    // Builds the panel into `panel` once.
    void initWaterView(platform::View *panel);
    // The overlay the window made over the picture: it shows the edited row.
    void attachOverlay(RDWaterView *overlay);

    // A file counts as a picture by its extension ("png", "jpg", "tiff", "jpeg", "gif", any case).
    static bool isPictureFile(const QString &path);

    // The buttons' work (the buttons queue it one turn later). addFileAction asks for files and adds
    // the last one chosen; addFile adds `path` (false, with an alert, when it cannot be used).
    void addTextAction();
    void addFileAction();
    bool addFile(const QString &path);
    // Removes the edited row; the next row (or the new last) becomes the edited one.
    void deleteAction();
    void keepAspectAction();
    // Row reports.
    void selectRow(int row);
    void checkRow(bool checked, int row);
    void editRowText(const QString &text, int row);

    // Rebuilds the rows from the list; fills the panel and overlay from the edited row.
    void refresWaterMarkListView();
    void refreshWaterTime();
    // The panel's enabling table; `enable` is the editing state (a clip loaded, not playing, no export
    // running): the list buttons too need a player.
    void enableWaterChildView(bool enable);

    // The steppers' work: the last clicked field of the group takes the stepper's value.
    void stepTime(int group);
    void setTransparency(double percent);
    // The edited picture's size in video pixels (as the size fields show it), kept inside the picture.
    void setSize(double width, double height);
    // The font and colour panels for the edited text row.
    void actionwaterFontBtn();
    void actionColorBtn();

    // Puts the ticked watermarks into the preview through the export's walk; `editing` leaves the edited
    // row to the overlay. Nothing without a player. The window calls it from its edit-state routine
    // (EditToolHost::editsChanged), which every change here goes through.
    void refreshPlayerWaterMark(bool editing);
    const PreviewRecords &previewRecords() const { return m_preview; }

    // A new clip or the rotate tool's reset: the list empties.
    void clear();

    QList<std::shared_ptr<WaterParam>> waterMarkList() const { return m_list; }
    void setWaterMarkList(const QList<std::shared_ptr<WaterParam>> &list) { m_list = list; }
    QList<std::shared_ptr<WaterParam>> waterMarkSelecteds() const;
    int selectedWaterMarkIndex() const { return m_selectedWaterMarkIndex; }
    void setSelectedWaterMarkIndex(int index) { m_selectedWaterMarkIndex = index; }
    WaterParam *editedItem() const;

    // The time groups: start, duration, file start, file end.
    enum Group { Start = 0, Duration = 1, FileStart = 2, FileEnd = 3 };
    const TimeFieldGroup &timeGroup(int group) const { return m_groups[group]; }
    platform::Stepper *timeStepper(int group) const { return m_steppers[group]; }
    // Remembers `field` as its group's stepped field and primes the stepper (59, or 99 for hundredths).
    void primeTimeStepper(platform::TextField *field);

    QList<WaterMarkCellItemView *> cells() const;
    PNQButton *textmarkBtn() const { return m_textmarkBtn; }
    PNQButton *imagemarkBtn() const { return m_imagemarkBtn; }
    PNQButton *deletedmarkBtn() const { return m_deletedmarkBtn; }
    PNQButton *keepAspectBtn() const { return m_wmkeepaspectRatioBtn; }
    PNQButton *fontBtn() const { return m_waterFontBtn; }
    PNQButton *colorBtn() const { return m_waterColorBtn; }
    platform::TextField *alphaField() const { return m_wmAlphaField; }
    platform::TextField *widthField() const { return m_wmWidthField; }
    platform::TextField *heightField() const { return m_wmHeightField; }
    QSlider *alphaSlider() const { return m_wmAlphaSlider; }
    platform::Stepper *alphaStepper() const { return m_wmAlphaStepper; }
    platform::View *fileGroupView() const { return m_fileGroupView; }
    // The kind's groups: the size of a picture or video, the text, font and colour of a text (shown
    // also while no row is edited).
    PNQView *sizeGroupView() const { return m_wmsizeBackgroundView; }
    PNQView *fontGroupView() const { return m_wmfontStyleBackView; }
    PNQButton *defaultBtn() const { return m_watermarkDefaultBtn; }
    platform::TextField *waterContentTextField() const { return m_waterContentTextField; }

    // TextFieldDelegate: typed times go through the time rules, typed transparency and size apply.
    bool controlTextShouldEndEditing(platform::TextField *field) override;
    // Live edit of the text field: the overlay shows the text, fitted, and the edited text row and the
    // controller's own record take it.
    void controlTextDidChange(platform::TextField *field) override;
    // RDWaterViewDelegate: the overlay's moves and rendered text go into the edited row.
    void actionMouseMovedForWaterViewBlock(RDWaterView *view, const platform::Rect &waterRect) override;
    void actionMouseMoveEndForWaterViewBlock(RDWaterView *view, const platform::Rect &waterRect) override;
    void DreawwaterImage(const QImage &image) override;

private:
    void append(const std::shared_ptr<WaterParam> &item);
    void showFileGroup(bool show);
    void showKindGroup(bool text);
    void showSizeFields(const WaterParam &item);
    void storeOverlayRect(WaterParam &item);
    void fitTextRect(WaterParam &item);
    // The item's size in video pixels, and its rectangle on the overlay, both from its fractions.
    platform::Size pixelSize(const WaterParam &item) const;
    platform::Rect overlayRect(const WaterParam &item) const;
    bool fitsRecord(const QString &text);
    double mediaDuration() const;

    EditToolHost &m_host;
    QList<std::shared_ptr<WaterParam>> m_list;
    int m_selectedWaterMarkIndex = 0;
    PreviewRecords m_preview;
    QPointer<RDWaterView> m_overlay;
    QList<QPointer<WaterMarkCellItemView>> m_cells;
    QPointer<platform::View> m_listDocument, m_fileGroupView, m_lowerGroupView;
    TimeFieldGroup m_groups[4];
    QPointer<platform::Stepper> m_steppers[4];
    QPointer<platform::TextField> m_editFields[4];
    QPointer<platform::TextField> m_wmAlphaField, m_wmWidthField, m_wmHeightField;
    QPointer<platform::Stepper> m_wmAlphaStepper, m_wmWidthStepper, m_wmHeightStepper;
    QPointer<QSlider> m_wmAlphaSlider;
    QPointer<PNQView> m_wmsizeBackgroundView, m_wmfontStyleBackView;
    QPointer<platform::TextField> m_waterContentTextField;
    std::shared_ptr<WaterParam> &m_waterParam;
    double m_panelWidth = 0;
    QPointer<PNQButton> m_textmarkBtn, m_imagemarkBtn, m_deletedmarkBtn, m_wmkeepaspectRatioBtn,
        m_waterFontBtn, m_waterColorBtn, m_watermarkDefaultBtn;
    bool m_enabled = false;
};
