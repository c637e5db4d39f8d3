// libFuzzer target for the scene reader: any bytes as a scene file. Reading must not crash,
// must not touch memory outside the file or the tables, and must leave every count within
// the tables it made. Built by tests/reader.cmake when the compiler is clang.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "scene/reader.h"
#include "scene/scene.h"

namespace {

// Stops the run when a count reaches past its table.
void Require(bool ok) {
  if (!ok) std::abort();
}

bool Fits(std::size_t size, int count) {
  return count < 0 || static_cast<std::size_t>(count) < size;
}

void CheckTables() {
  Require(Fits(staticPolyEnd.size(), staticVertexCount) && Fits(staticX.size(), staticVertexCount));
  Require(staticVertexCount <= static_cast<int>(staticTexName.size()));
  Require(Fits(plainPolyEnd.size(), plainVertexCount) && Fits(plainX.size(), plainVertexCount));
  Require(Fits(avatarPolyEnd.size(), avatarVertexCount));
  Require(avatarVertexCount <= static_cast<int>(avatarTexName.size()));
  Require(Fits(obstacleX.size(), obstacleCount) && Fits(obstacleZ.size(), obstacleCount));
  Require(avatarPartLastIndex < kPartSlots && objectLastIndex < kObjectSlots);
  if (objectLastIndex < 0) return;
  const std::size_t columns = static_cast<std::size_t>(objectLastIndex) + 1;
  Require(objectVertexCount.size() == columns && objectWaypointCount.size() >= columns);
  Require(objVtxX.size() == static_cast<std::size_t>(objectVertexMax) + 1);
  for (const auto& row : objVtxPolyEnd) Require(row.size() == columns);
  for (std::size_t o = 0; o < columns; ++o) {
    Require(objectVertexCount[o] <= objectVertexMax);
    Require(objectPartLastIndex[o] < kPartSlots);
    Require(objectWaypointCount[o] <= waypointRowMax);
    Require(objectTurnClock[o] >= 0 && objectTurnClock[o] <= 430);
  }
  if (waypointRowMax >= 1)
    Require(waypointX.size() == static_cast<std::size_t>(waypointRowMax) + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  sceneTableByteLimit = std::size_t{32} << 20;  // hostile counts stay cheap
  SceneDiagnostics diag;
  ReadSceneText(reinterpret_cast<const char*>(data), size, "fuzz.mts", &diag);
  CheckTables();
  return 0;
}
