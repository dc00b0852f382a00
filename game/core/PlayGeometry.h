#pragma once
// Where a shot lands and what it hits, in play-area units. The rules score
// with these numbers, the debug overlay marks them and the asset generator
// draws the birds and the cross-hair around them, so all three take them
// from here.
namespace wf {

// Shots are tested on a grid of square cells this many units wide; a
// position's cell is the position divided by it, truncated toward zero.
inline constexpr int kCellSize = 17;

// The cross-hair picture's hot spot: it aims this many units right of and
// below the pointer, at the centre of its 32 × 32 picture.
inline constexpr int kAimOffset = 16;

// A bird is hit in the cell of this point of its picture, or in one of the
// four cells beside it.
inline constexpr int kBirdHitCentreX = 44;
inline constexpr int kBirdHitCentreY = 20;

// The mouse buttons as the playing surfaces report them.
enum class PointerButton { Left = 1, Right = 2, Middle = 4 };

}  // namespace wf
