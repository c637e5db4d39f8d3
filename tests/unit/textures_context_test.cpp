// Building textures needs the window's rendering context: without one (its creation failed)
// the program goes on with untextured polygons instead of crashing in the mipmap builder.
#include <gtest/gtest.h>

#include "app/shell.h"
#include "platform/headless.h"
#include "render/textures.h"
#include "scene/scene.h"

TEST(TexturesWithoutContext, LeaveTexturedPolygonsUntextured) {
  headless::Reset();
  ResetProgramState();
  ASSERT_FALSE(headless::ContextCurrent());
  staticVertexCount = 1;
  staticTextured.assign(11, 0);
  staticTexName.assign(11, "");
  staticTexId.assign(11, 0);
  staticImage.assign(11, nullptr);
  staticTextured[0] = 1;
  staticTexName[0] = CITYWALK_TEST_DATA "/bmp/g/rgb24.bmp";
  BuildTextures();
  EXPECT_EQ(staticTexId[0], 0);
  EXPECT_TRUE(headless::MessageBoxes().empty());
}
