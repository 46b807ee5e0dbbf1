#include "WindowServer/WindowServer.h"

#include <atomic>
#include <cstdlib>
#include <map>
#include <mutex>

#include "Foundation/NSException.h"

namespace {

struct Registry {
    std::mutex lock;
    std::map<std::string, WindowServer::Factory> factories;
    std::unique_ptr<WindowServer> shared;
};

Registry& registry()
{
    static auto* r = new Registry;
    return *r;
}

// Answers nothing and drops every report: a server made before any client.
class NoClient final : public WindowServerClient {
public:
    NSUInteger windowStyleMask(WSWindowID) const override { return NSTitledWindowMask; }
    bool windowTakesFocus(WSWindowID) const override { return false; }
    void eventArrived(const WSEvent&) override { }
    void windowFrameChanged(WSWindowID, const NSRect&) override { }
    void windowCloseRequested(WSWindowID) override { }
    void windowFocusChanged(WSWindowID, bool) override { }
    void windowDecorationsChanged() override { }
    void screensChanged() override { }
    void quitRequested() override { }
    void dockMenuRequested(NSPoint) override { }
    void dockIconHostChanged() override { }
    void pasteboardMirrorChanged(WSPasteboard, std::unique_ptr<PasteboardMirror>) override { }
};

WindowServerClient*& defaultClient()
{
    static auto* none = new NoClient;
    static auto* client = new WindowServerClient*(none);
    return *client;
}

std::string chooseBackend(const std::map<std::string, WindowServer::Factory>& factories)
{
    if (const char* forced = std::getenv("PLUMBLINE_BACKEND"); forced && *forced) return forced;
    const char* display = std::getenv("DISPLAY");
    if (factories.count("x11") && display && *display) return "x11";
    return "headless";
}

}

WindowServer::WindowServer()
    : m_client(defaultClient())
{ }

void WindowServer::setDefaultClient(WindowServerClient& client) { defaultClient() = &client; }

WindowServer::~WindowServer() = default;

bool WindowServer::registerBackend(const std::string& name, Factory factory)
{
    std::lock_guard guard(registry().lock);
    registry().factories[name] = std::move(factory);
    return true;
}

std::vector<std::string> WindowServer::registeredBackends()
{
    std::lock_guard guard(registry().lock);
    std::vector<std::string> names;
    for (const auto& [name, factory] : registry().factories) names.push_back(name);
    return names;
}

namespace {
std::atomic<NSUInteger> g_currentModifiers{0};
}

NSUInteger WindowServer::currentModifierFlags() { return g_currentModifiers.load(); }

void WindowServer::noteModifierFlags(NSUInteger flags) { g_currentModifiers.store(flags); }

bool WindowServer::hasShared()
{
    std::lock_guard guard(registry().lock);
    return registry().shared != nullptr;
}

WindowServer& WindowServer::shared()
{
    auto& r = registry();
    std::lock_guard guard(r.lock);
    if (r.shared) return *r.shared;
    const std::string name = chooseBackend(r.factories);
    auto it = r.factories.find(name);
    if (it == r.factories.end())
        NSException::raise(NSInternalInconsistencyException,
                           "No window-server backend named \"" + name + "\" is linked into this program");
    r.shared = it->second();
    return *r.shared;
}

NSInteger WindowServer::addGlobalPointerMonitor(PointerMonitor monitor)
{
    NSInteger token = m_nextMonitor++;
    m_monitors.emplace_back(token, std::move(monitor));
    return token;
}

void WindowServer::removeGlobalPointerMonitor(NSInteger token)
{
    std::erase_if(m_monitors, [&](const auto& m) { return m.first == token; });
}

void WindowServer::notifyPointerMonitors(NSPoint location, NSUInteger eventType)
{
    // A monitor may remove itself while called.
    auto monitors = m_monitors;
    for (const auto& [token, monitor] : monitors) monitor(location, eventType);
}

void WindowServer::setActivationPolicy(WSActivationPolicy policy)
{
    if (policy == m_activationPolicy) return;
    m_activationPolicy = policy;
    applyActivationPolicy();
    client().dockIconHostChanged();
}
