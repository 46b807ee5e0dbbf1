#pragma once
// The international settings Carbon callers read: the short date's field
// order and separator (international resource 0), the system script and the
// text encoding a script's bytes are in. The answers come from ICU's short
// date pattern of the current locale; tests inject settings of their own.
//
// The separator is kept as UTF-8 text and the system script's encoding is
// UTF-8, so a separator of several bytes converts whole.
#include <memory>
#include <optional>
#include <string>

#include "Carbon/CarbonTypes.h"

using ScriptCode = int16_t;
using LangCode = int16_t;
using RegionCode = int16_t;
using TextEncoding = UInt32;

// Date orders of Intl0Rec: the order of month (m), day (d) and year (y).
enum : uint8_t { mdy = 0, dmy = 1, ymd = 2, myd = 3, dym = 4, ydm = 5 };

// Selector of GetScriptManagerVariable for the system script.
inline constexpr int16_t smSysScript = 18;
inline constexpr ScriptCode smRoman = 0;
// "Don't care" language and region for UpgradeScriptInfoToTextEncoding.
inline constexpr LangCode kTextLanguageDontCare = -128;
inline constexpr RegionCode kTextRegionDontCare = -128;
inline constexpr OSStatus kTextUnsupportedEncodingErr = -8738;

struct Intl0Rec {
    uint8_t dateOrder = mdy;
    std::string dateSep = "/";  // UTF-8
};
using Intl0Hndl = std::shared_ptr<const Intl0Rec>;

// Resource 0 only; nil for any other number.
Intl0Hndl GetIntlResource(int16_t theID);
// smSysScript answers smRoman; other selectors 0.
long GetScriptManagerVariable(int16_t selector);
// The system script's encoding (UTF-8); an unknown script fails.
OSStatus UpgradeScriptInfoToTextEncoding(ScriptCode script, LangCode language, RegionCode region,
                                         const unsigned char* fontName, TextEncoding* encoding);

namespace IntlSettings {
// The date order and separator of an ICU short date pattern ("M/d/yy" gives
// mdy and "/"); nullopt when the pattern has not all three fields.
std::optional<Intl0Rec> fromDatePattern(const std::u16string& pattern);
// Settings that GetIntlResource answers from now on, instead of the locale's.
void inject(const Intl0Rec& settings);
// Back to the current locale's settings.
void reset();
}  // namespace IntlSettings
