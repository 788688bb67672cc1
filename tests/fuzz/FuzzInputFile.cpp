#include "FuzzInputFile.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>
#include <system_error>
#include <unistd.h>

namespace {

std::filesystem::path fastTemporaryFolder() {
    if (const char* chosen = std::getenv("KIRIMO_FUZZ_TMP"))
        return chosen;
    std::error_code error;
    if (std::filesystem::is_directory("/dev/shm", error) && access("/dev/shm", W_OK) == 0)
        return "/dev/shm";
    return std::filesystem::temp_directory_path();
}

} // namespace

FuzzInputFile::FuzzInputFile()
    : folder_(fastTemporaryFolder() / ("kirimo-fuzz-" + std::to_string(getpid()))),
      file_(folder_ / "input") {
    std::filesystem::create_directories(folder_);
}

FuzzInputFile::~FuzzInputFile() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

FuzzInputFile& FuzzInputFile::instance() {
    static FuzzInputFile file;
    return file;
}

const std::filesystem::path& FuzzInputFile::write(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path& file = instance().file_;
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    if (!out)
        throw std::runtime_error("cannot write the fuzz input to " + file.string());
    return file;
}
