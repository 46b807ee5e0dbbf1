#include "FixturePane.h"

// A pane that cannot be made.
class NilInitPrefPane : public FixturePaneBase<NilInitPrefPane> {
    NS_OBJECT(NilInitPrefPane, NSObject)
protected:
    NilInitPrefPane() = default;

public:
    Id initWithBundle(const Ref<NSBundle>&) override { return nullptr; }
};
NS_CLASS_DEFINE(NilInitPrefPane)
