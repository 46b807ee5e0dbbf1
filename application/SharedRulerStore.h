#pragma once
// The open rulers, through which they are shown, hidden and closed and the
// pointer location reaches them.
#include "Foundation/NSArray.h"
#include "RulerWindowController.h"

class SharedRulerStore : public NSObject {
    NS_OBJECT(SharedRulerStore, NSObject)
protected:
    SharedRulerStore() = default;

public:
    static Ref<SharedRulerStore> getSharedRulerStore();
    Id init() override;
    static void resetShared();

    int32_t numberOfRuler() const { return static_cast<int32_t>(m_rulers.size()); }
    int32_t numberOfVisibleRuler() const;
    int32_t numberOfNotVisibleRuler() const { return numberOfRuler() - numberOfVisibleRuler(); }
    const std::vector<Ref<RulerWindowController>>& rulers() const { return m_rulers; }

    void addRuler(const Ref<RulerWindowController>& ruler);
    void removeAndCloseRuler(const Ref<RulerWindowController>& ruler);
    void hideRuler();
    void showRuler();
    void closeAndRemoveAllRuler();
    void publishCurrentMouseLocation(NSPoint point);

    // Installs the listen-only pointer tap on the main run loop.
    static bool installMouseTap();

private:
    std::vector<Ref<RulerWindowController>> m_rulers;
};
