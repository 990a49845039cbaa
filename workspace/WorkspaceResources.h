#pragma once

// Registers the workspace's pictures; the library is static, so its resource tree is only
// linked in when something asks for it. Safe to call any number of times.
void initWorkspaceResources();
