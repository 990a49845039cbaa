#pragma once

// Makes the pictures of the main window and the splash available; a static library's
// resources are not registered until someone asks. Safe to repeat.
void initMainWindowResources();
