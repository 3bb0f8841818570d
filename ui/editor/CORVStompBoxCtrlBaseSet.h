#pragma once
// The controls of one pedal: what every stomp box has (foot switch, LED,
// parameter display, menus, a row of four knobs) placed on its background.
// Panels start from it and replace, remove or add controls by tag.
#include "ui/editor/CORVCtrlSetInterface.h"
#include "ui/editor/CORVStompBoxGUIContainer.h"
#include "ui/editor/PedalReadings.h"
#include "ui/vstgui/CControl.h"

#include <map>
#include <memory>

class CORVDSPAlgInterface;
class CORVDSPParameter;

// The pedal picture of an effect code: the plain codes are the multiples of
// 5, the variant codes in between take the alternative pictures after them.
int32_t BackgroundIdFor(int32_t effectCode);

class CORVStompBoxCtrlBaseSet : public CORVCtrlSetInterface {
public:
    CORVStompBoxCtrlBaseSet(CORVDSPAlgInterface* algorithm, VSTGUI::CControlListener* listener,
                            CORVStompBoxGUIContainer* container, int32_t effectCode);
    ~CORVStompBoxCtrlBaseSet() override;
    CORVStompBoxCtrlBaseSet(const CORVStompBoxCtrlBaseSet&) = delete;
    CORVStompBoxCtrlBaseSet& operator=(const CORVStompBoxCtrlBaseSet&) = delete;

    // Takes over the caller's reference; a control already under the tag is
    // released.  A null control just removes the tag.
    void putControl(int32_t tag, VSTGUI::CControl* control);
    VSTGUI::CControl* control(int32_t tag) const;
    const std::map<int32_t, VSTGUI::CControl*>& allControls() const { return controls; }

    // Every control whose tag is a parameter takes the parameter's
    // normalised value, as value and as the value the reset key restores.
    void initialiseFromParameters();

    VSTGUI::CBitmap* backgroundBitmap() const { return background; }
    CORVStompBoxGUIContainer* sharedContainer() const { return container; }
    CORVDSPAlgInterface* algorithm() const { return dspAlgorithm; }
    VSTGUI::CControlListener* controlListener() const { return listener; }
    int32_t effectCode() const { return code; }

    // Where the meters and lights take their numbers: the effect itself
    // unless the editor gives another source, which must outlive the set.
    void setReadings(const PedalReadings* source) { readingSource = source ? source : &ownReadings; }
    const PedalReadings& readings() const { return *readingSource; }

    // The rectangle of a picture placed at an anchor: one frame of a film
    // strip of the given frame count.
    VSTGUI::CRect placeAt(int32_t anchorKey, int32_t bitmapId, int32_t frames = 1) const;
    // The shown text of the parameter display (tag 21).
    void showText(const char* text);
    const char* displayText() const;

protected:
    VSTGUI::CBitmap* bitmap(int32_t id) const { return container->bitmap(id); }

    VSTGUI::CColor displayColour{49, 49, 49, 0};
    CORVDSPAlgInterface* dspAlgorithm;
    VSTGUI::CControlListener* listener;
    CORVStompBoxGUIContainer* container;
    VSTGUI::CBitmap* background = nullptr;
    int32_t code;

private:
    void buildCommonControls();

    AlgorithmReadings ownReadings;
    const PedalReadings* readingSource = &ownReadings;

    std::map<int32_t, VSTGUI::CControl*> controls;
};
