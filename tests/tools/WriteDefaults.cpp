// Writes Plumbline's defaults file before a launch, so a test can start the
// program with guidelines or a hot key already set:
//   plumbline-write-defaults <config folder> <key>=<value>...
// A value is YES, NO, an integer, or for "GuidelineSets" one set of lines
// written as <type>:<position> pairs separated by commas ("1:300,0:200":
// a vertical line at x 300 and a horizontal one at y 200).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Foundation/NSArchiver.h"
#include "Foundation/NSArray.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSUserDefaults.h"
#include "GuidelineSet.h"
#include "Guidelines.h"

namespace {
bool parseInteger(const std::string& text, long long* value)
{
    char* end = nullptr;
    *value = std::strtoll(text.c_str(), &end, 10);
    return !text.empty() && end && *end == '\0';
}

Id parseSets(const std::string& text)
{
    auto set = GuidelineSet::create("E2E"_ns);
    size_t start = 0;
    while (start < text.size()) {
        size_t comma = text.find(',', start);
        if (comma == std::string::npos) comma = text.size();
        const std::string pair = text.substr(start, comma - start);
        const size_t colon = pair.find(':');
        if (colon == std::string::npos) return nullptr;
        set->getLinesArray()->addObject(
            Guidelines::create(std::atoi(pair.c_str()), std::strtof(pair.c_str() + colon + 1, nullptr)));
        start = comma + 1;
    }
    auto sets = NSMutableArray::array();
    sets->addObject(set);
    return NSArchiver::archivedDataWithRootObject(sets);
}

Id parseValue(const std::string& key, const std::string& text)
{
    if (key == "GuidelineSets") return parseSets(text);
    if (text == "YES" || text == "NO") return NSNumber::numberWithBool(text == "YES");
    long long integer = 0;
    if (parseInteger(text, &integer)) return NSNumber::numberWithInteger(integer);
    return nullptr;
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <config folder> <key>=<value>...\n", argv[0]);
        return 2;
    }
    const std::string path = std::string(argv[1]) + "/org.plumbline.Plumbline.plist";
    auto defaults = NSUserDefaults::defaultsWithPath(NSString::stringWithUTF8String(path));
    if (!defaults) {
        std::fprintf(stderr, "cannot open %s\n", path.c_str());
        return 1;
    }
    for (int i = 2; i < argc; ++i) {
        const std::string argument = argv[i];
        const size_t eq = argument.find('=');
        const Id value =
            eq == std::string::npos ? nullptr : parseValue(argument.substr(0, eq), argument.substr(eq + 1));
        if (!value) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            return 2;
        }
        defaults->setObject(value, NSString::stringWithUTF8String(argument.substr(0, eq)));
    }
    if (!defaults->synchronize()) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return 1;
    }
    return 0;
}
