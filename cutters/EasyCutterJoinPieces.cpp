#include "cutters/EasyCutterJoinPieces.h"

#include "platform/Log.h"

ChainedExportJob::SetUp EasyCutterJoinPieces::configure(MEDIA_HANDLE handle, const QString &outputPath,
                                                        const QList<Piece> &pieces)
{
    const EngineApi &api = EngineApi::current();
    const int output = api.joinSetOutputPath(handle, outputPath.toUtf8().constData());
    if (output < MEDIA_OK)
        return {output, {}};
    for (const Piece &piece : pieces) {
        const int clip =
            api.joinAddMediaClip(handle, piece.path.toUtf8().constData(), piece.start, piece.end);
        if (clip <= 0)
            return {MEDIA_ERR_ARGUMENT, {}};
        const int volume = api.joinSetAudioVolumn(handle, clip, piece.volume);
        if (volume < MEDIA_OK) {
            platform::log("error:%d", volume);
            return {volume, {}};
        }
    }
    return {MEDIA_OK, {}};
}
