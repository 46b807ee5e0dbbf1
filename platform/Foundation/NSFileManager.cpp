#include "Foundation/NSFileManager.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <filesystem>

#include "Foundation/FileSupport.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSDate.h"
#include "Foundation/NSDirectoryEnumerator.h"
#include "Foundation/NSNumber.h"

NS_CLASS_DEFINE(NSFileManager)
NS_CLASS_DEFINE(NSDirectoryEnumerator)

using namespace FileSupport;

Ref<NSString> NSFileType() { return "NSFileType"_ns; }
Ref<NSString> NSFileSize() { return "NSFileSize"_ns; }
Ref<NSString> NSFileModificationDate() { return "NSFileModificationDate"_ns; }
Ref<NSString> NSFilePosixPermissions() { return "NSFilePosixPermissions"_ns; }
Ref<NSString> NSFileReferenceCount() { return "NSFileReferenceCount"_ns; }
Ref<NSString> NSFileOwnerAccountID() { return "NSFileOwnerAccountID"_ns; }
Ref<NSString> NSFileGroupOwnerAccountID() { return "NSFileGroupOwnerAccountID"_ns; }
Ref<NSString> NSFileTypeDirectory() { return "NSFileTypeDirectory"_ns; }
Ref<NSString> NSFileTypeRegular() { return "NSFileTypeRegular"_ns; }
Ref<NSString> NSFileTypeSymbolicLink() { return "NSFileTypeSymbolicLink"_ns; }
Ref<NSString> NSFileTypeSocket() { return "NSFileTypeSocket"_ns; }
Ref<NSString> NSFileTypeCharacterSpecial() { return "NSFileTypeCharacterSpecial"_ns; }
Ref<NSString> NSFileTypeBlockSpecial() { return "NSFileTypeBlockSpecial"_ns; }
Ref<NSString> NSFileTypeUnknown() { return "NSFileTypeUnknown"_ns; }

namespace {

// Sorted entry names, or an errno value.
int listDirectory(const std::string& path, std::vector<std::string>& names)
{
    DIR* dir = ::opendir(path.c_str());
    if (!dir) return errno;
    while (dirent* e = ::readdir(dir)) {
        std::string name = e->d_name;
        if (name != "." && name != "..") names.push_back(std::move(name));
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return 0;
}

Ref<NSString> fileType(mode_t mode)
{
    if (S_ISDIR(mode)) return NSFileTypeDirectory();
    if (S_ISREG(mode)) return NSFileTypeRegular();
    if (S_ISLNK(mode)) return NSFileTypeSymbolicLink();
    if (S_ISSOCK(mode)) return NSFileTypeSocket();
    if (S_ISCHR(mode)) return NSFileTypeCharacterSpecial();
    if (S_ISBLK(mode)) return NSFileTypeBlockSpecial();
    return NSFileTypeUnknown();
}

Ref<NSDictionary> attributesFrom(const struct stat& st)
{
    double modified = static_cast<double>(st.st_mtim.tv_sec) + st.st_mtim.tv_nsec / 1e9;
    return NSDictionary::dictionaryWithEntries({
        {NSFileType(), fileType(st.st_mode)},
        {NSFileSize(), NSNumber::numberWithUnsignedInteger(static_cast<NSUInteger>(st.st_size))},
        {NSFileModificationDate(), NSDate::dateWithTimeIntervalSince1970(modified)},
        {NSFilePosixPermissions(), NSNumber::numberWithUnsignedInteger(st.st_mode & 07777)},
        {NSFileReferenceCount(), NSNumber::numberWithUnsignedInteger(st.st_nlink)},
        {NSFileOwnerAccountID(), NSNumber::numberWithUnsignedInteger(st.st_uid)},
        {NSFileGroupOwnerAccountID(), NSNumber::numberWithUnsignedInteger(st.st_gid)},
    });
}

bool exists(const std::string& path, bool followLinks = true)
{
    struct stat st { };
    return (followLinks ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st)) == 0;
}

int errorCode(const std::error_code& ec) { return ec.value() ? ec.value() : EIO; }

}

Ref<NSFileManager> NSFileManager::defaultManager()
{
    static NSFileManager* shared = alloc<NSFileManager>().leak();  // lives as long as the process
    return shared;
}

