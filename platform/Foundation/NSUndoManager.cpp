#include "Foundation/NSUndoManager.h"

#include <algorithm>

#include "Foundation/NSClass.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSException.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSNumber.h"

NS_CLASS_DEFINE(NSUndoManager)

// A group holds actions and nested groups in the order recorded; undo runs
// them last first.
struct NSUndoManager::Group {
    struct Entry {
        Weak<NSObject> target;
        std::function<void(const Id&)> perform;
        std::unique_ptr<Group> group;
    };
    std::vector<Entry> entries;
    Ref<NSString> name = ""_ns;
    bool discardable = false;

    bool hasActions() const
    {
        return std::any_of(entries.begin(), entries.end(),
                           [](const Entry& e) { return !e.group || e.group->hasActions(); });
    }
    void removeTarget(const NSObject* target)
    {
        std::erase_if(entries, [&](Entry& e) {
            if (e.group) {
                e.group->removeTarget(target);
                return !e.group->hasActions();
            }
            auto alive = e.target.get();
            return !alive || alive.get() == target;
        });
    }
};

NSUndoManager::NSUndoManager() = default;

NSUndoManager::~NSUndoManager() { stopWatchingEndOfEvent(); }

Id NSUndoManager::init() { return this; }

// --- Groups ---

NSUndoManager::Stack& NSUndoManager::recordingStack() { return m_state == State::Undoing ? m_redoStack : m_undoStack; }

NSUndoManager::Group* NSUndoManager::openGroup() const { return m_open.empty() ? nullptr : m_open.back(); }

NSInteger NSUndoManager::groupingLevel() const { return static_cast<NSInteger>(m_open.size()); }

void NSUndoManager::post(const Ref<NSString>& name, const Ref<NSDictionary>& userInfo)
{
    NSNotificationCenter::defaultCenter()->postNotificationName(name, Ref<NSUndoManager>(this), userInfo);
}

void NSUndoManager::beginUndoGrouping()
{
    post(NSUndoManagerCheckpointNotification);
    auto group = std::make_unique<Group>();
    Group* raw = group.get();
    if (auto* parent = openGroup()) {
        parent->entries.push_back({nullptr, nullptr, std::move(group)});
    } else {
        recordingStack().push_back(std::move(group));
    }
    m_open.push_back(raw);
    post(NSUndoManagerDidOpenUndoGroupNotification);
}

void NSUndoManager::endUndoGrouping()
{
    if (m_open.empty())
        NSException::raise(NSInternalInconsistencyException, "endUndoGrouping called with no open undo group");
    post(NSUndoManagerCheckpointNotification);
    Group* closing = m_open.back();
    post(NSUndoManagerWillCloseUndoGroupNotification,
         NSDictionary::dictionaryWithEntries(
             {{NSUndoManagerGroupIsDiscardableKey, NSNumber::numberWithBool(closing->discardable)}}));
    m_open.pop_back();
    if (!closing->hasActions()) {
        if (auto* parent = openGroup()) {
            std::erase_if(parent->entries, [&](const Group::Entry& e) { return e.group.get() == closing; });
        } else {
            auto& stack = recordingStack();
            std::erase_if(stack, [&](const std::unique_ptr<Group>& g) { return g.get() == closing; });
        }
    } else if (m_open.empty()) {
        trimToLevels(recordingStack());
    }
    if (m_open.empty() && m_eventGroupOpen) {
        m_eventGroupOpen = false;
        stopWatchingEndOfEvent();
    }
    post(NSUndoManagerDidCloseUndoGroupNotification);
}

void NSUndoManager::setGroupsByEvent(bool groups)
{
    m_groupsByEvent = groups;
    if (!groups) stopWatchingEndOfEvent();
}

void NSUndoManager::watchEndOfEvent()
{
    if (m_endOfEventObserver) return;
    m_watchedLoop = NSRunLoop::currentRunLoop();
    Weak<NSUndoManager> self(this);
    m_endOfEventObserver = m_watchedLoop->addObserver(
        m_runLoopModes,
        [self] {
            if (auto manager = self.get()) manager->closeEventGroup();
        },
        // Before display and the deferred releases, so what redraws sees
        // the closed group.
        -1000);
}

