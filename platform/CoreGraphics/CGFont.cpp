#include "CoreGraphics/CGFont.h"

#include <cairo-ft.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H
#include <hb.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <strings.h>

#include "CoreGraphics/CGCaches.h"
#include "Foundation/NSClass.h"

NS_CLASS_DEFINE(CGFont)

struct CGFont::Native {
    FT_Face face = nullptr;
    hb_font_t* hbFont = nullptr;
    cairo_font_face_t* cairoFace = nullptr;
};

namespace {

// Only the fonts the project installs, whatever else the system has.
constexpr const char* kConfiguration = R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <dir>/usr/share/fonts/truetype/dejavu</dir>
  <dir>/usr/share/fonts/truetype/liberation</dir>
  <dir>/usr/share/fonts/truetype/liberation2</dir>
  <cachedir prefix="xdg">plumbline/fontconfig</cachedir>
</fontconfig>
)";

// Platform font names and the installed family and style that stand in for
// them (weight on fontconfig's scale: 80 regular, 200 bold; slant 100 italic).
struct Alias {
    const char* name;
    const char* family;
    int weight;
    int slant;
};
constexpr Alias kAliases[] = {
    {".AppleSystemUIFont", "DejaVu Sans", 80, 0},
    {".AppleSystemUIFontBold", "DejaVu Sans", 200, 0},
    {".LucidaGrandeUI", "DejaVu Sans", 80, 0},
    {"System", "DejaVu Sans", 80, 0},
    {"Lucida Grande", "DejaVu Sans", 80, 0},
    {"LucidaGrande", "DejaVu Sans", 80, 0},
    {"LucidaGrande-Bold", "DejaVu Sans", 200, 0},
    {"Helvetica Neue", "DejaVu Sans", 80, 0},
    {"HelveticaNeue", "DejaVu Sans", 80, 0},
    {"HelveticaNeue-Medium", "DejaVu Sans", 200, 0},
    {"HelveticaNeue-Bold", "DejaVu Sans", 200, 0},
    {"HelveticaNeue-Italic", "DejaVu Sans", 80, 100},
    {"HelveticaNeue-BoldItalic", "DejaVu Sans", 200, 100},
    {"Helvetica", "Liberation Sans", 80, 0},
    {"Helvetica-Bold", "Liberation Sans", 200, 0},
    {"Helvetica-Oblique", "Liberation Sans", 80, 100},
    {"Helvetica-BoldOblique", "Liberation Sans", 200, 100},
    {"Arial", "Liberation Sans", 80, 0},
    {"ArialMT", "Liberation Sans", 80, 0},
    {"Arial-BoldMT", "Liberation Sans", 200, 0},
    {"Arial-ItalicMT", "Liberation Sans", 80, 100},
    {"Times", "Liberation Serif", 80, 0},
    {"Times-Roman", "Liberation Serif", 80, 0},
    {"Times-Bold", "Liberation Serif", 200, 0},
    {"Times-Italic", "Liberation Serif", 80, 100},
    {"Times New Roman", "Liberation Serif", 80, 0},
    {"TimesNewRomanPSMT", "Liberation Serif", 80, 0},
    {"Courier", "Liberation Mono", 80, 0},
    {"Courier-Bold", "Liberation Mono", 200, 0},
    {"Courier New", "Liberation Mono", 80, 0},
    {"CourierNewPSMT", "Liberation Mono", 80, 0},
    {"Menlo", "Liberation Mono", 80, 0},
    {"Menlo-Regular", "Liberation Mono", 80, 0},
    {"Menlo-Bold", "Liberation Mono", 200, 0},
    {"Monaco", "Liberation Mono", 80, 0},
};

struct FaceInfo {
    std::string file;
    int index = 0;
    std::string family, style, postScript, fullName;
    int weight = 80, slant = 0;
    bool fixedPitch = false;
};

struct Registry {
    std::mutex mutex;
    FcConfig* config = nullptr;
    FT_Library library = nullptr;
    std::vector<FaceInfo> faces;
    std::map<std::pair<std::string, int>, Ref<CGFont>> loaded;
};

Registry& registry()
{
    static auto* r = new Registry;  // released by the cache release, not by exit
    return *r;
}

std::string patternString(FcPattern* p, const char* object)
{
    FcChar8* value = nullptr;
    if (FcPatternGetString(p, object, 0, &value) != FcResultMatch || !value) return {};
    return reinterpret_cast<const char*>(value);
}

int patternInt(FcPattern* p, const char* object, int fallback)
{
    int value;
    return FcPatternGetInteger(p, object, 0, &value) == FcResultMatch ? value : fallback;
}

void releaseFonts();

