#include "Foundation/NSUserDefaults.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <filesystem>

#include "Foundation/FileSupport.h"
#include "Foundation/NSArray.h"
#include "Foundation/NSBundle.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSDate.h"
#include "Foundation/NSException.h"
#include "Foundation/NSLog.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSProcessInfo.h"
#include "Foundation/NSPropertyListSerialization.h"
#include "Foundation/NSRunLoop.h"

NS_CLASS_DEFINE(NSUserDefaults)

namespace {

// Every live defaults object, so that the end of a run-loop turn and quit can
// write them all.
std::mutex& registryLock()
{
    static std::mutex lock;
    return lock;
}
std::vector<Weak<NSUserDefaults>>& registry()
{
    static auto* list = new std::vector<Weak<NSUserDefaults>>;  // outlives every defaults object
    return *list;
}

// Installed with the first unsaved change of any defaults object: at the end
// of every turn of the main run loop, in every common mode, whatever changed
// during the turn reaches its file. Ordered late so that values set by other
// end-of-turn work of the same turn are included.
void flushAtTheEndOfEachTurn()
{
    static std::once_flag installed;
    std::call_once(installed, [] {
        NSRunLoop::mainRunLoop()->addObserver(
            {NSRunLoopCommonModes}, [] { NSUserDefaults::synchronizeAllIfChanged(); }, NSIntegerMax);
    });
}

std::mutex g_standardLock;
// Kept reachable for the life of the process; released by resetStandardUserDefaults.
NSUserDefaults* g_standard = nullptr;

std::string configDirectory()
{
    std::string config = FileSupport::environment("XDG_CONFIG_HOME");
    // Relative values are invalid and ignored, as the base-directory rules say.
    if (config.empty() || config[0] != '/') config = FileSupport::join(FileSupport::homeDirectory(), ".config");
    return config;
}

std::string domainPath(const std::string& name) { return FileSupport::join(configDirectory(), name + ".plist"); }

// The file a save replaces: a symbolic link (a dotfiles setup) is followed to
// its target, so that the link stays and the target gets the new contents,
// atomically where it lies. A relative target is relative to the link's folder.
std::string fileBehindLinks(const std::string& path)
{
    namespace fs = std::filesystem;
    fs::path current = path;
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(current, error)) || error) break;
        fs::path target = fs::read_symlink(current, error);
        if (error) break;
        current = target.is_absolute() ? target : current.parent_path() / target;
    }
    return current.string();
}

// A copy in which no container can change behind the defaults' back.
Id immutableCopy(const Id& value)
{
    if (auto array = dynamic_ref_cast<NSArray>(value)) {
        std::vector<Id> elements;
        for (const Id& e : array->objects()) elements.push_back(immutableCopy(e));
        return NSArray::arrayWithVector(std::move(elements));
    }
    if (auto dictionary = dynamic_ref_cast<NSDictionary>(value)) {
        auto copy = NSMutableDictionary::dictionary();
        for (const auto& [k, v] : dictionary->entries()) copy->setObject(immutableCopy(v), k);
        return NSDictionary::dictionaryWithDictionary(copy);
    }
    return value->copy();
}

// Equal as stored: numbers must also be of the same kind, since YES and 1 or
// a float and a double are written differently.
bool samePropertyList(const Id& a, const Id& b)
{
    if (!a || !b) return a == b;
    if (auto x = dynamic_ref_cast<NSNumber>(a)) {
        auto y = dynamic_ref_cast<NSNumber>(b);
        return y && x->kind() == y->kind() && x->isEqualToNumber(y);
    }
    if (auto x = dynamic_ref_cast<NSArray>(a)) {
        auto y = dynamic_ref_cast<NSArray>(b);
        if (!y || x->count() != y->count()) return false;
        for (NSUInteger i = 0; i < x->count(); ++i)
            if (!samePropertyList(x->objectAtIndex(i), y->objectAtIndex(i))) return false;
        return true;
    }
    if (auto x = dynamic_ref_cast<NSDictionary>(a)) {
        auto y = dynamic_ref_cast<NSDictionary>(b);
        if (!y || x->count() != y->count()) return false;
        for (const auto& [k, v] : x->entries())
            if (!samePropertyList(v, y->objectForKey(k))) return false;
        return true;
    }
    if (dynamic_ref_cast<NSArray>(b) || dynamic_ref_cast<NSDictionary>(b) || dynamic_ref_cast<NSNumber>(b))
        return false;
    return a->isEqual(b.get());
}

}

NSUserDefaults::~NSUserDefaults()
{
    // Objects made for one file (tests, other domains) keep what was set.
    if (m_dirty) writeLocked();
}

