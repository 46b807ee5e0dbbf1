// The server application of the live-link tests, started from an
// application folder. It publishes the server "Upper"; asked to edit, it
// upper-cases the string in the link data's application data and sends the
// edit back (application data "close" makes it close the link instead).
// It writes what happens, one line each, to $LIVELINK_TEST_RECORD:
//   pid <n>            once published
//   edit <link> <main> per edit request (link identity, 1 on the main thread)
//   closed <link>      when the client closed a link
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "AppKit/NSApplication.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSRunLoop.h"
#include "Foundation/NSThread.h"
#include "LiveLink/LiveLink.h"
#include "LiveLink/NSDictionary+LiveLinkData.h"

namespace {

void record(const std::string& line)
{
    const char* path = std::getenv("LIVELINK_TEST_RECORD");
    if (!path) return;
    std::ofstream(path, std::ios::app) << line << "\n";
}

std::string identity(const Ref<LiveLink>& link)
{
    std::ostringstream out;
    out << static_cast<const void*>(link.get());
    return out.str();
}

}

class UpperDelegate : public NSObject, public LiveLinkDelegate {
    NS_OBJECT(UpperDelegate, NSObject)
protected:
    UpperDelegate() = default;

public:
    void liveLinkClientDidRequestEdit(const Ref<LiveLink>& link) override
    {
        record("edit " + identity(link) + " " + (NSThread::isMainThread() ? "1" : "0"));
        auto pasteboard = link->pasteboard();
        auto data = dynamic_ref_cast<NSDictionary>(pasteboard->propertyListForType(LiveLinkDataPboardType));
        auto text = data ? dynamic_ref_cast<NSString>(data->objectForKey("appData"_ns)) : nullptr;
        if (text && text->isEqualToString("close"_ns)) {
            link->closeLink();
            return;
        }
        auto edited = NSMutableDictionary::dictionaryWithDictionary(data);
        edited->setObject(text ? text->uppercaseString() : ""_ns, "appData"_ns);
        pasteboard->declareTypes(NSArray::arrayWithObjects({LiveLinkDataPboardType}), nullptr);
        pasteboard->setPropertyList(edited, LiveLinkDataPboardType);
        link->sendEdit();
    }
    void liveLinkDidClose(const Ref<LiveLink>& link) override { record("closed " + identity(link)); }
};
NS_CLASS_DEFINE(UpperDelegate)

int main()
{
    NSApplication::sharedApplication();
    auto delegate = NSObject::make<UpperDelegate>();
    if (!LiveLink::publishServerWithName("Upper"_ns, delegate)) {
        record("publish failed");
        return 1;
    }
    record("pid " + std::to_string(getpid()));
    NSRunLoop::mainRunLoop()->run();
    return 0;
}
