#pragma once
// User defaults: an application domain kept in an XML property list and a
// registration domain kept in memory (never written). Reads search the
// application domain, then (for the standard defaults and suites) the global
// domain NSGlobalDomain, kept in $XDG_CONFIG_HOME/.GlobalPreferences.plist and
// shared by every program, then the registration domain. A change is visible at
// once; it reaches the file on synchronize() and whenever
// NSUserDefaults::synchronizeAllIfChanged() runs (the end of each run-loop
// turn and quit), and only when something changed.
//
// The file is written atomically (temporary file, fsync, rename). A file that
// cannot be used (unreadable, not a property list, a root that is not a
// dictionary, a value of an unsupported type, a directory in its place) is
// reported with one log line naming it; the application domain then starts
// empty and, before the first write, the damaged file is renamed to
// "<name>.damaged-<timestamp>" so nothing is lost.
#include <mutex>
#include <string>
#include <vector>

#include "Foundation/NSData.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSString.h"

class NSArray;

inline const Ref<NSString> NSGlobalDomain = "NSGlobalDomain"_ns;
// Posted (object: the defaults object of the domain) after a value of the
// standard defaults, a suite or the global domain changed.
inline constexpr char NSUserDefaultsDidChangeNotification[] = "NSUserDefaultsDidChangeNotification";

class NSUserDefaults : public NSObject {
    NS_OBJECT(NSUserDefaults, NSObject)
protected:
    NSUserDefaults() = default;

public:
    ~NSUserDefaults() override;

    // The application domain, named after the main bundle's identifier and
    // stored in $XDG_CONFIG_HOME/<identifier>.plist (~/.config by default).
    static Ref<NSUserDefaults> standardUserDefaults();
    // Writes pending changes and forgets the shared instance; the next
    // standardUserDefaults() reads the environment and the file afresh.
    static void resetStandardUserDefaults();
    // Writes every live defaults object that has unsaved changes. The main
    // run loop calls it at the end of each turn, in every common mode (the
    // observer is installed with the first change); the termination-signal
    // source calls it before the application's handler (SignalSource.h);
    // the program calls it at quit.
    static void synchronizeAllIfChanged();

    // A defaults object for the domain of that name, stored like the
    // application domain ($XDG_CONFIG_HOME/<name>.plist).
    Ref<NSUserDefaults> initWithSuiteName(const Ref<NSString>& suiteName);
    // A defaults object kept in the given file (tests, other domains).
    Ref<NSUserDefaults> initWithPath(const Ref<NSString>& path);
    static Ref<NSUserDefaults> defaultsWithPath(const Ref<NSString>& path);

    // The file the application domain is stored in.
    Ref<NSString> path() const;

    void registerDefaults(const Ref<NSDictionary>& registrationDictionary);

    Id objectForKey(const Ref<NSString>& key) const;
    Ref<NSString> stringForKey(const Ref<NSString>& key) const;
    Ref<NSArray> arrayForKey(const Ref<NSString>& key) const;
    Ref<NSDictionary> dictionaryForKey(const Ref<NSString>& key) const;
    Ref<NSData> dataForKey(const Ref<NSString>& key) const;
    // Numbers convert; strings convert by their numeric rules ("42abc" gives
    // 42); anything else or an absent key reads 0 / NO.
    NSInteger integerForKey(const Ref<NSString>& key) const;
    bool boolForKey(const Ref<NSString>& key) const;
    float floatForKey(const Ref<NSString>& key) const;
    double doubleForKey(const Ref<NSString>& key) const;

    // Values must be property-list types (NSInvalidArgumentException
    // otherwise); containers are copied, so later changes to them do not
    // reach the defaults. A nil value removes the key.
    void setObject(const Id& value, const Ref<NSString>& key);
    void setInteger(NSInteger value, const Ref<NSString>& key);
    void setBool(bool value, const Ref<NSString>& key);
    void setFloat(float value, const Ref<NSString>& key);
    void setDouble(double value, const Ref<NSString>& key);
    void removeObjectForKey(const Ref<NSString>& key);

    // Writes the application domain now if it changed; answers false when the
    // file could not be written.
    bool synchronize();
    bool synchronizeIfChanged() { return synchronize(); }
    bool hasUnsavedChanges() const;

    // The registration domain overlaid with the application domain.
    Ref<NSDictionary> dictionaryRepresentation() const;
    // The application domain alone.
    Ref<NSDictionary> persistentDomain() const;
    // NSGlobalDomain or the receiver's own domain by its name; nil for others.
    Ref<NSDictionary> persistentDomainForName(const Ref<NSString>& domainName) const;
    // Replaces the named domain (NSGlobalDomain or the receiver's own); the
    // change reaches its file like any other.
    void setPersistentDomain(const Ref<NSDictionary>& domain, const Ref<NSString>& domainName);

    // Key-value coding reads and writes the defaults by key.
    Id valueForKey(const Ref<NSString>& key) override;
    void setValueForKey(const Id& value, const Ref<NSString>& key) override;

private:
    friend class NSUserDefaultsController;
    void load();
    bool writeLocked();
    bool moveDamagedFileAsideLocked();
    void notifyWillChange(const Ref<NSString>& key);
    void notifyDidChange(const Ref<NSString>& key);
    void replaceDomain(const Ref<NSDictionary>& domain);
    // Objects told about every change (the controller's values proxy).
    void addChangeListener(NSObject* listener);

    mutable std::recursive_mutex m_lock;
    std::string m_path;
    // The domain's name (the suite name), empty for a defaults object of a path.
    Ref<NSString> m_name;
    // The global domain searched after the application domain; nil for
    // objects made for one file.
    Ref<NSUserDefaults> m_global;
    Ref<NSMutableDictionary> m_application = NSMutableDictionary::dictionary();
    Ref<NSMutableDictionary> m_registration = NSMutableDictionary::dictionary();
    bool m_dirty = false;
    // Set when the file was damaged: its name once kept aside.
    std::string m_damagedCopy;
    bool m_loggedWriteFailure = false;
    std::vector<Weak<NSObject>> m_listeners;
};
