#include "sequences/fsdata.h"

#include <strings.h>
#include <cmath>

#include "base/dscparser.h"
#include "base/filename.h"
#include "base/messages.h"
#include "base/profile.h"
#include "platform/files.h"
#include "sequences/dib.h"
#include "sequences/sequences_ids.h"

namespace {

constexpr std::size_t kColourSpaceSize = 20;

bool IsPositive(float v) { return std::isfinite(v) && v > 0.0f; }

float SettingOrOne(int key) {
  if (!g_Profile) return 1.0f;
  float v = static_cast<float>(g_Profile->GetDouble(key::kSection, key, 1.0f));
  return IsPositive(v) ? v : 1.0f;
}

// The companion of seqPath with the extension ext, as it is spelled on disk when one exists.
std::string Companion(const std::string& seqPath, const char* ext) {
  FileName name(seqPath);
  name.SetExtension(ext);
  return name.Path();
}

void ReadColourSpace(DSCParser& parser, FS_Data& data) {
  std::string space;
  parser.GetString("COLORSPACE", space, kColourSpaceSize, "GREY");
  if (::strcasecmp(space.c_str(), "RGB") == 0) data.colour = 1;
  data.colours = data.colour == 1 ? FS_Data::kTrueColours : FS_Data::kGreyColours;
}

void ReadUnitsAndAspect(DSCParser& parser, FS_Data& data) {
  if (!parser.GetFloat("UNITS", data.units, 0.0f)) data.units = DefaultUnits();
  if (!parser.GetFloat("ASPECT", data.aspect, 0.0f)) data.aspect = DefaultRatio();
}

}  // namespace

void FS_Data::StoreDefaults() const {
  if (!g_Profile) return;
  g_Profile->WriteValue(key::kSection, key::kDefaultUnits, units);
  g_Profile->WriteValue(key::kSection, key::kDefaultRatio, aspect);
}

float DefaultUnits() { return SettingOrOne(key::kDefaultUnits); }
float DefaultRatio() { return SettingOrOne(key::kDefaultRatio); }

bool ReadDSC(FS_Data& data, const std::string& seqPath) {
  const std::string dscPath = Companion(seqPath, "DSC");
  DSCParser parser(dscPath);
  if (!parser.IsOpen()) parser = DSCParser(Companion(seqPath, "PAR"));
  if (!parser.IsOpen()) {
    ErrorMessage(seqid::kDscErrorCaption, seqid::kDscCannotOpen, dscPath);
    return false;
  }
  const std::string& shownName = parser.Path();
  auto fail = [&](int textId) {
    ErrorMessage(seqid::kDscErrorCaption, textId, shownName);
    return false;
  };

  if (!parser.GetSize("RESOLUTION", data.width, data.height, 0)) {
    return fail(seqid::kDscMissingResolution);
  }
  if (data.width <= 0 || data.height <= 0) return fail(seqid::kDscBadResolution);
  if (!parser.GetFloat("FRAMES/S", data.framesPerSecond, 0.0f)) {
    return fail(seqid::kDscMissingRate);
  }
  if (!IsPositive(data.framesPerSecond)) return fail(seqid::kDscZeroRate);

  parser.GetString("SEQUENCENAME", data.sequenceName, FS_Data::kNameSize,
                   FileName(shownName).NameExt());
  parser.GetString("DATE", data.date, FS_Data::kDateSize, "no comment");
  parser.GetFloat("TRIGGER", data.trigger, 0.0f);
  parser.GetFloat("FIRSTFRAME", data.firstFrame, 0.0f);
  parser.GetInt("FRAMES", data.frames, 0);

  ReadUnitsAndAspect(parser, data);
  if (!IsPositive(data.units)) return fail(seqid::kDscBadUnits);
  if (!IsPositive(data.aspect)) return fail(seqid::kDscBadAspect);

  ReadColourSpace(parser, data);
  // A frame the working bitmap cannot hold is refused here, before any size is multiplied out.
  if (!CDIB::CanHold(data.width, data.height, data.BitsPerPixel())) {
    ErrorMessage(seqid::kDscErrorCaption, seqid::kDscFrameTooLarge, shownName, data.width,
                 data.height, static_cast<unsigned long long>(CDIB::kMaxImageBytes));
    return false;
  }
  return true;
}

void ReadDSCPartial(FS_Data& data, const std::string& seqPath) {
  DSCParser parser(Companion(seqPath, "DSC"));
  if (parser.IsOpen()) {
    ReadUnitsAndAspect(parser, data);
    ReadColourSpace(parser, data);
    parser.GetFloat("FRAMES/S", data.framesPerSecond, 0.0f);
  } else {
    data.units = DefaultUnits();
    data.aspect = DefaultRatio();
  }
  if (!IsPositive(data.units)) data.units = DefaultUnits();
  if (!IsPositive(data.aspect)) data.aspect = DefaultRatio();
  if (!IsPositive(data.framesPerSecond)) data.framesPerSecond = 1.0f;
}
