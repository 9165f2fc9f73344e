#pragma once
// Whether the left mouse button is held down right now, wherever the pointer is. Dragging the
// window's border is the window manager's business: the program sees no press, so on X11 the
// display server is asked directly. Elsewhere the toolkit's own view of the buttons is used.

namespace tarvex {

bool LeftMouseButtonDown();

}  // namespace tarvex
