#pragma once
// One conversion job of the editor's clip: the engine settings made from the clip record, the nine output
// titles in the user defaults ("vcodec_SelectTitle", ...; read once, when the job or its export is made),
// the watermarks, the music and the output path.
//
// Settings (a title that is absent, empty or a single blank leaves the source's value and makes no call):
//  - codecs: the trimmed titles; bit rates: the titles' leading integers, kbit/s, a video title "Custom"
//    taking "bitSelectCustom-Value"; frame rate: the title's number; channels and sample rate: leading
//    integers ("2(Stereo)" -> 2), one call when either is set;
//  - frame size, only with keep-aspect off: "WxH", or for "Custom" the target size with
//    "resolutionSelectCustom-Width"/"-Height" replacing each side where above 0; swapped when the total
//    rotation is a quarter turn, so a portrait result is not squeezed;
//  - audio stream, own-audio volume, subtitle (white when it has no colour), effects, colour, cut (only
//    with a stop), crop (only with a clip rectangle), mirror, rotation (clip's plus source's), the text
//    callback, the ticked watermarks (WatermarkWalk), the music tracks, the own audio dropped when asked,
//    and last the output path.
// The part of the clip converted: the whole cut range, or for a deleted section the part before it
// (0 .. cut start) or behind it (cut stop .. the clip's end). Main thread only.
#include "services/LanguageService.h"
#include "toolkit/ChainedExportJob.h"
#include "toolkit/EngineApi.h"
#include "platform/Geometry.h"

#include <QList>
#include <QString>

#include <array>
#include <memory>
#include <optional>

class MusicInfo;
class SimpleData;
class WaterParam;

// The output settings an export uses: the nine titles (EditorOutputSettings::Title order) and the
// numbers behind a "Custom" frame size and video bit rate.
struct OutputChoice
{
    std::array<QString, 9> titles;
    int customWidth = 0;
    int customHeight = 0;
    int customBitrate = 0;
};

// What an export reads from the editor window besides the clip record's own fields.
struct ExportSources
{
    std::shared_ptr<SimpleData> clip;
    QString outputFolder;
    int audioItemIndex = -1;     // the item chosen in the audio-stream pop-up, -1 = none
    double mainAudioVolume = 1.0; // the clip's own audio: effect volume x original level, 0..2
    bool removeOriginalAudio = false;
    QList<std::shared_ptr<WaterParam>> waterMarkList;
    double watermarkViewWidth = 0; // the overlay's width in points, the width of the previewed picture
    platform::Size videoSize;      // the picture in pixels, rotated
    QList<std::shared_ptr<MusicInfo>> musicSelecteds;
    QString waterFolder; // where rendered texts are written; empty = WatermarkWalk's default
    // The output settings as they stood when the export started; unset = read from the user defaults
    // when the job is made. Every part of one export uses the same ones, whatever changes meanwhile.
    std::optional<OutputChoice> outputChoice;
};

class ClipExportJob
{
public:
    enum class Part { Whole, Before, Behind };

    // The output settings as stored now.
    static OutputChoice storedChoice();

    // Takes the sources' output settings, or the stored ones when they have none.
    ClipExportJob(ExportSources sources, Part part = Part::Whole);

    // Sets up the created job `h` for writing to `outputPath` (set last). The failure message key of the
    // music is `musicFailureKey`. A refused input, music or output path ends the set-up with its code.
    ChainedExportJob::SetUp configure(MEDIA_HANDLE h, const QString &outputPath,
                                      const char *musicFailureKey = VW_KEY("showmessageTime7")) const;

    // Adds every track of musicSelecteds; the last engine result (a negative one ends the loop at once),
    // 1 without tracks. Drops the clip's own audio afterwards when asked, tracks or not.
    int addDubbingMusic(MEDIA_HANDLE h) const;

    // The free output path for the clip in the output folder: "<name without extension>.<target
    // extension>", numbered "(2)", "(3)", ... when taken.
    QString outputPath() const;
    // The clip's base name (its name without the extension) and the target extension.
    QString baseName() const;
    QString extension() const;

    // The step of a chain running this job into `outputPath`; `progress` gets the percent.
    ChainedExportJob::Step step(const QString &outputPath, platform::Timer::Mode mode,
                                std::function<void(double)> progress,
                                const char *musicFailureKey = VW_KEY("showmessageTime7")) const;

    const ExportSources &sources() const { return m_sources; }

private:
    void applyTitles(MEDIA_HANDLE h, const EngineApi &api) const;
    void applyEdits(MEDIA_HANDLE h, const EngineApi &api) const;

    ExportSources m_sources;
    Part m_part;
};
