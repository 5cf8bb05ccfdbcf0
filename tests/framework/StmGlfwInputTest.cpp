// GLFW keys and buttons become the virtual keys and MK_* flags the render window's handlers
// take, and key-state queries find the GLFW keys behind a virtual key.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "host/framework/StmGlfwInput.h"

namespace {

TEST(StmGlfwInput, KeysTheLayerHandlesMapToTheirVirtualKeys) {
  EXPECT_EQ(GlfwKeyToVirtualKey(GLFW_KEY_ESCAPE), VK_ESCAPE);
  EXPECT_EQ(GlfwKeyToVirtualKey(GLFW_KEY_DELETE), VK_DELETE);
  EXPECT_EQ(GlfwKeyToVirtualKey(GLFW_KEY_TAB), VK_TAB);
  EXPECT_EQ(GlfwKeyToVirtualKey(GLFW_KEY_F8), VK_F8);
  EXPECT_EQ(GlfwKeyToVirtualKey(GLFW_KEY_LEFT), VK_LEFT);
  EXPECT_EQ(GlfwKeyToVirtualKey(GLFW_KEY_UP), VK_UP);
  EXPECT_EQ(GlfwKeyToVirtualKey(GLFW_KEY_RIGHT), VK_RIGHT);
  EXPECT_EQ(GlfwKeyToVirtualKey(GLFW_KEY_DOWN), VK_DOWN);
  EXPECT_EQ(GlfwKeyToVirtualKey(GLFW_KEY_RIGHT_CONTROL), VK_CONTROL);
  // Letters are their upper-case codes, which the clipboard keys compare against.
  EXPECT_EQ(GlfwKeyToVirtualKey(GLFW_KEY_A), 'A');
  EXPECT_EQ(GlfwKeyToVirtualKey(GLFW_KEY_Z), 'Z');
  EXPECT_EQ(GlfwKeyToVirtualKey(GLFW_KEY_5), '5');
  // Keys next to the mapped ranges and keys with no use stay unmapped.
  EXPECT_EQ(GlfwKeyToVirtualKey(GLFW_KEY_F7), 0);
  EXPECT_EQ(GlfwKeyToVirtualKey(GLFW_KEY_GRAVE_ACCENT), 0);
  EXPECT_EQ(GlfwKeyToVirtualKey(GLFW_KEY_UNKNOWN), 0);
}

TEST(StmGlfwInput, AVirtualKeyIsHeldThroughAnyOfItsGlfwKeys) {
  std::vector<int> ctrl = VirtualKeyToGlfwKeys(VK_CONTROL);
  std::sort(ctrl.begin(), ctrl.end());
  EXPECT_EQ(ctrl, (std::vector<int>{GLFW_KEY_LEFT_CONTROL, GLFW_KEY_RIGHT_CONTROL}));
  EXPECT_EQ(VirtualKeyToGlfwKeys(VK_SHIFT).size(), 2u);
  EXPECT_EQ(VirtualKeyToGlfwKeys('X'), std::vector<int>{GLFW_KEY_X});
  EXPECT_TRUE(VirtualKeyToGlfwKeys(0x7F).empty());
  // Every key maps back to a GLFW key that gives it.
  for (int vk : {VK_ESCAPE, VK_DELETE, VK_TAB, VK_F8, VK_LEFT, VK_DOWN, VK_RETURN, int('Q')}) {
    const std::vector<int> keys = VirtualKeyToGlfwKeys(vk);
    ASSERT_FALSE(keys.empty()) << vk;
    for (int key : keys) EXPECT_EQ(GlfwKeyToVirtualKey(key), vk) << vk;
  }
}

TEST(StmGlfwInput, ButtonsAndModifiersBecomeMouseFlags) {
  EXPECT_EQ(GlfwMouseFlags(0, 0), 0u);
  EXPECT_EQ(GlfwMouseFlags(1u << GLFW_MOUSE_BUTTON_LEFT, 0), MK_LBUTTON);
  EXPECT_EQ(GlfwMouseFlags(1u << GLFW_MOUSE_BUTTON_MIDDLE, GLFW_MOD_CONTROL), MK_MBUTTON | MK_CONTROL);
  EXPECT_EQ(GlfwMouseFlags((1u << GLFW_MOUSE_BUTTON_RIGHT) | (1u << GLFW_MOUSE_BUTTON_LEFT), GLFW_MOD_SHIFT),
            MK_RBUTTON | MK_LBUTTON | MK_SHIFT);
  // Alt has no MK_ flag and extra buttons none either.
  EXPECT_EQ(GlfwMouseFlags(1u << GLFW_MOUSE_BUTTON_4, GLFW_MOD_ALT), 0u);
}

}  // namespace
