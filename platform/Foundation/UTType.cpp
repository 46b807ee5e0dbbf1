#include "Foundation/UTType.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace {
struct TypeEntry {
    const char* identifier;
    std::vector<std::string_view> parents;
    std::vector<std::string_view> extensions;  // the preferred one first
};

// The layer's content types. Order matters where types share an extension:
// the first one wins.
const std::vector<TypeEntry>& typeTable()
{
    static const std::vector<TypeEntry> table = {
        {"public.item", {}, {}},
        {"public.content", {}, {}},
        {"public.composite-content", {"public.content"}, {}},
        {"public.data", {"public.item"}, {}},
        {"public.directory", {"public.item"}, {}},
        {"public.folder", {"public.directory"}, {}},
        {"com.apple.package", {"public.directory"}, {}},
        {"com.apple.bundle", {"public.directory"}, {"bundle"}},
        {"com.apple.application", {"public.item"}, {}},
        {"com.apple.application-bundle", {"com.apple.application", "com.apple.bundle", "com.apple.package"}, {"app"}},

        {"public.text", {"public.data", "public.content"}, {}},
        {"public.plain-text", {"public.text"}, {"txt", "text"}},
        {"public.utf8-plain-text", {"public.plain-text"}, {}},
        {"public.rtf", {"public.text"}, {"rtf"}},
        {"public.html", {"public.text"}, {"html", "htm"}},
        {"public.xml", {"public.text"}, {"xml"}},
        {"public.json", {"public.text"}, {"json"}},
        {"public.vcard", {"public.text"}, {"vcf"}},
        {"public.source-code", {"public.plain-text"}, {}},
        {"public.c-source", {"public.source-code"}, {"c"}},
        {"public.c-header", {"public.source-code"}, {"h"}},
        {"public.c-plus-plus-source", {"public.source-code"}, {"cpp", "cc", "cxx"}},
        {"public.objective-c-source", {"public.source-code"}, {"m"}},
        {"public.script", {"public.source-code"}, {}},
        {"public.shell-script", {"public.script"}, {"sh"}},
        {"public.python-script", {"public.script"}, {"py"}},
        {"public.delimited-values-text", {"public.text"}, {}},
        {"public.comma-separated-values-text", {"public.delimited-values-text"}, {"csv"}},
        {"public.tab-separated-values-text", {"public.delimited-values-text"}, {"tsv"}},
        {"com.apple.log", {"public.plain-text"}, {"log"}},
        {"com.apple.crashreport", {"public.plain-text"}, {"crash"}},
        {"com.apple.xcode.strings-text", {"public.text"}, {"strings"}},
        {"com.apple.property-list", {"public.data"}, {"plist"}},

        {"public.image", {"public.data", "public.content"}, {}},
        {"public.png", {"public.image"}, {"png"}},
        {"public.jpeg", {"public.image"}, {"jpeg", "jpg"}},
        {"com.compuserve.gif", {"public.image"}, {"gif"}},
        {"public.tiff", {"public.image"}, {"tiff", "tif"}},
        {"com.microsoft.bmp", {"public.image"}, {"bmp"}},
        {"com.apple.icns", {"public.image"}, {"icns"}},
        {"public.svg-image", {"public.image"}, {"svg"}},
        {"com.adobe.pdf", {"public.data", "public.composite-content"}, {"pdf"}},

        {"public.audiovisual-content", {"public.data", "public.content"}, {}},
        {"public.movie", {"public.audiovisual-content"}, {}},
        {"public.video", {"public.movie"}, {}},
        {"com.apple.quicktime-movie", {"public.movie"}, {"mov", "qt"}},
        {"public.mpeg-4", {"public.movie"}, {"mp4"}},
        {"public.avi", {"public.movie"}, {"avi"}},
        {"public.audio", {"public.audiovisual-content"}, {}},
        {"public.mp3", {"public.audio"}, {"mp3"}},
        {"com.microsoft.waveform-audio", {"public.audio"}, {"wav"}},
        {"public.aiff-audio", {"public.audio"}, {"aiff", "aif"}},
        {"public.aifc-audio", {"public.audio"}, {"aifc"}},
        {"public.ulaw-audio", {"public.audio"}, {"au", "snd"}},
        {"com.apple.quartz-composer-composition", {"public.data", "public.content"}, {"qtz"}},

        {"public.archive", {"public.data"}, {}},
        {"public.zip-archive", {"public.archive"}, {"zip"}},
        {"org.gnu.gnu-zip-archive", {"public.archive"}, {"gz"}},
        {"public.tar-archive", {"public.archive"}, {"tar"}},
        {"public.font", {"public.data", "public.content"}, {}},
        {"public.truetype-ttf-font", {"public.font"}, {"ttf"}},
        {"public.opentype-font", {"public.font"}, {"otf"}},
    };
    return table;
}

