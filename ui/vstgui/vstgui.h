#pragma once
// Everything of the layer in one include.
#include "ui/vstgui/CBitmap.h"
#include "ui/vstgui/CControl.h"
#include "ui/vstgui/CControls.h"
#include "ui/vstgui/CDrawContext.h"
#include "ui/vstgui/CGeometry.h"
#include "ui/vstgui/COptionMenu.h"
#include "ui/vstgui/CParamDisplay.h"
#include "ui/vstgui/CView.h"
#include "ui/vstgui/PluginGUIEditor.h"
