#pragma once
// The checks made when a time or crop field of the editor ends editing. Each takes the typed value and
// the model it would change, writes the model only when the value is accepted, and says which alert a
// refusal shows (null = refused silently). Times are seconds; D is the clip's duration in seconds.
#include "platform/Geometry.h"

class MusicInfo;
class WaterParam;

class TimeFieldRules
{
public:
    struct Verdict
    {
        bool accepted = true;
        const char *alertKey = nullptr;
    };

    // Trim range: start S and stop E of the two groups.
    static Verdict trimStart(double start, double stop);
    static Verdict trimStop(double start, double stop, double duration);

    // Watermark display start; a duration that would run past the clip's end is shortened.
    static Verdict watermarkStart(float value, float duration, WaterParam &water);
    static Verdict watermarkDuration(float value, float duration, WaterParam &water);
    // Watermark file part (start or end) against the watermark file's own length.
    static Verdict watermarkFileStart(float value, WaterParam &water);
    static Verdict watermarkFileEnd(float value, WaterParam &water);

    // Music: the span on the video and the used part of the music file (`musicDuration` the file's own
    // length). An accepted edit also keeps the used part no longer than the span; it is never negative.
    static Verdict musicPositionStart(float value, MusicInfo &music);
    static Verdict musicPositionEnd(float value, MusicInfo &music);
    static Verdict musicPruneStart(float value, float musicDuration, MusicInfo &music);
    static Verdict musicPruneEnd(float value, MusicInfo &music);

    // Crop rectangle c (video pixels, origin bottom-left) in a W x H picture. The left field is the
    // distance from the left edge and the top field the distance from the top edge; both keep the
    // rectangle inside the picture.
    enum class CropField { Width, Height, Left, Top };
    static platform::Rect cropEdit(CropField field, double value, const platform::Rect &c, double width,
                                   double height);

private:
    static Verdict musicAccepted(MusicInfo &music);
};
