// The process clock, real or virtual.
#include "Foundation/Clock.h"

#include <atomic>
#include <chrono>

#include "Foundation/NSDate.h"
#include "Foundation/NSException.h"
#include "Foundation/NSRunLoop.h"

namespace {

std::atomic<bool> g_virtual{false};
std::atomic<bool> g_advancesWhenIdle{false};
std::atomic<NSTimeInterval> g_virtualNow{0};
// The uptime reported when the virtual clock started, and the virtual time
// then; virtual uptime moves with the virtual clock from there.
std::atomic<NSTimeInterval> g_uptimeAtSwitch{0};
std::atomic<NSTimeInterval> g_virtualStart{0};

NSTimeInterval realNow()
{
    using namespace std::chrono;
    return duration<double>(system_clock::now().time_since_epoch()).count() - NSTimeIntervalSince1970;
}

NSTimeInterval realUptime()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

}

namespace Clock {

NSTimeInterval now()
{
    return g_virtual.load(std::memory_order_acquire) ? g_virtualNow.load(std::memory_order_acquire) : realNow();
}

NSTimeInterval systemUptime()
{
    if (!g_virtual.load(std::memory_order_acquire)) return realUptime();
    return g_uptimeAtSwitch.load() + (g_virtualNow.load() - g_virtualStart.load());
}

void useVirtualClock(NSTimeInterval startTime)
{
    g_uptimeAtSwitch.store(systemUptime());
    g_virtualStart.store(startTime);
    g_virtualNow.store(startTime, std::memory_order_release);
    g_virtual.store(true, std::memory_order_release);
    NSRunLoop::wakeAll();
}

void useVirtualClock() { useVirtualClock(realNow()); }

void useRealClock()
{
    g_virtual.store(false, std::memory_order_release);
    g_advancesWhenIdle.store(false);
    NSRunLoop::wakeAll();
}

bool isVirtual() { return g_virtual.load(std::memory_order_acquire); }

void advanceTo(NSTimeInterval time)
{
    if (!isVirtual()) NSException::raise(NSInternalInconsistencyException, "The virtual clock is not in use");
    NSTimeInterval current = g_virtualNow.load(std::memory_order_acquire);
    while (time > current && !g_virtualNow.compare_exchange_weak(current, time, std::memory_order_acq_rel)) { }
    NSRunLoop::wakeAll();
}

void advance(NSTimeInterval seconds)
{
    if (!isVirtual()) NSException::raise(NSInternalInconsistencyException, "The virtual clock is not in use");
    if (seconds <= 0) return;
    NSTimeInterval current = g_virtualNow.load(std::memory_order_acquire);
    while (!g_virtualNow.compare_exchange_weak(current, current + seconds, std::memory_order_acq_rel)) { }
    NSRunLoop::wakeAll();
}

void setAdvancesWhenIdle(bool flag)
{
    g_advancesWhenIdle.store(flag);
    NSRunLoop::wakeAll();
}

bool advancesWhenIdle() { return g_advancesWhenIdle.load(); }

}
