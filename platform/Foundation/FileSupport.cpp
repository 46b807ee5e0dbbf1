#include "Foundation/FileSupport.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "Foundation/NSFileManager.h"

namespace FileSupport {

std::string fsPath(const Ref<NSString>& path) { return path ? path->UTF8String() : std::string(); }

Ref<NSString> stringFromFileSystem(std::string_view bytes)
{
    return NSString::stringWithUTF16(ConvertUTF8ToUTF16Replacing(bytes));
}

std::string join(std::string_view directory, std::string_view name)
{
    if (directory.empty()) return std::string(name);
    if (name.empty()) return std::string(directory);
    std::string out(directory);
    while (out.size() > 1 && out.back() == '/') out.pop_back();
    size_t start = 0;
    while (start < name.size() && name[start] == '/') ++start;
    if (out.back() != '/') out += '/';
    out.append(name.substr(start));
    return out;
}

static std::string_view withoutTrailingSlashes(std::string_view path)
{
    while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
    return path;
}

std::string lastComponent(std::string_view path)
{
    path = withoutTrailingSlashes(path);
    if (path == "/") return "/";
    size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string extension(std::string_view path)
{
    std::string last = lastComponent(path);
    size_t dot = last.rfind('.');
    if (dot == std::string::npos || dot == 0 || last == "/") return "";
    return last.substr(dot + 1);
}

std::string deletingLastComponent(std::string_view path)
{
    path = withoutTrailingSlashes(path);
    size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) return "";
    if (slash == 0) return "/";
    return std::string(path.substr(0, slash));
}

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string homeDirectory()
{
    std::string home = environment("HOME");
    if (!home.empty()) return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return "/";
}

std::string expandTilde(std::string_view path)
{
    if (path.empty() || path[0] != '~') return std::string(path);
    if (path.size() == 1 || path[1] == '/') return join(homeDirectory(), path.substr(1));
    return std::string(path);  // "~user" is left alone
}

int makeDirectories(const std::string& path, unsigned mode)
{
    if (path.empty()) return ENOENT;
    struct stat st { };
    if (::stat(path.c_str(), &st) == 0) return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
    if (errno != ENOENT) return errno;
    std::string parent = deletingLastComponent(path);
    if (!parent.empty() && parent != path)
        if (int error = makeDirectories(parent, mode)) return error;
    if (::mkdir(path.c_str(), mode) != 0 && errno != EEXIST) return errno;
    return 0;
}

// Writes every byte, resuming after interruptions; answers 0 or an errno value.
static int writeAll(int fd, const void* bytes, size_t length)
{
    const char* p = static_cast<const char*>(bytes);
    for (size_t done = 0; done < length;) {
        ssize_t n = ::write(fd, p + done, length - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n < 0 ? errno : EIO;
        done += static_cast<size_t>(n);
    }
    return 0;
}

int writeInPlace(const std::string& path, const void* bytes, size_t length, unsigned mode)
{
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0) return errno;
    int error = writeAll(fd, bytes, length);
    if (!error && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && !error) error = errno;
    return error;
}

std::string damagedCopyName(const std::string& path)
{
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    gmtime_r(&now, &tm);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%dT%H%M%SZ", &tm);
    const std::string base = path + ".damaged-" + stamp;
    std::string name = base;
    for (int n = 2; ::access(name.c_str(), F_OK) == 0; ++n) name = base + "-" + std::to_string(n);
    return name;
}

int keepDamagedBytes(const std::string& path, const void* bytes, size_t length, std::string& keptAs)
{
    const std::string name = damagedCopyName(path);
    int error = makeDirectories(deletingLastComponent(name), 0700);
    if (!error) error = writeInPlace(name, bytes, length, 0600);
    if (error) {
        // A copy cut short (a full disk) would pass for the whole value.
        ::unlink(name.c_str());
        return error;
    }
    keptAs = name;
    return 0;
}

int readFile(const std::string& path, std::vector<uint8_t>& out)
{
    out.clear();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno;
    struct stat info { };
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(fd);
        return EISDIR;
    }
    if (info.st_size > 0) out.reserve(static_cast<size_t>(info.st_size));
    uint8_t chunk[65536];
    for (;;) {
        ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n == 0) break;
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            int error = errno;
            ::close(fd);
            out.clear();
            return error;
        }
        out.insert(out.end(), chunk, chunk + n);
    }
    ::close(fd);
    return 0;
}

namespace {

std::string temporaryPrefix(const std::string& path) { return "." + lastComponent(path) + ".tmp-"; }

}

int writeAtomically(const std::string& path, const void* bytes, size_t length, unsigned mode)
{
    std::string temporary = join(deletingLastComponent(path), temporaryPrefix(path) + "XXXXXX");
    int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return errno;
    // Held until the file is closed, so that removeStaleTemporaryFiles can
    // tell a file being written from one a killed process left.
    ::flock(fd, LOCK_EX);
    int error = writeAll(fd, bytes, length);
    if (!error && ::fchmod(fd, mode) != 0) error = errno;
    if (!error && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && !error) error = errno;
    if (!error && ::rename(temporary.c_str(), path.c_str()) != 0) error = errno;
    if (error) {
        ::unlink(temporary.c_str());
        return error;
    }
    // Make the rename itself durable.
    std::string directory = deletingLastComponent(path);
    int dirFd = ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return 0;
}

int removeStaleTemporaryFiles(const std::string& path)
{
    const std::string directory = deletingLastComponent(path);
    const std::string prefix = temporaryPrefix(path);
    DIR* dir = ::opendir(directory.empty() ? "." : directory.c_str());
    if (!dir) return 0;
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (!name.starts_with(prefix) || name.size() != prefix.size() + 6) continue;
        const std::string file = join(directory, name);
        int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0) continue;
        struct stat st { };
        const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid();
        if (regular && ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::unlink(file.c_str()) == 0) ++removed;
        ::close(fd);
    }
    ::closedir(dir);
    return removed;
}

std::string errnoText(int error)
{
    char buffer[256];
    // The GNU strerror_r answers a pointer that may or may not be the buffer.
    const char* text = strerror_r(error, buffer, sizeof buffer);
    return text;
}

Ref<NSError> posixError(int error, std::string_view action, std::string_view path)
{
    std::string text = std::string(action) + " \u201C" + std::string(path) + "\u201D: " + errnoText(error) + ".";
    auto info = NSDictionary::dictionaryWithEntries({
        {NSLocalizedDescriptionKey(), stringFromFileSystem(text)},
        {NSFilePathErrorKey(), stringFromFileSystem(path)},
    });
    return NSError::errorWithDomain(NSPOSIXErrorDomain(), error, info);
}

}
