#pragma once
// A pedal built from its row of the panel table: the common controls, the
// knob row trimmed to the effect's parameters, the row's own controls, and
// the snapping of its stepped knob.  The panels with behaviour of their own
// derive from it and add only their hooks.
#include "ui/editor/CORVStompBoxCtrlBaseSet.h"
#include "ui/editor/PanelTable.h"

class CORVStompBoxPanel : public CORVStompBoxCtrlBaseSet {
public:
    CORVStompBoxPanel(CORVDSPAlgInterface* algorithm, VSTGUI::CControlListener* listener,
                      CORVStompBoxGUIContainer* container, int32_t effectCode);

    const PanelRow& row() const { return *panelRow; }
    void controlChanged(VSTGUI::CControl* changed) override;

protected:
    // The normalised value of parameter index, 0 when there is none.
    float normalised(int32_t index) const;
    float units(int32_t index) const;
    void setControlValue(int32_t tag, float value);

private:
    VSTGUI::CControl* build(const PanelControl& control) const;

    const PanelRow* panelRow;
};

// Where a stepped knob of steps + 1 positions lands for a turn to value
// (0..1): a dead zone at each end, even steps in between.
float SnapSteppedKnob(float value, int32_t steps);

// Makes the panel of an effect code for the editor; null for an unknown code.
std::unique_ptr<CORVStompBoxCtrlBaseSet> CreatePanel(CORVDSPAlgInterface* algorithm,
                                                     VSTGUI::CControlListener* listener,
                                                     CORVStompBoxGUIContainer* container, int32_t effectCode);