// Loads the configuration and lists its faces, once. Caller holds the mutex.
void ensureConfiguration(Registry& r)
{
    if (r.config) return;
    GraphicsAddCacheRelease(releaseFonts);
    r.config = FcConfigCreate();
    FcConfigParseAndLoadFromMemory(r.config, reinterpret_cast<const FcChar8*>(kConfiguration), FcTrue);
    FcConfigBuildFonts(r.config);
    FT_Init_FreeType(&r.library);

    FcPattern* all = FcPatternCreate();
    FcObjectSet* objects = FcObjectSetBuild(FC_FILE, FC_INDEX, FC_FAMILY, FC_STYLE, FC_POSTSCRIPT_NAME, FC_FULLNAME,
                                            FC_WEIGHT, FC_SLANT, FC_SPACING, nullptr);
    FcFontSet* set = FcFontList(r.config, all, objects);
    for (int i = 0; set && i < set->nfont; ++i) {
        FcPattern* p = set->fonts[i];
        FaceInfo info;
        info.file = patternString(p, FC_FILE);
        info.index = patternInt(p, FC_INDEX, 0);
        info.family = patternString(p, FC_FAMILY);
        info.style = patternString(p, FC_STYLE);
        info.postScript = patternString(p, FC_POSTSCRIPT_NAME);
        info.fullName = patternString(p, FC_FULLNAME);
        info.weight = patternInt(p, FC_WEIGHT, 80);
        info.slant = patternInt(p, FC_SLANT, 0);
        info.fixedPitch = patternInt(p, FC_SPACING, 0) == FC_MONO;
        r.faces.push_back(std::move(info));
    }
    // A fixed order, whatever order the directory scan gave.
    std::sort(r.faces.begin(), r.faces.end(), [](const FaceInfo& a, const FaceInfo& b) {
        return std::tie(a.family, a.weight, a.slant, a.style) < std::tie(b.family, b.weight, b.slant, b.style);
    });
    if (set) FcFontSetDestroy(set);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(all);
}

void releaseFonts()
{
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    for (auto& [key, font] : r.loaded) font->releaseNative();
    r.loaded.clear();
    r.faces.clear();
    // Cairo's caches may still hold the faces' cairo wrappers.
    cairo_debug_reset_static_data();
    if (r.library) FT_Done_FreeType(r.library);
    r.library = nullptr;
    if (r.config) FcConfigDestroy(r.config);
    r.config = nullptr;
}

bool equalNoCase(const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) == 0; }

const FaceInfo* closestFace(const Registry& r, const std::string& family, int weight, int slant)
{
    const FaceInfo* best = nullptr;
    int bestScore = 0;
    for (const FaceInfo& f : r.faces) {
        if (!equalNoCase(f.family, family)) continue;
        // Condensed and other widths share some families; prefer the plain one.
        int score = std::abs(f.weight - weight) * 4 + std::abs(f.slant - slant) * 8 +
                    (f.style.find("Condensed") != std::string::npos ? 1000 : 0);
        if (!best || score < bestScore) best = &f, bestScore = score;
    }
    return best;
}

// Conic and cubic outline segments, y up, scaled and moved.
struct OutlineSink {
    CGPathElements* path;
    CGFloat scale;
    CGPoint origin;
    CGPoint last;
    CGPoint map(const FT_Vector* v) const { return {origin.x + v->x * scale, origin.y + v->y * scale}; }
};

int outlineMove(const FT_Vector* to, void* user)
{
    auto* s = static_cast<OutlineSink*>(user);
    if (!s->path->empty() && s->path->elements.back().kind != CGPathElementKind::Close) s->path->close();
    s->last = s->map(to);
    s->path->moveTo(s->last);
    return 0;
}
int outlineLine(const FT_Vector* to, void* user)
{
    auto* s = static_cast<OutlineSink*>(user);
    s->last = s->map(to);
    s->path->lineTo(s->last);
    return 0;
}
int outlineConic(const FT_Vector* control, const FT_Vector* to, void* user)
{
    auto* s = static_cast<OutlineSink*>(user);
    CGPoint c = s->map(control), end = s->map(to);
    CGPoint c1{s->last.x + 2.0 / 3 * (c.x - s->last.x), s->last.y + 2.0 / 3 * (c.y - s->last.y)};
    CGPoint c2{end.x + 2.0 / 3 * (c.x - end.x), end.y + 2.0 / 3 * (c.y - end.y)};
    s->path->curveTo(c1, c2, end);
    s->last = end;
    return 0;
}
int outlineCubic(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user)
{
    auto* s = static_cast<OutlineSink*>(user);
    s->last = s->map(to);
    s->path->curveTo(s->map(c1), s->map(c2), s->last);
    return 0;
}

}

const char* CGFont::configurationText() { return kConfiguration; }

