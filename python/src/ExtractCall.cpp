#include "ExtractCall.h"

#include "cli/ExtractCommand.h"

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string_view>

namespace kirimo {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

FilePtr temporaryFile() {
    FilePtr file(std::tmpfile());
    if (!file)
        throw std::runtime_error("cannot make a temporary file for the command's messages");
    return file;
}

std::string contentsOf(std::FILE* file) {
    std::fflush(file);
    std::rewind(file);
    std::string text;
    char buffer[4096];
    std::size_t read = 0;
    while ((read = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, read);
    return text;
}

} // namespace

ExtractCall ExtractCall::run(const std::vector<std::string>& arguments) {
    const FilePtr out = temporaryFile();
    const FilePtr err = temporaryFile();
    const std::vector<std::string_view> views(arguments.begin(), arguments.end());
    ExtractCall call;
    call.status = cli::runExtractCommand(views, out.get(), err.get());
    call.output = contentsOf(out.get());
    call.errors = contentsOf(err.get());
    return call;
}

} // namespace kirimo
