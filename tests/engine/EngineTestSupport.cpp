#include "tests/engine/EngineTestSupport.h"

#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace enginetest {

namespace {

std::string root()
{
    static const std::string path = [] {
        std::string p = TestEnvironment::tempDir().toStdString() + "/engine";
        std::filesystem::create_directories(p);
        return p;
    }();
    return path;
}

} // namespace

std::string freshFolder()
{
    static int counter = 0;
    const testing::TestInfo *info = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "folder";
    std::string path = root() + "/" + name + "-" + std::to_string(counter++);
    std::filesystem::create_directories(path);
    return path;
}

std::string sharedFixture(const std::string &name, const fixture::Spec &spec)
{
    static std::map<std::string, std::string> made;
    auto it = made.find(name);
    if (it != made.end())
        return it->second;
    std::string path = root() + "/fixture-" + name;
    std::string error;
    if (!fixture::generate(path, spec, &error)) {
        ADD_FAILURE() << "cannot generate " << name << ": " << error;
        return path;
    }
    made[name] = path;
    return path;
}

std::string clip720p()
{
    fixture::Spec spec;
    spec.width = 1280;
    spec.height = 720;
    spec.duration = 5.0;
    spec.gopSize = 25;
    spec.audio = {fixture::AudioTrack{}};
    return sharedFixture("clip720p.mp4", spec);
}

fixture::Image imageFromBgra(const std::vector<uint8_t> &bgra, int width, int height)
{
    fixture::Image image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint8_t *p = &bgra[(size_t(y) * width + x) * 4];
            image.setPixel(x, y, {p[2], p[1], p[0]});
        }
    return image;
}

} // namespace enginetest
