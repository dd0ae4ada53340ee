#pragma once
class QIcon;
class QPixmap;

namespace tavrel {

// The program's icons, by their resource numbers (128 the application, 130 new job, ...),
// drawn from the SVG files of resources/icons at whatever size is asked for.

// Null pixmap for an unknown number. `disabled` gives the greyed look of a disabled control.
QPixmap IconPixmap(int iconId, int size, bool disabled = false);
// All usual sizes, for window icons.
QIcon AppIcon(int iconId);
bool HasIcon(int iconId);

}  // namespace tavrel
