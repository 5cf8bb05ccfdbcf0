// Translation of GLFW input into what the render window's handlers take: Windows virtual-key
// codes and MK_* button and modifier flags.
#pragma once

#include <vector>

#include "host/platform/WinDefs.h"

// The virtual-key code of a GLFW key (letters and digits as their upper-case ASCII codes), or 0
// for a key the layer has no use for.
int GlfwKeyToVirtualKey(int glfwKey);
// The GLFW keys that make up a virtual key (both Ctrl keys for VK_CONTROL, ...); empty for a
// code no GLFW key gives.
std::vector<int> VirtualKeyToGlfwKeys(int virtualKey);
// MK_* flags from the held mouse buttons (bit n for GLFW button n) and the GLFW modifier bits.
UINT GlfwMouseFlags(unsigned buttonsHeld, int mods);
