#include "core/FrameNaming.h"

#include "core/Paths.h"

namespace core {

std::string formatFrameNumber(std::int32_t frame) {
    constexpr std::size_t minimumDigits = 5;
    const std::int64_t wide = frame;
    std::string digits = std::to_string(wide < 0 ? -wide : wide);
    if (digits.size() < minimumDigits)
        digits.insert(0, minimumDigits - digits.size(), '0');
    return frame < 0 ? "-" + digits : digits;
}

std::string outputBaseName(std::string_view sourceName, std::int32_t frame,
                           const PathRules& rules) {
    const std::string suffix = "_" + formatFrameNumber(frame) + ".bmp";
    return extractFileName(changeFileExt(sourceName, suffix, rules), rules);
}

std::string outputFileName(std::string_view destination, std::string_view sourceName,
                           std::int32_t frame, const PathRules& rules) {
    std::string result(destination);
    result += '/';
    result += outputBaseName(sourceName, frame, rules);
    return result;
}

} // namespace core
