#include "Foundation/NSBundle.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <map>

#include "Foundation/FileSupport.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSData.h"
#include "Foundation/NSPropertyListSerialization.h"
#include "Foundation/NSURL.h"
#include "Foundation/StringsFile.h"

NS_CLASS_DEFINE(NSBundle)

using namespace FileSupport;

namespace {

bool isDirectory(const std::string& path)
{
    struct stat st { };
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool isFile(const std::string& path)
{
    struct stat st { };
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

std::string canonical(const std::string& path)
{
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved)) return resolved;
    return path;
}

std::vector<std::string> directoryNames(const std::string& path)
{
    std::vector<std::string> names;
    DIR* dir = ::opendir(path.c_str());
    if (!dir) return names;
    while (dirent* e = ::readdir(dir)) {
        std::string name = e->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

// Bundles by canonical folder; they live as long as the process.
std::mutex g_bundlesLock;
std::map<std::string, NSBundle*>& bundles()
{
    static auto* map = new std::map<std::string, NSBundle*>;
    return *map;
}

std::mutex& classBundlesLock()
{
    static std::mutex lock;
    return lock;
}
std::map<std::string, std::string>& classBundles()
{
    static auto* map = new std::map<std::string, std::string>;
    return *map;
}

std::string executableDirectory()
{
    char buffer[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return canonical(".");
    return deletingLastComponent(std::string(buffer, static_cast<size_t>(n)));
}

// The languages the environment asks for, most specific first.
std::vector<std::string> environmentLanguages()
{
    std::string value;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        value = environment(name);
        if (!value.empty()) break;
    }
    value = value.substr(0, value.find_first_of(".@"));
    if (value.empty() || value == "C" || value == "POSIX") return {};
    std::vector<std::string> out{value};
    if (size_t underscore = value.find('_'); underscore != std::string::npos) {
        std::string dashed = value;
        dashed[underscore] = '-';
        out.push_back(dashed);
        out.push_back(value.substr(0, underscore));
    }
    return out;
}

Ref<NSString> str(const std::string& s) { return stringFromFileSystem(s); }

}

Ref<NSBundle> NSBundle::bundleWithPath(const Ref<NSString>& path)
{
    std::string folder = expandTilde(fsPath(path));
    if (!isDirectory(folder)) return nullptr;
    folder = canonical(folder);
    std::lock_guard guard(g_bundlesLock);
    NSBundle*& slot = bundles()[folder];
    if (!slot) {
        auto bundle = alloc<NSBundle>();
        bundle->m_path = folder;
        slot = bundle.leak();
    }
    return slot;
}

Ref<NSBundle> NSBundle::mainBundle()
{
    static NSBundle* main = [] {
        std::vector<std::string> candidates;
        if (std::string overridden = environment("PLUMBLINE_RESOURCES"); !overridden.empty())
            candidates.push_back(overridden);
        std::string exeDir = executableDirectory();
        candidates.push_back(join(exeDir, "resources"));
        candidates.push_back(join(deletingLastComponent(exeDir), "resources"));
        for (const std::string& c : candidates)
            if (auto b = bundleWithPath(str(c))) return b.leak();
        // A program without resources still has a main bundle: its own folder.
        return bundleWithPath(str(exeDir)).leak();
    }();
    return main;
}

bool NSBundle::registerClassBundle(const std::string& className, const std::string& bundle)
{
    std::lock_guard guard(classBundlesLock());
    classBundles()[className] = bundle;
    return true;
}

Ref<NSBundle> NSBundle::bundleForClassNamed(const std::string& className)
{
    std::string bundle;
    {
        std::lock_guard guard(classBundlesLock());
        auto it = classBundles().find(className);
        if (it != classBundles().end()) bundle = it->second;
    }
    if (bundle.empty()) return mainBundle();
    if (bundle[0] != '/') bundle = join(mainBundle()->m_path, bundle);
    if (auto b = bundleWithPath(str(bundle))) return b;
    return mainBundle();
}

Ref<NSBundle> NSBundle::bundleForClass(const NSClass& cls) { return bundleForClassNamed(cls.name()); }

Ref<NSString> NSBundle::bundlePath() const { return str(m_path); }

Ref<NSURL> NSBundle::bundleURL() const { return NSURL::fileURLWithPath(bundlePath()); }

Ref<NSString> NSBundle::bundleIdentifier() const
{
    return dynamic_ref_cast<NSString>(infoDictionary()->objectForKey("CFBundleIdentifier"_ns));
}

Ref<NSDictionary> NSBundle::infoDictionary() const
{
    std::lock_guard guard(m_lock);
    if (m_info) return m_info;
    auto data = NSData::dataWithContentsOfFile(str(join(m_path, "Info.plist")));
    Id plist = data ? NSPropertyListSerialization::propertyListWithData(data, NSPropertyListImmutable, nullptr, nullptr)
                    : nullptr;
    m_info = dynamic_ref_cast<NSDictionary>(plist);
    if (!m_info) m_info = NSDictionary::dictionary();
    return m_info;
}

Ref<NSDictionary> NSBundle::localizedInfoDictionary() const
{
    auto merged = NSMutableDictionary::dictionaryWithDictionary(infoDictionary());
    merged->addEntriesFromDictionary(stringsTable("InfoPlist"));
    return NSDictionary::dictionaryWithDictionary(merged);
}

Id NSBundle::objectForInfoDictionaryKey(const Ref<NSString>& key) const
{
    if (!key) return nullptr;
    if (Id localized = stringsTable("InfoPlist")->objectForKey(key)) return localized;
    return infoDictionary()->objectForKey(key);
}

std::vector<std::string> NSBundle::languageFolders() const
{
    std::vector<std::string> languages;
    for (const std::string& name : directoryNames(m_path))
        if (name.size() > 6 && name.ends_with(".lproj") && isDirectory(join(m_path, name)))
            languages.push_back(name.substr(0, name.size() - 6));
    return languages;
}

std::vector<std::string> NSBundle::lookupLanguages() const
{
    std::vector<std::string> present = languageFolders();
    auto has = [&](const std::string& l) { return std::find(present.begin(), present.end(), l) != present.end(); };
    std::vector<std::string> order;
    auto add = [&](const std::string& l) {
        if (has(l) && std::find(order.begin(), order.end(), l) == order.end()) order.push_back(l);
    };
    for (const std::string& l : environmentLanguages()) add(l);
    if (auto development = dynamic_ref_cast<NSString>(infoDictionary()->objectForKey("CFBundleDevelopmentRegion"_ns)))
        add(development->UTF8String());
    add("en");
    add("Base");
    if (order.empty() && !present.empty()) order.push_back(present.front());
    return order;
}

Ref<NSArray> NSBundle::localizations() const
{
    std::vector<Id> out;
    for (const std::string& l : languageFolders()) out.push_back(str(l));
    return NSArray::arrayWithVector(std::move(out));
}

Ref<NSArray> NSBundle::preferredLocalizations() const
{
    std::vector<Id> out;
    auto order = lookupLanguages();
    if (!order.empty()) out.push_back(str(order.front()));
    return NSArray::arrayWithVector(std::move(out));
}

std::string NSBundle::findResource(const std::string& file, const std::string& directory) const
{
    std::string direct = join(join(m_path, directory), file);
    if (isFile(direct)) return direct;
    for (const std::string& language : lookupLanguages()) {
        std::string localized = join(join(join(m_path, language + ".lproj"), directory), file);
        if (isFile(localized)) return localized;
    }
    return "";
}

Ref<NSString> NSBundle::pathForResource(const Ref<NSString>& name, const Ref<NSString>& type) const
{
    return pathForResource(name, type, nullptr);
}

Ref<NSString> NSBundle::pathForResource(const Ref<NSString>& name, const Ref<NSString>& type,
                                        const Ref<NSString>& directory) const
{
    std::string file = fsPath(name);
    std::string extension = fsPath(type);
    if (!extension.empty() && extension[0] == '.') extension.erase(0, 1);
    if (!extension.empty()) file += "." + extension;
    if (file.empty()) return nullptr;
    std::string found = findResource(file, fsPath(directory));
    return found.empty() ? nullptr : str(found);
}

Ref<NSArray> NSBundle::pathsForResourcesOfType(const Ref<NSString>& type, const Ref<NSString>& directory) const
{
    std::string extension = fsPath(type);
    if (!extension.empty() && extension[0] == '.') extension.erase(0, 1);
    std::vector<std::string> folders{join(m_path, fsPath(directory))};
    for (const std::string& language : lookupLanguages())
        folders.push_back(join(join(m_path, language + ".lproj"), fsPath(directory)));
    std::vector<std::string> paths;
    for (const std::string& folder : folders)
        for (const std::string& name : directoryNames(folder)) {
            std::string path = join(folder, name);
            if (isFile(path) && (extension.empty() || FileSupport::extension(name) == extension)) paths.push_back(path);
        }
    std::sort(paths.begin(), paths.end());
    std::vector<Id> out;
    for (const std::string& p : paths) out.push_back(str(p));
    return NSArray::arrayWithVector(std::move(out));
}

Ref<NSString> NSBundle::pathForImageResource(const Ref<NSString>& name) const
{
    if (!name) return nullptr;
    if (!FileSupport::extension(fsPath(name)).empty())
        if (auto p = pathForResource(name, nullptr)) return p;
    for (const char* type : {"png", "tiff", "tif", "jpg", "jpeg", "gif", "pdf", "icns"})
        if (auto p = pathForResource(name, str(type))) return p;
    return nullptr;
}

Ref<NSURL> NSBundle::URLForResource(const Ref<NSString>& name, const Ref<NSString>& extension) const
{
    return URLForResource(name, extension, nullptr);
}

Ref<NSURL> NSBundle::URLForResource(const Ref<NSString>& name, const Ref<NSString>& extension,
                                    const Ref<NSString>& subdirectory) const
{
    auto path = pathForResource(name, extension, subdirectory);
    return path ? NSURL::fileURLWithPath(path) : nullptr;
}

Ref<NSDictionary> NSBundle::stringsTable(const std::string& table) const
{
    std::string file = table + ".strings";
    std::string path;
    for (const std::string& language : lookupLanguages()) {
        std::string candidate = join(join(m_path, language + ".lproj"), file);
        if (isFile(candidate)) {
            path = candidate;
            break;
        }
    }
    if (path.empty() && isFile(join(m_path, file))) path = join(m_path, file);
    std::lock_guard guard(m_lock);
    auto it = m_tables.find(path);
    if (it != m_tables.end()) return it->second;
    Ref<NSDictionary> entries = path.empty() ? NSDictionary::dictionary()
                                             : StringsTableFromData(NSData::dataWithContentsOfFile(str(path)), path);
    m_tables.emplace(path, entries);
    return entries;
}

Ref<NSString> NSBundle::localizedStringForKey(const Ref<NSString>& key, const Ref<NSString>& value,
                                              const Ref<NSString>& table) const
{
    std::string name = table && table->length() > 0 ? table->UTF8String() : "Localizable";
    if (key)
        if (auto found = dynamic_ref_cast<NSString>(stringsTable(name)->objectForKey(key))) return found;
    if (value && value->length() > 0) return value;
    return key ? key : NSString::string();
}

Ref<NSString> NSBundle::description() const { return NSString::stringWithFormat("NSBundle <%s>", m_path); }

Ref<NSString> NSLocalizedString(const Ref<NSString>& key, const Ref<NSString>&)
{
    return NSBundle::mainBundle()->localizedStringForKey(key, nullptr, nullptr);
}

Ref<NSString> NSLocalizedStringFromTable(const Ref<NSString>& key, const Ref<NSString>& table, const Ref<NSString>&)
{
    return NSBundle::mainBundle()->localizedStringForKey(key, nullptr, table);
}

Ref<NSString> NSLocalizedStringFromTableInBundle(const Ref<NSString>& key, const Ref<NSString>& table,
                                                 const Ref<NSBundle>& bundle, const Ref<NSString>&)
{
    return (bundle ? bundle : NSBundle::mainBundle())->localizedStringForKey(key, nullptr, table);
}

Ref<NSString> NSLocalizedStringWithDefaultValue(const Ref<NSString>& key, const Ref<NSString>& table,
                                                const Ref<NSBundle>& bundle, const Ref<NSString>& value,
                                                const Ref<NSString>&)
{
    return (bundle ? bundle : NSBundle::mainBundle())->localizedStringForKey(key, value, table);
}
