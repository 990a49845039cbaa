#pragma once

// uninst's program resources, shared by the resource script and the code.
#define IDR_SKIN_PACKAGE 132 // type "ZIPRES": the 7z skin package
#define IDI_UNINST 133       // the program and window icon
