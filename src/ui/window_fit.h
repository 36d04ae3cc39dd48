// Sizes that let a window show what it holds: a dialog wide enough for its title, and a
// window no larger than the screen it opens on.
#pragma once

class QWidget;

// Widens `window` so that its title is not cut by the frame (the title's text, the frame's
// buttons beside it).
void FitWidthToTitle(QWidget& window);

// A window larger than its screen's free area (a size saved on a larger or denser screen)
// is made to fit it, and moved back onto it.
void FitIntoScreen(QWidget& window);
