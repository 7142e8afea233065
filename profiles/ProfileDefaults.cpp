#include "profiles/ProfileDefaults.h"

#include "platform/Bundle.h"
#include "platform/NumberScan.h"

#include <QDir>
#include <QFileInfo>

#include <cmath>

namespace {

// The profiles' bit rates were chosen for full HD where a profile names no size of its own.
constexpr QSize kFullHd(1920, 1080);

double pixels(QSize size)
{
    return double(size.width()) * double(size.height());
}

bool hasPixels(QSize size)
{
    return size.width() > 0 && size.height() > 0;
}

} // namespace

bool ProfileDefaults::isShipped(const QString &path)
{
    const QString resources = platform::Bundle::main().resourcePath();
    if (path.isEmpty() || resources.isEmpty())
        return false;
    const QString file = QDir::cleanPath(QDir::isRelativePath(path) ? resources + u'/' + path : path);
    const QString root = QDir::cleanPath(QFileInfo(resources).absoluteFilePath());
    return QFileInfo(file).absoluteFilePath().startsWith(root + u'/');
}

QSize ProfileDefaults::sizeOfTitle(const QString &frameSize)
{
    const qsizetype x = frameSize.indexOf(u'x');
    if (x < 0)
        return {};
    const QSize size(platform::scanInt(frameSize.left(x)),
                     platform::scanInt(frameSize.mid(x + 1)));
    return hasPixels(size) ? size : QSize();
}

QString ProfileDefaults::scaledBitRate(const QString &bitRate, QSize reference, QSize picture,
                                       const QStringList &choices)
{
    const int rate = platform::scanInt(bitRate);
    if (rate <= 0 || !hasPixels(reference) || !hasPixels(picture))
        return bitRate;
    const double wanted = rate * pixels(picture) / pixels(reference);
    long long best = 0;
    for (const QString &choice : choices) {
        const long long value = platform::scanLongLong(choice);
        if (value <= 0)
            continue;
        const double distance = std::abs(double(value) - wanted);
        const double bestDistance = std::abs(double(best) - wanted);
        if (best == 0 || distance < bestDistance || (distance == bestDistance && value > best))
            best = value;
    }
    if (best == 0)
        best = std::max(1LL, std::llround(wanted));
    return QString::number(best);
}

ProfileDefaults::Video ProfileDefaults::resolve(const Video &profile, const QStringList &bitRateChoices, Use use,
                                                QSize picture)
{
    const QSize profileSize = sizeOfTitle(profile.frameSize);
    const QSize reference = profileSize.isValid() ? profileSize : kFullHd;
    Video video = profile;
    if (use == Use::OneSource) {
        video.frameSize.clear();
        video.frameRate.clear();
        video.bitRate = scaledBitRate(profile.bitRate, reference, picture, bitRateChoices);
    } else if (profileSize.isValid() && hasPixels(picture) && pixels(profileSize) > pixels(picture)) {
        video.frameSize = QStringLiteral("%1x%2").arg(picture.width()).arg(picture.height());
        video.bitRate = scaledBitRate(profile.bitRate, reference, picture, bitRateChoices);
    }
    return video;
}
