#include "Carbon/IntlResources.h"

#include <unicode/udat.h>
#include <unicode/uloc.h>

#include <mutex>

#include "Foundation/CFStringEncoding.h"

namespace {

struct Store {
    std::mutex lock;
    std::optional<Intl0Rec> injected;
};

Store& store()
{
    static Store s;
    return s;
}

std::string utf8Of(const std::u16string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xF0 | (c >> 18));
            out += char(0x80 | ((c >> 12) & 0x3F));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// The current locale's short date pattern, e.g. "M/d/yy".
std::u16string shortDatePattern()
{
    UErrorCode status = U_ZERO_ERROR;
    UDateFormat* format = udat_open(UDAT_NONE, UDAT_SHORT, uloc_getDefault(), nullptr, 0, nullptr, 0, &status);
    if (U_FAILURE(status)) return u"";
    UChar buffer[128];
    const int32_t length = udat_toPattern(format, false, buffer, 128, &status);
    udat_close(format);
    if (U_FAILURE(status)) return u"";
    return std::u16string(reinterpret_cast<const char16_t*>(buffer), size_t(length));
}

}  // namespace

namespace IntlSettings {

std::optional<Intl0Rec> fromDatePattern(const std::u16string& pattern)
{
    std::string order;
    std::u16string separator;
    bool quoted = false;
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char16_t c = pattern[i];
        if (c == u'\'') {
            quoted = !quoted;
            continue;
        }
        const bool field = !quoted && (c == u'y' || c == u'M' || c == u'd');
        if (field) {
            const char letter = c == u'y' ? 'y' : c == u'M' ? 'm' : 'd';
            if (order.find(letter) == std::string::npos) order += letter;
            while (i + 1 < pattern.size() && pattern[i + 1] == c) ++i;
            continue;
        }
        // The first literal between two fields is the separator.
        if (order.size() == 1 && !(c >= u'A' && c <= u'Z') && !(c >= u'a' && c <= u'z')) separator += c;
    }
    if (order.size() != 3) return std::nullopt;
    static const char* const orders[] = {"mdy", "dmy", "ymd", "myd", "dym", "ydm"};
    Intl0Rec rec;
    for (uint8_t k = 0; k < 6; ++k)
        if (order == orders[k]) rec.dateOrder = k;
    // A separator of spaces only (or none) reads as a space.
    while (!separator.empty() && separator.back() == u' ') separator.pop_back();
    while (!separator.empty() && separator.front() == u' ') separator.erase(separator.begin());
    rec.dateSep = separator.empty() ? " " : utf8Of(separator);
    return rec;
}

void inject(const Intl0Rec& settings)
{
    std::lock_guard guard(store().lock);
    store().injected = settings;
}

void reset()
{
    std::lock_guard guard(store().lock);
    store().injected.reset();
}

}  // namespace IntlSettings

Intl0Hndl GetIntlResource(int16_t theID)
{
    if (theID != 0) return nullptr;
    {
        std::lock_guard guard(store().lock);
        if (store().injected) return std::make_shared<const Intl0Rec>(*store().injected);
    }
    auto rec = IntlSettings::fromDatePattern(shortDatePattern());
    return std::make_shared<const Intl0Rec>(rec ? *rec : Intl0Rec{});
}

long GetScriptManagerVariable(int16_t selector) { return selector == smSysScript ? smRoman : 0; }

OSStatus UpgradeScriptInfoToTextEncoding(ScriptCode script, LangCode, RegionCode, const unsigned char*,
                                         TextEncoding* encoding)
{
    if (script != smRoman) return kTextUnsupportedEncodingErr;
    if (encoding) *encoding = kCFStringEncodingUTF8;
    return noErr;
}
