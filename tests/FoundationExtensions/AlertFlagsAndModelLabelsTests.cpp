// Per-alert suppression flags in the user defaults, and the localized names,
// labels and placeholders of a managed-object model.
#include <gtest/gtest.h>

#include <string>

#include "Foundation/NSNumber.h"
#include "FoundationExtensions/NSManagedObjectModel+ZAKExtensions.h"
#include "FoundationExtensions/NSUserDefaults+ZAKAppKitSuppressAlertsAndWarnings.h"
#include "TemporaryFolder.h"

namespace {

std::string text(const Id& value) { return value ? value->description()->UTF8String() : "nil"; }

class AlertFlags : public testing::Test {
protected:
    void SetUp() override { NSUserDefaults::resetStandardUserDefaults(); }
    void TearDown() override { NSUserDefaults::resetStandardUserDefaults(); }
    // The stored defaults as a fresh process reads them.
    Ref<NSUserDefaults> reread()
    {
        NSUserDefaults::resetStandardUserDefaults();
        return NSUserDefaults::standardUserDefaults();
    }
    TemporaryFolder m_config;
    ScopedEnvironment m_environment{"XDG_CONFIG_HOME", m_config.path()};
};

}

TEST_F(AlertFlags, RememberEachIdentifierAndResetAll)
{
    auto defaults = NSUserDefaults::standardUserDefaults();
    EXPECT_TRUE(NSUserDefaultsExt::shouldShowAlertWithIdentifier(defaults, "A"_ns));
    EXPECT_TRUE(NSUserDefaultsExt::shouldShowAlertWithIdentifier(defaults, nullptr));

    NSUserDefaultsExt::setShowState(defaults, false, "A"_ns);
    NSUserDefaultsExt::setShowState(defaults, false, "B"_ns);
    NSUserDefaultsExt::setShowState(defaults, true, "B"_ns);
    EXPECT_FALSE(NSUserDefaultsExt::shouldShowAlertWithIdentifier(defaults, "A"_ns));
    EXPECT_TRUE(NSUserDefaultsExt::shouldShowAlertWithIdentifier(defaults, "B"_ns));
    EXPECT_TRUE(NSUserDefaultsExt::shouldShowAlertWithIdentifier(defaults, "C"_ns));

    // The whole dictionary is stored and survives a new process.
    ASSERT_TRUE(defaults->synchronize());
    defaults = reread();
    Ref<NSDictionary> stored = defaults->dictionaryForKey("HSKAppKitSuppressedAlertsIdentifierDictionary"_ns);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->count(), 2u);
    EXPECT_EQ(text(stored->objectForKey("A"_ns)), "0");
    EXPECT_EQ(text(stored->objectForKey("B"_ns)), "1");
    EXPECT_FALSE(NSUserDefaultsExt::shouldShowAlertWithIdentifier(defaults, "A"_ns));

    NSUserDefaultsExt::resetAlertsAndWarnings(defaults);
    EXPECT_TRUE(NSUserDefaultsExt::shouldShowAlertWithIdentifier(defaults, "A"_ns));
    ASSERT_TRUE(defaults->synchronize());
    stored = reread()->dictionaryForKey("HSKAppKitSuppressedAlertsIdentifierDictionary"_ns);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->count(), 0u);
}

TEST_F(AlertFlags, ReadFlagsStoredAsNumbersOrText)
{
    auto defaults = NSUserDefaults::standardUserDefaults();
    defaults->setObject(NSDictionary::dictionaryWithEntries({{"number"_ns, NSNumber::numberWithInt(0)},
                                                             {"text"_ns, "NO"_ns},
                                                             {"yes"_ns, "YES"_ns},
                                                             {"other"_ns, NSDictionary::dictionary()}}),
                        NSUserDefaultsExt::suppressedAlertsKey());
    EXPECT_FALSE(NSUserDefaultsExt::shouldShowAlertWithIdentifier(defaults, "number"_ns));
    EXPECT_FALSE(NSUserDefaultsExt::shouldShowAlertWithIdentifier(defaults, "text"_ns));
    EXPECT_TRUE(NSUserDefaultsExt::shouldShowAlertWithIdentifier(defaults, "yes"_ns));
    EXPECT_TRUE(NSUserDefaultsExt::shouldShowAlertWithIdentifier(defaults, "other"_ns));
    // Another kind of value under the key acts as no dictionary.
    defaults->setObject("garbage"_ns, NSUserDefaultsExt::suppressedAlertsKey());
    EXPECT_TRUE(NSUserDefaultsExt::shouldShowAlertWithIdentifier(defaults, "number"_ns));
    NSUserDefaultsExt::setShowState(defaults, false, "number"_ns);
    EXPECT_FALSE(NSUserDefaultsExt::shouldShowAlertWithIdentifier(defaults, "number"_ns));
}

