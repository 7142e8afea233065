#include "tests/support/SharedFixtures.h"

#include "tests/support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace fixture {

namespace {

std::string root()
{
    static const std::string path = [] {
        std::string p = TestEnvironment::tempDir().toStdString() + "/media";
        std::filesystem::create_directories(p);
        return p;
    }();
    return path;
}

} // namespace

std::string sharedFixture(const std::string &name, const Spec &spec)
{
    static std::map<std::string, std::string> made;
    if (auto it = made.find(name); it != made.end())
        return it->second;
    std::string path = root() + "/fixture-" + name;
    std::string error;
    if (!generate(path, spec, &error)) {
        ADD_FAILURE() << "cannot generate " << name << ": " << error;
        return path;
    }
    made[name] = path;
    return path;
}

std::string freshFolder()
{
    static int counter = 0;
    const testing::TestInfo *info = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "folder";
    std::string path = root() + "/" + name + "-" + std::to_string(counter++);
    std::filesystem::create_directories(path);
    return path;
}

Image imageFromBgra(const std::vector<uint8_t> &bgra, int width, int height)
{
    Image image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint8_t *p = &bgra[(size_t(y) * width + x) * 4];
            image.setPixel(x, y, {p[2], p[1], p[0]});
        }
    return image;
}

std::string longTinyClip()
{
    Spec spec;
    spec.width = 64;
    spec.height = 36;
    spec.fpsNum = 2;
    spec.duration = 125.5;
    spec.gopSize = 20;
    spec.audio = {};
    return sharedFixture("long.mp4", spec);
}

} // namespace fixture
