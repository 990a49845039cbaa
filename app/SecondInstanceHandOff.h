#pragma once

// Leaves the text "9" (one byte, no terminating zero) in the shared-memory segment
// "quorvanetz" when one exists; the running instance is not told anything else.
void handOffToRunningInstance();
