#include "tests/support/ProbeTool.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>

#include <cmath>

namespace fixture {

namespace {

// ffprobe prints most numbers as strings ("48000", "2.000000", "30000/1001").
double number(const QJsonValue &value)
{
    if (value.isDouble())
        return value.toDouble();
    const QString text = value.toString();
    const qsizetype slash = text.indexOf(QLatin1Char('/'));
    if (slash < 0)
        return text.toDouble();
    const double den = text.mid(slash + 1).toDouble();
    return den != 0 ? text.left(slash).toDouble() / den : 0;
}

int64_t integer(const QJsonValue &value)
{
    return static_cast<int64_t>(std::llround(number(value)));
}

// Matroska keeps a stream's duration as a tag "HH:MM:SS.fraction".
double clockSeconds(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    if (parts.size() != 3)
        return 0;
    return parts[0].toDouble() * 3600 + parts[1].toDouble() * 60 + parts[2].toDouble();
}

int clockwise(double degrees)
{
    const int d = static_cast<int>(std::lround(degrees)) % 360;
    return d < 0 ? d + 360 : d;
}

ProbeStream readStream(const QJsonObject &s)
{
    ProbeStream stream;
    const QJsonObject tags = s.value(QLatin1String("tags")).toObject();
    stream.index = s.value(QLatin1String("index")).toInt();
    stream.type = s.value(QLatin1String("codec_type")).toString().toStdString();
    stream.codecName = s.value(QLatin1String("codec_name")).toString().toStdString();
    stream.width = s.value(QLatin1String("width")).toInt();
    stream.height = s.value(QLatin1String("height")).toInt();
    stream.rFrameRate = number(s.value(QLatin1String("r_frame_rate")));
    stream.avgFrameRate = number(s.value(QLatin1String("avg_frame_rate")));
    stream.sampleRate = static_cast<int>(integer(s.value(QLatin1String("sample_rate"))));
    stream.channels = s.value(QLatin1String("channels")).toInt();
    stream.bitRate = integer(s.value(QLatin1String("bit_rate")));
    stream.title = tags.value(QLatin1String("title")).toString().toStdString();
    stream.handlerName = tags.value(QLatin1String("handler_name")).toString().toStdString();
    stream.language = tags.value(QLatin1String("language")).toString().toStdString();
    stream.nbFrames = integer(s.value(QLatin1String("nb_frames")));
    stream.startTime = number(s.value(QLatin1String("start_time")));
    stream.duration = number(s.value(QLatin1String("duration")));
    if (stream.duration == 0)
        stream.duration = clockSeconds(tags.value(QLatin1String("DURATION")).toString());

    bool fromMatrix = false;
    for (const QJsonValue &entry : s.value(QLatin1String("side_data_list")).toArray()) {
        const QJsonObject side = entry.toObject();
        if (side.contains(QLatin1String("rotation"))) {
            stream.rotation = clockwise(-number(side.value(QLatin1String("rotation"))));
            fromMatrix = true;
        }
    }
    if (!fromMatrix && tags.contains(QLatin1String("rotate")))
        stream.rotation = clockwise(number(tags.value(QLatin1String("rotate"))));
    return stream;
}

// Runs `program` with `arguments`; false (with `error` set) when it cannot start, hangs or fails.
bool runTool(const QString &program, const QStringList &arguments, QByteArray &output, std::string &error)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted(10000)) {
        error = "cannot start " + program.toStdString();
        return false;
    }
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        error = program.toStdString() + " did not finish";
        return false;
    }
    const QByteArray errors = process.readAllStandardError();
    error = errors.trimmed().toStdString();
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        if (error.empty())
            error = program.toStdString() + " failed";
        return false;
    }
    output = process.readAllStandardOutput();
    return true;
}

} // namespace

std::vector<ProbeStream> ProbeResult::ofType(const std::string &type) const
{
    std::vector<ProbeStream> found;
    for (const ProbeStream &s : streams) {
        if (s.type == type)
            found.push_back(s);
    }
    return found;
}

int ProbeResult::count(const std::string &type) const
{
    return static_cast<int>(ofType(type).size());
}

ProbeResult probe(const std::string &path)
{
    ProbeResult result;
    QByteArray output;
    if (!runTool(QStringLiteral("ffprobe"),
                 {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-print_format"),
                  QStringLiteral("json"), QStringLiteral("-show_format"), QStringLiteral("-show_streams"),
                  QString::fromStdString(path)},
                 output, result.error))
        return result;
    const QJsonDocument doc = QJsonDocument::fromJson(output);
    const QJsonObject format = doc.object().value(QLatin1String("format")).toObject();
    if (format.isEmpty()) {
        result.error = "ffprobe gave no format report";
        return result;
    }
    result.formatName = format.value(QLatin1String("format_name")).toString().toStdString();
    result.duration = number(format.value(QLatin1String("duration")));
    result.size = integer(format.value(QLatin1String("size")));
    result.bitRate = integer(format.value(QLatin1String("bit_rate")));
    for (const QJsonValue &s : doc.object().value(QLatin1String("streams")).toArray())
        result.streams.push_back(readStream(s.toObject()));
    result.ok = true;
    return result;
}

std::string decodeErrors(const std::string &path)
{
    QByteArray output;
    std::string errors;
    runTool(QStringLiteral("ffmpeg"),
            {QStringLiteral("-nostdin"), QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"),
             QString::fromStdString(path), QStringLiteral("-f"), QStringLiteral("null"), QStringLiteral("-")},
            output, errors);
    return errors;
}

} // namespace fixture
