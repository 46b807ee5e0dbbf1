#include "AppKit/NSMenu.h"
#include "AppKit/NSMenuItem.h"
#include "Carbon/SymbolicHotKeys.h"
#include "Foundation/NSClass.h"
#include "KeyRecorder/KRValidator.h"
#include "KeyRecorder/NSAlertKRAdditions.h"
#include "RecorderFixture.h"

namespace {

constexpr NSUInteger kCmd = 0x100, kShift = 0x200, kCtrl = 0x1000;

class Refuser : public NSObject, public KRValidatorDelegate {
    NS_OBJECT(Refuser, NSObject)
protected:
    Refuser() = default;

public:
    bool shortcutValidatorIsKeyCodeAndFlagsTakenReason(const Ref<KRValidator>&, int64_t keyCode, NSUInteger flags,
                                                       Ref<NSString>* reason) override
    {
        askedFlags = flags;
        if (keyCode != refused) return false;
        *reason = why;
        return true;
    }
    int64_t refused = -1;
    NSUInteger askedFlags = 0;
    Ref<NSString> why;
};
NS_CLASS_DEFINE(Refuser)

class ValidatorTest : public RecorderTest {
protected:
    void SetUp() override
    {
        RecorderTest::SetUp();
        SymbolicHotKeys::setEntries({});
        SymbolicHotKeys::setCopyFails(false);
        NSMenu::setMainMenu(nullptr);
    }
    Ref<KRValidator> validator = NSObject::alloc<KRValidator>()->initWithDelegate(nullptr);
};

}

TEST_F(ValidatorTest, NothingTakesAFreeCombination)
{
    Ref<NSError> error;
    EXPECT_FALSE(validator->isKeyCodeAndFlagsTaken(5, kCmd | kShift, &error));
    EXPECT_FALSE(error);
}

TEST_F(ValidatorTest, TheApplicationRefusesWithItsReason)
{
    auto refuser = NSObject::make<Refuser>();
    refuser->refused = 5;
    validator->setDelegate(refuser);
    const struct {
        Ref<NSString> why;
        const char* suggestion;
    } cases[] = {
        {nullptr, "The key combination \"Command + Shift + G\" can't be used because it's already used."},
        {""_ns, "The key combination \"Command + Shift + G\" can't be used because it's already used."},
        {"it opens the ruler"_ns,
         "The key combination \"Command + Shift + G\" can't be used because it opens the ruler."},
    };
    for (const auto& c : cases) {
        refuser->why = c.why;
        Ref<NSError> error;
        EXPECT_TRUE(validator->isKeyCodeAndFlagsTaken(5, kCmd | kShift, &error));
        ASSERT_TRUE(error);
        EXPECT_EQ(refuser->askedFlags, NSUInteger(0x120000));
        EXPECT_EQ(utf8(error->localizedDescription()), "The key combination \u21E7\u2318G can't be used!");
        EXPECT_EQ(utf8(error->localizedRecoverySuggestion()), c.suggestion);
        EXPECT_EQ(error->localizedRecoveryOptions()->count(), 1u);
    }
}

TEST_F(ValidatorTest, OnlyEnabledSystemShortcutsAreTaken)
{
    SymbolicHotKeys::setEntries({{5, kCmd | kShift, false}, {17, kCtrl | 0x10000, true}});
    Ref<NSError> error;
    EXPECT_FALSE(validator->isKeyCodeAndFlagsTaken(5, kCmd | kShift, &error));
    // Bits beyond the four modifiers are not compared.
    EXPECT_TRUE(validator->isKeyCodeAndFlagsTaken(17, kCtrl, &error));
    ASSERT_TRUE(error);
    EXPECT_EQ(utf8(error->localizedDescription()), "The key combination \u2303T can't be used!");
    EXPECT_FALSE(validator->isKeyCodeAndFlagsTaken(17, kCtrl | kShift, nullptr));
}

TEST_F(ValidatorTest, UnreadableSystemShortcutsRefuseWithAnExplanation)
{
    SymbolicHotKeys::setCopyFails(true);
    Ref<NSError> error;
    EXPECT_TRUE(validator->isKeyCodeAndFlagsTaken(5, kCmd, &error));
    ASSERT_TRUE(error);
    EXPECT_NE(utf8(error->localizedRecoverySuggestion()).find("could not be checked"), std::string::npos);
    EXPECT_TRUE(validator->isKeyCodeAndFlagsTaken(5, kCmd, nullptr));
}

TEST_F(ValidatorTest, MenuKeyEquivalentsAreFoundInNestedMenus)
{
    auto main = NSMenu::menuWithTitle("Main"_ns);
    auto file = NSMenu::menuWithTitle("File"_ns);
    auto recent = NSMenu::menuWithTitle("Recent"_ns);
    recent->addItemWithTitle("Quit"_ns, "terminate:", "q"_ns);  // command by default
    auto arrow = recent->addItemWithTitle("Up"_ns, "up:", NSString::stringWithUTF16(u"\uF700"));
    (void)arrow;
    file->addItemWithTitle("Recent"_ns, {}, ""_ns)->setSubmenu(recent);
    main->addItemWithTitle("File"_ns, {}, ""_ns)->setSubmenu(file);
    NSMenu::setMainMenu(main);

    const struct {
        int64_t code;
        NSUInteger flags;
        bool taken;
    } cases[] = {
        {12, kCmd, true},            // Q
        {12, kCmd | kShift, false},  // shift differs
        {12, 0, false},
        {126, kCmd, false},  // the up arrow's name is a glyph
        {0, kCmd, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(validator->isKeyCodeAndFlagsTaken(c.code, c.flags, nullptr), c.taken) << c.code;

    Ref<NSError> error;
    ASSERT_TRUE(validator->isKeyCodeAndFlagsTaken(12, kCmd, &error));
    EXPECT_EQ(utf8(error->localizedRecoverySuggestion()),
              "The key combination \"Command + Q\" can't be used because it's already used by the menu item \"Quit\".");
}

TEST_F(ValidatorTest, ASystemShortcutRefusalBecomesTheAlertText)
{
    SymbolicHotKeys::setEntries({{17, 0x1000, true}});
    Ref<NSError> error;
    ASSERT_TRUE(validator->isKeyCodeAndFlagsTaken(17, 0x1000, &error));
    const Ref<NSAlert> alert = NSAlertExt::alertWithNonRecoverableError(error);
    EXPECT_EQ(utf8(alert->messageText()), "The key combination \u2303T can't be used!");
    EXPECT_EQ(utf8(alert->informativeText()),
              "The key combination \"Control + T\" can't be used because it's already used by a system-wide keyboard "
              "shortcut. (If you really want to use this key combination, most shortcuts can be changed in the "
              "keyboard shortcut settings of your desktop.)");
    ASSERT_EQ(alert->buttons().size(), 1u);
    EXPECT_EQ(utf8(alert->buttons()[0]->title()), "OK");

    const Ref<NSAlert> plain = NSAlertExt::alertWithNonRecoverableError(nullptr);
    ASSERT_EQ(plain->buttons().size(), 1u);
    EXPECT_EQ(utf8(plain->buttons()[0]->title()), "OK");
}
