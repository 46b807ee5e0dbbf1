#pragma once
// An attributed string that tells its layout managers of every edit. Edits
// between beginEditing and endEditing are gathered into one edited range and
// processed together when the outermost endEditing runs.
#include <vector>

#include "Foundation/NSAttributedString.h"
#include "Foundation/NSNotification.h"

class NSLayoutManager;
class NSTextStorage;

enum NSTextStorageEditActions : NSUInteger {
    NSTextStorageEditedAttributes = 1,
    NSTextStorageEditedCharacters = 2,
};

inline const Ref<NSString> NSTextStorageWillProcessEditingNotification =
    "NSTextStorageWillProcessEditingNotification"_ns;
inline const Ref<NSString> NSTextStorageDidProcessEditingNotification = "NSTextStorageDidProcessEditingNotification"_ns;

// The delegate (optional methods; a no-op means "not implemented").
class NSTextStorageDelegate {
public:
    virtual ~NSTextStorageDelegate() = default;
    virtual void textStorageWillProcessEditing(const Ref<NSNotification>&) { }
    virtual void textStorageDidProcessEditing(const Ref<NSNotification>&) { }
};

class NSTextStorage : public NSMutableAttributedString {
    NS_OBJECT(NSTextStorage, NSMutableAttributedString)
protected:
    NSTextStorage() = default;

public:
    static Ref<NSTextStorage> initWithString(const Ref<NSString>& string,
                                             const Ref<NSDictionary>& attributes = nullptr);
    static Ref<NSTextStorage> initWithAttributedString(const Ref<NSAttributedString>& other);

    // Layout managers are retained; each learns of the storage as its own.
    void addLayoutManager(const Ref<NSLayoutManager>& manager);
    void removeLayoutManager(const Ref<NSLayoutManager>& manager);
    const std::vector<Ref<NSLayoutManager>>& layoutManagers() const { return m_layoutManagers; }

    void replaceCharactersInRange(NSRange range, const Ref<NSString>& string) override;
    void replaceCharactersInRange(NSRange range, const Ref<NSAttributedString>& string) override;
    void setAttributes(const Ref<NSDictionary>& attributes, NSRange range) override;

    void beginEditing() override { ++m_editingDepth; }
    void endEditing() override;
    // Records an edit: mask of NSTextStorageEditActions, the range in the
    // text before the edit and the change of length. Processes it at once
    // outside beginEditing/endEditing.
    void edited(NSUInteger mask, NSRange range, NSInteger delta);
    // Posts the will/did notifications (the delegate hears them first) and
    // hands the edit to the layout managers.
    virtual void processEditing();

    NSUInteger editedMask() const { return m_editedMask; }
    // The range in the text after the edit.
    NSRange editedRange() const { return m_editedRange; }
    NSInteger changeInLength() const { return m_changeInLength; }

    // Not retained.
    Id delegate() const { return m_delegate.get(); }
    void setDelegate(const Id& delegate) { m_delegate = delegate; }

private:
    std::vector<Ref<NSLayoutManager>> m_layoutManagers;
    Weak<NSObject> m_delegate;
    int m_editingDepth = 0;
    NSUInteger m_editedMask = 0;
    NSRange m_editedRange{NSNotFound, 0};
    NSInteger m_changeInLength = 0;
};
