#include "objects/connectpanel.h"

#include <cmath>
#include <cstdio>
#include <sstream>

#include "base/document.h"
#include "base/unitsorigin.h"
#include "objects/docaccess.h"
#include "objects/resobjseq.h"
#include "objects/stickfigure.h"
#include "objects/subobjseq.h"
#include "sequences/framesequence.h"

namespace connect {
namespace {

std::string WithUnit(double value, int unitIndex) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.3f ", value);
  return buffer + g_UnitsOrigin.UnitName(unitIndex);
}

std::string AngleText(double radians, float fps) {
  if (radians < 0) return "undef";
  const int u = g_UnitsOrigin.angleUnit;
  return WithUnit(g_UnitsOrigin.ToUnit(static_cast<float>(radians), u, fps), u);
}

std::string LengthText(double mm, float fps) {
  return WithUnit(g_UnitsOrigin.ToUnit(static_cast<float>(mm), -1, fps), g_UnitsOrigin.spaceUnit);
}

}  // namespace

ColorValue ParseColor(const std::string& text) {
  std::istringstream in(text);
  int r = 0, g = 0, b = 0;
  if (!(in >> r >> g >> b)) return kDefaultColor;
  return Rgb(static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
             static_cast<std::uint8_t>(b));
}

std::string ColorText(ColorValue c) {
  return std::to_string(RedOf(c)) + " " + std::to_string(GreenOf(c)) + " " +
         std::to_string(BlueOf(c));
}

ConnectPanelLogic::ConnectPanelLogic(Document& doc) : doc_(doc) {}

ConnectPanelLogic::~ConnectPanelLogic() {
  // The document may be taking its sequences down already; only an unconfirmed angle goes.
  if (angle_ && !angle_->confirmed && Figure()) Figure()->DeleteAngle(angle_->pair1, angle_->pair2);
}

StickFigure* ConnectPanelLogic::Figure() const {
  return doc_.ObjectSequences() ? &doc_.ObjectSequences()->Figure() : nullptr;
}

FrameSequence* ConnectPanelLogic::Video() const { return doc_.GetActiveFrameSequence(); }

ResObjectSequence* ConnectPanelLogic::DocSequence(const SubObjectSequence* s) const {
  return s && doc_.ObjectSequences() ? doc_.ObjectSequences()->Find(s->number, seqmask::kAll)
                                     : nullptr;
}

void ConnectPanelLogic::ClearSelection() {
  start_ = candidate_ = nullptr;
  connection_ = nullptr;
}

bool ConnectPanelLogic::BandStart(float out[2]) const {
  const ObjectBase* p = start_ ? PointWithValue(start_, doc_.CurrentFrame()) : nullptr;
  if (!p) return false;
  out[0] = p->x;
  out[1] = p->y;
  return true;
}

bool ConnectPanelLogic::BeginAtCurrentObject() {
  FrameSequence* video = Video();
  ResObjectSequences* all = doc_.ObjectSequences();
  if (dragging_ || !video || !all) return false;
  SubObjectSequences& subs = objdoc::SubsOf(*video);
  const int frame = doc_.CurrentFrame();
  ResObjectSequence* current = all->GetCurrent();
  SubObjectSequence* start = current ? subs.Find(current->number) : nullptr;
  if (subs.CountAtFrame(frame) < 2 || !start || !PointWithValue(start, frame)) return false;
  ReleaseAngle();
  start_ = start;
  candidate_ = nullptr;
  connection_ = nullptr;
  const ObjectBase* p = PointWithValue(start, frame);
  bandEnd_[0] = p->x;
  bandEnd_[1] = p->y;
  bandEnd_[2] = p->z;
  dragging_ = true;
  return true;
}

void ConnectPanelLogic::MouseMove(float x, float y, double zoom) {
  if (!dragging_ || !Video()) return;
  bandEnd_[0] = x;
  bandEnd_[1] = y;
  bandEnd_[2] = 0;
  const SubObjectSequences& subs = objdoc::SubsOf(*Video());
  ResObjectSequence* found = subs.FindAt(x, y, zoom);
  SubObjectSequence* sub = found ? subs.Find(found->number) : nullptr;
  candidate_ = sub != start_ ? sub : nullptr;
}

