#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

// For parsers that read a file by name: each input goes to the same file of this process, in
// memory where the system has a memory file system, so an input costs no disk write. The folder
// is the process's own (a settings file is replaced through a temporary file beside it) and is
// removed at exit.
class FuzzInputFile {
public:
    // The file, now holding exactly these bytes.
    static const std::filesystem::path& write(const std::uint8_t* data, std::size_t size);

private:
    FuzzInputFile();
    ~FuzzInputFile();
    static FuzzInputFile& instance();

    std::filesystem::path folder_;
    std::filesystem::path file_;
};
