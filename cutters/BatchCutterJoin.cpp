#include "cutters/BatchCutterJoin.h"

#include "platform/Log.h"

ChainedExportJob::SetUp BatchCutterJoin::configure(MEDIA_HANDLE handle, const QString &path, int64_t cutStart,
                                                   int64_t cutStop, const QString &outputPath)
{
    const EngineApi &api = EngineApi::current();
    const QByteArray source = path.toUtf8();
    // An end of 0 means "to the end of the file", so the second piece never loses its last frames to a
    // duration rounded to a float.
    const uint64_t pieces[2][2] = {{0, uint64_t(cutStart)}, {uint64_t(cutStop), 0}};
    for (const auto &piece : pieces) {
        if (api.joinAddMediaClip(handle, source.constData(), piece[0], piece[1]) == 0) {
            platform::log("添加失败");
            return {MEDIA_ERR_INPUT, {}};
        }
    }
    const int output = api.joinSetOutputPath(handle, outputPath.toUtf8().constData());
    if (output <= 0)
        return {output, {}};
    // A codec the engine refuses keeps its default (as the first clip), which still gives the file.
    for (int r : {api.joinSetAudioCodec(handle, "copy"), api.joinSetVideoCodec(handle, "copy")})
        if (r <= 0)
            platform::log("error:%d", r);
    return {MEDIA_OK, {}};
}
