// A shared pasteboard as a folder under $XDG_RUNTIME_DIR: a "types" file
// (a generation token, then one type a line) and one file per type with its
// data. Each file is replaced by a rename, and "types" last, so a reader
// sees either the old or the new contents of each file. Another process's
// write shows as a new token.
#include "AppKit/PasteboardFolderMirror.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "Foundation/PercentEscapes.h"

namespace fs = std::filesystem;

namespace {

// Type names become file names: only letters, digits and ".-_" stay.
std::string percentEncoded(const std::string& text)
{
    return PercentEscapes::encode(text,
                                  [](unsigned char c) { return std::isalnum(c) || c == '.' || c == '_' || c == '-'; });
}

fs::path runtimeFolder()
{
    const char* runtime = getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime) return fs::path(runtime) / "plumbline-ipc";
    return fs::temp_directory_path() / ("plumbline-ipc-" + std::to_string(getuid()));
}

bool writeAtomically(const fs::path& path, std::string_view bytes)
{
    fs::path temporary = path;
    temporary += ".tmp-" + std::to_string(getpid());
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) return false;
    }
    std::error_code error;
    fs::rename(temporary, path, error);
    if (error) fs::remove(temporary, error);
    return !error;
}

std::optional<std::string> readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class FolderPasteboardMirror : public PasteboardMirror {
public:
    explicit FolderPasteboardMirror(const std::string& name)
        : m_folder(runtimeFolder() / "pasteboards" / percentEncoded(name))
    { }

    void publish(PasteboardSource& pasteboard) override
    {
        std::error_code error;
        fs::create_directories(m_folder, error);
        if (error) return;
        std::string typesText = newToken() + "\n";
        std::vector<std::string> kept;
        for (const auto& type : pasteboard.types()) {
            std::string file = "data-" + percentEncoded(type);
            typesText += percentEncoded(type) + "\n";
            // Promised data the owner has not given yet stays absent outside.
            auto data = pasteboard.givenDataForType(type);
            if (!data) continue;
            writeAtomically(m_folder / file, *data);
            kept.push_back(file);
        }
        for (const auto& entry : fs::directory_iterator(m_folder, error)) {
            std::string file = entry.path().filename().string();
            if (file.starts_with("data-") && std::find(kept.begin(), kept.end(), file) == kept.end())
                fs::remove(entry.path(), error);
        }
        writeAtomically(m_folder / "types", typesText);
        m_seenToken = m_lastToken;
    }

    std::optional<std::vector<PasteboardItemData>> fetch() override
    {
        auto text = readFile(m_folder / "types");
        if (!text) {
            if (m_seenToken.empty()) return std::nullopt;
            m_seenToken.clear();
            return std::vector<PasteboardItemData>{};
        }
        std::istringstream lines(*text);
        std::string token;
        std::getline(lines, token);
        if (token == m_seenToken) return std::nullopt;
        m_seenToken = token;
        PasteboardItemData item;
        std::string line;
        while (std::getline(lines, line)) {
            if (line.empty()) continue;
            auto data = readFile(m_folder / ("data-" + line));
            // A type without its file was promised and never given: it is
            // not offered.
            if (data) item.emplace_back(PercentEscapes::decode(line), std::move(*data));
        }
        return std::vector<PasteboardItemData>{std::move(item)};
    }

    void releaseGlobally() override
    {
        std::error_code error;
        fs::remove_all(m_folder, error);
        m_seenToken.clear();
    }

private:
    std::string newToken()
    {
        static std::mt19937_64 random{std::random_device{}()};
        m_lastToken = std::to_string(getpid()) + "-" + std::to_string(random());
        return m_lastToken;
    }

    fs::path m_folder;
    std::string m_seenToken;
    std::string m_lastToken;
};

}

std::unique_ptr<PasteboardMirror> makeFolderPasteboardMirror(const std::string& name)
{
    return std::make_unique<FolderPasteboardMirror>(name);
}
