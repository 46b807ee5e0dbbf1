#include "AppKit/NSWindow.h"
#include "Foundation/NSUndoManager.h"

Id NSWindow::undoManager()
{
    if (auto* d = dynamic_cast<NSWindowDelegate*>(delegate().get()))
        if (Id manager = d->windowWillReturnUndoManager(Ref<NSWindow>(this))) return manager;
    if (!m_undoManager) m_undoManager = make<NSUndoManager>();
    return m_undoManager;
}
