// The input is a settings file, in UTF-8 or code page 932.

#include "FuzzCheck.h"
#include "FuzzInputFile.h"
#include "core/ProfileFile.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    core::ProfileFile file(FuzzInputFile::write(data, size));
    const std::string neighbour = file.readString(" Settings ", "Other", "none");
    file.readInteger("Settings", "Left", -1);
    fuzzCheck(file.writeString("Settings", "Path", "フォルダ"), "a file of ours is written");
    fuzzCheck(file.readString("Settings", "Path", "") == "フォルダ", "a value written reads back");
    fuzzCheck(file.readString("Settings", "Other", "none") == neighbour, "its neighbours stay");
    return 0;
}
