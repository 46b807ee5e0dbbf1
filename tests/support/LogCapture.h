#pragma once
// Collects NSLog messages for the lifetime of the object.
#include <string>
#include <vector>

#include "Foundation/NSLog.h"

class LogCapture {
public:
    LogCapture()
    {
        m_previous = SetLogSink([this](const std::string& m) { m_lines.push_back(m); });
    }
    ~LogCapture() { SetLogSink(std::move(m_previous)); }
    const std::vector<std::string>& lines() const { return m_lines; }

private:
    std::vector<std::string> m_lines;
    LogSink m_previous;
};