CGFont::~CGFont() { releaseNative(); }

void CGFont::releaseNative()
{
    if (!m_native) return;
    if (m_native->cairoFace) cairo_font_face_destroy(m_native->cairoFace);
    if (m_native->hbFont) hb_font_destroy(m_native->hbFont);
    if (m_native->face) FT_Done_Face(m_native->face);
    delete m_native;
    m_native = nullptr;
}

Ref<CGFont> CGFont::load(const std::string& file, int index)
{
    // Caller holds the registry mutex.
    Registry& r = registry();
    auto key = std::make_pair(file, index);
    if (auto it = r.loaded.find(key); it != r.loaded.end()) return it->second;
    FT_Face face = nullptr;
    if (FT_New_Face(r.library, file.c_str(), index, &face) != 0) return nullptr;
    auto font = alloc<CGFont>();
    font->m_native = new Native;
    font->m_native->face = face;
    font->m_file = file;
    font->m_index = index;
    for (const FaceInfo& f : r.faces) {
        if (f.file != file || f.index != index) continue;
        font->m_familyName = NSString::stringWithUTF8String(f.family);
        font->m_styleName = NSString::stringWithUTF8String(f.style);
        font->m_fullName = NSString::stringWithUTF8String(f.fullName);
        font->m_weight = f.weight;
        font->m_slant = f.slant;
        font->m_fixedPitch = f.fixedPitch;
    }
    const char* ps = FT_Get_Postscript_Name(face);
    font->m_postScriptName = NSString::stringWithUTF8String(ps ? ps : "");
    font->m_unitsPerEm = face->units_per_EM;
    font->m_ascender = face->ascender;
    font->m_descender = face->descender;
    font->m_lineGap = std::max(0, face->height - (face->ascender - face->descender));
    font->m_underlinePosition = face->underline_position;
    font->m_underlineThickness = face->underline_thickness;
    font->m_bbox = CGRectMake(face->bbox.xMin, face->bbox.yMin, face->bbox.xMax - face->bbox.xMin,
                              face->bbox.yMax - face->bbox.yMin);
    if (auto* post = static_cast<TT_Postscript*>(FT_Get_Sfnt_Table(face, FT_SFNT_POST)))
        font->m_italicAngle = static_cast<CGFloat>(post->italicAngle) / 65536.0;

    hb_blob_t* blob = hb_blob_create_from_file(file.c_str());
    hb_face_t* hbFace = hb_face_create(blob, static_cast<unsigned>(index));
    font->m_native->hbFont = hb_font_create(hbFace);
    hb_font_set_scale(font->m_native->hbFont, font->m_unitsPerEm, font->m_unitsPerEm);
    hb_face_destroy(hbFace);
    hb_blob_destroy(blob);

    // Heights from OS/2 when the table has them, otherwise from the outlines
    // of "x" and "H" (DejaVu Sans has an OS/2 table without them).
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version >= 2 && os2->sxHeight > 0) font->m_xHeight = os2->sxHeight;
    else font->m_xHeight = static_cast<int>(NSMaxY(font->boundsForGlyph(font->glyphForCharacter('x'))));
    if (os2 && os2->version >= 2 && os2->sCapHeight > 0) font->m_capHeight = os2->sCapHeight;
    else font->m_capHeight = static_cast<int>(NSMaxY(font->boundsForGlyph(font->glyphForCharacter('H'))));

    r.loaded[key] = font;
    return font;
}

Ref<CGFont> CGFont::fontWithFamily(const Ref<NSString>& family, int weight, int slant)
{
    if (!family) return nullptr;
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    ensureConfiguration(r);
    const FaceInfo* face = closestFace(r, family->UTF8String(), weight, slant);
    return face ? load(face->file, face->index) : nullptr;
}

Ref<CGFont> CGFont::fontWithName(const Ref<NSString>& name)
{
    if (!name) return nullptr;
    std::string n = name->UTF8String();
    for (const Alias& a : kAliases)
        if (equalNoCase(n, a.name)) return fontWithFamily(NSString::stringWithUTF8String(a.family), a.weight, a.slant);
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    ensureConfiguration(r);
    for (const FaceInfo& f : r.faces)
        if (equalNoCase(f.postScript, n) || equalNoCase(f.fullName, n)) return load(f.file, f.index);
    if (const FaceInfo* f = closestFace(r, n, 80, 0)) return load(f->file, f->index);
    return nullptr;
}

std::vector<std::string> CGFont::availableFamilies()
{
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    ensureConfiguration(r);
    std::vector<std::string> families;
    for (const FaceInfo& f : r.faces)
        if (families.empty() || families.back() != f.family) families.push_back(f.family);
    std::sort(families.begin(), families.end());
    families.erase(std::unique(families.begin(), families.end()), families.end());
    return families;
}

