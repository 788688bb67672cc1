#include "cli/SheetWriter.h"

#include "cli/ContactSheet.h"
#include "cli/ExtractError.h"
#include "cli/FrameClock.h"
#include "cli/JpegEncoder.h"
#include "cli/MovieTask.h"
#include "cli/PngEncoder.h"
#include "cli/StopSignals.h"
#include "core/AtomicFile.h"
#include "core/BmpWriter.h"
#include "core/FolderCreation.h"
#include "core/PathRules.h"
#include "core/Paths.h"
#include "core/TimeText.h"
#include "media/Movie.h"

#include <algorithm>
#include <stdexcept>

namespace cli {

namespace {

// Sizes in pixels an em: the header a little larger than the captions.
constexpr int headerPixels = 15;
constexpr int captionPixels = 13;

// "00:01:23.480": a caption is read, not used as a file name.
std::string clockText(std::int64_t milliseconds) {
    std::string text = core::formatTimecode(milliseconds);
    std::replace(text.begin(), text.end(), '-', ':');
    return text;
}

std::string movieBaseName(const std::string& name) {
    const core::PathRules rules = core::PathRules::native();
    return core::extractFileName(core::changeFileExt(name, "", rules), rules);
}

std::string_view extensionOf(ImageFormat format) {
    return format == ImageFormat::Png ? "png" : format == ImageFormat::Jpeg ? "jpg" : "bmp";
}

} // namespace

std::vector<std::int32_t> spreadEvenly(std::int32_t count, std::int32_t tiles) {
    std::vector<std::int32_t> chosen;
    if (count <= tiles) {
        for (std::int32_t index = 0; index < count; ++index)
            chosen.push_back(index);
        return chosen;
    }
    for (std::int64_t tile = 0; tile < tiles; ++tile)
        chosen.push_back(static_cast<std::int32_t>((2 * tile + 1) * count / (2 * tiles)));
    return chosen;
}

SheetWriter::SheetWriter(const SheetSettings& settings, std::FILE* err)
    : settings_(settings), err_(err), headerText_(headerPixels), captionText_(captionPixels) {
    if (!captionText_.hasFont())
        std::fprintf(err_, "kirimo-extract: no font found, so the sheets carry no text\n");
}

SheetWriter::~SheetWriter() = default;

bool SheetWriter::write(MovieTask& task, std::unique_ptr<media::Movie> opened) {
    try {
        if (!opened)
            opened = std::make_unique<media::Movie>(task.file(), settings_.decoding,
                                                    settings_.pictures, task.index());
        writePages(task, *opened);
        return true;
    } catch (const std::exception& e) {
        std::fprintf(err_, "kirimo-extract: %s\n", e.what());
        return false;
    }
}

void SheetWriter::writePages(MovieTask& task, media::Movie& movie) {
    const std::string header = headerOf(task, movie);
    picture::PictureOptions tiles = settings_.pictures;
    tiles.size = settings_.tile;
    movie.changePictures(tiles);
    const core::PixelShape::Size tile{movie.width(), movie.height()};
    const int perPage = settings_.grid.columns * settings_.grid.rows;
    const std::vector<std::int32_t> chosen =
        spreadEvenly(task.plan().count(), perPage * settings_.pages);
    const int pages = std::max<int>(1, static_cast<int>((chosen.size() + perPage - 1) / perPage));
    if (!settings_.stream)
        core::forceDirectories(task.outDir(), core::PathRules::native());
    bool failed = false;
    for (int page = 0; page < pages && !failed; ++page) {
        ContactSheet sheet(settings_.grid.columns, settings_.grid.rows, tile, headerText_,
                           captionText_);
        if (std::max(sheet.picture().width, sheet.picture().height) > core::SizeRequest::largest)
            throw std::runtime_error(task.name() + ": the sheet would be " +
                                     std::to_string(sheet.picture().width) + "x" +
                                     std::to_string(sheet.picture().height) + ", over " +
                                     std::to_string(core::SizeRequest::largest) +
                                     " pixels a side; ask for a smaller --size");
        sheet.drawHeader(pages > 1 ? header + "   page " + std::to_string(page + 1) + "/" +
                                         std::to_string(pages)
                                   : header);
        for (int tileIndex = 0; tileIndex < perPage; ++tileIndex) {
            const std::size_t at = static_cast<std::size_t>(page * perPage + tileIndex);
            if (at >= chosen.size() || StopSignals::received())
                break;
            failed = !placeFrame(task, movie, chosen[at], tileIndex, sheet);
            if (failed)
                break;
        }
        if (StopSignals::received())
            return;
        if (!failed)
            save(sheet.picture(), fileNameFor(task, pages > 1 ? page + 1 : 0));
    }
    if (failed)
        throw std::runtime_error(*task.failure());
}

bool SheetWriter::placeFrame(MovieTask& task, media::Movie& movie, std::int32_t index, int tile,
                             ContactSheet& sheet) {
    const std::int32_t frame = task.plan().frame(index);
    const std::string caption = clockText(task.plan().milliseconds(index));
    try {
        sheet.place(tile, movie.frame(frame), caption);
        return true;
    } catch (const media::MovieError& e) {
        if (!settings_.keepGoing) {
            task.fail(frame, e.what());
            return false;
        }
        std::fprintf(err_, "kirimo-extract: %s\n", e.what());
        task.frameMissing();
        sheet.place(tile, core::BgrImage{}, caption); // the tile stays empty
        return true;
    }
}

void SheetWriter::save(const core::BgrImage& sheet, const std::string& fileName) {
    std::vector<std::uint8_t> bytes;
    if (settings_.format == ImageFormat::Png)
        bytes = encodePng(sheet);
    else if (settings_.format == ImageFormat::Jpeg)
        bytes = encodeJpeg(sheet, {settings_.jpegQuality});
    else if (settings_.stream)
        bytes = core::encodeBmp(sheet);
    if (settings_.stream) {
        if (std::fwrite(bytes.data(), 1, bytes.size(), settings_.stream) != bytes.size() ||
            std::fflush(settings_.stream) != 0)
            throw std::runtime_error("cannot write the sheet to standard output");
        return;
    }
    const std::filesystem::path file = core::pathFromUtf8(fileName);
    try {
        if (settings_.format == ImageFormat::Bmp)
            core::writeBmpFile(file, sheet);
        else
            core::writeFileAtomically(file, bytes, core::Durability::cached);
    } catch (const std::exception& e) {
        throw std::runtime_error("cannot write '" + fileName + "': " + e.what());
    }
}

std::string SheetWriter::headerOf(const MovieTask& task, const media::Movie& movie) const {
    const core::PathRules rules = core::PathRules::native();
    const std::int64_t nanoseconds = FrameClock(movie.frameTable(), movie.frameRate()).end();
    return core::extractFileName(task.name(), rules) + "   " +
           clockText((nanoseconds + 500'000) / 1'000'000) + "   " + std::to_string(movie.width()) +
           "x" + std::to_string(movie.height()) + "   " + movie.codecName();
}

std::string SheetWriter::fileNameFor(const MovieTask& task, int page) const {
    return task.outDir() + "/" + movieBaseName(task.name()) + "_sheet" +
           (page > 0 ? "_" + std::to_string(page) : std::string()) + "." +
           std::string(extensionOf(settings_.format));
}

} // namespace cli
