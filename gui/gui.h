// The window: the only module that includes GTK.
#pragma once

// Hand the window to start-up (the toolkit's version line, the interactive road).
void guiinstall();
