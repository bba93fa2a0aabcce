#pragma once

// The body-model library: a shared library outside the program that computes centres of mass,
// impulse, force and moments from the points of a model's objects. The program holds its handle
// (ObjectModelLibrary(), null when none is loaded) and looks every function up by name when it
// calls it; a missing function is a call that does nothing. Object numbers are sequence
// numbers, coordinates are doubles, a model id of 0 is no model.
//
// The functions, as the library exports them (C linkage):

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace platform {
class Library;
}
class Document;

extern "C" {
using BM_LoadModelFn = std::uint32_t (*)(const char* file);
using BM_SelectModelFn = std::uint32_t (*)(std::int32_t reserved);
using BM_NrOfObjectsFn = std::int32_t (*)(std::uint32_t id);
using BM_ConnectObjectFn = std::int32_t (*)(std::uint32_t id, std::int32_t index,
                                            std::int32_t number, std::int32_t kind);
using BM_WriteModelFn = std::int32_t (*)(std::uint32_t id, const char* file);
using BM_ReleaseModelFn = void (*)(std::uint32_t id);
using BM_GetConnectionFn = std::int32_t (*)(std::uint32_t id, std::int32_t number,
                                            std::int32_t previous);
using BM_NrOfSegmentsFn = std::int32_t (*)(std::uint32_t id);
using BM_SetCoordFn = void (*)(std::uint32_t id, std::int32_t number, std::int32_t frame, double x,
                               double y, double z);
using BM_RemoveCoordFn = void (*)(std::uint32_t id, std::int32_t number, std::int32_t frame);
using BM_CalculateCenterOfMassFn = void (*)(std::uint32_t id, std::int32_t frame);
using BM_CalculateDerivativesFn = void (*)(std::uint32_t id);
using BM_GetCoordFn = std::int32_t (*)(std::uint32_t id, std::int32_t number, std::int32_t frame,
                                       double* x, double* y, double* z);
// name: a buffer of nameSize bytes the library fills with a terminated text. values: colour,
// marker style, width, height, algorithm index, horizontal and vertical limit, template width,
// height, x offset, y offset and shape.
using BM_GetObjectDefaultsFn = std::int32_t (*)(std::uint32_t id, std::int32_t number, char* name,
                                                std::int32_t nameSize, std::int32_t values[12]);
using BM_GetDefaultCoordFn = std::int32_t (*)(std::uint32_t id, std::int32_t number, double* x,
                                              double* y, double* z);
using BM_GetCMDefaultsFn = std::int32_t (*)(std::uint32_t id, std::int32_t number, char* name,
                                            std::int32_t nameSize, std::uint32_t* colour,
                                            std::int32_t* style, std::int32_t* width,
                                            std::int32_t* height);
using BM_GetConnectionDefaultsFn = std::int32_t (*)(std::uint32_t id, std::int32_t a,
                                                    std::int32_t b, std::int32_t reserved,
                                                    std::uint32_t* colour);
using BM_SetObjectDefaultsFn = std::int32_t (*)(std::uint32_t id, std::int32_t number,
                                                const char* name, const std::int32_t values[12]);
using BM_SetDefaultCoordFn = std::int32_t (*)(std::uint32_t id, std::int32_t number, double x,
                                              double y, double z);
using BM_SetCMDefaultsFn = std::int32_t (*)(std::uint32_t id, std::int32_t number, const char* name,
                                            std::uint32_t colour, std::int32_t style,
                                            std::int32_t width, std::int32_t height);
// Lets the user place the model on the picture of a view (window, bitmap header, pixels,
// palette); non-zero when it was placed.
using BM_PositionModelFn = std::int32_t (*)(std::uint32_t id, void* window, const void* header,
                                            const void* bits, void* palette);
using BM_InsertModelInListFn = std::int32_t (*)(std::uint32_t id, void* window);
using BM_SetConnectionDefaultsFn = std::int32_t (*)(std::uint32_t id, std::int32_t a,
                                                    std::int32_t b, std::int32_t reserved,
                                                    std::uint32_t colour);
}

// The twelve per-object defaults in the library's order.
struct ModelObjectDefaults {
  std::string name;
  std::array<std::int32_t, 12> values{};
  enum Index {
    kColor,
    kStyle,
    kWidth,
    kHeight,
    kAlgorithm,
    kHorizontalLimit,
    kVerticalLimit,
    kTemplateWidth,
    kTemplateHeight,
    kTemplateXOffset,
    kTemplateYOffset,
    kTemplateShape
  };
};

struct ModelResultDefaults {
  std::string name;
  std::uint32_t color = 0;
  std::int32_t style = 0, width = 0, height = 0;
};

// A loaded model of the library: every call answers false (or nothing) without a library, a
// model or the function.
struct BodyModel {
  const platform::Library* library = nullptr;
  std::uint32_t id = 0;

  // The program's library and the document's model.
  static BodyModel Of(const Document* doc);
  bool IsLoaded() const;

  std::optional<ModelObjectDefaults> GetObjectDefaults(std::int32_t number) const;
  bool GetDefaultCoord(std::int32_t number, double xyz[3]) const;
  std::optional<ModelResultDefaults> GetCMDefaults(std::int32_t number) const;
  std::optional<std::uint32_t> GetConnectionDefaults(std::int32_t a, std::int32_t b) const;
  bool SetObjectDefaults(std::int32_t number, const ModelObjectDefaults& d) const;
  bool SetDefaultCoord(std::int32_t number, double x, double y, double z) const;
  bool SetCMDefaults(std::int32_t number, const ModelResultDefaults& d) const;
  bool SetConnectionDefaults(std::int32_t a, std::int32_t b, std::uint32_t color) const;
};

// Algorithm index of the library <-> tracking algorithm id; an unknown index gives nullopt.
std::optional<std::uint32_t> AlgorithmFromModelIndex(std::int32_t index);
std::int32_t ModelIndexFromAlgorithm(std::uint32_t algorithm);
