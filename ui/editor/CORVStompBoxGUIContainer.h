#pragma once
// The pictures and positions every stomp box shares.  One store serves the
// whole process: all open editors draw from the same decoded bitmaps, so an
// image is decoded once however many pedals are shown.
#include "ui/editor/AnchorTable.h"
#include "ui/editor/CORVGUIContainerInterface.h"
#include "ui/vstgui/CBitmap.h"

#include <cstdint>
#include <map>
#include <span>

// A run of consecutive resource ids, first to last inclusive.
struct IdRange {
    int32_t first;
    int32_t last;
};

std::span<const IdRange> SharedBitmapLoadOrder();

class CORVStompBoxGUIContainer : public CORVGUIContainerInterface {
public:
    // The process's store: the first call creates and fills it, each call
    // counts one user; release drops a user and frees the store with the
    // last.  Editors come and go on the user-interface thread only.
    static CORVStompBoxGUIContainer* acquire();
    static void release();
    static int32_t userCount();

    CORVStompBoxGUIContainer(const CORVStompBoxGUIContainer&) = delete;
    CORVStompBoxGUIContainer& operator=(const CORVStompBoxGUIContainer&) = delete;

    void loadBitmaps() override;
    // Decodes one resource into the store, replacing what the id held.
    void loadBitmap(int32_t id);

    // The stored picture, or null for an id never loaded or not decodable.
    VSTGUI::CBitmap* bitmap(int32_t id) const;
    // The place under a key; an unknown key is the pedal's top-left corner.
    VSTGUI::CRect anchor(int32_t key) const;
    bool hasAnchor(int32_t key) const { return anchors.count(key) != 0; }
    const std::map<int32_t, VSTGUI::CBitmap*>& allBitmaps() const { return bitmaps; }

private:
    CORVStompBoxGUIContainer();
    ~CORVStompBoxGUIContainer() override;

    std::map<int32_t, VSTGUI::CBitmap*> bitmaps;
    std::map<int32_t, VSTGUI::CRect> anchors;
};