bool ConnectPanelLogic::MouseUp() {
  if (!dragging_ || !candidate_) return false;
  ResObjectSequence* a = DocSequence(start_);
  ResObjectSequence* b = DocSequence(candidate_);
  if (StickFigure* figure = Figure()) {
    // Dragging again between connected points gives their connection the current colour.
    figure->Disconnect(a, b);
    connection_ = figure->Connect(a, b, color_);
  }
  start_ = candidate_ = nullptr;
  dragging_ = false;
  doc_.UpdateViews();
  return true;
}

bool ConnectPanelLogic::CancelDrag() {
  if (!dragging_) return false;
  dragging_ = false;
  ReleaseAngle();
  ClearSelection();
  return true;
}

void ConnectPanelLogic::MouseDown(float x, float y, double zoom, bool panelVisible) {
  if (dragging_) return;
  if (HitConnection(x, y, zoom, panelVisible)) return;
  ReleaseAngle();
  ClearSelection();
}

bool ConnectPanelLogic::HitConnection(float x, float y, double zoom, bool panelVisible) {
  StickFigure* figure = Figure();
  FrameSequence* video = Video();
  if (!figure || !video || zoom <= 0) return false;
  const SubObjectSequences& subs = objdoc::SubsOf(*video);
  const double t = kHitPixels / zoom;
  const int frame = doc_.CurrentFrame();
  SequencePair* hit = nullptr;
  for (figure->FirstConnection(); SequencePair* c = figure->CurrentConnection();) {
    SubObjectSequence* first = c->FirstIn(&subs);
    SubObjectSequence* second = c->SecondIn(&subs);
    if (!first || !second) break;
    const ObjectBase* p = PointWithValue(first, frame);
    const ObjectBase* q = PointWithValue(second, frame);
    if (p && q && !c->first->IsHidden() && !c->second->IsHidden()) {
      const double dx = q->x - p->x, dy = q->y - p->y, wx = x - p->x, wy = y - p->y;
      const double length = std::hypot(dx, dy);
      if (length > 0) {
        const double along = (dx * wx + dy * wy) / length;
        const double across = (-dy * wx + dx * wy) / length;
        if (along > 0 && along < length && std::fabs(across) < t) {
          hit = c;
          break;
        }
      }
    }
    if (!figure->NextConnection()) break;
  }
  if (!hit) return false;
  if (panelVisible && angle_) {
    if (hit != angle_->pair1 && hit != angle_->pair2) ProposeAngle(angle_->pair2, hit);
  } else if (panelVisible && connection_) {
    if (hit != connection_) {
      SequencePair* selected = connection_;
      connection_ = nullptr;
      ProposeAngle(selected, hit);
    }
  } else {
    connection_ = hit;
    start_ = candidate_ = nullptr;
  }
  return true;
}

void ConnectPanelLogic::ProposeAngle(SequencePair* p, SequencePair* q) {
  ReleaseAngle();
  StickFigure* figure = Figure();
  if (!p || !q || !figure) return;
  for (AngleSequencePair* a = figure->NextAngle(nullptr, false); a; a = figure->NextAngle(a, false))
    if (a->Joins(p, q)) {
      angle_ = a;
      return;
    }
  angle_ = figure->CreateAngle(p, q, std::nullopt);
  if (angle_) {
    angle_->confirmed = false;
    doc_.UpdateViews();
  }
}

void ConnectPanelLogic::ReleaseAngle() {
  if (!angle_) return;
  if (!angle_->confirmed && Figure()) Figure()->DeleteAngle(angle_->pair1, angle_->pair2);
  angle_ = nullptr;
  doc_.UpdateViews();
}

void ConnectPanelLogic::Reset() {
  dragging_ = false;
  ReleaseAngle();
  ClearSelection();
}

void ConnectPanelLogic::CreateAngle() {
  if (angle_ && !angle_->confirmed) {
    angle_->confirmed = true;
    // Keeping the proposal is a change of the figure to save.
    for (int i = 1; i <= 4; ++i)
      if (ResObjectSequence* s = angle_->SequenceAt(i)) s->SetModified();
  }
}

void ConnectPanelLogic::DeleteAngle() {
  if (angle_ && angle_->confirmed) angle_->confirmed = false;
}

void ConnectPanelLogic::SwitchAngle() {
  if (!angle_) return;
  angle_->Switch();
  doc_.UpdateViews();
}

