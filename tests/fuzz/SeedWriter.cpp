// Writes the seeds that are archives the program itself makes: guideline
// sets and colours as stored in the defaults (non-keyed), and a keyed
// archive of the values the program keeps in keyed archives.
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "AppKit/NSColor.h"
#include "Foundation/NSArchiver.h"
#include "Foundation/NSArray.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSKeyedArchiver.h"
#include "Foundation/NSNumber.h"
#include "GuidelineSet.h"
#include "Guidelines.h"

namespace {

void write(const std::filesystem::path& file, const Ref<NSData>& data)
{
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(data->bytes()), std::streamsize(data->length()));
}

}

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <seed folder>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path seeds = argv[1];
    auto defaultSet = GuidelineSet::create("Default"_ns);
    auto mine = GuidelineSet::create("Mine \u2192 2"_ns);
    mine->addGuideline(Guidelines::create(0, 80));
    mine->addGuideline(Guidelines::create(1, 42.5f));
    auto sets = NSArray::arrayWithObjects({Id(defaultSet), Id(mine)});
    write(seeds / "ArchiveFuzzer" / "guideline-sets", NSArchiver::archivedDataWithRootObject(sets));
    write(seeds / "ArchiveFuzzer" / "black", NSArchiver::archivedDataWithRootObject(NSColor::blackColor()));
    auto red = NSColor::colorWithCalibratedRed(1, 0, 0, 0.5);
    write(seeds / "ArchiveFuzzer" / "red", NSArchiver::archivedDataWithRootObject(red));
    auto values = NSDictionary::dictionaryWithEntries({
        {"colour"_ns, red},
        {"sizes"_ns, NSArray::arrayWithObjects({NSNumber::numberWithDouble(120.5), NSNumber::numberWithInteger(3)})},
        {"name"_ns, "Pane \u00E9"_ns},
    });
    write(seeds / "KeyedArchiveFuzzer" / "values", NSKeyedArchiver::archivedDataWithRootObject(values));
    return 0;
}
