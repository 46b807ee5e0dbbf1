#include <gtest/gtest.h>

#include "Foundation/NSArray.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSException.h"
#include "Foundation/NSKeyValueBinding.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSString.h"
#include "Foundation/NSValueTransformer.h"

namespace {

class BindModel : public NSObject {
    NS_OBJECT(BindModel, NSObject)
public:
    static inline int alive = 0;
    BindModel() { ++alive; }
    ~BindModel() override { --alive; }
    static void describeClass(NSClassMembers<BindModel>& m)
    {
        m.property("active", &BindModel::active, &BindModel::setActive);
        m.property("title", &BindModel::title, &BindModel::setTitle);
        m.property("selection", &BindModel::selection, &BindModel::setSelection);
        m.property("child", &BindModel::child, &BindModel::setChild);
    }
    bool active() const { return m_active; }
    void setActive(bool v) { m_active = v; }
    Ref<NSString> title() const { return m_title; }
    void setTitle(const Ref<NSString>& v) { m_title = v; }
    Id selection() const { return m_selection; }
    void setSelection(const Id& v) { m_selection = v; }
    Ref<BindModel> child() const { return m_child; }
    void setChild(const Ref<BindModel>& v) { m_child = v; }

private:
    bool m_active = false;
    Ref<NSString> m_title;
    Id m_selection;
    Ref<BindModel> m_child;
};
NS_CLASS_DEFINE(BindModel)

class BindControl : public NSObject {
    NS_OBJECT(BindControl, NSObject)
protected:
    BindControl() = default;

public:
    static void initialize()
    {
        exposeBinding<BindControl>("hidden"_ns);
        exposeBinding<BindControl>("value"_ns);
    }
    static void describeClass(NSClassMembers<BindControl>& m)
    {
        m.property("hidden", &BindControl::hidden, &BindControl::setHidden);
        m.property("value", &BindControl::value, &BindControl::setValue);
    }
    bool hidden() const { return m_hidden; }
    void setHidden(bool v)
    {
        m_hidden = v;
        ++hiddenWrites;
    }
    Id value() const { return m_value; }
    void setValue(const Id& v) { m_value = v; }
    int hiddenWrites = 0;

private:
    bool m_hidden = false;
    Id m_value;
};
NS_CLASS_DEFINE(BindControl)

// A subclass that adds a binding and overrides bind to record it.
class BindButton : public BindControl {
    NS_OBJECT(BindButton, BindControl)
protected:
    BindButton() = default;

public:
    static void initialize() { exposeBinding<BindButton>("enabled"_ns); }
    void bind(const Ref<NSString>& binding, const Id& observable, const Ref<NSString>& keyPath,
              const Ref<NSDictionary>& options) override
    {
        bound.push_back(binding->UTF8String());
        BindControl::bind(binding, observable, keyPath, options);
    }
    std::vector<std::string> bound;
};
NS_CLASS_DEFINE(BindButton)

// Doubles numbers; its reverse halves them.
class DoublingTransformer : public NSValueTransformer {
    NS_OBJECT(DoublingTransformer, NSValueTransformer)
protected:
    DoublingTransformer() = default;

public:
    Id transformedValue(const Id& v) override
    {
        return v ? NSNumber::numberWithInteger(NSUnboxInteger(v) * 2) : nullptr;
    }
    Id reverseTransformedValue(const Id& v) override
    {
        return v ? NSNumber::numberWithInteger(NSUnboxInteger(v) / 2) : nullptr;
    }
};
NS_CLASS_DEFINE(DoublingTransformer)

std::string text(const Id& value) { return value ? value->description()->UTF8String() : "nil"; }

std::vector<std::string> strings(const Ref<NSArray>& array)
{
    std::vector<std::string> out;
    for (const Id& e : *array) out.push_back(text(e));
    return out;
}

}