std::vector<Ref<CGFont>> CGFont::facesOfFamily(const Ref<NSString>& family)
{
    std::vector<Ref<CGFont>> faces;
    if (!family) return faces;
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    ensureConfiguration(r);
    for (const FaceInfo& f : r.faces)
        if (equalNoCase(f.family, family->UTF8String()))
            if (auto font = load(f.file, f.index)) faces.push_back(font);
    return faces;
}

uint32_t CGFont::glyphForCharacter(uint32_t codePoint) const
{
    if (!m_native) return 0;
    hb_codepoint_t glyph = 0;
    hb_font_get_nominal_glyph(m_native->hbFont, codePoint, &glyph);
    return glyph;
}

CGFloat CGFont::advanceForGlyph(uint32_t glyph) const
{
    if (!m_native) return 0;
    return hb_font_get_glyph_h_advance(m_native->hbFont, glyph);
}

CGRect CGFont::boundsForGlyph(uint32_t glyph) const
{
    if (!m_native) return CGRectZero;
    hb_glyph_extents_t e;
    if (!hb_font_get_glyph_extents(m_native->hbFont, glyph, &e)) return CGRectZero;
    // HarfBuzz gives the top-left bearing and a negative height.
    return CGRectMake(e.x_bearing, e.y_bearing + e.height, e.width, -e.height);
}

void CGFont::appendGlyphOutline(uint32_t glyph, CGFloat size, CGPoint origin, CGPathElements& path) const
{
    if (!m_native) return;
    std::lock_guard lock(registry().mutex);
    if (FT_Load_Glyph(m_native->face, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0) return;
    FT_GlyphSlot slot = m_native->face->glyph;
    if (slot->format != FT_GLYPH_FORMAT_OUTLINE) return;
    OutlineSink sink{&path, size / m_unitsPerEm, origin, origin};
    size_t before = path.size();
    FT_Outline_Funcs funcs{outlineMove, outlineLine, outlineConic, outlineCubic, 0, 0};
    FT_Outline_Decompose(&slot->outline, &funcs, &sink);
    if (path.size() > before && path.elements.back().kind != CGPathElementKind::Close) path.close();
}

std::vector<CGShapedGlyph> CGFont::shape(const std::u16string& text, CGFloat size) const
{
    std::vector<CGShapedGlyph> out(text.size());
    if (!m_native || text.empty()) return out;
    hb_buffer_t* buffer = hb_buffer_create();
    hb_buffer_add_utf16(buffer, reinterpret_cast<const uint16_t*>(text.data()), static_cast<int>(text.size()), 0,
                        static_cast<int>(text.size()));
    hb_buffer_set_direction(buffer, HB_DIRECTION_LTR);
    hb_buffer_guess_segment_properties(buffer);
    hb_buffer_set_direction(buffer, HB_DIRECTION_LTR);
    hb_buffer_set_cluster_level(buffer, HB_BUFFER_CLUSTER_LEVEL_CHARACTERS);
    static const hb_feature_t features[] = {
        {HB_TAG('l', 'i', 'g', 'a'), 0, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END},
        {HB_TAG('c', 'l', 'i', 'g'), 0, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END},
        {HB_TAG('d', 'l', 'i', 'g'), 0, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END},
        {HB_TAG('k', 'e', 'r', 'n'), 0, HB_FEATURE_GLOBAL_START, HB_FEATURE_GLOBAL_END},
    };
    hb_shape(m_native->hbFont, buffer, features, std::size(features));
    unsigned count = 0;
    hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &count);
    hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buffer, &count);
    CGFloat scale = size / m_unitsPerEm;
    std::vector<bool> filled(text.size(), false);
    for (unsigned i = 0; i < count; ++i) {
        size_t at = std::min<size_t>(info[i].cluster, text.size() - 1);
        if (!filled[at]) out[at].glyph = info[i].codepoint, filled[at] = true;
        out[at].advance += pos[i].x_advance * scale;
    }
    hb_buffer_destroy(buffer);
    return out;
}

cairo_font_face_t* CGFont::cairoFace() const
{
    if (!m_native) return nullptr;
    if (!m_native->cairoFace)
        m_native->cairoFace =
            cairo_ft_font_face_create_for_ft_face(m_native->face, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP);
    return m_native->cairoFace;
}

bool CGFont::isEqual(const NSObject* other) const
{
    auto o = dynamic_cast<const CGFont*>(other);
    return o && o->m_file == m_file && o->m_index == m_index;
}

NSUInteger CGFont::hash() const { return std::hash<std::string>()(m_file) ^ static_cast<NSUInteger>(m_index); }
