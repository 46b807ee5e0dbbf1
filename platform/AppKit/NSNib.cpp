#include "AppKit/NSNib.h"

#include <map>
#include <set>

#include <nlohmann/json.hpp>

#include "AppKit/NSApplication.h"
#include "AppKit/NSBundleNibLoading.h"
#include "AppKit/NSNibAwaking.h"
#include "AppKit/NSNibLoading.h"
#include "AppKit/NSScrollView.h"
#include "AppKit/NSView.h"
#include "AppKit/NSWindow.h"
#include "Foundation/FileSupport.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSException.h"
#include "Foundation/NSKeyValueBinding.h"
#include "Foundation/NSKeyedUnarchiver.h"
#include "Foundation/NSLog.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NestingDepth.h"

NS_CLASS_DEFINE(NSNib)

namespace {

using json = nlohmann::ordered_json;

// What loadNibNamed:owner: leaves alive for its owners.
std::vector<Id>& retainedTopLevelObjects()
{
    static auto* objects = new std::vector<Id>;
    return *objects;
}

// A problem in the file; reported in the single log line of a failed load.
struct Malformed {
    std::string what;
};

[[noreturn]] void malformed(const std::string& what) { throw Malformed{what}; }

enum class Kind { placeholder, window, view, coded, plain };

struct Entry {
    const json* body = nullptr;
    Kind kind = Kind::plain;
    std::string className;
    bool made = false;
    bool making = false;
    Id object;
};

class Loader {
public:
    Loader(const json& document, const Id& owner)
        : m_document(document)
        , m_owner(owner)
    { }

    Ref<NSArray> load()
    {
        readEntries();
        prepareUnarchiver();
        for (auto id : m_order) objectFor(id);
        placeViews();
        connect();
        awake();
        showWindows();
        return topLevelObjects();
    }

private:
    const json& m_document;
    Id m_owner;
    std::map<int64_t, Entry> m_entries;
    std::vector<int64_t> m_order;
    Ref<NSKeyedUnarchiver> m_unarchiver;

    static const json* member(const json& object, const char* name)
    {
        auto it = object.find(name);
        return it == object.end() ? nullptr : &*it;
    }

    void readEntries()
    {
        if (!m_document.is_object()) malformed("the document is not an object");
        const json* objects = member(m_document, "objects");
        if (!objects || !objects->is_array()) malformed("\"objects\" is missing or not an array");
        for (const json& e : *objects) {
            if (!e.is_object()) malformed("an object entry is not an object");
            const json* id = member(e, "id");
            if (!id || !id->is_number_integer() || id->get<int64_t>() == 0)
                malformed("an object entry without a usable \"id\"");
            int64_t n = id->get<int64_t>();
            Entry entry;
            entry.body = &e;
            if (const json* p = member(e, "placeholder")) {
                if (!p->is_string()) malformed("object " + std::to_string(n) + ": the placeholder is not a string");
                entry.kind = Kind::placeholder;
                entry.className = p->get<std::string>();
                if (entry.className != "owner" && entry.className != "firstResponder" &&
                    entry.className != "application")
                    malformed("object " + std::to_string(n) + ": unknown placeholder '" + entry.className + "'");
            } else {
                const json* cls = member(e, "class");
                if (!cls || !cls->is_string()) malformed("object " + std::to_string(n) + " has no class");
                entry.className = cls->get<std::string>();
                if (member(e, "window")) entry.kind = Kind::window;
                else if (member(e, "view")) entry.kind = Kind::view;
                else if (member(e, "keys")) entry.kind = Kind::coded;
                else entry.kind = Kind::plain;
            }
            if (!m_entries.emplace(n, std::move(entry)).second)
                malformed("object id " + std::to_string(n) + " appears twice");
            m_order.push_back(n);
        }
    }

    // The unarchiver decodes the coded entries; every other entry reaches it
    // as a placeholder that this loader resolves, so a coded object may refer
    // to a window, a custom view or the owner.
    void prepareUnarchiver()
    {
        json doc = json::object();
        doc["objects"] = json::array();
        for (auto id : m_order) {
            const Entry& e = m_entries[id];
            if (e.kind == Kind::coded) {
                json copy = json::object();
                copy["id"] = id;
                copy["class"] = e.className;
                copy["keys"] = (*e.body)["keys"];
                doc["objects"].push_back(std::move(copy));
            } else {
                doc["objects"].push_back(json{{"id", id}, {"placeholder", "#" + std::to_string(id)}});
            }
        }
        m_unarchiver = NSKeyedUnarchiver::unarchiverForReadingWithJSON(std::move(doc));
        m_unarchiver->setPlaceholderResolver(
            [this](const std::string& name) -> Id { return objectFor(std::stoll(name.substr(1))); });
    }

