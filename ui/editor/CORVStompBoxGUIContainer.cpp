#include "ui/editor/CORVStompBoxGUIContainer.h"

#include "resources/Resources.h"

namespace {

// The order in which the store decodes the shared pictures.  The pedal
// backgrounds are not here: each control set loads the one of its effect.
constexpr IdRange kLoadOrder[] = {
    {101, 101}, {102, 102}, {100, 100}, {200, 200}, {300, 300}, {302, 302}, {103, 103}, {104, 104},
    {113, 113}, {114, 114}, {105, 105}, {106, 106}, {107, 107}, {119, 119}, {120, 120}, {900, 900},
    {111, 111}, {112, 112}, {108, 108}, {400, 400}, {301, 301}, {303, 303}, {450, 453}, {115, 115},
    {321, 321}, {320, 320}, {204, 213}, {109, 109}, {110, 110}, {203, 203}, {202, 202}, {322, 322},
    {117, 117}, {118, 118}, {404, 404}, {402, 402}, {403, 403}, {401, 401}, {116, 116}, {201, 201},
    {405, 405}, {407, 407}, {121, 130}, {408, 408}, {454, 454}, {131, 131}, {132, 132}, {700, 734},
    {750, 757}, {758, 758},
};

CORVStompBoxGUIContainer* theContainer = nullptr;
int32_t theUsers = 0;

} // namespace

std::span<const IdRange> SharedBitmapLoadOrder() { return kLoadOrder; }

CORVStompBoxGUIContainer* CORVStompBoxGUIContainer::acquire()
{
    if (!theContainer) {
        theContainer = new CORVStompBoxGUIContainer();
        theContainer->loadBitmaps();
    }
    ++theUsers;
    return theContainer;
}

void CORVStompBoxGUIContainer::release()
{
    if (theUsers == 0)
        return;
    if (--theUsers == 0) {
        delete theContainer;
        theContainer = nullptr;
    }
}

int32_t CORVStompBoxGUIContainer::userCount() { return theUsers; }

CORVStompBoxGUIContainer::CORVStompBoxGUIContainer()
{
    // The store decodes the program's own images; whoever draws a pedal
    // needs them.
    VSTGUI::SetResourceLoader(FindPngResource);
    for (const AnchorRow& row : AnchorTable())
        anchors.emplace(row.key, VSTGUI::CRect(row.left, row.top, row.right, row.bottom));
}

CORVStompBoxGUIContainer::~CORVStompBoxGUIContainer()
{
    for (auto& [id, picture] : bitmaps)
        picture->forget();
}

void CORVStompBoxGUIContainer::loadBitmaps()
{
    for (const IdRange& range : kLoadOrder)
        for (int32_t id = range.first; id <= range.last; ++id)
            loadBitmap(id);
}

void CORVStompBoxGUIContainer::loadBitmap(int32_t id)
{
    auto* picture = new VSTGUI::CBitmap(id);
    auto [slot, added] = bitmaps.emplace(id, picture);
    if (!added) {
        slot->second->forget();
        slot->second = picture;
    }
}

VSTGUI::CBitmap* CORVStompBoxGUIContainer::bitmap(int32_t id) const
{
    const auto found = bitmaps.find(id);
    return found != bitmaps.end() && found->second->isLoaded() ? found->second : nullptr;
}

VSTGUI::CRect CORVStompBoxGUIContainer::anchor(int32_t key) const
{
    const auto found = anchors.find(key);
    return found != anchors.end() ? found->second : VSTGUI::CRect();
}
