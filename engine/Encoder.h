#pragma once
// The encode stage: finds an encoder by name and runs one stream's encoder (frames in, packets out).
#include "engine/FFmpeg.h"

#include <string>

namespace engine {

class Encoder
{
public:
    // The encoder for an FFmpeg encoder name ("libx264") or codec name ("h264"), never one marked
    // experimental and never a hardware one; nullptr when none.
    static const AVCodec *find(const std::string &name);
    // The usable encoder for a codec id; nullptr when the codec can only be decoded.
    static const AVCodec *find(AVCodecID id);

    // The encoder for a stream of codec `source` in `format`: the `asked` one (empty = none asked), else
    // the source's codec again, or `fallback` for a codec that can only be decoded. Unless `strict`,
    // one that `format` does not take gives way to `fallback`, then to `containerDefault`. nullptr when
    // none fits.
    static const AVCodec *choose(const AVOutputFormat *format, const std::string &asked, AVCodecID source,
                                 AVCodecID fallback, AVCodecID containerDefault, bool strict);

    // Allocates the context for `codec`; the caller fills it, then calls open().
    int create(const AVCodec *codec);
    AVCodecContext *context() const { return m_context.get(); }
    const AVCodec *codec() const { return m_codec; }

    // For audio, before open(): the codec's supported sample rate nearest `sampleRate`, its layout
    // nearest `channels` channels, `sourceFormat` when the codec takes it (else its first sample format),
    // and a time base of 1 / rate.
    void setAudioFormat(int sampleRate, int channels, AVSampleFormat sourceFormat);

    // Opens the encoder with the engine's quality defaults for the codec (a fast preset, a constant
    // quality when no bit rate is set). `globalHeader` when the container wants it; `extra` options
    // (may be nullptr) override the defaults.
    int open(bool globalHeader, const AVDictionary *extra = nullptr);

    // Sends one frame (nullptr = end of stream) / receives one packet (0, EAGAIN or EOF).
    int send(const AVFrame *frame);
    int receive(AVPacket *packet);

private:
    const AVCodec *m_codec = nullptr;
    CodecContextPtr m_context;
};

} // namespace engine