bool NSFileManager::fileExistsAtPath(const Ref<NSString>& path) const { return fileExistsAtPath(path, nullptr); }

bool NSFileManager::fileExistsAtPath(const Ref<NSString>& path, bool* isDirectory) const
{
    struct stat st { };
    if (!path || ::stat(fsPath(path).c_str(), &st) != 0) return false;
    if (isDirectory) *isDirectory = S_ISDIR(st.st_mode);
    return true;
}

bool NSFileManager::isReadableFileAtPath(const Ref<NSString>& path) const
{
    return path && ::access(fsPath(path).c_str(), R_OK) == 0;
}

bool NSFileManager::isWritableFileAtPath(const Ref<NSString>& path) const
{
    return path && ::access(fsPath(path).c_str(), W_OK) == 0;
}

bool NSFileManager::createDirectoryAtPath(const Ref<NSString>& path, bool withIntermediateDirectories,
                                          const Ref<NSDictionary>& attributes, Ref<NSError>* error) const
{
    std::string p = fsPath(path);
    unsigned mode = 0755;
    if (attributes)
        if (auto permissions = dynamic_ref_cast<NSNumber>(attributes->objectForKey(NSFilePosixPermissions())))
            mode = static_cast<unsigned>(permissions->unsignedIntegerValue() & 07777);
    int code = 0;
    if (p.empty()) code = ENOENT;
    else if (withIntermediateDirectories) code = makeDirectories(p, mode);
    else if (::mkdir(p.c_str(), mode) != 0) code = errno;
    // mkdir applies the umask; explicit permissions are meant as given.
    if (!code && attributes && attributes->objectForKey(NSFilePosixPermissions()) && ::chmod(p.c_str(), mode) != 0)
        code = errno;
    if (!code) return true;
    setError(error, posixError(code, "Could not create the folder", p));
    return false;
}

bool NSFileManager::createFileAtPath(const Ref<NSString>& path, const Ref<NSData>& contents,
                                     const Ref<NSDictionary>& attributes) const
{
    std::string p = fsPath(path);
    if (p.empty()) return false;
    unsigned mode = 0644;
    if (attributes)
        if (auto permissions = dynamic_ref_cast<NSNumber>(attributes->objectForKey(NSFilePosixPermissions())))
            mode = static_cast<unsigned>(permissions->unsignedIntegerValue() & 07777);
    return writeAtomically(p, contents ? contents->bytes() : nullptr, contents ? contents->length() : 0, mode) == 0;
}

Ref<NSData> NSFileManager::contentsAtPath(const Ref<NSString>& path) const
{
    bool directory = false;
    if (!fileExistsAtPath(path, &directory) || directory) return nullptr;
    return NSData::dataWithContentsOfFile(path);
}

bool NSFileManager::removeItemAtPath(const Ref<NSString>& path, Ref<NSError>* error) const
{
    std::string p = fsPath(path);
    if (p.empty() || !exists(p, false)) {
        setError(error, posixError(ENOENT, "Could not remove", p));
        return false;
    }
    std::error_code ec;
    std::filesystem::remove_all(p, ec);
    if (!ec) return true;
    setError(error, posixError(errorCode(ec), "Could not remove", p));
    return false;
}

bool NSFileManager::moveItemAtPath(const Ref<NSString>& source, const Ref<NSString>& destination,
                                   Ref<NSError>* error) const
{
    std::string from = fsPath(source), to = fsPath(destination);
    if (from.empty() || !exists(from, false)) {
        setError(error, posixError(ENOENT, "Could not move", from));
        return false;
    }
    if (to.empty() || exists(to, false)) {
        setError(error, posixError(EEXIST, "Could not move an item to", to));
        return false;
    }
    if (::rename(from.c_str(), to.c_str()) == 0) return true;
    if (errno != EXDEV) {
        setError(error, posixError(errno, "Could not move", from));
        return false;
    }
    // Across file systems: copy, then remove the original.
    return copyItemAtPath(source, destination, error) && removeItemAtPath(source, error);
}

