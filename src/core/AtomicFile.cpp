#include "core/AtomicFile.h"

#include "core/Error.h"
#include "core/Paths.h"
#include "core/TempFile.h"

#include <cerrno>
#include <system_error>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace core {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void fail(const fs::path& target, const std::string& reason) {
    throw Error("cannot write \"" + pathToUtf8(target) + "\": " + reason);
}

// Writing through a symbolic link updates the file it points to instead of replacing the link.
fs::path resolveLink(const fs::path& target) {
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(target, error)))
        return target;
    const fs::path resolved = fs::canonical(target, error);
    return error ? target : resolved;
}

// What the system says to writing there, as " (Read-only file system)"; empty where only the
// permission marks refuse.
std::string systemRefusal([[maybe_unused]] const fs::path& path) {
#ifndef _WIN32
    if (::access(path.c_str(), W_OK) != 0)
        return " (" + std::generic_category().message(errno) + ")";
#endif
    return {};
}

#ifndef _WIN32
fs::path folderOf(const fs::path& file) {
    return file.has_parent_path() ? file.parent_path() : fs::path(".");
}
#endif

} // namespace

bool isReadOnly(const fs::path& path) {
    std::error_code error;
    const fs::perms permissions = fs::status(path, error).permissions();
    if (error)
        return false;
    constexpr fs::perms anyWrite =
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    if ((permissions & anyWrite) == fs::perms::none)
        return true;
#ifdef _WIN32
    return false;
#else
    return ::access(path.c_str(), W_OK) != 0;
#endif
}

void writeFileAtomically(const fs::path& target, std::span<const std::uint8_t> bytes,
                         Durability durability) {
    writeFileAtomically(target, std::span<const std::span<const std::uint8_t>>(&bytes, 1),
                        durability);
}

void writeFileAtomically(const fs::path& target,
                         std::span<const std::span<const std::uint8_t>> pieces,
                         Durability durability) {
    const fs::path destination = resolveLink(target);
    std::error_code error;
    const fs::file_status status = fs::status(destination, error);
    const bool replacing = fs::exists(status);
    if (replacing && !fs::is_regular_file(status))
        fail(target, "a folder or device has that name");
    if (replacing && isReadOnly(destination))
        fail(target, "the file is read-only" + systemRefusal(destination));
#ifndef _WIN32
    // Windows ignores (and itself sets) the read-only mark on folders; POSIX means it.
    const fs::path folder = folderOf(destination);
    if (fs::is_directory(folder, error) && isReadOnly(folder))
        fail(target, "the folder is read-only" + systemRefusal(folder));
#endif

    TempFile temp(destination);
    temp.write(pieces);
    if (durability == Durability::flushedToDisk)
        temp.syncToDisk();
    if (replacing)
        temp.copyPermissionsFrom(destination);
    temp.commit();
}

} // namespace core