TEST(ValueTransformer, BuiltInsAndTheRegistry)
{
    auto negate = NSValueTransformer::valueTransformerForName(NSNegateBooleanTransformerName);
    auto notNil = NSValueTransformer::valueTransformerForName("NSIsNotNil"_ns);
    ASSERT_TRUE(negate);
    ASSERT_TRUE(notNil);
    struct Case {
        Ref<NSValueTransformer> transformer;
        Id input;
        bool expected;
    } cases[] = {
        {negate, NSNumber::numberWithBool(true), false},
        {negate, NSNumber::numberWithBool(false), true},
        {negate, NSNumber::numberWithInt(5), false},
        {negate, nullptr, true},
        {notNil, "x"_ns, true},
        {notNil, NSNumber::numberWithBool(false), true},
        {notNil, nullptr, false},
    };
    for (const auto& c : cases) {
        auto result = dynamic_ref_cast<NSNumber>(c.transformer->transformedValue(c.input));
        ASSERT_TRUE(result) << text(c.input);
        EXPECT_EQ(result->boolValue(), c.expected) << text(c.input);
    }
    EXPECT_TRUE(negate->allowsReverseTransformation());
    EXPECT_FALSE(
        dynamic_ref_cast<NSNumber>(negate->reverseTransformedValue(NSNumber::numberWithBool(true)))->boolValue());
    EXPECT_FALSE(notNil->allowsReverseTransformation());
    EXPECT_THROW(notNil->reverseTransformedValue("x"_ns), NSException);
    EXPECT_EQ(&notNil->transformedValueClass(), &NSNumber::staticClass());

    EXPECT_FALSE(NSValueTransformer::valueTransformerForName("NoSuchTransformer"_ns));
    // A transformer class is found by name and then stays registered.
    auto byClass = NSValueTransformer::valueTransformerForName("DoublingTransformer"_ns);
    ASSERT_TRUE(byClass);
    EXPECT_EQ(NSValueTransformer::valueTransformerForName("DoublingTransformer"_ns).get(), byClass.get());
    auto custom = NSObject::make<DoublingTransformer>();
    NSValueTransformer::setValueTransformer(custom, "Twice"_ns);
    EXPECT_EQ(NSValueTransformer::valueTransformerForName("Twice"_ns).get(), custom.get());
    NSValueTransformer::setValueTransformer(nullptr, "Twice"_ns);
    EXPECT_FALSE(NSValueTransformer::valueTransformerForName("Twice"_ns));
}

TEST(Binding, ModelValuesReachTheBoundObjectThroughTheTransformer)
{
    auto model = NSObject::make<BindModel>();
    auto control = NSObject::make<BindControl>();
    auto options =
        NSDictionary::dictionaryWithEntries({{NSValueTransformerNameBindingOption, NSNegateBooleanTransformerName}});
    control->bind("hidden"_ns, model, "active"_ns, options);
    EXPECT_TRUE(control->hidden());  // applied on bind: not active, so hidden
    model->setValueForKey(NSNumber::numberWithBool(true), "active"_ns);
    EXPECT_FALSE(control->hidden());
    model->setValueForKey(NSNumber::numberWithBool(false), "active"_ns);
    EXPECT_TRUE(control->hidden());

    auto info = control->infoForBinding("hidden"_ns);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->objectForKey(NSObservedObjectKey).get(), model.get());
    EXPECT_EQ(text(info->objectForKey(NSObservedKeyPathKey)), "active");
    auto storedOptions = dynamic_ref_cast<NSDictionary>(info->objectForKey(NSOptionsKey));
    ASSERT_TRUE(storedOptions);
    EXPECT_EQ(text(storedOptions->objectForKey(NSValueTransformerNameBindingOption)), "NSNegateBoolean");
    EXPECT_FALSE(control->infoForBinding("value"_ns));

    // View to model is explicit: through the binding's information.
    control->setHidden(false);
    auto transformer = NSValueTransformer::valueTransformerForName(NSNegateBooleanTransformerName);
    dynamic_ref_cast<NSObject>(info->objectForKey(NSObservedObjectKey))
        ->setValueForKeyPath(transformer->reverseTransformedValue(NSNumber::numberWithBool(control->hidden())),
                             dynamic_ref_cast<NSString>(info->objectForKey(NSObservedKeyPathKey)));
    EXPECT_TRUE(model->active());

    control->unbind("hidden"_ns);
    EXPECT_FALSE(control->infoForBinding("hidden"_ns));
    int writes = control->hiddenWrites;
    model->setValueForKey(NSNumber::numberWithBool(false), "active"_ns);
    EXPECT_EQ(control->hiddenWrites, writes);
    control->unbind("hidden"_ns);  // unbinding twice is harmless
}

