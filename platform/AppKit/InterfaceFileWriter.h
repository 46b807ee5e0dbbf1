#pragma once
// Builds interface-file documents (docs/INTERFACE_FILES.md) from C++, for
// the tools that produce the project's own files. Each add... answers the
// new object's id; ids start at 1 in the order of the calls.
#include <string>

#include <nlohmann/json.hpp>

#include "Foundation/NSGeometry.h"

class InterfaceFileWriter {
public:
    using json = nlohmann::ordered_json;

    int64_t addPlaceholder(const std::string& name);  // "owner", "firstResponder", "application"
    int64_t addWindow(const std::string& className, const NSRect& contentRect, NSUInteger styleMask,
                      const std::string& title = {}, bool visibleAtLaunch = false);
    int64_t addView(const std::string& className, const NSRect& frame, NSUInteger autoresizingMask = 0);
    int64_t addObject(const std::string& className);
    // An object made through initWithCoder: with these keyed-archive values.
    int64_t addCodedObject(const std::string& className, json keys);

    void setContentView(int64_t window, int64_t view);
    void addSubview(int64_t superview, int64_t view);
    void connectOutlet(int64_t source, const std::string& outlet, int64_t destination);
    void connectAction(int64_t source, const std::string& action, int64_t target);
    void bind(int64_t source, const std::string& binding, int64_t object, const std::string& keyPath,
              json options = json::object());
    void addTopLevelObject(int64_t object);

    static json ref(int64_t id) { return json{{"$ref", id}}; }
    static json rect(const NSRect& r) { return json{{"$rect", {r.origin.x, r.origin.y, r.size.width, r.size.height}}}; }

    const json& document() const { return m_document; }
    // Pretty-printed JSON; writeToFile answers whether the file was written.
    std::string text() const { return m_document.dump(2) + "\n"; }
    bool writeToFile(const std::string& path) const;

private:
    json& entry(int64_t id);
    int64_t add(json entry);

    json m_document = json{{"version", 1}, {"objects", json::array()}, {"connections", json::array()}};
    int64_t m_nextID = 1;
};
