#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace clitest {

struct RunResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs kirimo-extract with `args` in `workDir`, its output captured (standard output into
// `stdoutFile` when one is named); waits for it to end. A run that hangs is killed and fails the
// test (exitCode -1).
RunResult runExtract(const std::vector<std::string>& args, const std::filesystem::path& workDir,
                     const std::filesystem::path& stdoutFile = {});

// The same with standard error on a terminal, as a user watching the run sees it: `err` holds
// what the terminal showed.
RunResult runExtractOnTerminal(const std::vector<std::string>& args,
                               const std::filesystem::path& workDir);

// A run in the background, for sending it signals.
class BackgroundRun {
public:
    BackgroundRun(const std::vector<std::string>& args, const std::filesystem::path& workDir);
    ~BackgroundRun(); // kills a run still going
    BackgroundRun(const BackgroundRun&) = delete;
    BackgroundRun& operator=(const BackgroundRun&) = delete;

    void signal(int number) const;
    // Waits at most `seconds`; exitCode stays -1 when the run did not end in time.
    RunResult wait(double seconds);

private:
    int pid_ = -1;
    std::filesystem::path capture_;
};

// A fresh, empty folder under the test scratch folder, named after the running test.
std::filesystem::path freshFolder(const std::string& name);

std::vector<std::uint8_t> readBytes(const std::filesystem::path& file);

// The picture of a 24-bit BMP file, rows top first; width 0 when the file holds none.
struct BmpPicture {
    int width = 0;
    int height = 0;
    int stride = 0;
    std::vector<std::uint8_t> bytes;

    // The frame number the picture shows (test movies carry theirs), or -1.
    int frameNumber() const;
};
BmpPicture readBmp(const std::filesystem::path& file);
// File names in a folder, sorted.
std::vector<std::string> fileNames(const std::filesystem::path& folder);

} // namespace clitest