Ref<NSUserDefaults> NSUserDefaults::standardUserDefaults()
{
    std::lock_guard guard(g_standardLock);
    if (g_standard) return g_standard;
    Ref<NSString> identifier;
    if (auto bundle = NSBundle::mainBundle()) identifier = bundle->bundleIdentifier();
    if (!identifier || identifier->length() == 0) identifier = NSProcessInfo::processInfo()->processName();
    auto defaults = alloc<NSUserDefaults>()->initWithSuiteName(identifier);
    g_standard = defaults.leak();
    return g_standard;
}

void NSUserDefaults::resetStandardUserDefaults()
{
    NSUserDefaults* old = nullptr;
    {
        std::lock_guard guard(g_standardLock);
        old = std::exchange(g_standard, nullptr);
    }
    if (!old) return;
    old->synchronize();
    old->release();
}

void NSUserDefaults::synchronizeAllIfChanged()
{
    std::vector<Ref<NSUserDefaults>> live;
    {
        std::lock_guard guard(registryLock());
        auto& list = registry();
        std::erase_if(list, [&](const Weak<NSUserDefaults>& w) {
            auto d = w.get();
            if (d) live.push_back(d);
            return !d;
        });
    }
    for (const auto& d : live)
        if (d->hasUnsavedChanges()) d->synchronize();
}

Ref<NSUserDefaults> NSUserDefaults::initWithSuiteName(const Ref<NSString>& suiteName)
{
    if (!suiteName || suiteName->length() == 0) return nullptr;
    if (!initWithPath(FileSupport::stringFromFileSystem(domainPath(suiteName->UTF8String())))) return nullptr;
    m_name = NSString::stringWithString(suiteName);
    m_global = defaultsWithPath(FileSupport::stringFromFileSystem(domainPath(".GlobalPreferences")));
    if (m_global) m_global->m_name = NSGlobalDomain;
    return this;
}

Ref<NSUserDefaults> NSUserDefaults::initWithPath(const Ref<NSString>& path)
{
    if (!path || path->length() == 0) return nullptr;
    m_path = path->UTF8String();
    load();
    std::lock_guard guard(registryLock());
    registry().emplace_back(this);
    return this;
}

Ref<NSUserDefaults> NSUserDefaults::defaultsWithPath(const Ref<NSString>& path)
{
    return alloc<NSUserDefaults>()->initWithPath(path);
}

Ref<NSString> NSUserDefaults::path() const { return FileSupport::stringFromFileSystem(m_path); }

void NSUserDefaults::load()
{
    // What killed processes left of their saves.
    FileSupport::removeStaleTemporaryFiles(fileBehindLinks(m_path));
    auto damaged = [&](const std::string& why) {
        m_damagedCopy = FileSupport::damagedCopyName(fileBehindLinks(m_path));
        NSLog("NSUserDefaults: the defaults file %s cannot be used (%s); starting with empty defaults. "
              "It will be kept as %s before defaults are next saved.",
              m_path, why, m_damagedCopy);
    };
    struct stat st { };
    if (::stat(m_path.c_str(), &st) != 0) {
        if (errno != ENOENT) damaged(FileSupport::errnoText(errno));
        return;  // no file yet: nothing stored
    }
    if (S_ISDIR(st.st_mode)) return damaged("a directory is in its place");
    std::vector<uint8_t> bytes;
    if (int error = FileSupport::readFile(m_path, bytes)) return damaged(FileSupport::errnoText(error));
    Ref<NSError> error;
    Id root = NSPropertyListSerialization::propertyListWithData(NSData::dataWithVector(std::move(bytes)),
                                                                NSPropertyListImmutable, nullptr, &error);
    if (!root) return damaged(error->localizedDescription()->UTF8String());
    auto dictionary = dynamic_ref_cast<NSDictionary>(root);
    if (!dictionary) return damaged("its root is not a dictionary");
    m_application = NSMutableDictionary::dictionaryWithDictionary(dictionary);
}

bool NSUserDefaults::moveDamagedFileAsideLocked()
{
    const std::string file = fileBehindLinks(m_path);
    // Still the name announced at load, unless something took it since.
    const std::string target =
        ::access(m_damagedCopy.c_str(), F_OK) == 0 ? FileSupport::damagedCopyName(file) : m_damagedCopy;
    if (::rename(file.c_str(), target.c_str()) != 0 && errno != ENOENT) {
        // Writing now would destroy what the user had; keep trying later.
        if (!m_loggedWriteFailure)
            NSLog("NSUserDefaults: cannot keep the damaged defaults file %s as %s (%s); defaults are not saved.",
                  m_path, target, FileSupport::errnoText(errno));
        m_loggedWriteFailure = true;
        return false;
    }
    m_damagedCopy.clear();
    return true;
}