TEST(ModelLabels, LookUpEntitySpecificThenGeneralThenFallBack)
{
    auto person = NSEntityDescription::entityWithName("Person"_ns);
    auto pet = NSEntityDescription::entityWithName("Pet"_ns);
    auto model = NSManagedObjectModel::make<NSManagedObjectModel>();
    model->setEntities(NSArray::arrayWithObjects({person, pet}));
    EXPECT_EQ(person->managedObjectModel(), Id(model));
    EXPECT_EQ(model->entityNamed("Pet"_ns), Id(pet));

    model->setLocalizationDictionary(NSDictionary::dictionaryWithEntries({
        {"Entity/Person"_ns, "Human"_ns},
        {"Property/name/Entity/Person"_ns, "Full name"_ns},
        {"Property/name"_ns, "Name"_ns},
        {"Property/age"_ns, "Age"_ns},
        {"Label/Property/name/Entity/Person"_ns, "Called"_ns},
        {"Label/Property/name"_ns, "Name label"_ns},
        {"Label/Property/empty"_ns, ""_ns},
        {"Placeholder/Property/age"_ns, "years"_ns},
        {"Placeholder/Property/age/Entity/Pet"_ns, "dog years"_ns},
    }));

    struct Case {
        const char* property;
        Ref<NSEntityDescription> entity;
        const char* name;
        const char* label;
        const char* placeholder;
    };
    const Case cases[] = {
        {"name", person, "Full name", "Called:", "Full name"},
        {"name", pet, "Name", "Name label:", "Name"},
        {"age", person, "Age", "Age:", "years"},
        {"age", pet, "Age", "Age:", "dog years"},
        {"empty", person, "missing localization", ":", "missing localization"},
        {"weight", pet, "missing localization", "missing localization:", "missing localization"},
    };
    for (const Case& c : cases) {
        auto property = NSString::stringWithUTF8String(c.property);
        SCOPED_TRACE(std::string(c.property) + " of " + text(c.entity->name()));
        EXPECT_EQ(text(NSManagedObjectModelExt::localizedPropertyNameForPropertyName(model, property, c.entity)),
                  c.name);
        EXPECT_EQ(text(NSManagedObjectModelExt::localizedLabelForPropertyName(model, property, c.entity)), c.label);
        EXPECT_EQ(text(NSManagedObjectModelExt::localizedPlaceholderForPropertyName(model, property, c.entity)),
                  c.placeholder);
    }
    EXPECT_EQ(text(NSManagedObjectModelExt::localizedEntityNameOfEntity(model, person)), "Human");
    EXPECT_EQ(text(NSManagedObjectModelExt::localizedEntityNameOfEntity(model, pet)), "missing localization");
}

TEST(ModelLabels, AModelWithoutDictionaryAnswersTheFallbacks)
{
    auto entity = NSEntityDescription::entityWithName("Thing"_ns);
    auto model = NSManagedObjectModel::make<NSManagedObjectModel>();
    EXPECT_EQ(model->localizationDictionary(), nullptr);
    EXPECT_EQ(text(NSManagedObjectModelExt::localizedEntityNameOfEntity(model, entity)), "missing localization");
    EXPECT_EQ(text(NSManagedObjectModelExt::localizedLabelForPropertyName(model, "x"_ns, entity)),
              "missing localization:");
    EXPECT_EQ(text(NSManagedObjectModelExt::localizedPlaceholderForPropertyName(model, "x"_ns, entity)),
              "missing localization");
}
