// A body-model library for the tests: model 7 knows objects 0 and 1 and result sequence 5, and
// keeps what the program hands back.

#include <cstdint>
#include <cstring>

extern "C" {

namespace {
constexpr std::uint32_t kModel = 7;
double g_storedX = -1, g_storedY = -1;
std::int32_t g_storedValues[12] = {};
}  // namespace

std::int32_t BM_GetObjectDefaults(std::uint32_t id, std::int32_t number, char* name,
                                  std::int32_t nameSize, std::int32_t values[12]) {
  if (id != kModel || number < 0 || number > 1) return 0;
  std::strncpy(name, number == 0 ? "Hip" : "Knee", static_cast<std::size_t>(nameSize));
  const std::int32_t v[12] = {0x0000FF, 4, 9, 11, 1, 21, 23, 15, 17, 2, -3, 1};
  std::memcpy(values, v, sizeof v);
  return 1;
}

std::int32_t BM_GetDefaultCoord(std::uint32_t id, std::int32_t number, double* x, double* y,
                                double* z) {
  if (id != kModel || number < 0 || number > 1) return 0;
  *x = 5000;  // half the frame
  *y = 2500 * (number + 1);
  *z = 0;
  return 1;
}

std::int32_t BM_GetCMDefaults(std::uint32_t id, std::int32_t number, char* name,
                              std::int32_t nameSize, std::uint32_t* colour, std::int32_t* style,
                              std::int32_t* width, std::int32_t* height) {
  if (id != kModel || number != 5) return 0;
  std::strncpy(name, "Centre of mass", static_cast<std::size_t>(nameSize));
  *colour = 0x00FF00;
  *style = 8;
  *width = 13;
  *height = 13;
  return 1;
}

std::int32_t BM_GetConnectionDefaults(std::uint32_t id, std::int32_t a, std::int32_t b,
                                      std::int32_t, std::uint32_t* colour) {
  if (id != kModel || a + b != 1) return 0;
  *colour = 0x123456;
  return 1;
}

std::int32_t BM_SetObjectDefaults(std::uint32_t id, std::int32_t, const char*,
                                  const std::int32_t values[12]) {
  if (id != kModel) return 0;
  std::memcpy(g_storedValues, values, sizeof g_storedValues);
  return 1;
}

std::int32_t BM_SetDefaultCoord(std::uint32_t id, std::int32_t number, double x, double y, double) {
  if (id != kModel || number != 0) return 0;
  g_storedX = x;
  g_storedY = y;
  return 1;
}

// For the tests: what the program stored last.
void FakeBM_Stored(double* x, double* y, std::int32_t values[12]) {
  *x = g_storedX;
  *y = g_storedY;
  std::memcpy(values, g_storedValues, sizeof g_storedValues);
}

}  // extern "C"