bool NSFileManager::copyItemAtPath(const Ref<NSString>& source, const Ref<NSString>& destination,
                                   Ref<NSError>* error) const
{
    std::string from = fsPath(source), to = fsPath(destination);
    if (from.empty() || !exists(from, false)) {
        setError(error, posixError(ENOENT, "Could not copy", from));
        return false;
    }
    if (to.empty() || exists(to, false)) {
        setError(error, posixError(EEXIST, "Could not copy an item to", to));
        return false;
    }
    std::error_code ec;
    std::filesystem::copy(from, to,
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::copy_symlinks, ec);
    if (!ec) return true;
    setError(error, posixError(errorCode(ec), "Could not copy", from));
    return false;
}

Ref<NSArray> NSFileManager::contentsOfDirectoryAtPath(const Ref<NSString>& path, Ref<NSError>* error) const
{
    std::string p = fsPath(path);
    std::vector<std::string> names;
    if (int code = p.empty() ? ENOENT : listDirectory(p, names)) {
        setError(error, posixError(code, "Could not list the folder", p));
        return nullptr;
    }
    std::vector<Id> out;
    for (const std::string& n : names) out.push_back(stringFromFileSystem(n));
    return NSArray::arrayWithVector(std::move(out));
}

Ref<NSDirectoryEnumerator> NSFileManager::enumeratorAtPath(const Ref<NSString>& path) const
{
    bool directory = false;
    if (!fileExistsAtPath(path, &directory) || !directory) return nullptr;
    return NSDirectoryEnumerator::enumeratorWithRoot(fsPath(path));
}

Ref<NSDictionary> NSFileManager::attributesOfItemAtPath(const Ref<NSString>& path, Ref<NSError>* error) const
{
    std::string p = fsPath(path);
    struct stat st { };
    if (p.empty() || ::stat(p.c_str(), &st) != 0) {
        setError(error, posixError(p.empty() ? ENOENT : errno, "Could not read the attributes of", p));
        return nullptr;
    }
    return attributesFrom(st);
}

Ref<NSString> NSFileManager::displayNameAtPath(const Ref<NSString>& path) const
{
    std::string p = fsPath(path);
    if (p.empty()) return NSString::string();
    return stringFromFileSystem(lastComponent(p));
}

Ref<NSString> NSFileManager::currentDirectoryPath() const
{
    char cwd[PATH_MAX];
    if (!::getcwd(cwd, sizeof cwd)) return nullptr;
    return stringFromFileSystem(cwd);
}

// --- NSDirectoryEnumerator ---

Ref<NSDirectoryEnumerator> NSDirectoryEnumerator::enumeratorWithRoot(const std::string& root)
{
    auto e = alloc<NSDirectoryEnumerator>();
    e->m_root = root;
    Frame top;
    listDirectory(root, top.names);
    e->m_stack.push_back(std::move(top));
    return e;
}

void NSDirectoryEnumerator::enterPending()
{
    if (!m_pendingEnter) return;
    m_pendingEnter = false;
    Frame frame;
    frame.relative = m_last;
    // An unreadable folder is listed but has no entries.
    listDirectory(join(m_root, m_last), frame.names);
    m_stack.push_back(std::move(frame));
}

Id NSDirectoryEnumerator::nextObject()
{
    enterPending();
    while (!m_stack.empty() && m_stack.back().next >= m_stack.back().names.size()) m_stack.pop_back();
    if (m_stack.empty()) return nullptr;
    Frame& frame = m_stack.back();
    m_last = join(frame.relative, frame.names[frame.next++]);
    m_lastLevel = m_stack.size();
    struct stat st { };
    m_lastIsDirectory = ::lstat(join(m_root, m_last).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    m_pendingEnter = m_lastIsDirectory;
    return stringFromFileSystem(m_last);
}

Ref<NSArray> NSDirectoryEnumerator::allObjects()
{
    std::vector<Id> out;
    while (Id next = nextObject()) out.push_back(next);
    return NSArray::arrayWithVector(std::move(out));
}

void NSDirectoryEnumerator::skipDescendants() { m_pendingEnter = false; }

Ref<NSDictionary> NSDirectoryEnumerator::fileAttributes() const
{
    struct stat st { };
    if (m_last.empty() || ::lstat(join(m_root, m_last).c_str(), &st) != 0) return nullptr;
    return attributesFrom(st);
}
