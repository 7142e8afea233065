#include "player/AudioOutput.h"

#include "player/QtAudioOutput.h"
#include "player/SilentAudioOutput.h"

#include <QMediaDevices>

#include <mutex>

namespace player {

namespace {

std::mutex factoryMutex;
AudioOutput::Factory &factory()
{
    static AudioOutput::Factory f;
    return f;
}

} // namespace

std::unique_ptr<AudioOutput> AudioOutput::createDefault()
{
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (!device.isNull()) {
        std::unique_ptr<AudioOutput> output = QtAudioOutput::create(device);
        if (output && output->start())
            return output;
    }
    auto silent = std::make_unique<SilentAudioOutput>();
    silent->start();
    return silent;
}

void AudioOutput::setFactory(Factory f)
{
    std::lock_guard lock(factoryMutex);
    factory() = std::move(f);
}

std::unique_ptr<AudioOutput> AudioOutput::create()
{
    Factory f;
    {
        std::lock_guard lock(factoryMutex);
        f = factory();
    }
    if (f) {
        std::unique_ptr<AudioOutput> output = f();
        if (output && output->start())
            return output;
    }
    return createDefault();
}

} // namespace player