TEST(Binding, TransformerObjectKeyPathAndRebinding)
{
    auto model = NSObject::make<BindModel>();
    auto inner = NSObject::make<BindModel>();
    inner->setTitle("first"_ns);
    model->setChild(inner);
    auto control = NSObject::make<BindControl>();
    control->bind("value"_ns, model, "child.title"_ns, nullptr);
    EXPECT_EQ(text(control->value()), "first");
    auto replacement = NSObject::make<BindModel>();
    replacement->setTitle("second"_ns);
    model->setValueForKey(replacement, "child"_ns);
    EXPECT_EQ(text(control->value()), "second");
    inner->setValueForKey("stale"_ns, "title"_ns);
    EXPECT_EQ(text(control->value()), "second");

    // Binding the same name again replaces the first binding.
    auto other = NSObject::make<BindModel>();
    other->setSelection(NSNumber::numberWithInt(21));
    auto options =
        NSDictionary::dictionaryWithEntries({{NSValueTransformerBindingOption, NSObject::make<DoublingTransformer>()}});
    control->bind("value"_ns, other, "selection"_ns, options);
    EXPECT_EQ(text(control->value()), "42");
    replacement->setValueForKey("ignored"_ns, "title"_ns);
    EXPECT_EQ(text(control->value()), "42");
    control->unbind("value"_ns);

    auto missing = NSDictionary::dictionaryWithEntries({{NSValueTransformerNameBindingOption, "NoSuchTransformer"_ns}});
    EXPECT_THROW(control->bind("value"_ns, model, "title"_ns, missing), NSException);
    EXPECT_FALSE(control->infoForBinding("value"_ns));
}

TEST(Binding, MarkersBecomePlaceholdersOrNil)
{
    auto model = NSObject::make<BindModel>();
    auto control = NSObject::make<BindControl>();
    auto options =
        NSDictionary::dictionaryWithEntries({{NSMultipleValuesPlaceholderBindingOption, "Multiple Values"_ns}});
    control->bind("value"_ns, model, "selection"_ns, options);
    control->bind("hidden"_ns, model, "selection"_ns, nullptr);
    struct Case {
        Id selection;
        std::string value;
        bool hidden;
    } cases[] = {
        {NSMultipleValuesMarker, "Multiple Values", false},
        {NSNumber::numberWithBool(true), "1", true},
        {NSNoSelectionMarker, "nil", false},
        {NSNumber::numberWithBool(true), "1", true},
        {NSNotApplicableMarker, "nil", false},
    };
    for (const auto& c : cases) {
        model->setValueForKey(c.selection, "selection"_ns);
        EXPECT_EQ(text(control->value()), c.value) << text(c.selection);
        EXPECT_EQ(control->hidden(), c.hidden) << text(c.selection);
    }
    EXPECT_TRUE(NSIsControllerMarker(NSNoSelectionMarker));
    EXPECT_FALSE(NSIsControllerMarker("NSNoSelectionMarker"_ns));
    control->unbind("value"_ns);
    control->unbind("hidden"_ns);
}

TEST(Binding, ExposedBindingsAndOverridableBind)
{
    auto button = NSObject::make<BindButton>();
    EXPECT_EQ(strings(button->exposedBindings()), (std::vector<std::string>{"hidden", "value", "enabled"}));
    EXPECT_EQ(strings(NSObject::make<BindControl>()->exposedBindings()), (std::vector<std::string>{"hidden", "value"}));
    EXPECT_EQ(button->valueClassForBinding("value"_ns), nullptr);

    auto model = NSObject::make<BindModel>();
    button->bind("value"_ns, model, "title"_ns, nullptr);
    EXPECT_EQ(button->bound, (std::vector<std::string>{"value"}));
    button->unbind("value"_ns);
}

TEST(Binding, LifetimesFollowThePlatform)
{
    BindModel::alive = 0;
    Weak<BindModel> weakModel;
    auto control = NSObject::make<BindControl>();
    {
        auto model = NSObject::make<BindModel>();
        weakModel = model;
        control->bind("value"_ns, model, "title"_ns, nullptr);
    }
    // The binding information keeps the observed object.
    ASSERT_TRUE(weakModel.get());
    control->unbind("value"_ns);
    EXPECT_FALSE(weakModel.get());

    // A dying bound object ends its bindings and lets the observed object go.
    {
        auto model = NSObject::make<BindModel>();
        weakModel = model;
        auto doomed = NSObject::make<BindControl>();
        doomed->bind("value"_ns, model, "title"_ns, nullptr);
    }
    EXPECT_FALSE(weakModel.get());

    // An object bound to itself can still die.
    Weak<BindModel> weakSelf;
    {
        auto model = NSObject::make<BindModel>();
        weakSelf = model;
        model->setActive(true);
        model->bind("selection"_ns, model, "active"_ns, nullptr);
        EXPECT_EQ(text(model->selection()), "1");
        model->setValueForKey(NSNumber::numberWithBool(false), "active"_ns);
        EXPECT_EQ(text(model->selection()), "0");
    }
    EXPECT_FALSE(weakSelf.get());
    EXPECT_EQ(BindModel::alive, 0);
}