void NSUndoManager::stopWatchingEndOfEvent()
{
    if (!m_endOfEventObserver) return;
    m_watchedLoop->removeSource(m_endOfEventObserver);
    m_endOfEventObserver = 0;
    m_watchedLoop = nullptr;
}

void NSUndoManager::closeEventGroup()
{
    stopWatchingEndOfEvent();
    if (!m_eventGroupOpen) return;
    // A group the program opened inside the event's group and left open is
    // its fault; the event's group stays open until it is closed.
    if (m_open.size() == 1) endUndoGrouping();
}

// --- Registration ---

void NSUndoManager::enableUndoRegistration()
{
    if (m_disabled == 0)
        NSException::raise(NSInternalInconsistencyException,
                           "enableUndoRegistration called more often than disableUndoRegistration");
    --m_disabled;
}

void NSUndoManager::registerAction(const Id& target, std::function<void(const Id&)> perform)
{
    if (!target || !isUndoRegistrationEnabled()) return;
    if (m_open.empty()) {
        if (!m_groupsByEvent)
            NSException::raise(NSInternalInconsistencyException,
                               "undo registration without an open undo group (groupsByEvent is off)");
        beginUndoGrouping();
        m_eventGroupOpen = true;
        watchEndOfEvent();
    }
    if (m_state == State::Normal) m_redoStack.clear();
    openGroup()->entries.push_back({Weak<NSObject>(target), std::move(perform), nullptr});
}

void NSUndoManager::registerUndoWithTarget(const Id& target, const SEL& selector, const Id& object)
{
    registerAction(target, [selector, object](const Id& t) { t->performSelector(selector, object); });
}

void NSUndoManager::registerUndoWithTarget(const Id& target, Handler handler)
{
    registerAction(target, std::move(handler));
}

void NSUndoManager::removeAllActions()
{
    m_undoStack.clear();
    m_redoStack.clear();
    m_open.clear();
    m_eventGroupOpen = false;
    m_disabled = 0;
    stopWatchingEndOfEvent();
}

void NSUndoManager::removeAllActionsWithTarget(const Id& target)
{
    for (Stack* stack : {&m_undoStack, &m_redoStack}) {
        for (auto& group : *stack) group->removeTarget(target.get());
        // Open groups stay, even empty: their closing is still to come.
        std::erase_if(*stack, [&](const std::unique_ptr<Group>& g) {
            return !g->hasActions() && std::find(m_open.begin(), m_open.end(), g.get()) == m_open.end();
        });
    }
}

// --- Undo and redo ---

bool NSUndoManager::canUndo() const
{
    return std::any_of(m_undoStack.begin(), m_undoStack.end(),
                       [](const std::unique_ptr<Group>& g) { return g->hasActions(); });
}

bool NSUndoManager::canRedo() const
{
    return std::any_of(m_redoStack.begin(), m_redoStack.end(),
                       [](const std::unique_ptr<Group>& g) { return g->hasActions(); });
}

void NSUndoManager::undo()
{
    if (m_open.size() > 1)
        NSException::raise(NSInternalInconsistencyException, "undo was called with too many nested undo groups");
    if (m_open.size() == 1) endUndoGrouping();
    undoNestedGroup();
}

void NSUndoManager::undoNestedGroup()
{
    if (m_state != State::Normal) return;
    if (auto* parent = openGroup()) {
        // The latest closed group inside the open one.
        if (parent->entries.empty() || !parent->entries.back().group)
            NSException::raise(NSInternalInconsistencyException, "undoNestedGroup: no closed group to undo");
        Stack one;
        one.push_back(std::move(parent->entries.back().group));
        parent->entries.pop_back();
        reverse(one, State::Undoing, NSUndoManagerWillUndoChangeNotification, NSUndoManagerDidUndoChangeNotification);
        return;
    }
    reverse(m_undoStack, State::Undoing, NSUndoManagerWillUndoChangeNotification,
            NSUndoManagerDidUndoChangeNotification);
}

void NSUndoManager::redo()
{
    if (m_state != State::Normal) return;
    if (!m_open.empty())
        NSException::raise(NSInternalInconsistencyException, "redo was called with an open undo group");
    reverse(m_redoStack, State::Redoing, NSUndoManagerWillRedoChangeNotification,
            NSUndoManagerDidRedoChangeNotification);
}

