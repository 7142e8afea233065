#include "cutters/BatchCutterExport.h"

#include "model/FileData.h"
#include "model/SimpleData.h"
#include "platform/Log.h"
#include "toolkit/JoinPlan.h"
#include "toolkit/OutputNaming.h"

#include <QFileInfo>

#include <cmath>

namespace {

// Shorter parts are float rounding of the duration, not pictures.
constexpr int64_t kShortestPiece = 1000;

} // namespace

QList<BatchCutterExport::Piece> BatchCutterExport::pieces(const SimpleData &clip)
{
    const int64_t start = clip.cutTimeRange_start();
    const int64_t stop = clip.cutTimeRange_stop();
    if (!clip.isTrimFanxuan()) {
        if (stop != 0 && stop - start < kShortestPiece)
            return {};
        return {Piece{stop == 0 ? 0 : start, stop}};
    }
    const double seconds = clip.sourceData() ? double(clip.sourceData()->duration()) : 0.0;
    const int64_t end = std::llround(seconds * 1000000.0);
    QList<Piece> parts;
    if (start >= kShortestPiece)
        parts.append(Piece{0, start});
    if (stop != 0 && end - stop >= kShortestPiece)
        parts.append(Piece{stop, 0});
    return parts;
}

QString BatchCutterExport::outputPath(const SimpleData &clip, const QString &folder, QSet<QString> *reserved)
{
    const QString extension = clip.targetData() ? clip.targetData()->extension() : QString();
    return OutputNaming::availablePath(folder, QFileInfo(clip.name()).completeBaseName(), extension,
                                       reserved);
}

ChainedExportJob::Step BatchCutterExport::step(const std::shared_ptr<SimpleData> &clip, const QString &folder,
                                               const std::shared_ptr<QSet<QString>> &reserved)
{
    const QList<Piece> parts = pieces(*clip);
    ChainedExportJob::Step step;
    step.mayFail = true;
    step.parallel = true;
    step.kind = parts.size() == 2 ? ChainedExportJob::Kind::Join : ChainedExportJob::Kind::Convert;
    auto given = std::make_shared<QString>();
    step.configure = [clip, folder, parts, reserved, given](MEDIA_HANDLE h) -> ChainedExportJob::SetUp {
        if (parts.isEmpty())
            return {MEDIA_ERR_ARGUMENT, {}};
        const QString output = outputPath(*clip, folder, reserved.get());
        *given = output;
        clip->setExportPath(output);
        platform::log("outputFileurl:%s", qUtf8Printable(output));
        if (parts.size() == 2) {
            // An end of 0 means "to the end of the file", so the second part never loses its last
            // frames to a duration rounded to a float.
            const QList<JoinPlan::Piece> pieces{{clip->path(), 0, uint64_t(parts[0].stop)},
                                                {clip->path(), uint64_t(parts[1].start), 0}};
            return JoinPlan::configure(h, JoinPlan::streamCopy(), output, pieces);
        }

        const EngineApi &api = EngineApi::current();
        int r = api.convertSetInputMedia(h, clip->path().toUtf8().constData());
        if (r <= 0)
            return {r, {}};
        const Piece piece = parts.first();
        if (piece.stop != 0 || piece.start != 0) {
            if ((r = api.convertSetCutTime(h, piece.start, piece.stop)) <= 0)
                return {r, {}};
        }
        return {api.convertSetOutputPath(h, output.toUtf8().constData()), {}};
    };
    step.ended = [reserved, given](bool ok, int) {
        if (!ok && reserved)
            reserved->remove(*given);
    };
    return step;
}
