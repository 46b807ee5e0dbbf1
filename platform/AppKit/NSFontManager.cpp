#include "AppKit/NSFontManager.h"

#include <cstdlib>

#include "Foundation/NSClass.h"
#include "Foundation/NSNumber.h"

NS_CLASS_DEFINE(NSFontManager)

namespace {
// fontconfig weights and the platform's 0-15 scale.
struct WeightStep {
    int fc, platform;
};
constexpr WeightStep kWeights[] = {{0, 2},   {40, 3},  {50, 4},   {80, 5},  {100, 6},
                                   {180, 8}, {200, 9}, {205, 10}, {210, 11}};

NSInteger platformWeight(int fc)
{
    const WeightStep* best = &kWeights[0];
    for (const WeightStep& w : kWeights)
        if (std::abs(w.fc - fc) < std::abs(best->fc - fc)) best = &w;
    return best->platform;
}

int fcWeight(NSInteger platform)
{
    const WeightStep* best = &kWeights[0];
    for (const WeightStep& w : kWeights)
        if (std::abs(w.platform - platform) < std::abs(best->platform - platform)) best = &w;
    return best->fc;
}

NSFontTraitMask traitsOfFace(const Ref<CGFont>& face)
{
    NSFontTraitMask traits = 0;
    if (face->weight() >= 180) traits |= NSBoldFontMask;
    if (face->slant() > 0) traits |= NSItalicFontMask;
    if (face->isFixedPitch()) traits |= NSFixedPitchFontMask;
    if (face->styleName() && face->styleName()->UTF8String().find("Condensed") != std::string::npos)
        traits |= NSCondensedFontMask;
    return traits;
}
}

Ref<NSFontManager> NSFontManager::sharedFontManager()
{
    static auto* shared = new Ref<NSFontManager>(make<NSFontManager>());
    return *shared;
}

Ref<NSArray> NSFontManager::availableFonts() const
{
    std::vector<Id> names;
    for (const std::string& family : CGFont::availableFamilies())
        for (const auto& face : CGFont::facesOfFamily(NSString::stringWithUTF8String(family)))
            names.push_back(face->postScriptName());
    return NSArray::arrayWithVector(std::move(names));
}

Ref<NSArray> NSFontManager::availableFontFamilies() const
{
    std::vector<Id> names;
    for (const std::string& family : CGFont::availableFamilies())
        names.push_back(NSString::stringWithUTF8String(family));
    return NSArray::arrayWithVector(std::move(names));
}

Ref<NSArray> NSFontManager::availableMembersOfFontFamily(const Ref<NSString>& family) const
{
    auto faces = CGFont::facesOfFamily(family);
    if (faces.empty()) return nullptr;
    std::vector<Id> members;
    for (const auto& face : faces)
        members.push_back(NSArray::arrayWithObjects({face->postScriptName(), face->styleName(),
                                                     NSNumber::numberWithInteger(platformWeight(face->weight())),
                                                     NSNumber::numberWithUnsignedInteger(traitsOfFace(face))}));
    return NSArray::arrayWithVector(std::move(members));
}

NSFontTraitMask NSFontManager::traitsOfFont(const Ref<NSFont>& font) const
{
    return font ? traitsOfFace(font->cgFont()) : 0;
}

NSInteger NSFontManager::weightOfFont(const Ref<NSFont>& font) const
{
    return font ? platformWeight(font->cgFont()->weight()) : 5;
}

Ref<NSFont> NSFontManager::fontWithFamily(const Ref<NSString>& family, NSFontTraitMask traits, NSInteger weight,
                                          CGFloat size) const
{
    int fc = (traits & NSBoldFontMask) ? 200 : fcWeight(weight);
    int slant = (traits & NSItalicFontMask) ? 100 : 0;
    auto face = CGFont::fontWithFamily(family, fc, slant);
    if (!face) return nullptr;
    // Only a face that really has the traits asked for.
    if ((traits & NSBoldFontMask) && face->weight() < 180) return nullptr;
    if ((traits & NSItalicFontMask) && face->slant() == 0) return nullptr;
    return NSFont::fontWithCGFont(face, size);
}

Ref<NSFont> NSFontManager::convertFontToHaveTrait(const Ref<NSFont>& font, NSFontTraitMask trait) const
{
    if (!font) return nullptr;
    NSFontTraitMask traits = traitsOfFont(font);
    if (trait & NSUnboldFontMask) traits &= ~NSBoldFontMask;
    if (trait & NSUnitalicFontMask) traits &= ~NSItalicFontMask;
    traits |= trait & (NSBoldFontMask | NSItalicFontMask);
    NSInteger weight = (traits & NSBoldFontMask) ? 9 : 5;
    auto converted =
        fontWithFamily(font->familyName(), traits & (NSBoldFontMask | NSItalicFontMask), weight, font->pointSize());
    return converted ? converted : font;
}

Ref<NSFont> NSFontManager::convertFontToNotHaveTrait(const Ref<NSFont>& font, NSFontTraitMask trait) const
{
    if (!font) return nullptr;
    NSFontTraitMask remove = trait;
    if (trait & NSBoldFontMask) remove |= NSUnboldFontMask;
    if (trait & NSItalicFontMask) remove |= NSUnitalicFontMask;
    return convertFontToHaveTrait(font, remove & (NSUnboldFontMask | NSUnitalicFontMask));
}

Ref<NSFont> NSFontManager::convertFontToSize(const Ref<NSFont>& font, CGFloat size) const
{
    return font ? NSFont::fontWithCGFont(font->cgFont(), size) : nullptr;
}

Ref<NSFont> NSFontManager::convertFontToFamily(const Ref<NSFont>& font, const Ref<NSString>& family) const
{
    if (!font) return nullptr;
    auto converted = fontWithFamily(family, traitsOfFont(font) & (NSBoldFontMask | NSItalicFontMask),
                                    weightOfFont(font), font->pointSize());
    return converted ? converted : font;
}
