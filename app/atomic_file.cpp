#include "app/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

namespace qv {
namespace {

std::string Reason(int err) { return std::generic_category().message(err); }

std::string SaveError(const std::filesystem::path& file, std::string_view reason) {
    return "Could not save \"" + file.string() + "\": " + std::string(reason) + ".";
}

std::string OpenError(const std::filesystem::path& file, std::string_view reason) {
    return "Could not read \"" + file.string() + "\": " + std::string(reason) + ".";
}

// The file a save really replaces: symbolic links followed.
std::filesystem::path ResolvedTarget(const std::filesystem::path& target) {
    std::error_code ec;
    if (!std::filesystem::is_symlink(target, ec)) return target;
    std::filesystem::path resolved = std::filesystem::weakly_canonical(target, ec);
    return ec ? target : resolved;
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

// Mode for a new file: what open(…, 0666) would give under the umask.
mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

std::optional<std::string> WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes) {
    if (target.empty() || !target.has_filename()) return SaveError(target, "no file name was given");
    const std::filesystem::path real = ResolvedTarget(target);
    std::filesystem::path folder = real.parent_path();
    if (folder.empty()) folder = ".";

    std::string tmpl = (folder / ("." + real.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0) return SaveError(target, Reason(errno));

    struct stat existing {};
    const mode_t mode = ::stat(real.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : NewFileMode();

    // Permissions are best effort: some file systems (FAT sticks) refuse them.
    ::fchmod(fd, mode);

    int err = 0;
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

TextLinesRead ReadTextLinesBounded(const std::filesystem::path& file, std::size_t maxLines,
                                   std::size_t maxLineBytes) {
    TextLinesRead result;
    // Non-blocking open so that a named pipe cannot hang the caller.
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        result.error = OpenError(file, Reason(errno));
        return result;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const int err = S_ISDIR(info.st_mode) ? EISDIR : errno;
        ::close(fd);
        result.error = OpenError(file, err != 0 ? Reason(err) : std::string("it is not an ordinary file"));
        return result;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);

    std::size_t budget = maxLines * (maxLineBytes + 2);
    std::string line;
    bool inLine = false;       // bytes of an unfinished line were seen
    bool afterCR = false;      // the previous byte ended a line with CR
    char buffer[64 * 1024];
    while (result.lines.size() < maxLines && budget > 0) {
        const ssize_t n = ::read(fd, buffer, std::min(sizeof buffer, budget));
        if (n < 0) {
            if (errno == EINTR) continue;
            result.error = OpenError(file, Reason(errno));
            break;
        }
        if (n == 0) break;
        budget -= static_cast<std::size_t>(n);
        for (ssize_t i = 0; i < n && result.lines.size() < maxLines; ++i) {
            const char c = buffer[i];
            if (afterCR) {
                afterCR = false;
                if (c == '\n') continue;
            }
            if (c == '\r' || c == '\n') {
                result.lines.push_back(std::move(line));
                line.clear();
                inLine = false;
                afterCR = (c == '\r');
                continue;
            }
            inLine = true;
            if (line.size() < maxLineBytes) line.push_back(c);
        }
    }
    if (inLine && result.lines.size() < maxLines && !result.error) result.lines.push_back(std::move(line));
    ::close(fd);
    return result;
}

}  // namespace qv
