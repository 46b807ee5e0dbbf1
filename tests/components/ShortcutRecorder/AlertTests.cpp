// The alert shown for a refused combination. (Apart from the menu tests:
// the menu and cell headers cannot meet in one file yet.)
#include "Carbon/SymbolicHotKeys.h"
#include "RecorderFixture.h"
#include "ShortcutRecorder/KRValidator.h"
#include "ShortcutRecorder/NSAlertKRAdditions.h"

TEST_F(RecorderTest, ASystemShortcutRefusalBecomesACriticalAlertText)
{
    SymbolicHotKeys::setEntries({{17, 0x1000, true}});
    auto validator = NSObject::alloc<KRValidator>()->initWithDelegate(nullptr);
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
