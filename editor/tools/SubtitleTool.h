#pragma once
// The subtitle tool: the subtitle pop-up (no subtitle / the chosen file / load another: srt, ass or ssa),
// the font pop-up over the system's ttf and ttc files (srt only), the colour swatch (srt only) and the
// vertical position slider. It edits the editor's one SubtitleParam record and shows every change in the
// preview at once; the export reads the same record, so it writes what the preview shows.
//
// Decisions kept here:
//  - The font list keeps full paths (fonts sit in sub-folders) and shows each font by its family and
//    style ("Noto Serif CJK JP Bold"), on a row of its own so the name shows whole. The default font is
//    the one named "arial.ttf" (any case), then the first file of the CJK serif family ("Songti"), else
//    the first file; an empty list leaves the font path empty and the engine's default font is used.
//  - The position slider lies across the position box, between its "+" (left) and "-" (right) marks,
//    under the box's header button, which is selected while a subtitle file is loaded. Its value v
//    puts the baseline v x the picture's height above the bottom edge, never higher than one font size
//    under the top edge. After a load the slider stands at 1.0 while the record keeps the default
//    placement (-1), until the slider is moved. Choosing "no subtitle" leaves the other controls as
//    they are, so choosing the file again shows it as it was.
//  - Enabled states: a new clip turns the subtitle pop-up on and the font pop-up and slider off; an srt
//    load turns all on; an ass or ssa load turns the slider on and the rest off, the subtitle pop-up too,
//    until the editing state is set again (enableEdit) or a new clip comes.
//  - A picked colour is stored in the record at once.
//  - A file is read as the engine reads it (MediaGetSubtitleText): UTF-8, UTF-16 with its mark, or the
//    character set its bytes show (else the locale's). A file that is not text in any of them, or that
//    holds no cue the export can read (MediaCheckSubtitleCues), is refused at choice with an alert; the
//    record keeps what it had. An ass or ssa file
//    in another character set is used through its UTF-8 copy (SubtitleCopy), which the preview and the
//    export both read; the copy goes when another file is chosen, a new clip is loaded or the window
//    closes.
// Main thread only.
#include "editor/tools/EditToolHost.h"
#include "editor/tools/SubtitleCopy.h"

#include <QColor>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <memory>

class PNQButton;
class QSlider;
class SubtitleParam;
class TextLabel;

namespace platform {
class PopUpButton;
class View;
} // namespace platform

class SubtitleTool
{
public:
    // `param` is the editor's record (null until the first load makes one); the tool replaces it only
    // when it is null.
    SubtitleTool(EditToolHost &host, std::shared_ptr<SubtitleParam> &param) : m_host(host), m_param(param) {}

    // The files of `files` a subtitle can be drawn with (ttf and ttc in any case), in their order.
    static QStringList subtitleFontFiles(const QStringList &files);
    // The default font's index in `fonts`: "arial.ttf" (any case), replaced by the first of `cjkSerif`
    // present in `fonts`; else 0; -1 for an empty list.
    static int defaultFontIndex(const QStringList &fonts, const QStringList &cjkSerif);
    // The files of the CJK serif family that "Songti" maps to on this system.
    static QStringList cjkSerifFontFiles();
    // The engine's position (pixels from the bottom edge up to the baseline) for slider value v (0..1)
    // on a picture `frameHeight` pixels high: v x the height, never above the height less the font
    // size nor below 0.
    static int positionForSlider(double v, double frameHeight, int fontSize);
    // The name the font pop-up shows for a font file: its family and style as the file names them
    // (the first face of a collection); the file's name when fontconfig cannot read it.
    static QString fontDisplayName(const QString &fontFile);

    // Why a subtitle file is refused; Ok when it can be used.
    enum class FileCheck { Ok, Unreadable, NotText, NoCue };
    // The engine's reading of a file: its character set (iconv's name) and its text in UTF-8.
    struct Reading
    {
        QByteArray charset;
        QByteArray utf8;
    };
    static FileCheck checkSubtitleFile(const QString &path, Reading *reading = nullptr);

    // Builds the panel into `panel` once: everything disabled until a clip is loaded.
    void initSubtitleView(platform::View *panel);

    // The subtitle pop-up's action (item 0: none; item 1 of three: the chosen file; the last: load).
    void actionSubtitle_popUpBtn();
    void actionfonts_popUpBtn();
    void actionsubtitleAlphSlider();
    // Runs the colour panel and applies the pick.
    void changeSubtitleColor();
    // A new clip: its subtitle is none, and the chosen file's copy goes.
    void sourceLoaded();
    // The new clip is shown: the pop-up holds "none" and "load" again and is on; the font pop-up and the
    // slider are off; the header button is deselected.
    void sourceShown();
    // The editing state: the subtitle pop-up, the colour and the box's header follow `enable`; the font
    // pop-up and the slider too while a subtitle item is chosen, else they are off. The header keeps its
    // selected state.
    void enableEdit(bool enable);
    // The window closes: the copy goes.
    void windowWillClose();

    platform::PopUpButton *subtitlePopUpBtn() const { return m_subtitlePopUpBtn; }
    platform::PopUpButton *fontPopUpBtn() const { return m_fontPopUpBtn; }
    PNQButton *colorWell() const { return m_colorWell; }
    QSlider *positionSlider() const { return m_positionSlider; }
    PNQButton *captionAlphorBtn() const { return m_captionAlphorBtn; }
    TextLabel *captionAlphBigLabe() const { return m_captionAlphBigLabe; }
    TextLabel *captionAlphLowLabe() const { return m_captionAlphLowLabe; }
    QString captionPath() const { return m_captionPath; }
    // The file the preview and the export read for the chosen file: its UTF-8 copy, or the file itself.
    QString usedPath() const { return m_copy.path().isEmpty() ? m_captionPath : m_copy.path(); }

private:
    SubtitleParam &record();
    void loadSubtitle();
    void sendSubtitle(const QString &path) const;
    void showColour();

    EditToolHost &m_host;
    std::shared_ptr<SubtitleParam> &m_param;
    QString m_captionPath;
    SubtitleCopy m_copy;
    QPointer<platform::PopUpButton> m_subtitlePopUpBtn, m_fontPopUpBtn;
    QPointer<PNQButton> m_colorWell, m_captionAlphorBtn;
    QPointer<QSlider> m_positionSlider;
    QPointer<TextLabel> m_captionAlphBigLabe, m_captionAlphLowLabe;
};
