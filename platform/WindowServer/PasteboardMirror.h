#pragma once
// Keeps a pasteboard's contents in step with a store outside the process (a
// folder under $XDG_RUNTIME_DIR, the X11 CLIPBOARD or PRIMARY selection), in
// plain types: type names and bytes. The pasteboard's first item is what
// goes out; what comes in becomes the pasteboard's items.
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The type of UTF-8 plain text: what the X11 selections carry.
inline constexpr char kPasteboardTypeUTF8Text[] = "public.utf8-plain-text";

// The pasteboard as its mirror reads it. It lives as long as the mirror, so
// a mirror may keep it and read when another program asks.
class PasteboardSource {
public:
    virtual ~PasteboardSource() = default;
    // The first item's types, in order; none when the pasteboard is empty.
    virtual std::vector<std::string> types() const = 0;
    // The type's bytes, asking the owner for data it promised.
    virtual std::optional<std::string> dataForType(const std::string& type) = 0;
    // The bytes given so far: promised data the owner has not given yet is
    // absent (asking it on every change would come too early).
    virtual std::optional<std::string> givenDataForType(const std::string& type) const = 0;
};

// One item from outside: its types with their bytes, in order.
using PasteboardItemData = std::vector<std::pair<std::string, std::string>>;

class PasteboardMirror {
public:
    virtual ~PasteboardMirror() = default;
    // The contents changed in the process: make them visible outside.
    virtual void publish(PasteboardSource& pasteboard) = 0;
    // Before a read: the outside's items when they changed since the last
    // publish or fetch, else nothing.
    virtual std::optional<std::vector<PasteboardItemData>> fetch() = 0;
    virtual void releaseGlobally() { }
};

// The in-process pasteboards a window server may mirror.
enum class WSPasteboard { general, selection };