bool NSUserDefaults::writeLocked()
{
    if (!m_damagedCopy.empty() && !moveDamagedFileAsideLocked()) return false;
    auto data =
        NSPropertyListSerialization::dataWithPropertyList(m_application, NSPropertyListXMLFormat_v1_0, 0, nullptr);
    if (!data) return false;  // values are checked when set, so this does not happen
    const std::string file = fileBehindLinks(m_path);
    int error = FileSupport::makeDirectories(FileSupport::deletingLastComponent(file), 0700);
    if (!error) error = FileSupport::writeAtomically(file, data->bytes(), data->length(), 0600);
    if (error) {
        // One line per run of failures, not one per run-loop turn.
        if (!m_loggedWriteFailure)
            NSLog("NSUserDefaults: cannot write the defaults file %s (%s).", m_path, FileSupport::errnoText(error));
        m_loggedWriteFailure = true;
        return false;
    }
    m_loggedWriteFailure = false;
    m_dirty = false;
    return true;
}

bool NSUserDefaults::synchronize()
{
    std::lock_guard guard(m_lock);
    if (!m_dirty) return true;
    return writeLocked();
}

bool NSUserDefaults::hasUnsavedChanges() const
{
    std::lock_guard guard(m_lock);
    return m_dirty;
}

void NSUserDefaults::registerDefaults(const Ref<NSDictionary>& registrationDictionary)
{
    if (!registrationDictionary) return;
    std::lock_guard guard(m_lock);
    m_registration->addEntriesFromDictionary(registrationDictionary);
}

Id NSUserDefaults::objectForKey(const Ref<NSString>& key) const
{
    if (!key) return nullptr;
    std::lock_guard guard(m_lock);
    if (Id value = m_application->objectForKey(key)) return value;
    if (m_global)
        if (Id value = m_global->objectForKey(key)) return value;
    return m_registration->objectForKey(key);
}

Ref<NSString> NSUserDefaults::stringForKey(const Ref<NSString>& key) const
{
    Id value = objectForKey(key);
    if (auto s = dynamic_ref_cast<NSString>(value)) return s;
    if (auto n = dynamic_ref_cast<NSNumber>(value)) return n->stringValue();
    return nullptr;
}

Ref<NSArray> NSUserDefaults::arrayForKey(const Ref<NSString>& key) const
{
    return dynamic_ref_cast<NSArray>(objectForKey(key));
}

Ref<NSDictionary> NSUserDefaults::dictionaryForKey(const Ref<NSString>& key) const
{
    return dynamic_ref_cast<NSDictionary>(objectForKey(key));
}

Ref<NSData> NSUserDefaults::dataForKey(const Ref<NSString>& key) const
{
    return dynamic_ref_cast<NSData>(objectForKey(key));
}

NSInteger NSUserDefaults::integerForKey(const Ref<NSString>& key) const { return NSUnboxInteger(objectForKey(key)); }

bool NSUserDefaults::boolForKey(const Ref<NSString>& key) const { return UnboxBool(objectForKey(key)); }

float NSUserDefaults::floatForKey(const Ref<NSString>& key) const { return UnboxFloat(objectForKey(key)); }

double NSUserDefaults::doubleForKey(const Ref<NSString>& key) const { return UnboxDouble(objectForKey(key)); }

void NSUserDefaults::setObject(const Id& value, const Ref<NSString>& key)
{
    if (!key)
        NSException::raise(NSInvalidArgumentException, "-[NSUserDefaults setObject:forKey:]: attempt to use a nil key");
    if (!value) return removeObjectForKey(key);
    if (!NSPropertyListSerialization::propertyListIsValidForFormat(value, NSPropertyListXMLFormat_v1_0))
        NSException::raise(NSInvalidArgumentException, "Attempt to insert non-property list object " +
                                                           value->description()->UTF8String() + " for key " +
                                                           key->UTF8String());
    Id stored = immutableCopy(value);
    {
        std::lock_guard guard(m_lock);
        if (samePropertyList(m_application->objectForKey(key), stored)) return;  // nothing changed
    }
    notifyWillChange(key);
    {
        std::lock_guard guard(m_lock);
        m_application->setObject(stored, key);
        m_dirty = true;
    }
    flushAtTheEndOfEachTurn();
    notifyDidChange(key);
}

void NSUserDefaults::setInteger(NSInteger value, const Ref<NSString>& key)
{
    setObject(NSNumber::numberWithInteger(value), key);
}
void NSUserDefaults::setBool(bool value, const Ref<NSString>& key) { setObject(NSNumber::numberWithBool(value), key); }
void NSUserDefaults::setFloat(float value, const Ref<NSString>& key)
{
    setObject(NSNumber::numberWithFloat(value), key);
}
void NSUserDefaults::setDouble(double value, const Ref<NSString>& key)
{
    setObject(NSNumber::numberWithDouble(value), key);
}