void ConnectPanelLogic::DeleteConnection() {
  StickFigure* figure = Figure();
  if (!figure) return;
  if (connection_) {
    figure->Disconnect(connection_->first, connection_->second);
    connection_ = nullptr;
  } else if (angle_) {
    SequencePair* first = angle_->pair1;
    SequencePair* second = angle_->pair2;
    ReleaseAngle();
    // A proposed angle is gone with its connections' pointers intact; a kept one goes with the
    // connection.
    figure->Disconnect(first->first, first->second);
    connection_ = IsLiveConnection(second) ? second : nullptr;
  }
  doc_.UpdateViews();
}

void ConnectPanelLogic::RenameAngle(const std::string& name) {
  if (!angle_) return;
  const std::string current = angle_->name.value_or(std::string());
  if (name == current) return;
  angle_->SetName(name.empty() ? std::optional<std::string>() : std::optional<std::string>(name));
}

void ConnectPanelLogic::SetColor(ColorValue color) {
  SequencePair* target = angle_ ? angle_->pair1 : connection_;
  if (target) {
    target->color.color = color;
    if (target->first) target->first->SetModified();
  }
  color_ = color;
  doc_.UpdateViews();
}

bool ConnectPanelLogic::IsLiveConnection(const SequencePair* p) const {
  StickFigure* figure = Figure();
  if (!figure || !p) return false;
  for (figure->FirstConnection(); SequencePair* c = figure->CurrentConnection();) {
    if (c == p) return true;
    if (!figure->NextConnection()) break;
  }
  return false;
}

Readouts ConnectPanelLogic::UpdateReadouts() {
  Readouts r;
  StickFigure* figure = Figure();
  if (angle_) {
    bool live = false;
    if (figure)
      for (AngleSequencePair* a = figure->NextAngle(nullptr, false); a && !live;
           a = figure->NextAngle(a, false))
        live = a == angle_;
    if (!live) angle_ = nullptr;
  }
  if (connection_ && !IsLiveConnection(connection_)) connection_ = nullptr;

  FrameSequence* video = Video();
  const SubObjectSequences* subs = video ? &objdoc::SubsOf(*video) : nullptr;
  const int frame = doc_.CurrentFrame();
  const float fps = doc_.GetFramesPerSecond();
  if (angle_) {
    r.hasAngle = true;
    r.confirmed = angle_->confirmed;
    r.angle2D = AngleText(angle_->Angle(frame, 0, subs), fps);
    r.angle3D = AngleText(angle_->Angle(frame, 0, nullptr), fps);
    r.name = angle_->name.value_or(std::string());
    for (int i = 0; i < 4; ++i) r.swatches[i] = angle_->SequenceAt(i + 1);
  }

  ResObjectSequence *a = nullptr, *b = nullptr;
  if (angle_) {
    a = angle_->Sequence1();
    b = angle_->Sequence2();
    color_ = angle_->pair1->color.color;
  } else if (connection_) {
    a = connection_->first;
    b = connection_->second;
    color_ = connection_->color.color;
    r.swatches = {a, b, nullptr, nullptr};
  } else if (dragging_) {
    a = DocSequence(start_);
    b = DocSequence(candidate_);
    r.swatches = {a, b, nullptr, nullptr};
  }
  const SubObjectSequence* subA = a && subs ? subs->Find(a->number) : nullptr;
  const SubObjectSequence* subB = b && subs ? subs->Find(b->number) : nullptr;
  const ObjectBase* imageA = subA ? PointWithValue(subA, frame) : nullptr;
  const ObjectBase* imageB = subB ? PointWithValue(subB, frame) : nullptr;
  if (imageA && imageB && video) {
    r.canDeleteConnection = true;
    float wa[3], wb[3];
    video->ImageToWorld(wa, imageA->x, imageA->y);
    video->ImageToWorld(wb, imageB->x, imageB->y);
    const double d2 =
        double(wa[0] - wb[0]) * (wa[0] - wb[0]) + double(wa[1] - wb[1]) * (wa[1] - wb[1]);
    r.length2D = LengthText(d2 > 0 ? std::sqrt(d2) : 0.0, fps);
    const ObjectBase* worldA = PointWithValue(a, frame);
    const ObjectBase* worldB = PointWithValue(b, frame);
    if (worldA && worldB)
      r.length3D = LengthText(std::sqrt(double(worldA->x - worldB->x) * (worldA->x - worldB->x) +
                                        double(worldA->y - worldB->y) * (worldA->y - worldB->y) +
                                        double(worldA->z - worldB->z) * (worldA->z - worldB->z)),
                              fps);
  }
  return r;
}

}  // namespace connect
