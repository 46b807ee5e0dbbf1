#pragma once
// The user's login items: the desktop's XDG autostart entries,
// "$XDG_CONFIG_HOME/autostart/*.desktop" (~/.config when the variable is not
// set). An item resolves to the real path of the program its Exec line
// starts; entries with Hidden=true are switched off and do not count.
// Inserting writes "<identifier>.desktop" atomically (a temporary file
// renamed over it), so a reader never sees half an entry.
#include <optional>
#include <string>
#include <vector>

struct LSSharedFileListItem {
    std::string entryPath;     // the .desktop file
    std::string resolvedPath;  // real path of its program; empty when it does not exist
};

class LSSharedFileList {
public:
    // The session's login items, or nothing when the list cannot be made
    // (neither XDG_CONFIG_HOME nor HOME is set).
    static std::optional<LSSharedFileList> sessionLoginItems();

    const std::string& folder() const { return m_folder; }
    // The entries in file-name order.
    std::vector<LSSharedFileListItem> snapshot() const;
    // Writes the entry "<identifier>.desktop" starting the executable at
    // its path; answers whether it was written.
    bool insertItemLast(const std::string& identifier, const std::string& name, const std::string& executable) const;
    bool removeItem(const LSSharedFileListItem& item) const;

    // Desktop Entry quoting of one program path for an Exec value, and the
    // program an Exec value starts (the first word, unquoted).
    static std::string execValueForPath(const std::string& path);
    static std::string programOfExecValue(const std::string& exec);

private:
    explicit LSSharedFileList(std::string folder)
        : m_folder(std::move(folder))
    { }
    std::string m_folder;
};