    Id objectFor(int64_t id)
    {
        auto it = m_entries.find(id);
        if (it == m_entries.end()) malformed("no object has id " + std::to_string(id));
        Entry& e = it->second;
        if (e.made) return e.object;
        if (e.making && e.kind != Kind::coded)
            malformed("object " + std::to_string(id) + " refers to itself while it is made");
        e.making = true;
        e.object = make(id, e);
        e.made = true;
        return e.object;
    }

    Id make(int64_t id, const Entry& e)
    {
        if (e.kind == Kind::placeholder) {
            if (e.className == "owner") return m_owner;
            if (e.className == "application") return Id(NSApp);
            return nullptr;  // the first responder: a nil target
        }
        if (e.kind == Kind::coded) {
            Id object = m_unarchiver->objectWithID(id);
            if (!object) malformed("object " + std::to_string(id) + " decoded as nil");
            return object;
        }
        const NSClass* cls = NSClass::named(e.className);
        if (!cls) malformed("object " + std::to_string(id) + ": unknown class '" + e.className + "'");
        Id instance = cls->allocInstance();
        if (!instance) malformed("object " + std::to_string(id) + ": class '" + e.className + "' cannot be made");
        if (e.kind == Kind::window) return makeWindow(id, instance, (*e.body)["window"]);
        if (e.kind == Kind::view) return makeView(id, instance, (*e.body)["view"]);
        Id object = instance->init();
        if (!object) malformed("object " + std::to_string(id) + ": init answered nil");
        return object;
    }

    static NSRect rectValue(const json* v, const std::string& what)
    {
        const json* r = v && v->is_object() ? member(*v, "$rect") : nullptr;
        if (!r || !r->is_array() || r->size() != 4) malformed(what + " is not a {\"$rect\": [x, y, w, h]}");
        for (auto& n : *r)
            if (!n.is_number()) malformed(what + " has a non-number");
        return NSMakeRect((*r)[0].get<double>(), (*r)[1].get<double>(), (*r)[2].get<double>(), (*r)[3].get<double>());
    }

    template <class T> static T valueOr(const json& object, const char* name, T fallback)
    {
        const json* v = member(object, name);
        if (!v) return fallback;
        if constexpr (std::is_same_v<T, bool>) {
            if (!v->is_boolean()) malformed(std::string("\"") + name + "\" is not a boolean");
        } else if constexpr (std::is_same_v<T, std::string>) {
            if (!v->is_string()) malformed(std::string("\"") + name + "\" is not a string");
        } else {
            if (!v->is_number_integer()) malformed(std::string("\"") + name + "\" is not an integer");
        }
        return v->get<T>();
    }

    Id makeWindow(int64_t id, const Id& instance, const json& spec)
    {
        auto* window = dynamic_cast<NSWindow*>(instance.get());
        if (!window || !spec.is_object()) malformed("object " + std::to_string(id) + " is not a window");
        NSRect rect = rectValue(member(spec, "contentRect"), "object " + std::to_string(id) + "'s contentRect");
        auto style = NSUInteger(valueOr<int64_t>(spec, "styleMask", NSTitledWindowMask));
        auto backing = NSBackingStoreType(valueOr<int64_t>(spec, "backing", NSBackingStoreBuffered));
        bool defer = valueOr<bool>(spec, "defer", true);
        Ref<NSWindow> made = window->initWithContentRect(rect, style, backing, defer);
        if (!made) malformed("object " + std::to_string(id) + ": the window's init answered nil");
        if (member(spec, "title"))
            made->setTitle(NSString::stringWithUTF8String(valueOr<std::string>(spec, "title", "")));
        // The frame the user left the window at wins over the file's.
        if (member(spec, "frameAutosaveName"))
            made->setFrameAutosaveName(
                NSString::stringWithUTF8String(valueOr<std::string>(spec, "frameAutosaveName", "")));
        return made;
    }

    Id makeView(int64_t id, const Id& instance, const json& spec)
    {
        auto* view = dynamic_cast<NSView*>(instance.get());
        if (!view || !spec.is_object()) malformed("object " + std::to_string(id) + " is not a view");
        Ref<NSView> made =
            view->initWithFrame(rectValue(member(spec, "frame"), "object " + std::to_string(id) + "'s frame"));
        if (!made) malformed("object " + std::to_string(id) + ": initWithFrame answered nil");
        if (member(spec, "autoresizingMask"))
            made->setAutoresizingMask(NSUInteger(valueOr<int64_t>(spec, "autoresizingMask", 0)));
        if (valueOr<bool>(spec, "hidden", false)) made->setHidden(true);
        return made;
    }

