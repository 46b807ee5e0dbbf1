// Prints Plumbline's stored defaults, one key a line in key order:
//   plumbline-defaults [<config folder>]     (default: $XDG_CONFIG_HOME)
// "GuidelineSets" is decoded as sets of (type, position) with the position
// printed with %.9g, colours as RGBA, booleans as YES/NO. Exit status 1 when
// the file cannot be read.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "AppKit/NSColor.h"
#include "AppKitExtensions/NSUserDefaults+KQAppKitExtensions.h"
#include "Foundation/NSData.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSUserDefaults.h"
#include "GuidelineStore.h"

namespace {
std::string formatNumber(const Ref<NSNumber>& n)
{
    if (n->kind() == NSNumber::Kind::Bool) return n->boolValue() ? "YES" : "NO";
    return n->description()->UTF8String();
}

std::string formatSets(const Ref<NSData>& data)
{
    std::string problem;
    auto sets = GuidelineStore::setsFromData(data, &problem);
    if (!sets) return "<unreadable: " + problem + ">";
    std::string text = "[";
    bool firstSet = true;
    for (const Id& object : *sets) {
        auto set = dynamic_ref_cast<GuidelineSet>(object);
        text += firstSet ? "" : "; ";
        firstSet = false;
        text += "\"" + set->name()->UTF8String() + "\":";
        for (const Id& lineObject : *set->getLinesArray()) {
            auto line = dynamic_ref_cast<Guidelines>(lineObject);
            char buffer[64];
            std::snprintf(buffer, sizeof buffer, " (%d, %.9g)", line->type(), static_cast<double>(line->value()));
            text += buffer;
        }
    }
    return text + "]";
}

std::string formatColor(const Ref<NSUserDefaults>& defaults, const Ref<NSString>& key)
{
    auto color = NSUserDefaultsExt::colorForKey(defaults, key);
    if (!color) return "<not a colour>";
    CGFloat r = 0, g = 0, b = 0, a = 0;
    color->getRed(&r, &g, &b, &a);
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "RGBA(%.3g, %.3g, %.3g, %.3g)", r, g, b, a);
    return buffer;
}
}  // namespace

int main(int argc, char** argv)
{
    std::string folder = argc > 1 ? argv[1] : (std::getenv("XDG_CONFIG_HOME") ? std::getenv("XDG_CONFIG_HOME") : "");
    if (folder.empty()) {
        std::fprintf(stderr, "usage: %s <config folder>\n", argv[0]);
        return 2;
    }
    const std::string path = folder + "/org.plumbline.Plumbline.plist";
    auto defaults = NSUserDefaults::defaultsWithPath(NSString::stringWithUTF8String(path));
    auto stored = defaults ? defaults->persistentDomain() : nullptr;
    if (!stored) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        return 1;
    }
    std::vector<std::string> keys;
    auto allKeys = stored->allKeys();
    for (const Id& key : *allKeys) keys.push_back(dynamic_ref_cast<NSString>(key)->UTF8String());
    std::sort(keys.begin(), keys.end());
    for (const auto& key : keys) {
        auto nsKey = NSString::stringWithUTF8String(key);
        const Id value = stored->objectForKey(nsKey);
        std::string text;
        if (key == "GuidelineSets") text = formatSets(dynamic_ref_cast<NSData>(value));
        else if (key == "GuidelineColor" || key == "ScreenColor") text = formatColor(defaults, nsKey);
        else if (auto number = dynamic_ref_cast<NSNumber>(value)) text = formatNumber(number);
        else text = value->description()->UTF8String();
        std::printf("%s = %s\n", key.c_str(), text.c_str());
    }
    return 0;
}
