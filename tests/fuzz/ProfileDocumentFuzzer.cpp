// The input is the text of a settings file.

#include "FuzzCheck.h"
#include "core/ProfileDocument.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    core::ProfileDocument document = core::ProfileDocument::parse(text);
    fuzzCheck(document.text() == text, "an untouched file is kept byte for byte");
    const std::optional<std::string> neighbour = document.value("Settings", "Other");
    document.setValue("Settings", "Path", "C:/My Documents");
    const core::ProfileDocument saved = core::ProfileDocument::parse(document.text());
    fuzzCheck(saved.value("settings", "PATH") == "C:/My Documents", "a value written reads back");
    fuzzCheck(saved.value("Settings", "Other") == neighbour, "its neighbours stay");
    return 0;
}