    Id reference(const json* v, const std::string& what)
    {
        const json* r = v && v->is_object() ? member(*v, "$ref") : nullptr;
        if (!r || !r->is_number_integer()) malformed(what + " is not a {\"$ref\": id}");
        return objectFor(r->get<int64_t>());
    }

    Ref<NSView> viewReference(const json* v, const std::string& what)
    {
        auto view = dynamic_ref_cast<NSView>(reference(v, what));
        if (!view) malformed(what + " is not a view");
        return view;
    }

    void placeViews()
    {
        for (auto id : m_order) {
            Entry& e = m_entries[id];
            std::string name = "object " + std::to_string(id);
            const json* spec = e.kind == Kind::window ? member(*e.body, "window")
                               : e.kind == Kind::view ? member(*e.body, "view")
                                                      : e.body;
            if (e.kind == Kind::window) {
                if (const json* content = member(*spec, "contentView"))
                    static_ref_cast<NSWindow>(e.object)->setContentView(
                        viewReference(content, name + "'s contentView"));
                continue;
            }
            const json* subviews = e.kind == Kind::placeholder ? nullptr : member(*spec, "subviews");
            if (!subviews) continue;
            auto parent = dynamic_ref_cast<NSView>(e.object);
            if (!parent || !subviews->is_array()) malformed(name + ": subviews need a view and an array");
            for (const json& s : *subviews) parent->addSubview(viewReference(&s, name + "'s subview"));
        }
    }

    // An outlet the class table names, else the key-value property.
    static void setOutlet(const Id& source, const std::string& outlet, const Id& destination)
    {
        if (const auto* setter = source->realClass().outletFor(outlet)) return (*setter)(source.get(), destination);
        source->setValueForKey(destination, NSString::stringWithUTF8String(outlet));
    }

    static Id optionValue(const json& v)
    {
        if (v.is_string()) return NSString::stringWithUTF8String(v.get<std::string>());
        if (v.is_boolean()) return NSNumber::numberWithBool(v.get<bool>());
        if (v.is_number_integer()) return NSNumber::numberWithInteger(v.get<int64_t>());
        if (v.is_number()) return NSNumber::numberWithDouble(v.get<double>());
        if (v.is_null()) return nullptr;
        malformed("a binding option is not a string, number, boolean or null");
    }

    void connect()
    {
        const json* connections = member(m_document, "connections");
        if (!connections) return;
        if (!connections->is_array()) malformed("\"connections\" is not an array");
        for (const json& c : *connections) {
            if (!c.is_object()) malformed("a connection is not an object");
            Id source = reference(member(c, "source"), "a connection's source");
            if (!source) malformed("a connection's source is nil");
            if (member(c, "outlet")) {
                setOutlet(source, valueOr<std::string>(c, "outlet", ""),
                          reference(member(c, "destination"), "an outlet's destination"));
            } else if (member(c, "action")) {
                Id target = reference(member(c, "target"), "an action's target");
                source->setValueForKey(target, "target"_ns);
                source->setValueForKey(NSString::stringWithUTF8String(valueOr<std::string>(c, "action", "")),
                                       "action"_ns);
            } else if (member(c, "binding")) {
                auto options = NSMutableDictionary::make<NSMutableDictionary>();
                if (const json* o = member(c, "options")) {
                    if (!o->is_object()) malformed("binding options are not an object");
                    for (auto& [key, value] : o->items())
                        if (Id v = optionValue(value)) options->setObject(v, NSString::stringWithUTF8String(key));
                }
                auto binding = NSString::stringWithUTF8String(valueOr<std::string>(c, "binding", ""));
                Id observed = reference(member(c, "to"), "a binding's object");
                source->bind(binding, observed, NSString::stringWithUTF8String(valueOr<std::string>(c, "keyPath", "")),
                             options);
                // The owner keeps what the file made: a strong reference back
                // from a binding would keep both alive for ever.
                if (observed && observed == m_owner) NSBindingHoldsObservedWeakly(source, binding);
            } else {
                malformed("a connection is neither an outlet, an action nor a binding");
            }
        }
    }

    static void awaken(const Id& object)
    {
        if (auto* responder = dynamic_cast<NSResponder*>(object.get())) return responder->awakeFromNib();
        if (auto* awaking = dynamic_cast<NSNibAwaking*>(object.get())) return awaking->awakeFromNib();
        if (object->respondsToSelector("awakeFromNib")) object->performSelector("awakeFromNib");
    }

    void awake()
    {
        std::set<NSObject*> done;
        std::vector<Id> objects;
        for (auto id : m_order) {
            const Entry& e = m_entries[id];
            if (e.kind != Kind::placeholder && e.object) objects.push_back(e.object);
        }
        if (m_owner) objects.push_back(m_owner);
        for (auto& object : objects)
            if (done.insert(object.get()).second) awaken(object);
    }

