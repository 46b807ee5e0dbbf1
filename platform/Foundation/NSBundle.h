#pragma once
// Bundles: a folder of resources with an Info.plist at its root, string
// tables in "<language>.lproj/<table>.strings", and images, interface files
// and other resources at the root, in subfolders or in a .lproj folder.
//
// The main bundle is the resources/ folder found beside the executable
// ("<dir>/resources" or "<dir>/../resources"), or the folder named by the
// environment variable PLUMBLINE_RESOURCES. Each class belongs to the main
// bundle unless NSBundle::registerClassBundle names another one for it; the
// registry is keyed by class name and filled by static initialisers, so it
// answers before the class is first used.
//
// The current language comes from LC_ALL, LC_MESSAGES or LANG ("de_DE.UTF-8"
// tries de_DE.lproj, de-DE.lproj, de.lproj), then "en", then the first .lproj
// folder by name.
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "Foundation/NSArray.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSString.h"

class NSClass;
class NSURL;

// The framework version a plug-in bundle's Info key "PlumblineFrameworkVersion"
// must name for its code to load; raised whenever the layer's binary interface
// changes.
inline constexpr NSInteger NSBundleFrameworkVersion = 1;

class NSBundle : public NSObject {
    NS_OBJECT(NSBundle, NSObject)
protected:
    NSBundle() = default;

public:
    static Ref<NSBundle> mainBundle();
    // The bundle at that folder (one object per folder), or nil when the path
    // is not a folder.
    static Ref<NSBundle> bundleWithPath(const Ref<NSString>& path);
    // The bundle registered for the class, else the main bundle.
    static Ref<NSBundle> bundleForClass(const NSClass& cls);
    static Ref<NSBundle> bundleForClassNamed(const std::string& className);
    // Puts a class in another bundle: an absolute folder path, or a path
    // relative to the main bundle ("KeyRecorder.bundle"). Answers true so
    // that it can initialise a static:
    //   static const bool registered = NSBundle::registerClassBundle("KRDummyClass", "KeyRecorder.bundle");
    static bool registerClassBundle(const std::string& className, const std::string& bundle);

    Ref<NSString> bundlePath() const;
    // Resources sit at the root of the bundle folder.
    Ref<NSString> resourcePath() const { return bundlePath(); }
    Ref<NSURL> bundleURL() const;
    Ref<NSString> bundleIdentifier() const;

    // Info.plist (empty when missing or unreadable).
    Ref<NSDictionary> infoDictionary() const;
    // The Info dictionary with InfoPlist.strings of the current language over it.
    Ref<NSDictionary> localizedInfoDictionary() const;
    // The localized value first, then the Info dictionary's.
    Id objectForInfoDictionaryKey(const Ref<NSString>& key) const;

    // The language folders present ("en", "de", ...), sorted.
    Ref<NSArray> localizations() const;
    // The languages used for lookups, best first.
    Ref<NSArray> preferredLocalizations() const;

    // Looks at the bundle root (or `directory` inside it), then in the current
    // language's folder. A nil or empty type means the name is the full file
    // name.
    Ref<NSString> pathForResource(const Ref<NSString>& name, const Ref<NSString>& type) const;
    Ref<NSString> pathForResource(const Ref<NSString>& name, const Ref<NSString>& type,
                                  const Ref<NSString>& directory) const;
    // Every file with that extension, sorted by path.
    Ref<NSArray> pathsForResourcesOfType(const Ref<NSString>& type, const Ref<NSString>& directory) const;
    // An image by name with any image extension (png, tiff, tif, jpg, jpeg, gif, pdf, icns).
    Ref<NSString> pathForImageResource(const Ref<NSString>& name) const;
    Ref<NSURL> URLForResource(const Ref<NSString>& name, const Ref<NSString>& extension) const;
    Ref<NSURL> URLForResource(const Ref<NSString>& name, const Ref<NSString>& extension,
                              const Ref<NSString>& subdirectory) const;

    // The entry of the table (nil or empty: "Localizable") for the current
    // language. A missing entry answers `value` when it is not empty and
    // otherwise the key itself.
    Ref<NSString> localizedStringForKey(const Ref<NSString>& key, const Ref<NSString>& value,
                                        const Ref<NSString>& table) const;

    // --- Loadable code (NSBundleLoading.cpp; layout in docs/BUNDLES.md) ---
    // Opens the shared object named by "CFBundleExecutable" once; the classes
    // that register while it loads belong to this bundle. NO, with one log
    // line, when the bundle has no code, was built for another framework
    // version ("PlumblineFrameworkVersion" other than NSBundleFrameworkVersion),
    // cannot be opened or defines a class that already exists; a failed load
    // is not tried again. Loaded code is never unloaded.
    bool load();
    bool isLoaded() const;
    // Linux/lib<CFBundleExecutable>.so inside the bundle, or nil when the
    // bundle names no executable or the file is missing.
    Ref<NSString> executablePath() const;
    // Loads the code, then answers the class "NSPrincipalClass" names (nil
    // when it is not one of the bundle's), else the first class it loaded.
    const NSClass* principalClass();
    // Loads the code, then answers the bundle's class of that name, or nil.
    const NSClass* classNamed(const Ref<NSString>& name);

    Ref<NSString> description() const override;

private:
    std::vector<std::string> languageFolders() const;
    std::vector<std::string> lookupLanguages() const;
    Ref<NSDictionary> stringsTable(const std::string& table) const;
    std::string findResource(const std::string& file, const std::string& directory) const;

    std::string m_path;
    enum class CodeState { unloaded, loaded, failed };
    CodeState m_codeState = CodeState::unloaded;
    std::vector<const NSClass*> m_classes;  // registered while the code loaded
    mutable std::mutex m_lock;
    mutable Ref<NSDictionary> m_info;
    mutable std::unordered_map<std::string, Ref<NSDictionary>> m_tables;
};

// The platform's lookup macros, as functions. The comment is for translators.
Ref<NSString> NSLocalizedString(const Ref<NSString>& key, const Ref<NSString>& comment);
Ref<NSString> NSLocalizedStringFromTable(const Ref<NSString>& key, const Ref<NSString>& table,
                                         const Ref<NSString>& comment);
Ref<NSString> NSLocalizedStringFromTableInBundle(const Ref<NSString>& key, const Ref<NSString>& table,
                                                 const Ref<NSBundle>& bundle, const Ref<NSString>& comment);
Ref<NSString> NSLocalizedStringWithDefaultValue(const Ref<NSString>& key, const Ref<NSString>& table,
                                                const Ref<NSBundle>& bundle, const Ref<NSString>& value,
                                                const Ref<NSString>& comment);
