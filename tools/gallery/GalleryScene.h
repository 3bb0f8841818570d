#pragma once
// One picture of every control the stomp boxes use, in its states, and of
// every bitmap the program carries: a visual check of the artwork and the
// controls together, kept as a golden image by the tests.
#include "ui/vstgui/vstgui.h"

#include <memory>

namespace gallery {

// A frame in memory holding the whole scene, with one option menu's pop-up
// open. Registers the program's bitmaps as the resource loader.
std::unique_ptr<VSTGUI::CFrame> BuildGallery();

} // namespace gallery
