#pragma once
// Small helpers on file-system paths shared by the file manager, bundles,
// user defaults and URLs. Paths are UTF-8 std::strings here; the public
// classes convert at their edges.
#include <string>
#include <string_view>
#include <vector>

#include "Foundation/NSError.h"
#include "Foundation/NSString.h"

namespace FileSupport {

// A path string for the file system, or "" for nil.
std::string fsPath(const Ref<NSString>& path);
// A string for a file name, with bytes that are not UTF-8 shown as U+FFFD so
// that a stray name never turns into nil.
Ref<NSString> stringFromFileSystem(std::string_view bytes);

std::string join(std::string_view directory, std::string_view name);
// The last component, ignoring trailing slashes ("/a/b/" gives "b", "/" gives "/").
std::string lastComponent(std::string_view path);
// The extension of the last component without the dot, or "".
std::string extension(std::string_view path);
std::string deletingLastComponent(std::string_view path);
// "~" and "~/x" become the home folder; other paths are unchanged.
std::string expandTilde(std::string_view path);
// The home folder: $HOME, else the password database.
std::string homeDirectory();
// An environment variable, or "" when unset.
std::string environment(const char* name);

// Creates the directory and any missing parents; answers 0 or an errno value.
int makeDirectories(const std::string& path, unsigned mode = 0755);
// Writes the bytes to a temporary file beside `path`, flushes it to disk and
// renames it over `path`, so a reader sees the old or the new contents and
// never a mix. Answers 0 or an errno value.
int writeAtomically(const std::string& path, const void* bytes, size_t length, unsigned mode = 0644);
// Removes the temporary files writeAtomically left beside `path` when its
// process was killed mid-write. A file still being written holds a lock and
// is left alone. Answers how many were removed.
int removeStaleTemporaryFiles(const std::string& path);
// Writes the bytes over the file itself (made with `mode`, less the umask,
// when new) and flushes them to disk. Answers 0 or an errno value.
int writeInPlace(const std::string& path, const void* bytes, size_t length, unsigned mode = 0644);
// Stored data that could not be read is kept aside, never overwritten:
// the first free name of "<path>.damaged-<UTC time>", then "-2", "-3"...
std::string damagedCopyName(const std::string& path);
// Writes bytes that could not be used to damagedCopyName(path) (making its
// folder), whole or not at all. Answers 0 and sets keptAs, or an errno value.
int keepDamagedBytes(const std::string& path, const void* bytes, size_t length, std::string& keptAs);
// The whole contents of a file; a directory answers EISDIR. Answers 0 or an
// errno value, leaving `out` empty on failure.
int readFile(const std::string& path, std::vector<uint8_t>& out);

// The text of errno values, independent of the locale.
std::string errnoText(int error);
// An error in NSPOSIXErrorDomain whose description reads
// "<action> “<path>”: <reason>.", with the path under NSFilePath.
Ref<NSError> posixError(int error, std::string_view action, std::string_view path);
inline void setError(Ref<NSError>* out, const Ref<NSError>& error)
{
    if (out) *out = error;
}

}
