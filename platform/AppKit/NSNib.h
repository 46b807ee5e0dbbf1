#pragma once
// Interface files: JSON documents under the bundle's Interface/ folder
// (<name>.json), read as docs/INTERFACE_FILES.md describes. Loading makes
// each object the way its kind asks (a window through
// initWithContentRect:styleMask:backing:defer:, a custom view through
// initWithFrame:, a plain object through init, coded objects through
// initWithCoder:), resolves the owner, first-responder and application
// placeholders, puts views into their superviews and windows, connects
// outlets (those of the class table's `outlet` entries, else by key-value
// coding), actions and bindings, then sends awakeFromNib once to every object
// and the owner. A missing or malformed file logs one line and fails; it
// never raises.
//
// Loading this library installs the loader behind NSNibLoading (window
// controllers, NSApplicationMain).

#include "Foundation/NSArray.h"
#include "Foundation/NSBundle.h"
#include "Foundation/NSString.h"

class NSNib : public NSObject {
    NS_OBJECT(NSNib, NSObject)
protected:
    NSNib() = default;

public:
    // initWithNibNamed:bundle: — nil bundle means the main bundle; answers
    // nil (and logs) when the bundle has no such file.
    Ref<NSNib> initWithNibNamed(const Ref<NSString>& name, const Ref<NSBundle>& bundle);
    // A file given by path (tools and tests).
    Ref<NSNib> initWithContentsOfFile(const Ref<NSString>& path);

    // instantiateWithOwner:topLevelObjects: — answers NO for a malformed
    // file. The top-level objects go to `topLevelObjects` when given;
    // otherwise they are kept alive for the rest of the process, as
    // loadNibNamed:owner: leaves them to its owner (windows stay alive).
    bool instantiateWithOwner(const Id& owner, Ref<NSArray>* topLevelObjects);

    // The path of the named file in the bundle (Interface/<name>.json, then
    // <name>.json), or nil.
    static Ref<NSString> pathForNibNamed(const Ref<NSString>& name, const Ref<NSBundle>& bundle);

    // Makes this loader the one behind NSNibLoading; done when the library
    // loads (a test that replaced the hook puts it back with this).
    static void installAsLoader();

private:
    Ref<NSString> m_path;
};
