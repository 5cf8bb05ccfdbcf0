// Translation of GLFW input into Windows virtual keys and MK_* flags.
#include "host/framework/StmGlfwInput.h"

#include <GLFW/glfw3.h>

#include <utility>

namespace {

// GLFW keys whose virtual key is not their own code; letters, digits and space coincide.
const std::pair<int, int> kKeys[] = {
    {GLFW_KEY_ESCAPE, VK_ESCAPE},        {GLFW_KEY_DELETE, VK_DELETE},
    {GLFW_KEY_BACKSPACE, VK_BACK},       {GLFW_KEY_TAB, VK_TAB},
    {GLFW_KEY_ENTER, VK_RETURN},         {GLFW_KEY_KP_ENTER, VK_RETURN},
    {GLFW_KEY_LEFT, VK_LEFT},            {GLFW_KEY_RIGHT, VK_RIGHT},
    {GLFW_KEY_UP, VK_UP},                {GLFW_KEY_DOWN, VK_DOWN},
    {GLFW_KEY_HOME, VK_HOME},            {GLFW_KEY_END, VK_END},
    {GLFW_KEY_F8, VK_F8},                {GLFW_KEY_LEFT_SHIFT, VK_SHIFT},
    {GLFW_KEY_RIGHT_SHIFT, VK_SHIFT},    {GLFW_KEY_LEFT_CONTROL, VK_CONTROL},
    {GLFW_KEY_RIGHT_CONTROL, VK_CONTROL}, {GLFW_KEY_LEFT_ALT, VK_MENU},
    {GLFW_KEY_RIGHT_ALT, VK_MENU},
};

bool IsOwnCode(int glfwKey) {
  return glfwKey == GLFW_KEY_SPACE || (glfwKey >= GLFW_KEY_0 && glfwKey <= GLFW_KEY_9) ||
         (glfwKey >= GLFW_KEY_A && glfwKey <= GLFW_KEY_Z);
}

}  // namespace

int GlfwKeyToVirtualKey(int glfwKey) {
  if (IsOwnCode(glfwKey)) return glfwKey;
  for (const auto& [key, vk] : kKeys) {
    if (key == glfwKey) return vk;
  }
  return 0;
}

std::vector<int> VirtualKeyToGlfwKeys(int virtualKey) {
  if (IsOwnCode(virtualKey)) return {virtualKey};
  std::vector<int> keys;
  for (const auto& [key, vk] : kKeys) {
    if (vk == virtualKey) keys.push_back(key);
  }
  return keys;
}

UINT GlfwMouseFlags(unsigned buttonsHeld, int mods) {
  UINT flags = 0;
  if (buttonsHeld & (1u << GLFW_MOUSE_BUTTON_LEFT)) flags |= MK_LBUTTON;
  if (buttonsHeld & (1u << GLFW_MOUSE_BUTTON_RIGHT)) flags |= MK_RBUTTON;
  if (buttonsHeld & (1u << GLFW_MOUSE_BUTTON_MIDDLE)) flags |= MK_MBUTTON;
  if (mods & GLFW_MOD_SHIFT) flags |= MK_SHIFT;
  if (mods & GLFW_MOD_CONTROL) flags |= MK_CONTROL;
  return flags;
}
