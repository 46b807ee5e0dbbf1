#include <unicode/parseerr.h>
#include <unicode/utypes.h>

#include <algorithm>
#include <iterator>

#include "Foundation/NSAssertionHandler.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSLog.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSValue.h"
#include "RegexLite/RXLPrivate.h"

namespace {

Ref<NSString> utf8(const char* text) { return NSString::stringWithUTF8String(text ? text : ""); }

// ICU fills the whole context buffer without a terminating NUL when its
// window ends inside a surrogate pair, so the text ends at the first NUL or
// at the end of the buffer, whichever comes first.
std::u16string boundedContext(const UChar (&context)[U_PARSE_CONTEXT_LEN])
{
    const UChar* end = std::find(std::begin(context), std::end(context), u'\0');
    return std::u16string(std::begin(context), end);
}

}  // namespace

std::string rxl_prefixedReason(const RXLCaller& caller, const std::string& message)
{
    // A reason that already carries a prefix is not prefixed again.
    if (message.rfind("*** ", 0) == 0) return message;
    const bool isClass = caller.receiver == nullptr;
    std::string className =
        caller.receiver ? caller.receiver->realClass().name() : (caller.className ? caller.className : "<NULL>");
    std::string result = "*** ";
    result += isClass ? '+' : '-';
    result += '[' + className + ' ' + (caller.selector ? caller.selector : ":NULL:") + "]: ";
    return result + message;
}

NSException rxl_exception(const RXLCaller& caller, const char* name, const std::string& message,
                          Ref<NSDictionary> userInfo)
{
    return NSException(name, rxl_prefixedReason(caller, message), std::move(userInfo));
}

void rxl_raise(const RXLCaller& caller, const char* name, const std::string& message)
{
    throw rxl_exception(caller, name, message);
}

void rxl_raiseDeferred(RXLDeferred& deferred)
{
    if (deferred.assertion) {
        Ref<NSDictionary> record = std::move(deferred.assertion);
        rxl_reportAssertion(record);
    }
    if (deferred.exception) {
        std::unique_ptr<NSException> e = std::move(deferred.exception);
        throw NSException(*e);
    }
}

Ref<NSDictionary> rxl_errorUserInfo(const RXLErrorInfo& info)
{
    auto dict = NSMutableDictionary::dictionary();
    auto put = [&](const Id& value, const char* key) {
        if (value) dict->setObject(value, utf8(key));
    };
    put(info.regex ? info.regex : utf8("<NULL regex>"), "RXLICURegexRegex");
    if (info.options) put(NSNumber::numberWithUnsignedInt(*info.options), "RXLICURegexRegexOptions");
    put(NSNumber::numberWithInt(info.status), "RXLICURegexErrorCode");
    put(utf8(u_errorName(info.status)), "RXLICURegexErrorName");
    put(info.subject, "RXLICURegexSubjectString");
    if (info.range) put(NSValue::valueWithRange(*info.range), "RXLICURegexSubjectRange");
    put(info.replacement, "RXLICURegexReplacementString");
    put(info.replaced, "RXLICURegexReplacedString");
    if (info.replacedCount) put(NSNumber::numberWithInteger(*info.replacedCount), "RXLICURegexReplacedCount");
    if (info.enumerationOptions)
        put(NSNumber::numberWithUnsignedInteger(*info.enumerationOptions), "RXLICURegexEnumerationOptions");
    const UParseError* pe = info.parseError;
    const bool hasParseError = pe && pe->line != -1;
    Ref<NSString> pre, post;
    if (hasParseError) {
        pre = NSString::stringWithUTF16(boundedContext(pe->preContext));
        post = NSString::stringWithUTF16(boundedContext(pe->postContext));
        put(NSNumber::numberWithInt(pe->line), "RXLICURegexLine");
        put(NSNumber::numberWithInt(pe->offset), "RXLICURegexOffset");
        put(pre, "RXLICURegexPreContext");
        put(post, "RXLICURegexPostContext");
    }
    Ref<NSString> errorName = utf8(u_errorName(info.status));
    Ref<NSString> reason = hasParseError
                               ? NSString::stringWithFormat("The error %@ occurred at line %d, column %d: %@<<HERE>>%@",
                                                            errorName, pe->line, pe->offset, pre, post)
                               : NSString::stringWithFormat("The error %@ occurred.", errorName);
    dict->setObject(reason, NSLocalizedFailureReasonErrorKey());
    // The table never grows past 62 entries.
    for (const auto& [object, key] : info.extra) {
        if (dict->count() >= 62) break;
        if (object && key) dict->setObject(object, key);
    }
    return NSDictionary::dictionaryWithDictionary(dict);
}

Ref<NSError> rxl_makeNSError(const RXLErrorInfo& info)
{
    return NSError::errorWithDomain(utf8("RXLICURegexErrorDomain"), info.status, rxl_errorUserInfo(info));
}

NSException rxl_icuException(const RXLCaller& caller, const RXLErrorInfo& info)
{
    std::string message = "ICU regular expression error #" + std::to_string(static_cast<int>(info.status)) + ", " +
                          u_errorName(info.status) + ".";
    return rxl_exception(caller, "RXLICURegexException", message, rxl_errorUserInfo(info));
}

void rxl_assertionFailure(const char* file, long line, const char* condition)
{
    NSLog("%@:%ld: Invalid parameter not satisfying: %s\n", utf8(file), line, condition);
    AbortProcess();
}

Ref<NSDictionary> rxl_assertionInfo(const char* function, const char* file, long line, const char* condition)
{
    return NSDictionary::dictionaryWithEntries({
        {utf8("description"), NSString::stringWithFormat("Invalid parameter not satisfying: %s", condition)},
        {utf8("function"), utf8(function)},
        {utf8("file"), utf8(file)},
        {utf8("line"), NSNumber::numberWithInteger(line)},
        {utf8("exceptionName"), utf8(NSInternalInconsistencyException)},
    });
}

void rxl_reportAssertion(const Ref<NSDictionary>& record)
{
    static const char* const keys[] = {"description", "function", "file", "line", "exceptionName"};
    for (const char* key : keys) {
        if (!record || !record->objectForKey(utf8(key))) {
            rxl_assertionFailure(__FILE__, __LINE__, "assertion record is complete");
            return;
        }
    }
    auto text = [&](const char* key) { return dynamic_ref_cast<NSString>(record->objectForKey(utf8(key))); };
    auto line = dynamic_ref_cast<NSNumber>(record->objectForKey(utf8("line")));
    NSLog("*** Assertion failure in %@, %@:%ld", text("function"), text("file"), line ? line->integerValue() : 0L);
    NSException(NSInternalInconsistencyException, text("description")->UTF8String(), record).raise();
}
