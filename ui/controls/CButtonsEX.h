#pragma once
// The panels' buttons. They behave as their VSTGUI bases do; the panels
// name them apart so that every control a panel makes is one of its own
// family.
#include "ui/vstgui/CControls.h"

namespace VSTGUI {

class CKickButtonEX : public CKickButton {
public:
    using CKickButton::CKickButton;
};

class CMovieButtonEX : public CMovieButton {
public:
    using CMovieButton::CMovieButton;
};

class COnOffButtonEX : public COnOffButton {
public:
    using COnOffButton::COnOffButton;
};

} // namespace VSTGUI
