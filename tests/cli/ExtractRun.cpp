#include "ExtractRun.h"

#include "support/testmedia/TestMedia.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace clitest {

namespace fs = std::filesystem;

namespace {

std::string readText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

fs::path scratchRoot() {
    const char* configured = std::getenv("KIRIMO_TEST_TMP");
    return configured ? fs::path(configured) : fs::temp_directory_path() / "kirimo-test";
}

// posix_spawn's file actions, released on every path.
class SpawnActions {
public:
    SpawnActions() { posix_spawn_file_actions_init(&actions_); }
    ~SpawnActions() { posix_spawn_file_actions_destroy(&actions_); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
    posix_spawn_file_actions_t* get() { return &actions_; }

private:
    posix_spawn_file_actions_t actions_;
};

} // namespace

namespace {

// Starts kirimo-extract with its output going to files in `capture`, or standard error to
// `errFile` when one is named.
pid_t spawnExtract(const std::vector<std::string>& args, const fs::path& workDir,
                   const fs::path& capture, const fs::path& stdoutFile,
                   const fs::path& stderrFile = {}) {
    const std::string outFile =
        stdoutFile.empty() ? (capture / "stdout").string() : stdoutFile.string();
    const std::string errFile =
        stderrFile.empty() ? (capture / "stderr").string() : stderrFile.string();

    std::vector<std::string> argvText{KIRIMO_EXTRACT_PATH};
    argvText.insert(argvText.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : argvText)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    SpawnActions actions;
    posix_spawn_file_actions_addopen(actions.get(), 1, outFile.c_str(), O_WRONLY | O_CREAT, 0644);
    posix_spawn_file_actions_addopen(actions.get(), 2, errFile.c_str(), O_WRONLY | O_CREAT, 0644);
    posix_spawn_file_actions_addchdir_np(actions.get(), workDir.c_str());
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], actions.get(), nullptr, argv.data(), environ) != 0)
        throw std::runtime_error("cannot start " + argvText[0]);
    return pid;
}

fs::path freshCapture() {
    static std::atomic<int> runs{0};
    return freshFolder("capture-" + std::to_string(runs++));
}

RunResult resultOf(int status, const fs::path& capture) {
    RunResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = readText(capture / "stdout");
    result.err = readText(capture / "stderr");
    return result;
}

// A run on these small movies ends within seconds even on a busy machine; one still going after
// runLimit() hangs. Once one has, the program is known to hang, and each later run gets a short
// grace, so the suite fails well within its own time limit and still names every test affected.
std::atomic<bool> aRunHung{false};

double runLimit() {
    return aRunHung ? 2.0 : 20.0;
}

// The status of `pid` once it ends, or nothing when it has not ended within `seconds`.
std::optional<int> waitAtMost(pid_t pid, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline)
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return status;
}

} // namespace

RunResult runExtract(const std::vector<std::string>& args, const fs::path& workDir,
                     const fs::path& stdoutFile) {
    const fs::path capture = freshCapture();
    const pid_t pid = spawnExtract(args, workDir, capture, stdoutFile);
    const double limit = runLimit();
    if (const std::optional<int> status = waitAtMost(pid, limit))
        return resultOf(*status, capture);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    std::string command = "kirimo-extract";
    for (const std::string& arg : args)
        command += " " + arg;
    aRunHung = true;
    ADD_FAILURE() << command << ": still running after " << limit
                  << " s, killed; standard error so far:\n"
                  << readText(capture / "stderr");
    return {};
}

RunResult runExtractOnTerminal(const std::vector<std::string>& args, const fs::path& workDir) {
    const int terminal = posix_openpt(O_RDWR | O_NOCTTY);
    if (terminal < 0 || grantpt(terminal) != 0 || unlockpt(terminal) != 0)
        throw std::runtime_error("cannot open a pseudo-terminal");
    const fs::path capture = freshCapture();
    const pid_t pid = spawnExtract(args, workDir, capture, {}, ptsname(terminal));
    std::string shown;
    std::optional<int> status;
    const double limit = runLimit();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(limit);
    for (;;) {
        pollfd ready{terminal, POLLIN, 0};
        if (poll(&ready, 1, 5) > 0) {
            char buffer[4096];
            const ssize_t got = read(terminal, buffer, sizeof buffer);
            if (got > 0) {
                shown.append(buffer, static_cast<std::size_t>(got));
                continue;
            }
        }
        if (status)
            break; // ended, and all it wrote is read
        int ended = 0;
        if (waitpid(pid, &ended, WNOHANG) == pid) {
            status = ended;
        } else if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            close(terminal);
            aRunHung = true;
            ADD_FAILURE() << "kirimo-extract on a terminal: still running after " << limit
                          << " s, killed; it showed:\n"
                          << shown;
            return {};
        }
    }
    close(terminal);
    RunResult result = resultOf(*status, capture);
    result.err = shown;
    return result;
}

BackgroundRun::BackgroundRun(const std::vector<std::string>& args, const fs::path& workDir)
    : capture_(freshCapture()) {
    pid_ = spawnExtract(args, workDir, capture_, {});
}

BackgroundRun::~BackgroundRun() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

void BackgroundRun::signal(int number) const {
    kill(pid_, number);
}

RunResult BackgroundRun::wait(double seconds) {
    const std::optional<int> status = waitAtMost(pid_, std::min(seconds, runLimit()));
    if (!status) {
        aRunHung = true;
        return {};
    }
    pid_ = -1;
    return resultOf(*status, capture_);
}

fs::path freshFolder(const std::string& name) {
    const fs::path folder = scratchRoot() / ("cli-" + std::to_string(getpid())) / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

std::vector<std::uint8_t> readBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

BmpPicture readBmp(const fs::path& file) {
    const std::vector<std::uint8_t> bytes = readBytes(file);
    if (bytes.size() < 54)
        return {};
    const auto read32 = [&](std::size_t at) {
        return static_cast<int>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
                                bytes[at + 3] << 24);
    };
    BmpPicture picture{read32(18), read32(22), (read32(18) * 3 + 3) & ~3, {}};
    const std::size_t pixels = static_cast<std::size_t>(read32(10));
    if (picture.width <= 0 || picture.height <= 0 ||
        bytes.size() < pixels + static_cast<std::size_t>(picture.stride) * picture.height)
        return {};
    for (int y = picture.height - 1; y >= 0; --y) {
        const auto row = bytes.begin() + static_cast<std::ptrdiff_t>(pixels) + y * picture.stride;
        picture.bytes.insert(picture.bytes.end(), row, row + picture.stride);
    }
    return picture;
}

int BmpPicture::frameNumber() const {
    return testmedia::readFrameNumber({bytes.data(), width, height, stride});
}

std::vector<std::string> fileNames(const fs::path& folder) {
    std::vector<std::string> names;
    if (!fs::exists(folder))
        return names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace clitest
