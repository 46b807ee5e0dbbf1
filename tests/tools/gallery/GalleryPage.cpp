#include "GalleryPage.h"

namespace Gallery {
namespace {
std::vector<GalleryPage>& registry()
{
    static std::vector<GalleryPage> pages;
    return pages;
}
}  // namespace

bool registerPage(GalleryPage page)
{
    registry().push_back(std::move(page));
    return true;
}

const std::vector<GalleryPage>& pages() { return registry(); }

const GalleryPage* pageNamed(std::string_view name)
{
    for (const auto& page : registry())
        if (page.name == name) return &page;
    return nullptr;
}
}  // namespace Gallery
