#ifndef VW_MEDIA_MEDIARECORDS_H
#define VW_MEDIA_MEDIARECORDS_H
/*
 * The fixed-layout records that the media engine and the preview player exchange with the application.
 *
 * These layouts are a binary interface: every size and offset below is checked at compile time, in C and
 * in C++. Integers are little-endian; text fields are NUL-terminated UTF-8 of at most size - 1 bytes.
 * Whoever fills a record zero-fills it first, so padding, reserved bytes and fields nobody fills are zero.
 * Times are microseconds, sizes and positions video pixels, bit rates bit/s.
 *
 * The application side fills them from its model in model/EngineRecords; the engine fills the stream
 * records when it probes a file.
 */
#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
#define VW_RECORD_ASSERT(cond, msg) static_assert(cond, msg)
extern "C" {
#else
#define VW_RECORD_ASSERT(cond, msg) _Static_assert(cond, msg)
#endif

/*
 * Four edges in pixels. As a crop: the pixels cut away at each edge (even numbers). As a watermark's
 * placement: edge coordinates; picture and video watermarks count top/bottom from the top edge, text
 * watermarks count them from the bottom edge.
 */
typedef struct RECT
{
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
} RECT;

/* A picture file drawn over the video; filled by the application, passed by value. */
typedef struct IMAGE_WATERMARK_PARAM
{
    char path[260];       /* picture file (a rendered text watermark: its PNG file) */
    RECT rect;            /* placement, origin top-left */
    int32_t transparence; /* the watermark's alpha, truncated */
    int64_t start_time;   /* first moment shown, microseconds on the clip's timeline */
    int64_t end_time;     /* last moment shown, microseconds */
} IMAGE_WATERMARK_PARAM;

/* A text drawn by the registered text callback; filled by the application, passed by value. */
typedef struct TEXT_WATERMARK_PARAM
{
    char text[260];
    RECT rect;            /* placement, top/bottom counted from the bottom edge */
    char szFontFile[260]; /* left empty by the application */
    char szFontName[260];
    int32_t fontsize;     /* video pixels */
    uint32_t fontclr;     /* red << 24 | green << 16 | blue << 8, low byte 0 */
    int32_t transparence; /* alpha, truncated */
    int64_t start_time;   /* microseconds */
    int64_t end_time;     /* microseconds */
} TEXT_WATERMARK_PARAM;

/* A second video file shown over the video; filled by the application, passed by value. */
typedef struct VIDEO_WATERMARK_PARAM
{
    char path[260];
    RECT rect; /* placement, origin top-left */
    int32_t padding0;
    int64_t start_time;      /* when it starts on the clip's timeline, microseconds */
    int64_t end_time;        /* when it ends on the clip's timeline, microseconds */
    int64_t file_start_time; /* start of the used part of the watermark file, microseconds */
    int64_t file_end_time;   /* end of the used part of the watermark file, microseconds */
    char reserved1[28];
    int32_t transparence; /* alpha, truncated */
    char reserved2[8];
} VIDEO_WATERMARK_PARAM;

/* A subtitle file burnt in; filled by the application, passed by value. An empty path means none. */
typedef struct SUBTITLE_PARAM
{
    char path[260];
    int32_t position; /* pixels from the bottom edge up to the baseline; -1 = default placement */
    char szFontFile[260];
    char reserved[260];
    int32_t fontsize;   /* video pixels */
    int32_t shadow;     /* 1 = draw a shadow */
    uint32_t fontclr;   /* same encoding as TEXT_WATERMARK_PARAM.fontclr */
    uint32_t shadowclr; /* the application writes the text colour here too */
} SUBTITLE_PARAM;

/* One audio stream; filled by the engine's probe. */
typedef struct AUDIO_STREAM_INFO
{
    int32_t exist; /* non-zero when the stream exists */
    int32_t index; /* stream index within the file */
    char codec[128];
    int32_t samplerate; /* Hz */
    int32_t channels;
    int32_t bitrate; /* bit/s */
    int32_t fmt;     /* sample-format code */
    char lang[128];
    char title[256];
    char aspect[64];
} AUDIO_STREAM_INFO;

/* One video stream; filled by the engine's probe (upright: displayed size, rotation 0). */
typedef struct VIDEO_STREAM_INFO
{
    int32_t exist; /* non-zero when the stream exists */
    int32_t index; /* stream index within the file */
    char codec[64];
    char codec_tag[64];
    int32_t width;  /* pixels */
    int32_t height; /* pixels */
    double fps;
    int32_t bitrate; /* bit/s */
    int32_t padding0;
    double aspect_ratio;
    int32_t rotate; /* degrees */
    char lang[128];
    char title[256];
    char aspect[64];
    int32_t padding1;
} VIDEO_STREAM_INFO;

#define VW_RECORD_AT(type, field, offset)                                                                    \
    VW_RECORD_ASSERT(offsetof(type, field) == (offset), #type "." #field " must sit at byte " #offset)
#define VW_RECORD_SIZE(type, size) VW_RECORD_ASSERT(sizeof(type) == (size), #type " must be " #size " bytes")

VW_RECORD_SIZE(RECT, 16);
VW_RECORD_AT(RECT, left, 0);
VW_RECORD_AT(RECT, top, 4);
VW_RECORD_AT(RECT, right, 8);
VW_RECORD_AT(RECT, bottom, 12);

VW_RECORD_SIZE(IMAGE_WATERMARK_PARAM, 296);
VW_RECORD_AT(IMAGE_WATERMARK_PARAM, path, 0);
VW_RECORD_AT(IMAGE_WATERMARK_PARAM, rect, 260);
VW_RECORD_AT(IMAGE_WATERMARK_PARAM, transparence, 276);
VW_RECORD_AT(IMAGE_WATERMARK_PARAM, start_time, 280);
VW_RECORD_AT(IMAGE_WATERMARK_PARAM, end_time, 288);

VW_RECORD_SIZE(TEXT_WATERMARK_PARAM, 824);
VW_RECORD_AT(TEXT_WATERMARK_PARAM, text, 0);
VW_RECORD_AT(TEXT_WATERMARK_PARAM, rect, 260);
VW_RECORD_AT(TEXT_WATERMARK_PARAM, szFontFile, 276);
VW_RECORD_AT(TEXT_WATERMARK_PARAM, szFontName, 536);
VW_RECORD_AT(TEXT_WATERMARK_PARAM, fontsize, 796);
VW_RECORD_AT(TEXT_WATERMARK_PARAM, fontclr, 800);
VW_RECORD_AT(TEXT_WATERMARK_PARAM, transparence, 804);
VW_RECORD_AT(TEXT_WATERMARK_PARAM, start_time, 808);
VW_RECORD_AT(TEXT_WATERMARK_PARAM, end_time, 816);

VW_RECORD_SIZE(VIDEO_WATERMARK_PARAM, 352);
VW_RECORD_AT(VIDEO_WATERMARK_PARAM, path, 0);
VW_RECORD_AT(VIDEO_WATERMARK_PARAM, rect, 260);
VW_RECORD_AT(VIDEO_WATERMARK_PARAM, padding0, 276);
VW_RECORD_AT(VIDEO_WATERMARK_PARAM, start_time, 280);
VW_RECORD_AT(VIDEO_WATERMARK_PARAM, end_time, 288);
VW_RECORD_AT(VIDEO_WATERMARK_PARAM, file_start_time, 296);
VW_RECORD_AT(VIDEO_WATERMARK_PARAM, file_end_time, 304);
VW_RECORD_AT(VIDEO_WATERMARK_PARAM, reserved1, 312);
VW_RECORD_AT(VIDEO_WATERMARK_PARAM, transparence, 340);
VW_RECORD_AT(VIDEO_WATERMARK_PARAM, reserved2, 344);

VW_RECORD_SIZE(SUBTITLE_PARAM, 800);
VW_RECORD_AT(SUBTITLE_PARAM, path, 0);
VW_RECORD_AT(SUBTITLE_PARAM, position, 260);
VW_RECORD_AT(SUBTITLE_PARAM, szFontFile, 264);
VW_RECORD_AT(SUBTITLE_PARAM, reserved, 524);
VW_RECORD_AT(SUBTITLE_PARAM, fontsize, 784);
VW_RECORD_AT(SUBTITLE_PARAM, shadow, 788);
VW_RECORD_AT(SUBTITLE_PARAM, fontclr, 792);
VW_RECORD_AT(SUBTITLE_PARAM, shadowclr, 796);

VW_RECORD_SIZE(AUDIO_STREAM_INFO, 600);
VW_RECORD_AT(AUDIO_STREAM_INFO, exist, 0);
VW_RECORD_AT(AUDIO_STREAM_INFO, index, 4);
VW_RECORD_AT(AUDIO_STREAM_INFO, codec, 8);
VW_RECORD_AT(AUDIO_STREAM_INFO, samplerate, 136);
VW_RECORD_AT(AUDIO_STREAM_INFO, channels, 140);
VW_RECORD_AT(AUDIO_STREAM_INFO, bitrate, 144);
VW_RECORD_AT(AUDIO_STREAM_INFO, fmt, 148);
VW_RECORD_AT(AUDIO_STREAM_INFO, lang, 152);
VW_RECORD_AT(AUDIO_STREAM_INFO, title, 280);
VW_RECORD_AT(AUDIO_STREAM_INFO, aspect, 536);

VW_RECORD_SIZE(VIDEO_STREAM_INFO, 624);
VW_RECORD_AT(VIDEO_STREAM_INFO, exist, 0);
VW_RECORD_AT(VIDEO_STREAM_INFO, index, 4);
VW_RECORD_AT(VIDEO_STREAM_INFO, codec, 8);
VW_RECORD_AT(VIDEO_STREAM_INFO, codec_tag, 72);
VW_RECORD_AT(VIDEO_STREAM_INFO, width, 136);
VW_RECORD_AT(VIDEO_STREAM_INFO, height, 140);
VW_RECORD_AT(VIDEO_STREAM_INFO, fps, 144);
VW_RECORD_AT(VIDEO_STREAM_INFO, bitrate, 152);
VW_RECORD_AT(VIDEO_STREAM_INFO, padding0, 156);
VW_RECORD_AT(VIDEO_STREAM_INFO, aspect_ratio, 160);
VW_RECORD_AT(VIDEO_STREAM_INFO, rotate, 168);
VW_RECORD_AT(VIDEO_STREAM_INFO, lang, 172);
VW_RECORD_AT(VIDEO_STREAM_INFO, title, 300);
VW_RECORD_AT(VIDEO_STREAM_INFO, aspect, 556);
VW_RECORD_AT(VIDEO_STREAM_INFO, padding1, 620);

#undef VW_RECORD_AT
#undef VW_RECORD_SIZE
#undef VW_RECORD_ASSERT

#ifdef __cplusplus
}
#endif

#endif /* VW_MEDIA_MEDIARECORDS_H */
