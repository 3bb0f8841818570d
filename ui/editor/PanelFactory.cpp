// The editor asks for a pedal by effect code; every panel class names the
// code it serves, so the list below is all the factory needs.
#include "ui/editor/CORVPanels.h"

namespace {

template <class... Panels>
struct PanelList {
    static std::unique_ptr<CORVStompBoxCtrlBaseSet> make(CORVDSPAlgInterface* algorithm,
                                                         VSTGUI::CControlListener* listener,
                                                         CORVStompBoxGUIContainer* container, int32_t code)
    {
        std::unique_ptr<CORVStompBoxCtrlBaseSet> made;
        ((code == Panels::kCode ? (made = std::make_unique<Panels>(algorithm, listener, container, code), 0) : 0),
         ...);
        return made;
    }
};

using AllPanels = PanelList<
    CORVAutoPanGUI, CORVAutoTunerGUI, CORVAutoWahGUI, CORVBPMDelayGUI, CORVBluesDriveGuitarGUI,
    CORVCleanPreampGuitarGUI, CORVCompressorGUI, CORVCrunchPreampGuitarGUI, CORVDistortionGUI,
    CORVDistortionBassGUI, CORVExciterGUI, CORVExpanderGateGUI, CORVFlangerGUI, CORVFlangerBassGUI,
    CORVGraphicEQBassGUI, CORVGraphicEQGuitarGUI, CORVHiGainPreampGuitarGUI, CORVChorusGUI, CORVChorusBassGUI,
    CORVLevelControlGUI, CORVNoiseGateGUI, CORVOverDriveGUI, CORVOverDriveBassGUI, CORVOctaverGUI,
    CORVPowerAmpGuitarGUI, CORVParametricEQGUI, CORVPhaserGUI, CORVPhaserBassGUI, CORVBassPreampGUI,
    CORVPedalWahGUI, CORVReverbGUI, CORVSpeakerSimulatorBassGUI, CORVSpeakerSimulatorGuitarGUI,
    CORVToneControlBassGUI, CORVToneControlGuitarGUI, CORVTremoloGUI>;

} // namespace

std::unique_ptr<CORVStompBoxCtrlBaseSet> CreatePanel(CORVDSPAlgInterface* algorithm,
                                                     VSTGUI::CControlListener* listener,
                                                     CORVStompBoxGUIContainer* container, int32_t effectCode)
{
    return AllPanels::make(algorithm, listener, container, effectCode);
}
