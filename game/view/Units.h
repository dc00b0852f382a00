#pragma once
// Twips (1/1440 inch) are the unit of window sizes and of several size
// checks; pictures and game positions are in pixels.
namespace wf {

// 1440 / the screen's logical DPI; 15 at 96 DPI. Set once at start-up.
int TwipsPerPixel();
void SetTwipsPerPixel(int tpp);

}  // namespace wf
