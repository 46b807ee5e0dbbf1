#pragma once
// Drawing of themed cells into a recording context or a pixel image, and
// small archive helpers, shared by the themed-cell tests.
#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "AppKit/NSGraphicsContext.h"
#include "CoreGraphics/CGImage.h"
#include "CoreGraphics/CGRecordingContext.h"
#include "Foundation/NSData.h"
#include "Foundation/NSKeyedArchiver.h"
#include "Foundation/NSKeyedUnarchiver.h"

namespace themed_cells {

// The operations a drawing records (flipped user space, 200 x 100 device).
inline std::vector<CGRecordedOperation> record(const std::function<void()>& draw)
{
    auto rec = CGRecordingContext::create({200, 100});
    NSGraphicsContext::saveGraphicsState();
    NSGraphicsContext::setCurrentContext(NSGraphicsContext::graphicsContextWithGraphicsPort(rec, true));
    draw();
    NSGraphicsContext::restoreGraphicsState();
    return rec->operations();
}

inline std::vector<uint8_t> pixels(const std::function<void()>& draw)
{
    auto image = NSGraphicsContext::imageByDrawing(120, 40, NSMakeSize(120, 40), true, draw);
    const uint8_t* bytes = image->data();
    return {bytes, bytes + image->bytesPerRow() * 40};
}

inline std::vector<CGRecordedOperation> ofKind(const std::vector<CGRecordedOperation>& ops,
                                               CGRecordedOperation::Kind kind)
{
    std::vector<CGRecordedOperation> out;
    for (const auto& op : ops)
        if (op.kind == kind) out.push_back(op);
    return out;
}

// The keys an object of the class writes that the platform's cells do not
// (theirs all begin with "NS"), in the order written.
inline std::vector<std::string> ownKeys(const Id& object, const std::string& className)
{
    auto data = NSKeyedArchiver::archivedDataWithRootObject(object);
    auto document = nlohmann::ordered_json::parse(data->view());
    std::vector<std::string> keys;
    for (const auto& entry : document["objects"]) {
        if (entry.value("class", "") != className) continue;
        for (const auto& [key, value] : entry["keys"].items())
            if (key.rfind("NS", 0) != 0) keys.push_back(key);
    }
    return keys;
}

// Decodes one object of the class from the given keys.
inline Id decode(const std::string& className, const nlohmann::ordered_json& keys)
{
    nlohmann::ordered_json document = {{"top", {{"root", {{"$ref", 1}}}}},
                                       {"objects", {{{"id", 1}, {"class", className}, {"keys", keys}}}}};
    return NSKeyedUnarchiver::unarchiverForReadingWithJSON(document)->decodeObjectForKey("root"_ns);
}

}
