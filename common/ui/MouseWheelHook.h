// The mouse-wheel hook of a program's main window: wheel turns anywhere inside the hooked window are
// summed into whole notches and handed, by name, to the window's public `MouseWheel`, which scrolls its
// grid 3 rows a notch (`ScrollGridByWheel`). One window is hooked at a time.
#pragma once

class QWidget;

namespace ui {
class FlexGrid;
}

namespace common {

// Hooks the window (replacing a hook on another window). The window offers
//   Q_INVOKABLE bool MouseWheel(int keys, int delta, int x, int y);
// keys: the button and modifier flags (1 left, 2 right, 4 Shift, 8 Ctrl, 16 middle); delta: whole
// notches of 120, positive away from the user (0 while a fine-grained wheel has not yet made a notch);
// x, y: the pointer in screen coordinates. It returns true when it used the wheel, which then goes no
// further; otherwise the wheel reaches the control under the pointer as usual.
void HookMouseWheel(QWidget* window);
// Removes the hook when this window holds it; nothing otherwise.
void UnhookMouseWheel(QWidget* window);
bool IsMouseWheelHooked(const QWidget* window);

// Scrolls the grid by 3 rows for each notch in delta: down (towards the user) for a negative delta, up
// for a positive one; the top row stays between the first data row and the last row. A delta of 0
// moves nothing. keys, x and y are not used.
void ScrollGridByWheel(ui::FlexGrid* grid, int keys, int delta, int x, int y);

}  // namespace common
