#pragma once

// What each quantity code (0..57) of an analysis window shows: which series of an object
// sequence it plots, whether its ordinate is a length or an angle, how often its per-frame value
// is converted into the time unit (the rate power), and the fixed unit text of the body-model
// quantities.

#include <optional>

#include "analysis/analysis_ids.h"

// How a quantity names its ordinate unit in the caption.
enum class CaptionUnit {
  kOrdinate,        // U
  kPerTime,         // U/T
  kPerTimeSquared,  // U/T²
  kFixed,           // a fixed text (newton units)
};

struct QuantityInfo {
  bool angle = false;             // the ordinate is an angle (else a length)
  int spaceConversions = 1;       // 2 for the moments (square metres)
  int ratePower = 0;              // 1 per time, 2 per time squared
  bool fixedMetreSecond = false;  // the body-model quantities: always m and s
  CaptionUnit captionUnit = CaptionUnit::kOrdinate;
  const char* fixedUnit = "";  // the caption unit of the body-model quantities
};

// The row of a code; codes outside 0..57 get the plain length row.
const QuantityInfo& Quantity(int code);

// The series of an object sequence a code selects: coordinate 0 x, 1 y, 2 z and derivative order
// 0 (position), 1 or 2.
struct SeriesSlot {
  int coordinate = 0;
  int order = 0;
  friend bool operator==(const SeriesSlot&, const SeriesSlot&) = default;
};
// None for codes that plot no series of a sequence (distances, resultants, angles ...).
std::optional<SeriesSlot> SeriesSlotOf(int code);