    void showWindows()
    {
        for (auto id : m_order) {
            const Entry& e = m_entries[id];
            if (e.kind != Kind::window || !valueOr<bool>((*e.body)["window"], "visibleAtLaunch", false)) continue;
            auto window = static_ref_cast<NSWindow>(e.object);
            if (window->canBecomeKeyWindow()) window->makeKeyAndOrderFront(nullptr);
            else window->orderFront(nullptr);
        }
    }

    Ref<NSArray> topLevelObjects()
    {
        std::vector<Id> objects;
        if (const json* top = member(m_document, "topLevelObjects")) {
            if (!top->is_array()) malformed("\"topLevelObjects\" is not an array");
            for (const json& r : *top)
                if (Id o = reference(&r, "a top-level object")) objects.push_back(o);
        } else {
            for (auto id : m_order) {
                const Entry& e = m_entries[id];
                if (e.kind == Kind::window || e.kind == Kind::plain) objects.push_back(e.object);
            }
        }
        return NSArray::arrayWithVector(std::move(objects));
    }
};

bool loadFile(const Ref<NSString>& path, const Id& owner, Ref<NSArray>* topLevelObjects)
{
    std::string file = path ? path->UTF8String() : std::string();
    std::vector<uint8_t> bytes;
    if (int error = FileSupport::readFile(file, bytes)) {
        NSLog("Could not read the interface file %s: %s", file.c_str(), FileSupport::errnoText(error).c_str());
        return false;
    }
    // Copying and walking the document recurse; a deeper file is damaged.
    const std::string content(bytes.begin(), bytes.end());
    if (NestingDepth::jsonExceeds(content)) {
        NSLog("The interface file %s is malformed: its values are nested more than %d deep", file.c_str(),
              static_cast<int>(NestingDepth::maximum));
        return false;
    }
    json document = json::parse(content, nullptr, false);
    if (document.is_discarded()) {
        NSLog("The interface file %s is not valid JSON", file.c_str());
        return false;
    }
    try {
        Loader loader(document, owner);
        Ref<NSArray> top = loader.load();
        if (topLevelObjects) *topLevelObjects = top;
        else
            for (auto& o : top->objects()) retainedTopLevelObjects().push_back(o);
        return true;
    } catch (const Malformed& m) {
        NSLog("The interface file %s is malformed: %s", file.c_str(), m.what.c_str());
    } catch (const NSException& e) {
        NSLog("The interface file %s could not be loaded: %@", file.c_str(), e.reason());
    } catch (const std::exception& e) {
        NSLog("The interface file %s could not be loaded: %s", file.c_str(), e.what());
    }
    return false;
}

[[maybe_unused]] const bool g_loaderInstalled = [] {
    NSNib::installAsLoader();
    return true;
}();

}

Ref<NSString> NSNib::pathForNibNamed(const Ref<NSString>& name, const Ref<NSBundle>& bundle)
{
    Ref<NSBundle> b = bundle ? bundle : NSBundle::mainBundle();
    if (!b || !name || name->length() == 0) return nullptr;
    if (auto path = b->pathForResource(name, "json"_ns, "Interface"_ns)) return path;
    return b->pathForResource(name, "json"_ns);
}

Ref<NSNib> NSNib::initWithNibNamed(const Ref<NSString>& name, const Ref<NSBundle>& bundle)
{
    m_path = pathForNibNamed(name, bundle);
    if (!m_path) {
        NSLog("No interface file named %@", name ? name : ""_ns);
        return nullptr;
    }
    return Ref<NSNib>(this);
}

Ref<NSNib> NSNib::initWithContentsOfFile(const Ref<NSString>& path)
{
    m_path = path;
    return m_path ? Ref<NSNib>(this) : nullptr;
}

bool NSNib::instantiateWithOwner(const Id& owner, Ref<NSArray>* topLevelObjects)
{
    return loadFile(m_path, owner, topLevelObjects);
}

void NSNib::installAsLoader()
{
    NSNibLoading::setLoader([](const Ref<NSString>& name, const Id& owner, Ref<NSArray>* top) {
        auto nib = NSObject::alloc<NSNib>()->initWithNibNamed(name, nullptr);
        return nib && nib->instantiateWithOwner(owner, top);
    });
}

bool NSBundleExt::loadNibNamed(const Ref<NSString>& name, const Id& owner)
{
    auto nib = NSObject::alloc<NSNib>()->initWithNibNamed(name, nullptr);
    return nib && nib->instantiateWithOwner(owner, nullptr);
}
