// The cursor is the host's arrow; these calls have nothing to change.
#include "platform/ui/quickdraw/QuickDraw.h"

void InitCursor() {}
void ObscureCursor() {}
void ShowCursor() {}
void HideCursor() {}