namespace {

void runReversed(NSUndoManager::Group& group)
{
    for (auto entry = group.entries.rbegin(); entry != group.entries.rend(); ++entry) {
        if (entry->group) {
            runReversed(*entry->group);
        } else if (auto target = entry->target.get()) {
            entry->perform(target);
        }
    }
}

}

void NSUndoManager::reverse(Stack& from, State state, const Ref<NSString>& willName, const Ref<NSString>& didName)
{
    while (!from.empty() && !from.back()->hasActions()) from.pop_back();
    if (from.empty()) return;
    post(NSUndoManagerCheckpointNotification);
    post(willName);
    std::unique_ptr<Group> group = std::move(from.back());
    from.pop_back();
    Ref<NSUndoManager> keepAlive(this);
    m_state = state;
    beginUndoGrouping();
    // The opposite group carries the same name, so the menu says what redo
    // (or undo) brings back.
    Group* opposite = openGroup();
    opposite->name = group->name;
    opposite->discardable = group->discardable;
    try {
        runReversed(*group);
    } catch (...) {
        if (!m_open.empty()) endUndoGrouping();
        m_state = State::Normal;
        throw;
    }
    if (!m_open.empty()) endUndoGrouping();
    m_state = State::Normal;
    post(didName);
}

void NSUndoManager::setLevelsOfUndo(NSUInteger levels)
{
    m_levelsOfUndo = levels;
    trimToLevels(m_undoStack);
    trimToLevels(m_redoStack);
}

void NSUndoManager::trimToLevels(Stack& stack)
{
    if (m_levelsOfUndo == 0) return;
    while (stack.size() > m_levelsOfUndo) {
        // An open group at the bottom is still being recorded; keep it.
        if (std::find(m_open.begin(), m_open.end(), stack.front().get()) != m_open.end()) return;
        stack.erase(stack.begin());
    }
}

// --- Names ---

void NSUndoManager::setActionName(const Ref<NSString>& name)
{
    if (!name) return;
    Group* group = m_open.empty() ? nullptr : m_open.front();
    if (!group && !recordingStack().empty()) group = recordingStack().back().get();
    if (group) group->name = name;
}

void NSUndoManager::setActionIsDiscardable(bool discardable)
{
    Group* group = m_open.empty() ? nullptr : m_open.front();
    if (!group && !recordingStack().empty()) group = recordingStack().back().get();
    if (group) group->discardable = discardable;
}

namespace {

const NSUndoManager::Group* topWithActions(const std::vector<std::unique_ptr<NSUndoManager::Group>>& stack)
{
    for (auto g = stack.rbegin(); g != stack.rend(); ++g)
        if ((*g)->hasActions()) return g->get();
    return nullptr;
}

}

Ref<NSString> NSUndoManager::undoActionName() const
{
    auto* group = topWithActions(m_undoStack);
    return group ? group->name : ""_ns;
}

Ref<NSString> NSUndoManager::redoActionName() const
{
    auto* group = topWithActions(m_redoStack);
    return group ? group->name : ""_ns;
}

bool NSUndoManager::undoActionIsDiscardable() const
{
    auto* group = topWithActions(m_undoStack);
    return group && group->discardable;
}

bool NSUndoManager::redoActionIsDiscardable() const
{
    auto* group = topWithActions(m_redoStack);
    return group && group->discardable;
}

Ref<NSString> NSUndoManager::undoMenuItemTitle() const { return undoMenuTitleForUndoActionName(undoActionName()); }

Ref<NSString> NSUndoManager::redoMenuItemTitle() const { return redoMenuTitleForUndoActionName(redoActionName()); }

Ref<NSString> NSUndoManager::undoMenuTitleForUndoActionName(const Ref<NSString>& name) const
{
    if (!name || name->length() == 0) return "Undo"_ns;
    return NSString::stringWithFormat("Undo %@", name);
}

Ref<NSString> NSUndoManager::redoMenuTitleForUndoActionName(const Ref<NSString>& name) const
{
    if (!name || name->length() == 0) return "Redo"_ns;
    return NSString::stringWithFormat("Redo %@", name);
}
