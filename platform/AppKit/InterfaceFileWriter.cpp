#include "AppKit/InterfaceFileWriter.h"

#include "Foundation/FileSupport.h"

int64_t InterfaceFileWriter::add(json e)
{
    int64_t id = m_nextID++;
    json entry = json{{"id", id}};
    entry.update(e);
    m_document["objects"].push_back(std::move(entry));
    return id;
}

InterfaceFileWriter::json& InterfaceFileWriter::entry(int64_t id)
{
    for (auto& e : m_document["objects"])
        if (e["id"] == id) return e;
    throw std::out_of_range("no interface object with id " + std::to_string(id));
}

int64_t InterfaceFileWriter::addPlaceholder(const std::string& name) { return add({{"placeholder", name}}); }

int64_t InterfaceFileWriter::addWindow(const std::string& className, const NSRect& contentRect, NSUInteger styleMask,
                                       const std::string& title, bool visibleAtLaunch)
{
    json window = {{"contentRect", rect(contentRect)}, {"styleMask", styleMask}};
    if (!title.empty()) window["title"] = title;
    if (visibleAtLaunch) window["visibleAtLaunch"] = true;
    return add({{"class", className}, {"window", window}});
}

int64_t InterfaceFileWriter::addView(const std::string& className, const NSRect& frame, NSUInteger autoresizingMask)
{
    json view = {{"frame", rect(frame)}};
    if (autoresizingMask) view["autoresizingMask"] = autoresizingMask;
    return add({{"class", className}, {"view", view}});
}

int64_t InterfaceFileWriter::addObject(const std::string& className) { return add({{"class", className}}); }

int64_t InterfaceFileWriter::addCodedObject(const std::string& className, json keys)
{
    return add({{"class", className}, {"keys", keys.is_object() ? std::move(keys) : json::object()}});
}

void InterfaceFileWriter::setContentView(int64_t window, int64_t view)
{
    entry(window)["window"]["contentView"] = ref(view);
}

void InterfaceFileWriter::addSubview(int64_t superview, int64_t view)
{
    json& e = entry(superview);
    json& holder = e.contains("view") ? e["view"] : e;
    holder["subviews"].push_back(ref(view));
}

void InterfaceFileWriter::connectOutlet(int64_t source, const std::string& outlet, int64_t destination)
{
    m_document["connections"].push_back(
        {{"outlet", outlet}, {"source", ref(source)}, {"destination", ref(destination)}});
}

void InterfaceFileWriter::connectAction(int64_t source, const std::string& action, int64_t target)
{
    m_document["connections"].push_back({{"action", action}, {"source", ref(source)}, {"target", ref(target)}});
}

void InterfaceFileWriter::bind(int64_t source, const std::string& binding, int64_t object, const std::string& keyPath,
                               json options)
{
    json c = {{"binding", binding}, {"source", ref(source)}, {"to", ref(object)}, {"keyPath", keyPath}};
    if (options.is_object() && !options.empty()) c["options"] = std::move(options);
    m_document["connections"].push_back(std::move(c));
}

void InterfaceFileWriter::addTopLevelObject(int64_t object) { m_document["topLevelObjects"].push_back(ref(object)); }

bool InterfaceFileWriter::writeToFile(const std::string& path) const
{
    const std::string contents = text();
    return FileSupport::writeAtomically(path, contents.data(), contents.size()) == 0;
}