constexpr std::string_view dynamicPrefix = "dyn.ext-";

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

const TypeEntry* entryFor(const std::string& identifier)
{
    for (const auto& entry : typeTable())
        if (identifier == entry.identifier) return &entry;
    return nullptr;
}

bool conforms(const std::string& type, const std::string& target, int depth = 0)
{
    if (type == target) return true;
    // Dynamic types stand for unknown data files.
    if (type.starts_with(dynamicPrefix)) return target == "public.data" || target == "public.item";
    const TypeEntry* entry = entryFor(type);
    if (!entry || depth > 16) return false;
    return std::any_of(entry->parents.begin(), entry->parents.end(),
                       [&](std::string_view parent) { return conforms(std::string(parent), target, depth + 1); });
}

// A readable, reversible identifier for an unknown extension: its UTF-8
// bytes in hexadecimal, so any extension gives a legal identifier.
std::string dynamicIdentifier(const std::string& extension)
{
    std::string id(dynamicPrefix);
    for (unsigned char c : extension) {
        id += "0123456789abcdef"[c >> 4];
        id += "0123456789abcdef"[c & 15];
    }
    return id;
}

Ref<NSString> ns(const char* identifier) { return NSString::stringWithUTF8String(identifier); }
}

bool UTTypeEqual(const Ref<NSString>& a, const Ref<NSString>& b)
{
    return a && b && lower(a->UTF8String()) == lower(b->UTF8String());
}

bool UTTypeConformsTo(const Ref<NSString>& type, const Ref<NSString>& conformsTo)
{
    if (!type || !conformsTo) return false;
    return conforms(lower(type->UTF8String()), lower(conformsTo->UTF8String()));
}

Ref<NSString> kUTTagClassFilenameExtension() { return ns("public.filename-extension"); }

Ref<NSString> UTTypeCreatePreferredIdentifierForTag(const Ref<NSString>& tagClass, const Ref<NSString>& tag,
                                                    const Ref<NSString>& conformingTo)
{
    if (!tag || tag->length() == 0 || !UTTypeEqual(tagClass, kUTTagClassFilenameExtension())) return nullptr;
    std::string extension = lower(tag->UTF8String());
    std::string target = conformingTo ? lower(conformingTo->UTF8String()) : "";
    for (const auto& entry : typeTable()) {
        bool named = std::any_of(entry.extensions.begin(), entry.extensions.end(),
                                 [&](std::string_view e) { return extension == e; });
        if (named && (target.empty() || conforms(entry.identifier, target))) return ns(entry.identifier);
    }
    return NSString::stringWithUTF8String(dynamicIdentifier(extension));
}

Ref<NSString> kUTTypeItem() { return ns("public.item"); }
Ref<NSString> kUTTypeContent() { return ns("public.content"); }
Ref<NSString> kUTTypeData() { return ns("public.data"); }
Ref<NSString> kUTTypeDirectory() { return ns("public.directory"); }
Ref<NSString> kUTTypeFolder() { return ns("public.folder"); }
Ref<NSString> kUTTypeText() { return ns("public.text"); }
Ref<NSString> kUTTypePlainText() { return ns("public.plain-text"); }
Ref<NSString> kUTTypeImage() { return ns("public.image"); }
Ref<NSString> kUTTypePNG() { return ns("public.png"); }
Ref<NSString> kUTTypeJPEG() { return ns("public.jpeg"); }
Ref<NSString> kUTTypeTIFF() { return ns("public.tiff"); }
Ref<NSString> kUTTypePDF() { return ns("com.adobe.pdf"); }
Ref<NSString> kUTTypeAudiovisualContent() { return ns("public.audiovisual-content"); }
Ref<NSString> kUTTypeMovie() { return ns("public.movie"); }
Ref<NSString> kUTTypeAudio() { return ns("public.audio"); }
Ref<NSString> kUTTypeApplicationBundle() { return ns("com.apple.application-bundle"); }
