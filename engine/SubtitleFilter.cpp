#include "engine/SubtitleFilter.h"

#include "engine/EngineLog.h"
#include "engine/FilterText.h"
#include "engine/SubtitleCharset.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <sstream>

namespace engine {

namespace {

std::string lowerExtension(const std::string &path)
{
    size_t dot = path.rfind('.');
    std::string ext = dot == std::string::npos ? "" : path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return ext;
}

// libass colours are &HAABBGGRR with alpha 0 = opaque; ours are red << 24 | green << 16 | blue << 8.
std::string assColour(uint32_t colour)
{
    char text[16];
    snprintf(text, sizeof text, "&H00%02X%02X%02X", (colour >> 8) & 0xff, (colour >> 16) & 0xff,
             (colour >> 24) & 0xff);
    return text;
}

// The script height an ass or ssa script measures its margins in (libass's default when it names none).
int scriptHeight(const std::string &utf8)
{
    std::istringstream in(utf8);
    std::string line;
    for (int n = 0; n < 200 && std::getline(in, line); ++n) {
        if (line.rfind("PlayResY:", 0) == 0) {
            int value = std::atoi(line.c_str() + 9);
            return value > 0 ? value : 288;
        }
    }
    return 288;
}

} // namespace

std::string SubtitleFilter::fontFamily(const std::string &fontFile)
{
    if (fontFile.empty())
        return {};
    int count = 0;
    FcPattern *pattern =
        FcFreeTypeQuery(reinterpret_cast<const FcChar8 *>(fontFile.c_str()), 0, nullptr, &count);
    if (!pattern)
        return {};
    FcChar8 *family = nullptr;
    std::string name;
    if (FcPatternGetString(pattern, FC_FAMILY, 0, &family) == FcResultMatch && family)
        name = reinterpret_cast<const char *>(family);
    FcPatternDestroy(pattern);
    return name;
}

std::string SubtitleFilter::text(const SUBTITLE_PARAM &subtitle, int width, int height)
{
    std::string path(subtitle.path, strnlen(subtitle.path, sizeof subtitle.path));
    if (path.empty())
        return {};
    std::string filter = "subtitles=filename=" + FilterText::value(path) +
                         ":original_size=" + std::to_string(width) + "x" + std::to_string(height);
    // libavcodec turns the cues of a file in another character set into UTF-8 for libass. A file that
    // cannot be read gets no charenc, and the filter then fails on it, as it should.
    SubtitleCharset::Text script;
    if (SubtitleCharset::readFile(path, script) == MEDIA_OK && !SubtitleCharset::readsAsIs(script.charset)) {
        filter += ":charenc=" + FilterText::value(script.charset);
        engineTrace("subtitle %s is read as %s", path.c_str(), script.charset.c_str());
    }
    std::string style;
    auto add = [&](const std::string &item) { style += (style.empty() ? "" : ",") + item; };
    // Distance from the bottom to the baseline, less the descent libass keeps below it.
    auto marginFor = [&](double unitsPerPixel, int fontSize) {
        return std::max(0, int((subtitle.position - fontSize / 5) * unitsPerPixel));
    };

    if (lowerExtension(path) == "srt") {
        // Pixels as the script's units, so sizes and margins are the picture's pixels.
        add("PlayResX=" + std::to_string(width));
        add("PlayResY=" + std::to_string(height));
        std::string fontFile(subtitle.szFontFile, strnlen(subtitle.szFontFile, sizeof subtitle.szFontFile));
        std::string family = fontFamily(fontFile);
        if (!family.empty()) {
            size_t slash = fontFile.rfind('/');
            if (slash != std::string::npos && slash > 0)
                filter += ":fontsdir=" + FilterText::value(fontFile.substr(0, slash));
            add("FontName=" + family);
        } else if (!fontFile.empty()) {
            engineLog("cannot read the subtitle font %s; the default font is used", fontFile.c_str());
        }
        int size = subtitle.fontsize > 0 ? subtitle.fontsize : std::max(8, height / 18);
        add("FontSize=" + std::to_string(size));
        add("PrimaryColour=" + assColour(subtitle.fontclr));
        add("BackColour=" + assColour(subtitle.shadowclr));
        add(std::string("Shadow=") + (subtitle.shadow ? "2" : "0"));
        if (subtitle.position >= 0) {
            add("Alignment=2");
            add("MarginV=" + std::to_string(marginFor(1.0, size)));
        }
    } else if (subtitle.position >= 0) {
        add("MarginV=" + std::to_string(marginFor(double(scriptHeight(script.utf8)) / height, 0)));
    }
    if (!style.empty())
        filter += ":force_style=" + FilterText::value(style);
    return filter;
}

} // namespace engine
