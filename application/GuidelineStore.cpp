#include "GuidelineStore.h"

#include "Foundation/FileSupport.h"
#include "Foundation/NSClass.h"

#include "AppNotifications.h"
#include "AppText.h"
#include "Foundation/NSArchiver.h"
#include "Foundation/NSException.h"
#include "Foundation/NSLog.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSUnarchiver.h"
#include "Foundation/NSUserDefaults.h"

NS_CLASS_DEFINE(GuidelineStore)

namespace {
Ref<GuidelineStore>& sharedStore()
{
    static auto* store = new Ref<GuidelineStore>;
    return *store;
}
}  // namespace

Ref<GuidelineStore> GuidelineStore::getSharedGuidelineStore()
{
    if (!sharedStore()) make<GuidelineStore>();
    return sharedStore();
}

void GuidelineStore::resetShared() { sharedStore() = nullptr; }

Id GuidelineStore::init()
{
    if (sharedStore()) return sharedStore();
    m_sets = NSMutableArray::array();
    m_idxCSet = 0;
    sharedStore() = this;
    return this;
}

void GuidelineStore::setDefaultData()
{
    m_sets = NSMutableArray::array();
    m_sets->addObject(GuidelineSet::create(AppText::text("LSDefaultGuideSet")));
    m_idxCSet = 0;
}

Ref<NSData> GuidelineStore::guidelineSetsAsNSData() const { return NSArchiver::archivedDataWithRootObject(m_sets); }

Ref<NSMutableArray> GuidelineStore::setsFromData(const Ref<NSData>& data, std::string* problem)
{
    if (!data) {
        if (problem) *problem = "no data";
        return nullptr;
    }
    NSClassList allowed = NSCoder::propertyListClasses();
    allowed.push_back(&GuidelineSet::staticClass());
    allowed.push_back(&Guidelines::staticClass());
    try {
        auto root = dynamic_ref_cast<NSArray>(NSUnarchiver::unarchiveObjectWithData(data, allowed));
        if (!root) {
            if (problem) *problem = "the archive does not hold a list";
            return nullptr;
        }
        auto sets = NSMutableArray::array();
        for (const Id& object : *root) {
            if (!dynamic_ref_cast<GuidelineSet>(object)) {
                if (problem) *problem = "the list holds something that is not a guideline set";
                return nullptr;
            }
            sets->addObject(object);
        }
        return sets;
    } catch (const NSException& e) {
        if (problem) *problem = e.reason() ? e.reason()->UTF8String() : e.name()->UTF8String();
        return nullptr;
    }
}

void GuidelineStore::loadDataFromPrefs()
{
    auto defaults = NSUserDefaults::standardUserDefaults();
    const Id stored = defaults->objectForKey("GuidelineSets"_ns);
    std::string problem;
    auto sets = setsFromData(dynamic_ref_cast<NSData>(stored), &problem);
    if (!sets || sets->count() == 0) {
        if (sets) problem = "the list is empty";
        NSLog("The stored guideline sets cannot be read (%s); starting with the default set", problem.c_str());
        keepDamagedData(stored);
        setDefaultData();
        // The default list replaces the damaged value at once, so a crash
        // before quitting does not meet the damage again.
        defaults->setObject(guidelineSetsAsNSData(), "GuidelineSets"_ns);
    } else {
        m_sets = sets;
    }
    const NSInteger index = defaults->integerForKey("CurrentGuidelineSet"_ns);
    if (index < 0 || index >= static_cast<NSInteger>(m_sets->count())) {
        NSLog("The stored current guideline set %d lies outside the %d sets; using the first", static_cast<int>(index),
              static_cast<int>(m_sets->count()));
        m_idxCSet = 0;
    } else {
        m_idxCSet = static_cast<int32_t>(index);
    }
}

// The damaged bytes go to a file of their own beside the defaults file, so
// that the quit-time save does not destroy what the user may want back.
void GuidelineStore::keepDamagedData(const Id& stored) const
{
    if (!stored) return;
    auto defaultsPath = NSUserDefaults::standardUserDefaults()->path();
    if (!defaultsPath) return;
    const std::string file = FileSupport::fsPath(defaultsPath);
    const std::string extension = FileSupport::extension(file);
    const std::string base =
        (extension.empty() ? file + "." : file.substr(0, file.size() - extension.size())) + "GuidelineSets";
    std::string bytes;
    if (auto data = dynamic_ref_cast<NSData>(stored)) {
        bytes.assign(reinterpret_cast<const char*>(data->bytes()), data->length());
    } else {
        auto text = stored->description();
        bytes = text ? text->UTF8String() : "";
    }
    std::string kept;
    if (const int error = FileSupport::keepDamagedBytes(base, bytes.data(), bytes.size(), kept))
        NSLog("The unreadable guideline sets could not be kept beside %s (%s)", file.c_str(),
              FileSupport::errnoText(error).c_str());
    else NSLog("The unreadable guideline sets were kept in %s", kept.c_str());
}

void GuidelineStore::saveDataToPrefs() const
{
    auto defaults = NSUserDefaults::standardUserDefaults();
    defaults->setObject(guidelineSetsAsNSData(), "GuidelineSets"_ns);
    defaults->setInteger(m_idxCSet, "CurrentGuidelineSet"_ns);
}

Ref<GuidelineSet> GuidelineStore::getSetAtIndex(int32_t index) const
{
    if (index < 0 || static_cast<NSUInteger>(index) >= m_sets->count()) return nullptr;
    return dynamic_ref_cast<GuidelineSet>(m_sets->objectAtIndex(static_cast<NSUInteger>(index)));
}

void GuidelineStore::activedSet(const Ref<GuidelineSet>& set)
{
    const NSUInteger index = m_sets->indexOfObjectIdenticalTo(set);
    if (index != NSNotFound) m_idxCSet = static_cast<int32_t>(index);
    NSNotificationCenter::defaultCenter()->postNotificationName(NSString::stringWithUTF8String(SetActivedNotification),
                                                                nullptr);
}

void GuidelineStore::addGuidelineSet(const Ref<GuidelineSet>& set)
{
    if (set) m_sets->addObject(set);
}

void GuidelineStore::removeGuidelineSet(const Ref<GuidelineSet>& set)
{
    if (m_sets->count() <= 1) return;
    if (m_sets->indexOfObjectIdenticalTo(set) == NSNotFound) return;
    Ref<GuidelineSet> current = getCurrentSet();
    m_sets->removeObjectIdenticalTo(set);
    if (current.get() == set.get()) current = getSetAtIndex(0);
    activedSet(current);
}
