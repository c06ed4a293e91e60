#include "state/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <system_error>

#include "state/text.h"

namespace qv {
namespace {

std::string Reason(int err) { return std::generic_category().message(err); }

std::string SaveError(const std::filesystem::path& file, std::string_view reason) {
    return "Could not save " + QuoteUserText(file.string()) + ": " + std::string(reason) + ".";
}

std::string OpenError(const std::filesystem::path& file, std::string_view reason) {
    return "Could not read " + QuoteUserText(file.string()) + ": " + std::string(reason) + ".";
}

// Most links followed in a row before a save gives up, as the kernel does.
constexpr int kMaxLinkHops = 40;

// The file a save really writes: symbolic links followed to the path they
// name, also when that path does not exist yet. False with ELOOP on a cycle.
bool FollowLinks(const std::filesystem::path& target, std::filesystem::path& real, int& err) {
    std::filesystem::path p = target;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat info {};
        if (::lstat(p.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            real = p;
            return true;
        }
        std::error_code ec;
        const std::filesystem::path next = std::filesystem::read_symlink(p, ec);
        if (ec) {
            err = ec.value();
            return false;
        }
        p = next.is_absolute() ? next : p.parent_path() / next;
    }
    err = ELOOP;
    return false;
}

// What an existing non-file is, for the refusal; nullptr for a regular file.
const char* NotAFile(mode_t mode) {
    if (S_ISREG(mode)) return nullptr;
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a pipe";
    if (S_ISSOCK(mode)) return "a socket";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    return "something else";
}

// Read-only: no write bit at all, as a read-only attribute would be, even
// for root; otherwise a file this process may not write.
bool IsReadOnly(const std::filesystem::path& file, mode_t mode) {
    if ((mode & 0222) == 0) return true;
    if (::faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) == 0) return false;
    return errno == EACCES || errno == EPERM || errno == EROFS;
}

// The refusal for a target whose links are followed to `real`, if any.
std::optional<std::string> RefuseTarget(const std::filesystem::path& target, const std::filesystem::path& real) {
    struct stat info {};
    // A missing file is created; other failures are named by the write.
    if (::stat(real.c_str(), &info) != 0) return std::nullopt;
    if (const char* what = NotAFile(info.st_mode))
        return QuoteUserText(target.string()) + " is " + what + ", not a file.";
    if (IsReadOnly(real, info.st_mode)) return QuoteUserText(target.string()) + " is read-only.";
    return std::nullopt;
}

bool WriteAll(int fd, std::string_view bytes, int& err) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            err = errno;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// CheckSaveTarget, also giving the file the target names in `real`.
std::optional<std::string> CheckTarget(const std::filesystem::path& target, std::filesystem::path& real) {
    int err = 0;
    if (target.empty()) return SaveError(target, "no file name was given");
    if (!FollowLinks(target, real, err)) return SaveError(target, Reason(err));
    if (auto refusal = RefuseTarget(target, real)) return refusal;
    if (!real.has_filename()) return SaveError(target, "no file name was given");
    return std::nullopt;
}

// Mode for a new file: what open(…, 0666) would give under the umask.
mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

std::optional<std::string> CheckSaveTarget(const std::filesystem::path& target) {
    std::filesystem::path real;
    return CheckTarget(target, real);
}

std::optional<std::string> WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes) {
    std::filesystem::path real;
    if (auto refusal = CheckTarget(target, real)) return refusal;
    std::filesystem::path folder = real.parent_path();
    if (folder.empty()) folder = ".";

    // A short name, so that beside a file of the longest legal name it fits.
    std::string tmpl = (folder / ".qv-XXXXXX").string();
    int err = 0;
    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0) return SaveError(target, Reason(errno));

    struct stat existing {};
    const mode_t mode = ::stat(real.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : NewFileMode();

    // Permissions are best effort: some file systems (FAT sticks) refuse them.
    ::fchmod(fd, mode);

    bool ok = WriteAll(fd, bytes, err);
    // EINVAL: the file system cannot sync; the data is written all the same.
    if (ok && ::fsync(fd) != 0 && errno != EINVAL) {
        ok = false;
        err = errno;
    }
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok && ::rename(tmpl.c_str(), real.c_str()) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        ::unlink(tmpl.c_str());
        return SaveError(target, Reason(err));
    }
    // Make the rename itself durable; a failure here leaves a complete file.
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return std::nullopt;
}

void ReportFileSizeLimitAsError() { std::signal(SIGXFSZ, SIG_IGN); }

FileRead ReadFileBounded(const std::filesystem::path& file, std::size_t maxBytes) {
    FileRead result;
    // Non-blocking open so that a named pipe cannot hang the caller.
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        result.error = OpenError(file, Reason(errno));
        return result;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        result.error = OpenError(file, Reason(errno));
    } else if (const char* what = NotAFile(info.st_mode)) {
        result.error = OpenError(file, std::string("it is ") + what + ", not an ordinary file");
    } else if (static_cast<std::uintmax_t>(info.st_size) > maxBytes) {
        result.error = OpenError(file, "it is larger than " + std::to_string(maxBytes) + " bytes");
    }
    if (result.error) {
        ::close(fd);
        return result;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    // One byte beyond the bound tells a file that grew since fstat.
    result.bytes.resize(maxBytes + 1);
    std::size_t got = 0;
    while (got < result.bytes.size()) {
        const ssize_t n = ::read(fd, result.bytes.data() + got, result.bytes.size() - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            result.error = OpenError(file, Reason(errno));
            break;
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (!result.error && got > maxBytes)
        result.error = OpenError(file, "it is larger than " + std::to_string(maxBytes) + " bytes");
    result.bytes.resize(result.error ? 0 : got);
    return result;
}

}  // namespace qv
