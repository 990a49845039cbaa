#pragma once

// Makes the shell's pictures (":/Resources/public/...", ":/Resources/icon/...") available;
// a static library's resources are not registered until someone asks. Safe to repeat.
void initShellResources();
