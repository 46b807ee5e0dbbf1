#pragma once
// Records changes as actions that reverse them, in groups, so that undo
// reverses the latest group and redo reapplies what undo reversed.
//
// Actions registered while undoing go to the redo stack, those registered
// while redoing (or normally) go to the undo stack; a normal registration
// clears the redo stack. With groupsByEvent (the default) the first
// registration outside a group opens one, closed at the end of the run-loop
// turn, so one event makes one group. Targets are not retained: an action
// whose target has gone is skipped. Arguments are retained.
#include <functional>
#include <memory>
#include <vector>

#include "Foundation/NSRunLoop.h"
#include "Foundation/NSString.h"

inline const Ref<NSString> NSUndoManagerCheckpointNotification = "NSUndoManagerCheckpointNotification"_ns;
inline const Ref<NSString> NSUndoManagerWillUndoChangeNotification = "NSUndoManagerWillUndoChangeNotification"_ns;
inline const Ref<NSString> NSUndoManagerWillRedoChangeNotification = "NSUndoManagerWillRedoChangeNotification"_ns;
inline const Ref<NSString> NSUndoManagerDidUndoChangeNotification = "NSUndoManagerDidUndoChangeNotification"_ns;
inline const Ref<NSString> NSUndoManagerDidRedoChangeNotification = "NSUndoManagerDidRedoChangeNotification"_ns;
inline const Ref<NSString> NSUndoManagerDidOpenUndoGroupNotification = "NSUndoManagerDidOpenUndoGroupNotification"_ns;
inline const Ref<NSString> NSUndoManagerWillCloseUndoGroupNotification =
    "NSUndoManagerWillCloseUndoGroupNotification"_ns;
inline const Ref<NSString> NSUndoManagerDidCloseUndoGroupNotification = "NSUndoManagerDidCloseUndoGroupNotification"_ns;
// In the close notification's details: whether the group may be dropped.
inline const Ref<NSString> NSUndoManagerGroupIsDiscardableKey = "NSUndoManagerGroupIsDiscardableKey"_ns;

class NSUndoManager : public NSObject {
    NS_OBJECT(NSUndoManager, NSObject)
protected:
    NSUndoManager();

public:
    using Handler = std::function<void(const Id& target)>;

    ~NSUndoManager() override;
    Id init() override;

    // --- Groups ---
    // Opens a group inside the current one (or at the top).
    void beginUndoGrouping();
    // Closes the innermost group; an empty top-level group is dropped.
    // Raises NSInternalInconsistencyException when no group is open.
    void endUndoGrouping();
    NSInteger groupingLevel() const;
    bool groupsByEvent() const { return m_groupsByEvent; }
    void setGroupsByEvent(bool groups);
    // The modes whose turns close the group opened by an event; the common
    // modes by default, so that edits in a modal panel group as elsewhere.
    const NSRunLoopModes& runLoopModes() const { return m_runLoopModes; }
    void setRunLoopModes(const NSRunLoopModes& modes) { m_runLoopModes = modes; }

    // --- Registration ---
    // Registration calls nest: each disable needs its enable.
    void disableUndoRegistration() { ++m_disabled; }
    void enableUndoRegistration();
    bool isUndoRegistrationEnabled() const { return m_disabled == 0; }
    // Undo will send the selector to the target with the object.
    void registerUndoWithTarget(const Id& target, const SEL& selector, const Id& object);
    // Undo will call the handler with the target (registerUndoWithTarget:handler:).
    void registerUndoWithTarget(const Id& target, Handler handler);
    void removeAllActions();
    void removeAllActionsWithTarget(const Id& target);

    // --- Undo and redo ---
    bool canUndo() const;
    bool canRedo() const;
    // Closes the group the event opened, then reverses the latest group.
    // Raises NSInternalInconsistencyException inside nested groups.
    void undo();
    // Reverses the latest group inside the open one (or the latest).
    void undoNestedGroup();
    void redo();
    bool isUndoing() const { return m_state == State::Undoing; }
    bool isRedoing() const { return m_state == State::Redoing; }
    // The most groups kept; 0 keeps all. The oldest go first.
    NSUInteger levelsOfUndo() const { return m_levelsOfUndo; }
    void setLevelsOfUndo(NSUInteger levels);

    // --- Names and menu titles ---
    // Names the group being recorded (the undo group, or while undoing the
    // redo group).
    void setActionName(const Ref<NSString>& name);
    Ref<NSString> undoActionName() const;
    Ref<NSString> redoActionName() const;
    // "Undo" or "Undo <name>", "Redo" or "Redo <name>".
    Ref<NSString> undoMenuItemTitle() const;
    Ref<NSString> redoMenuItemTitle() const;
    virtual Ref<NSString> undoMenuTitleForUndoActionName(const Ref<NSString>& name) const;
    virtual Ref<NSString> redoMenuTitleForUndoActionName(const Ref<NSString>& name) const;
    void setActionIsDiscardable(bool discardable);
    bool undoActionIsDiscardable() const;
    bool redoActionIsDiscardable() const;

    struct Group;

private:
    enum class State { Normal, Undoing, Redoing };
    using Stack = std::vector<std::unique_ptr<Group>>;

    void registerAction(const Id& target, std::function<void(const Id&)> perform);
    Stack& recordingStack();
    Group* openGroup() const;
    void post(const Ref<NSString>& name, const Ref<NSDictionary>& userInfo = nullptr);
    void trimToLevels(Stack& stack);
    void closeEventGroup();
    void watchEndOfEvent();
    void stopWatchingEndOfEvent();
    void reverse(Stack& from, State state, const Ref<NSString>& willName, const Ref<NSString>& didName);

    Stack m_undoStack;
    Stack m_redoStack;
    // The open groups, outermost first; the outermost sits on top of the
    // stack being recorded.
    std::vector<Group*> m_open;
    State m_state = State::Normal;
    NSInteger m_disabled = 0;
    NSUInteger m_levelsOfUndo = 0;
    bool m_groupsByEvent = true;
    bool m_eventGroupOpen = false;
    NSRunLoopModes m_runLoopModes{NSRunLoopCommonModes};
    Ref<NSRunLoop> m_watchedLoop;
    NSRunLoop::SourceID m_endOfEventObserver = 0;
};
