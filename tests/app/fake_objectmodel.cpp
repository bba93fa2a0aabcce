// An object-model library for the document tests: model 3 connects object 0 with object 1, has
// one segment, and reports as centre of mass the mean of the points it was given per frame.

#include <cstdint>
#include <map>
#include <utility>

extern "C" {

namespace {
constexpr std::uint32_t kModel = 3;
std::map<std::pair<std::int32_t, std::int32_t>, double[3]> g_coords;  // (object, frame)
std::map<std::int32_t, double[3]> g_centre;                           // frame
std::map<std::int32_t, std::int32_t> g_resultKind;                    // sequence number -> kind
int g_released = 0;
int g_written = 0;
}  // namespace

std::uint32_t BM_LoadModel(const char*) { return kModel; }
std::uint32_t BM_SelectModel(std::int32_t) { return kModel; }
std::int32_t BM_NrOfObjects(std::uint32_t) { return 2; }
// Sequences 1 and 2 are the model's objects (a document's sequence 0 is the user's own).
std::int32_t BM_GetDefaultCoord(std::uint32_t, std::int32_t number, double* x, double* y,
                                double* z) {
  *x = *y = *z = 0;
  return number == 1 || number == 2;
}
std::int32_t BM_WriteModel(std::uint32_t id, const char*) { return id == kModel ? ++g_written : 0; }
void BM_ReleaseModel(std::uint32_t id) {
  if (id == kModel) ++g_released;
}
std::int32_t BM_GetConnection(std::uint32_t, std::int32_t number, std::int32_t previous) {
  return number == 0 && previous < 0 ? 1 : -1;
}
std::int32_t BM_NrOfSegments(std::uint32_t) { return 1; }
std::int32_t BM_ConnectObject(std::uint32_t, std::int32_t, std::int32_t number, std::int32_t kind) {
  g_resultKind[number] = kind;
  return 1;
}
void BM_SetCoord(std::uint32_t, std::int32_t number, std::int32_t frame, double x, double y,
                 double z) {
  auto& c = g_coords[{number, frame}];
  c[0] = x;
  c[1] = y;
  c[2] = z;
}
void BM_RemoveCoord(std::uint32_t, std::int32_t number, std::int32_t frame) {
  g_coords.erase({number, frame});
}
void BM_CalculateCenterOfMass(std::uint32_t, std::int32_t frame) {
  double sum[3] = {0, 0, 0};
  int n = 0;
  for (auto& [key, c] : g_coords)
    if (key.second == frame) {
      for (int i = 0; i < 3; ++i) sum[i] += c[i];
      ++n;
    }
  if (n == 0) {
    g_centre.erase(frame);
    return;
  }
  for (int i = 0; i < 3; ++i) g_centre[frame][i] = sum[i] / n;
}
void BM_CalculateDerivatives(std::uint32_t) {}
std::int32_t BM_GetCoord(std::uint32_t, std::int32_t number, std::int32_t frame, double* x,
                         double* y, double* z) {
  auto kind = g_resultKind.find(number);
  auto centre = g_centre.find(frame);
  if (kind == g_resultKind.end() || kind->second != 0x101 || centre == g_centre.end()) return 0;
  *x = centre->second[0];
  *y = centre->second[1];
  *z = centre->second[2];
  return 1;
}
int Fake_Released() { return g_released; }
}
