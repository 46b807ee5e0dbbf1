#include <gtest/gtest.h>

#include <thread>

#include "Foundation/NSAssertionHandler.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSException.h"
#include "Foundation/NSNumber.h"
#include "LogCapture.h"

namespace {

class AssertionTestWidget : public NSObject {
    NS_OBJECT(AssertionTestWidget, NSObject)
protected:
    AssertionTestWidget() = default;

public:
    void setWidth(NSInteger width)
    {
        NSParameterAssert(width > 0);
        m_width = width;
    }
    void fire(const Id& timer) const { NSAssert(timer == nullptr, "Spring fired by unrecognized timer %@", timer); }
    NSInteger m_width = 0;
};
NS_CLASS_DEFINE(AssertionTestWidget)

int checkedHalf(int value)
{
    NSCParameterAssert(value % 2 == 0);
    NSCAssert(value < 100, "value %d too large", value);
    return value / 2;
}

// Records failures and returns, as a test's handler may.
class RecordingHandler : public NSAssertionHandler {
    NS_OBJECT(RecordingHandler, NSAssertionHandler)
protected:
    RecordingHandler() = default;

public:
    void handleFailureInMethod(const SEL& selector, const NSObject* object, const Ref<NSString>& fileName,
                               NSInteger line, const Ref<NSString>& description) override
    {
        failures.push_back(selector + " " + (object ? object->className()->UTF8String() : "nil") + " " +
                           description->UTF8String());
        lastFile = fileName->UTF8String();
        lastLine = line;
    }
    void handleFailureInFunction(const Ref<NSString>& function, const Ref<NSString>& fileName, NSInteger line,
                                 const Ref<NSString>& description) override
    {
        failures.push_back(function->UTF8String() + " " + description->UTF8String());
        lastFile = fileName->UTF8String();
        lastLine = line;
    }
    std::vector<std::string> failures;
    std::string lastFile;
    NSInteger lastLine = 0;
};
NS_CLASS_DEFINE(RecordingHandler)

std::string failureReason(const std::function<void()>& body)
{
    try {
        body();
    } catch (const NSException& e) {
        EXPECT_EQ(e.nameUTF8(), NSInternalInconsistencyException);
        return e.reasonUTF8();
    }
    ADD_FAILURE() << "no exception";
    return {};
}

}

TEST(Assertions, DefaultHandlerLogsAndRaisesWithThePlatformTexts)
{
    LogCapture log;
    auto widget = NSObject::make<AssertionTestWidget>();
    widget->setWidth(3);
    EXPECT_EQ(widget->m_width, 3);
    EXPECT_EQ(checkedHalf(8), 4);
    EXPECT_TRUE(log.lines().empty());

    struct Case {
        std::function<void()> body;
        const char* reason;
        const char* logged;
    } cases[] = {
        {[&] { widget->setWidth(0); }, "Invalid parameter not satisfying: width > 0",
         "*** Assertion failure in -[AssertionTestWidget setWidth], "},
        {[&] { widget->fire(NSNumber::numberWithInt(42)); }, "Spring fired by unrecognized timer 42",
         "*** Assertion failure in -[AssertionTestWidget fire], "},
        {[] { checkedHalf(3); }, "Invalid parameter not satisfying: value % 2 == 0",
         "*** Assertion failure in checkedHalf(), "},
        {[] { checkedHalf(200); }, "value 200 too large", "*** Assertion failure in checkedHalf(), "},
    };
    for (const Case& c : cases) {
        size_t before = log.lines().size();
        EXPECT_EQ(failureReason(c.body), c.reason);
        ASSERT_EQ(log.lines().size(), before + 1);
        const std::string& line = log.lines().back();
        EXPECT_EQ(line.rfind(c.logged, 0), 0u) << line;
        EXPECT_NE(line.find("AssertionTests.cpp:"), std::string::npos) << line;
    }
    EXPECT_EQ(widget->m_width, 3);
}

TEST(Assertions, AnInstalledHandlerReceivesFailuresOnItsThreadOnly)
{
    auto recorder = NSObject::make<RecordingHandler>();
    auto previous = NSAssertionHandler::setCurrentHandler(recorder);
    EXPECT_EQ(NSAssertionHandler::currentHandler().get(), recorder.get());

    auto widget = NSObject::make<AssertionTestWidget>();
    widget->setWidth(-1);  // the handler returns, so the method goes on
    EXPECT_EQ(widget->m_width, -1);
    EXPECT_EQ(checkedHalf(300), 150);
    EXPECT_EQ(recorder->failures,
              (std::vector<std::string>{"setWidth AssertionTestWidget Invalid parameter not satisfying: width > 0",
                                        "checkedHalf value 300 too large"}));
    EXPECT_NE(recorder->lastFile.find("AssertionTests.cpp"), std::string::npos);
    EXPECT_GT(recorder->lastLine, 0);

    // Another thread has a default handler of its own.
    std::string otherReason;
    NSAssertionHandler* otherHandler = nullptr;
    std::thread([&] {
        LogCapture log;
        otherHandler = NSAssertionHandler::currentHandler().get();
        try {
            checkedHalf(5);
        } catch (const NSException& e) {
            otherReason = e.reasonUTF8();
        }
    }).join();
    EXPECT_NE(otherHandler, recorder.get());
    EXPECT_EQ(otherReason, "Invalid parameter not satisfying: value % 2 == 0");
    EXPECT_EQ(recorder->failures.size(), 2u);

    NSAssertionHandler::setCurrentHandler(previous);
    EXPECT_NE(NSAssertionHandler::currentHandler().get(), recorder.get());
}

TEST(Assertions, AbortGoesThroughTheReplaceableHook)
{
    int calls = 0;
    auto previous = SetAbortHook([&calls] { ++calls; });
    AbortProcess();
    EXPECT_EQ(calls, 1);
    SetAbortHook(previous);
    EXPECT_DEATH(AbortProcess(), "");
}
