#include "support/testmedia/ColourChart.h"

#include "support/testmedia/TestMedia.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>

namespace testmedia {

namespace {

double linearOf(std::uint8_t value) {
    const double v = value / 255.0;
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

// HDR charts in linear light, planar G, B, R floats, 1.0 = reference white; two frames.
void writeLinearChart(const std::filesystem::path& file, int width, int height) {
    const auto& colours = chartColours();
    std::ofstream out(file, std::ios::binary);
    for (int frame = 0; frame < 2; ++frame)
        for (int plane = 0; plane < 3; ++plane)
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) {
                    const std::size_t patch = static_cast<std::size_t>(x * 8 / width);
                    const ChartColour c = colours[patch];
                    const std::uint8_t channel = plane == 0 ? c.g : plane == 1 ? c.b : c.r;
                    float light = static_cast<float>(linearOf(channel));
                    if (frame == 1 && patch == 7)
                        light = 1000.0f / 203.0f;
                    char bytes[4];
                    std::memcpy(bytes, &light, 4);
                    out.write(bytes, 4);
                }
    if (!out)
        throw std::runtime_error("cannot write " + file.string());
}

void writeSrgbChart(const std::filesystem::path& file, int width, int height) {
    const auto& colours = chartColours();
    std::ofstream out(file, std::ios::binary);
    for (int frame = 0; frame < 2; ++frame)
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const ChartColour c = colours[static_cast<std::size_t>(x * 8 / width)];
                const char rgb[3] = {static_cast<char>(c.r), static_cast<char>(c.g),
                                     static_cast<char>(c.b)};
                out.write(rgb, 3);
            }
    if (!out)
        throw std::runtime_error("cannot write " + file.string());
}

std::string quoted(const std::filesystem::path& file) {
    return "'" + file.string() + "'";
}

const char* nameOf(ChartCoding coding) {
    switch (coding) {
    case ChartCoding::Hdr10:
        return "hdr10";
    case ChartCoding::Hlg:
        return "hlg";
    case ChartCoding::Bt2020Sdr:
        return "bt2020";
    case ChartCoding::Untagged709:
        return "untagged709";
    case ChartCoding::Untagged601:
        return "untagged601";
    case ChartCoding::Mjpeg:
        return "mjpeg";
    }
    return "?";
}

// The zscale chain and the output options of each coding.
std::string encodingOf(ChartCoding coding) {
    const std::string from = "zscale=pin=709:min=gbr:rin=full:";
    const std::string untagged = ",setparams=colorspace=unknown:range=unknown";
    switch (coding) {
    case ChartCoding::Hdr10:
        return "-vf " + from +
               "tin=linear:t=smpte2084:p=2020:m=2020_ncl:r=limited:npl=203,format=yuv420p10le "
               "-c:v ffv1 -color_primaries bt2020 -color_trc smpte2084 -colorspace bt2020nc "
               "-color_range tv";
    case ChartCoding::Hlg:
        return "-vf " + from +
               "tin=linear:t=arib-std-b67:p=2020:m=2020_ncl:r=limited:npl=203,format=yuv420p10le "
               "-c:v ffv1 -color_primaries bt2020 -color_trc arib-std-b67 -colorspace bt2020nc "
               "-color_range tv";
    case ChartCoding::Bt2020Sdr:
        return "-vf " + from +
               "tin=iec61966-2-1:t=2020_10:p=2020:m=2020_ncl:r=limited,format=yuv444p10le "
               "-c:v ffv1 -color_primaries bt2020 -color_trc bt2020-10 -colorspace bt2020nc "
               "-color_range tv";
    case ChartCoding::Untagged709:
        return "-vf zscale=min=gbr:rin=full:m=709:r=limited,format=yuv444p" + untagged +
               " -c:v ffv1";
    case ChartCoding::Untagged601:
        return "-vf zscale=min=gbr:rin=full:m=170m:r=limited,format=yuv444p" + untagged +
               " -c:v ffv1";
    case ChartCoding::Mjpeg:
        return "-c:v mjpeg -q:v 1";
    }
    return {};
}

bool isHdr(ChartCoding coding) {
    return coding == ChartCoding::Hdr10 || coding == ChartCoding::Hlg;
}

} // namespace

const std::vector<ChartColour>& chartColours() {
    static const std::vector<ChartColour> colours{{255, 255, 255}, {191, 191, 191}, {128, 128, 128},
                                                  {0, 191, 0},     {0, 191, 191},   {200, 40, 40},
                                                  {40, 40, 200},   {230, 200, 60}};
    return colours;
}

bool canEncodeCharts() {
    static const bool can =
        std::system("ffmpeg -hide_banner -filters 2>/dev/null | grep -q ' zscale '") == 0;
    return can;
}

std::filesystem::path sharedChartMovie(ChartCoding coding, int width, int height) {
    static std::map<std::string, std::filesystem::path> written;
    const std::string name =
        std::string(nameOf(coding)) + "_" + std::to_string(width) + "x" + std::to_string(height);
    if (const auto found = written.find(name); found != written.end())
        return found->second;
    const auto folder = scratchFolder("charts");
    const auto source = folder / (name + ".raw");
    const auto movie = folder / (name + (coding == ChartCoding::Mjpeg ? ".avi" : ".mkv"));
    if (isHdr(coding))
        writeLinearChart(source, width, height);
    else
        writeSrgbChart(source, width, height);
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    const std::string command = "ffmpeg -nostdin -v error -y -f rawvideo -pix_fmt " +
                                std::string(isHdr(coding) ? "gbrpf32le" : "rgb24") + " -s " + size +
                                " -r 25 -i " + quoted(source) + " " + encodingOf(coding) + " " +
                                quoted(movie);
    if (std::system(command.c_str()) != 0)
        throw std::runtime_error("ffmpeg failed: " + command);
    std::filesystem::remove(source);
    written.emplace(name, movie);
    return movie;
}

} // namespace testmedia
