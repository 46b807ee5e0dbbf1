#pragma once
// Walks a folder tree lazily, depth first, each folder's entries sorted by
// name, naming entries by their path relative to the root.
#include <string>
#include <vector>

#include "Foundation/NSArray.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSString.h"

class NSDirectoryEnumerator : public NSObject {
    NS_OBJECT(NSDirectoryEnumerator, NSObject)
protected:
    NSDirectoryEnumerator() = default;

public:
    static Ref<NSDirectoryEnumerator> enumeratorWithRoot(const std::string& root);

    // The next relative path, or nil at the end.
    Id nextObject();
    // The remaining entries.
    Ref<NSArray> allObjects();
    // Leaves out the contents of the folder nextObject last answered.
    void skipDescendants();
    // The depth of the entry last answered (1 for the root's own entries).
    NSUInteger level() const { return m_lastLevel; }
    // The attributes of the entry last answered (links not followed into).
    Ref<NSDictionary> fileAttributes() const;

private:
    struct Frame {
        std::string relative;  // of the folder, "" for the root
        std::vector<std::string> names;
        size_t next = 0;
    };
    void enterPending();

    std::string m_root;
    std::vector<Frame> m_stack;
    std::string m_last;              // relative path last answered
    bool m_lastIsDirectory = false;  // and not a link
    bool m_pendingEnter = false;
    NSUInteger m_lastLevel = 0;
};
