#pragma once

// Registers the pictures, font and style sheets compiled into the window library. A static
// library's resources are only linked in when something refers to them, so every program
// that shows windows calls this first (repeated calls do nothing).
void initGuiResources();
