#pragma once
// The hook through which windows controllers and the application load
// interface files. The interface-file loader installs it; until then every
// load fails (answers false).
#include <functional>

#include "Foundation/NSArray.h"
#include "Foundation/NSString.h"

namespace NSNibLoading {

// Loads the file of that name from the bundle with `owner` as the file's
// owner, connecting outlets and actions and sending awakeFromNib; the
// top-level objects are stored when asked for. Answers false for a missing or
// malformed file.
using Loader = std::function<bool(const Ref<NSString>& nibName, const Id& owner, Ref<NSArray>* topLevelObjects)>;

void setLoader(Loader loader);
// The loader in place (a test that replaces it puts this one back).
Loader currentLoader();
bool loadNibNamed(const Ref<NSString>& nibName, const Id& owner, Ref<NSArray>* topLevelObjects = nullptr);

}
