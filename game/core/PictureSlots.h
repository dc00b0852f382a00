#pragma once
// The numbered slots of the two picture stores. A slot number means the same
// picture in both: start-up loads the source pictures into store 0, every
// game start copies what a game draws into store 1.
namespace wf {

// What a game draws.
inline constexpr int kCartridgeSlot = 1;  // one cartridge of the magazine display
inline constexpr int kCursorSlot = 2;     // cross-hair
inline constexpr int kCursorMaskSlot = 3;
inline constexpr int kBackgroundSlot = 4;  // the current background
inline constexpr int kLeftBirdSlot = 5;    // birds 1 and 2; its size serves all three
inline constexpr int kLeftBirdMaskSlot = 6;
inline constexpr int kRightBirdSlot = 7;  // bird 3
inline constexpr int kRightBirdMaskSlot = 8;
inline constexpr int kLastGameSlot = 8;

// The title sequence's pictures. Slots 9, 10 and 19 hold none and count as
// loaded; 14 to 19 are never drawn, so they may be missing.
inline constexpr int kGameLogoSlot = 11;
inline constexpr int kMakerLogoSlot = 12;
inline constexpr int kPresentsSlot = 13;
inline constexpr int kFirstUndrawnSlot = 14;
inline constexpr int kLastUndrawnSlot = 19;
inline constexpr int kTitlePicture7Slot = 20;
inline constexpr int kTitlePicture8Slot = 21;
inline constexpr int kLastFixedSlot = 21;

// A background of the player's own is at least as wide as the game logo and
// as high as the undrawn picture "1.jpg".
inline constexpr int kOwnBackgroundWidthSlot = kGameLogoSlot;
inline constexpr int kOwnBackgroundHeightSlot = 15;

// The MOD's extras, one slot each in MOD order.
inline constexpr int kFirstExtraSlot = kLastFixedSlot + 1;

// Start-up records for slots 0 to 99 whether each picture loaded.
inline constexpr int kLoadedFlagCount = 100;

// The fixed pictures' files below the program directory, by slot. The
// background slot takes the MOD's first background instead; the slots named
// nowhere here (9, 10 and 19) hold nothing and count as loaded.
struct FixedPicture {
    int slot;
    const char* file;
};
inline constexpr FixedPicture kFixedPictures[] = {
    {kCartridgeSlot, "Grafiken\\Munition.jpg"},
    {kCursorSlot, "Grafiken\\Cursor.jpg"},
    {kCursorMaskSlot, "Grafiken\\Maske.jpg"},
    {kLeftBirdSlot, "Grafiken\\Vogel.jpg"},
    {kLeftBirdMaskSlot, "Grafiken\\Vogelsw.jpg"},
    {kRightBirdSlot, "Grafiken\\Vogelu.jpg"},
    {kRightBirdMaskSlot, "Grafiken\\Vogelusw.jpg"},
    {kGameLogoSlot, "Grafiken\\WFLogo.jpg"},
    {kMakerLogoSlot, "Grafiken\\SPWLogo.jpg"},
    {kPresentsSlot, "Grafiken\\presents.jpg"},
    {14, "Grafiken\\3.jpg"},
    {kOwnBackgroundHeightSlot, "Grafiken\\1.jpg"},
    {16, "Grafiken\\2.jpg"},
    {17, "Grafiken\\4.jpg"},
    {18, "Grafiken\\5.jpg"},
    {kTitlePicture7Slot, "Grafiken\\7.jpg"},
    {kTitlePicture8Slot, "Grafiken\\8.jpg"},
};

}  // namespace wf
