#include "Foundation/LSSharedFileList.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::string env(const char* name)
{
    const char* v = std::getenv(name);
    return v ? v : "";
}

// The string-level escapes of a Desktop Entry value: \s \n \t \r \\.
std::string unescapeValue(const std::string& v)
{
    std::string out;
    for (size_t i = 0; i < v.size(); ++i) {
        if (v[i] != '\\' || i + 1 == v.size()) {
            out += v[i];
            continue;
        }
        switch (char c = v[++i]) {
        case 's': out += ' '; break;
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        default: out += c; break;
        }
    }
    return out;
}

std::string escapeValue(const std::string& v)
{
    std::string out;
    for (char c : v) {
        if (c == '\\') out += "\\\\";
        else if (c == '\n') out += "\\n";
        else if (c == '\t') out += "\\t";
        else if (c == '\r') out += "\\r";
        else out += c;
    }
    return out;
}

// The keys of the [Desktop Entry] group, values unescaped.
std::vector<std::pair<std::string, std::string>> readEntry(const std::string& path)
{
    std::vector<std::pair<std::string, std::string>> keys;
    std::ifstream in(path);
    std::string line;
    bool inGroup = false;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[') {
            inGroup = line == "[Desktop Entry]";
            continue;
        }
        auto eq = line.find('=');
        if (!inGroup || eq == std::string::npos) continue;
        std::string key = line.substr(0, eq);
        while (!key.empty() && key.back() == ' ') key.pop_back();
        size_t start = eq + 1;
        while (start < line.size() && line[start] == ' ') ++start;
        keys.emplace_back(key, unescapeValue(line.substr(start)));
    }
    return keys;
}

std::string value(const std::vector<std::pair<std::string, std::string>>& keys, const std::string& key)
{
    for (const auto& [k, v] : keys)
        if (k == key) return v;
    return {};
}

std::string realPathOfProgram(const std::string& program)
{
    if (program.empty()) return {};
    std::string candidate = program;
    if (program.find('/') == std::string::npos) {
        candidate.clear();
        std::stringstream path(env("PATH"));
        std::string dir;
        while (std::getline(path, dir, ':')) {
            std::string p = (dir.empty() ? "." : dir) + "/" + program;
            if (access(p.c_str(), X_OK) == 0) {
                candidate = p;
                break;
            }
        }
        if (candidate.empty()) return {};
    }
    char* real = realpath(candidate.c_str(), nullptr);
    if (!real) return {};
    std::string out = real;
    free(real);
    return out;
}

}

std::optional<LSSharedFileList> LSSharedFileList::sessionLoginItems()
{
    std::string config = env("XDG_CONFIG_HOME");
    if (config.empty() || config[0] != '/') {
        std::string home = env("HOME");
        if (home.empty()) return std::nullopt;
        config = home + "/.config";
    }
    return LSSharedFileList(config + "/autostart");
}

std::string LSSharedFileList::execValueForPath(const std::string& path)
{
    // Inside double quotes the characters " ` $ \ take a backslash; a
    // literal "%" is written "%%" so it is not a field code.
    std::string quoted = "\"";
    for (char c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        quoted += c;
        if (c == '%') quoted += '%';
    }
    return quoted + "\"";
}

std::string LSSharedFileList::programOfExecValue(const std::string& exec)
{
    std::string word;
    size_t i = 0;
    while (i < exec.size() && exec[i] == ' ') ++i;
    bool quoted = false;
    for (; i < exec.size(); ++i) {
        char c = exec[i];
        if (quoted) {
            if (c == '"') quoted = false;
            else if (c == '\\' && i + 1 < exec.size()) word += exec[++i];
            else if (c == '%' && i + 1 < exec.size() && exec[i + 1] == '%') word += exec[i++];
            else word += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ' ') {
            break;
        } else if (c == '%' && i + 1 < exec.size() && exec[i + 1] == '%') {
            word += exec[i++];
        } else {
            word += c;
        }
    }
    return word;
}

std::vector<LSSharedFileListItem> LSSharedFileList::snapshot() const
{
    std::vector<LSSharedFileListItem> items;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(m_folder, ec)) {
        if (e.path().extension() != ".desktop") continue;
        auto keys = readEntry(e.path());
        if (value(keys, "Hidden") == "true") continue;
        items.push_back({e.path().string(), realPathOfProgram(programOfExecValue(value(keys, "Exec")))});
    }
    std::sort(items.begin(), items.end(), [](const auto& a, const auto& b) { return a.entryPath < b.entryPath; });
    return items;
}

bool LSSharedFileList::insertItemLast(const std::string& identifier, const std::string& name,
                                      const std::string& executable) const
{
    if (identifier.empty() || identifier.find('/') != std::string::npos || identifier[0] == '.') return false;
    std::error_code ec;
    std::filesystem::create_directories(m_folder, ec);
    const std::string target = m_folder + "/" + identifier + ".desktop";
    std::string temp = target + ".XXXXXX";
    int fd = mkstemp(temp.data());
    if (fd < 0) return false;
    std::string text = "[Desktop Entry]\nType=Application\nName=" + escapeValue(name) +
                       "\nExec=" + escapeValue(execValueForPath(executable)) + "\n";
    bool ok = write(fd, text.data(), text.size()) == ssize_t(text.size());
    ok = fchmod(fd, 0644) == 0 && ok;
    ok = close(fd) == 0 && ok;
    if (ok) ok = rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) unlink(temp.c_str());
    return ok;
}

bool LSSharedFileList::removeItem(const LSSharedFileListItem& item) const
{
    return unlink(item.entryPath.c_str()) == 0;
}
