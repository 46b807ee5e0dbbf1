#include "FormatKit/NSMutableString+FMTURLRequestFormatter.h"

#include "Foundation/NSCharacterSet.h"

void NSMutableStringExt::appendCommandLineArgument(const Ref<NSMutableString>& line, const Ref<NSString>& argument)
{
    if (!line) return;
    Ref<NSString> trimmed = argument
                                ? argument->stringByTrimmingCharactersInSet(NSCharacterSet::whitespaceCharacterSet())
                                : NSString::string();
    line->appendString(" "_ns);
    line->appendString(trimmed);
}
