#pragma once
// The model of one scope bar group: identifier, label, selection style and
// selection, display options and placeholders, and the access to its
// objects, which come from its "content" binding or from the bar's data
// source. It posts the selection-change notification, keeps a bound array
// controller's selection in step with its own, and asks its bar to reload
// it whenever its appearance changes.
#include <limits>

#include "Foundation/NSAttributedString.h"
#include "Foundation/NSCoding.h"
#include "Foundation/NSIndexSet.h"
#include "KRScopeBar/KRScopeBarDelegate.h"

class KRScopeBarGroup : public NSObject, public NSCoding {
    NS_OBJECT(KRScopeBarGroup, NSObject)
public:
    KRScopeBarGroup() = default;

    enum SelectionStyle : int32_t { SingleSelection = 0, MultipleSelection = 1 };
    // What numberOfObjects answers for a group its bar holds no record of.
    static constexpr NSUInteger kNoRecordCount = std::numeric_limits<NSUInteger>::max();

    static void initialize();
    Id init() override { return initWithIdentifier(nullptr, SingleSelection); }
    Ref<KRScopeBarGroup> initWithIdentifier(const Ref<NSString>& identifier, int32_t selectionStyle);

    // --- Display ---
    Ref<NSString> identifier() const { return m_identifier; }
    void setIdentifier(const Ref<NSString>& identifier);
    Ref<NSString> label() const { return m_label; }
    void setLabel(const Ref<NSString>& label);
    // The stored attributed label, else the label in the bar's label colour
    // and the bold system font of 11 points (no attributes without a colour).
    Ref<NSAttributedString> attributedLabel() const;
    void setAttributedLabel(const Ref<NSAttributedString>& label);
    bool showsLabel() const { return m_showsLabel; }
    void setShowsLabel(bool flag);
    bool showsSeparator() const { return m_showsSeparator; }
    void setShowsSeparator(bool flag);
    int32_t groupSelectionStyle() const { return m_selectionStyle; }
    void setGroupSelectionStyle(int32_t style);
    bool collapsed() const { return m_collapsed; }
    // The bar's delegate may refuse; the flag is then unchanged.
    void setCollapsed(bool flag);
    Ref<NSString> multipleSelectionPlaceholder() const;
    void setMultipleSelectionPlaceholder(const Ref<NSString>& placeholder);
    Ref<NSString> noSelectionPlaceholder() const;
    void setNoSelectionPlaceholder(const Ref<NSString>& placeholder);

    Ref<KRScopeBar> scopeBar() const;
    void setScopeBar(const Ref<KRScopeBar>& bar);

    // --- Objects ---
    NSUInteger numberOfObjects() const;
    Id objectAtIndex(NSUInteger index) const;
    NSUInteger indexForObject(const Id& object) const;
    // The binding entry points: a changed array reloads the group.
    Id content() const { return nullptr; }
    void setContent(const Id&);
    Id contentValues() const { return nullptr; }
    void setContentValues(const Id&);
    Id image() const { return nullptr; }
    void setImage(const Id&);
    // The bound arrays, nil when not bound.
    Ref<NSArray> boundArray(const Ref<NSString>& binding) const;
    bool hasContentBinding() const { return bool(infoForBinding("content"_ns)); }

    // --- Selection ---
    Ref<NSIndexSet> selectionIndexes() const { return NSIndexSet::indexSetWithIndexSet(m_selectionIndexes); }
    void setSelectionIndexes(const Ref<NSIndexSet>& indexes);
    void didClickObject(NSUInteger index) { didClickObject_(index, false); }
    void didClickObject_(NSUInteger index, bool alwaysSetToOnState);
    void selectObjectWithIndex(NSUInteger index);
    void selectObject(const Id& object);
    // nil when nothing is selected.
    Ref<NSArray> selectedObjects() const;
    Id selectedObject() const;

    // --- Bindings ---
    void bind(const Ref<NSString>& binding, const Id& observable, const Ref<NSString>& keyPath,
              const Ref<NSDictionary>& options) override;
    void unbind(const Ref<NSString>& binding) override;
    void observeValueForKeyPathOfObjectChangeContext(const Ref<NSString>& keyPath, const Id& object,
                                                     const Ref<NSDictionary>& change, void* context) override;

    void encodeWithCoder(NSCoder* coder) const override;
    Id initWithCoder(NSCoder* coder) override;

    static void describeClass(NSClassMembers<KRScopeBarGroup>& m);

private:
    // The group's index in its bar, NSNotFound without a bar or a record.
    NSUInteger indexInBar() const;
    bool barHoldsNoRecord() const;
    void reloadInBar();

    Ref<NSString> m_identifier;
    Ref<NSString> m_label;
    Ref<NSAttributedString> m_attributedLabel;
    int32_t m_selectionStyle = SingleSelection;
    bool m_showsSeparator = false;
    bool m_collapsed = false;
    bool m_showsLabel = false;
    Ref<NSIndexSet> m_selectionIndexes = NSIndexSet::indexSet();
    Weak<KRScopeBar> m_scopeBar;
    Ref<NSString> m_multipleSelectionPlaceholder;
    Ref<NSString> m_noSelectionPlaceholder;
};