void NSUserDefaults::removeObjectForKey(const Ref<NSString>& key)
{
    if (!key) return;
    {
        std::lock_guard guard(m_lock);
        if (!m_application->objectForKey(key)) return;
    }
    notifyWillChange(key);
    {
        std::lock_guard guard(m_lock);
        m_application->removeObjectForKey(key);
        m_dirty = true;
    }
    flushAtTheEndOfEachTurn();
    notifyDidChange(key);
}

Ref<NSDictionary> NSUserDefaults::dictionaryRepresentation() const
{
    std::lock_guard guard(m_lock);
    auto merged = NSMutableDictionary::dictionaryWithDictionary(m_registration);
    merged->addEntriesFromDictionary(m_application);
    return NSDictionary::dictionaryWithDictionary(merged);
}

Ref<NSDictionary> NSUserDefaults::persistentDomain() const
{
    std::lock_guard guard(m_lock);
    return NSDictionary::dictionaryWithDictionary(m_application);
}

Ref<NSDictionary> NSUserDefaults::persistentDomainForName(const Ref<NSString>& domainName) const
{
    if (!domainName) return nullptr;
    if (m_global && domainName->isEqualToString(NSGlobalDomain)) return m_global->persistentDomain();
    if (m_name && domainName->isEqualToString(m_name)) return persistentDomain();
    return nullptr;
}

void NSUserDefaults::setPersistentDomain(const Ref<NSDictionary>& domain, const Ref<NSString>& domainName)
{
    if (!domain || !domainName)
        NSException::raise(NSInvalidArgumentException, "-[NSUserDefaults setPersistentDomain:forName:]: nil argument");
    if (!NSPropertyListSerialization::propertyListIsValidForFormat(domain, NSPropertyListXMLFormat_v1_0))
        NSException::raise(NSInvalidArgumentException,
                           "Attempt to set a non-property-list domain " + domainName->UTF8String());
    if (m_global && domainName->isEqualToString(NSGlobalDomain)) {
        m_global->replaceDomain(domain);
        return;
    }
    if (m_name && domainName->isEqualToString(m_name)) replaceDomain(domain);
}

// Every key whose value differs is announced; the whole domain is stored.
void NSUserDefaults::replaceDomain(const Ref<NSDictionary>& domain)
{
    auto stored = dynamic_ref_cast<NSDictionary>(immutableCopy(domain));
    std::vector<Ref<NSString>> changed;
    {
        std::lock_guard guard(m_lock);
        for (const auto& [k, v] : stored->entries())
            if (!samePropertyList(m_application->objectForKey(k), v)) changed.push_back(dynamic_ref_cast<NSString>(k));
        for (const auto& [k, v] : m_application->entries())
            if (!stored->objectForKey(k)) changed.push_back(dynamic_ref_cast<NSString>(k));
    }
    if (changed.empty()) return;
    for (const auto& k : changed)
        if (k) notifyWillChange(k);
    {
        std::lock_guard guard(m_lock);
        m_application = NSMutableDictionary::dictionaryWithDictionary(stored);
        m_dirty = true;
    }
    flushAtTheEndOfEachTurn();
    for (const auto& k : changed)
        if (k) notifyDidChange(k);
}

Id NSUserDefaults::valueForKey(const Ref<NSString>& key) { return objectForKey(key); }
void NSUserDefaults::setValueForKey(const Id& value, const Ref<NSString>& key) { setObject(value, key); }

void NSUserDefaults::addChangeListener(NSObject* listener)
{
    std::lock_guard guard(m_lock);
    m_listeners.emplace_back(listener);
}

void NSUserDefaults::notifyWillChange(const Ref<NSString>& key)
{
    willChangeValueForKey(key);
    std::vector<Weak<NSObject>> listeners;
    {
        std::lock_guard guard(m_lock);
        listeners = m_listeners;
    }
    for (const auto& w : listeners)
        if (auto l = w.get()) l->willChangeValueForKey(key);
}

void NSUserDefaults::notifyDidChange(const Ref<NSString>& key)
{
    didChangeValueForKey(key);
    std::vector<Weak<NSObject>> listeners;
    {
        std::lock_guard guard(m_lock);
        listeners = m_listeners;
    }
    for (const auto& w : listeners)
        if (auto l = w.get()) l->didChangeValueForKey(key);
    // Domains by name (the standard defaults, suites, the global domain) are
    // the ones others watch; defaults of a private file stay quiet.
    if (m_name)
        NSNotificationCenter::defaultCenter()->postNotificationName(
            NSString::stringWithUTF8String(NSUserDefaultsDidChangeNotification), this);
}
