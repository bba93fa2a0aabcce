#include "objects/objectarray.h"

#include <algorithm>

ObjectArray::ObjectArray(int size) { slots_.resize(std::clamp(size, 1, kMaxFrame)); }

ObjectBase* ObjectArray::ItemAt(long frame) const {
  if (frame < kLowerBound || frame > LastIndex()) return nullptr;
  return slots_[frame - kLowerBound].get();
}

void ObjectArray::GrowTo(int size) {
  size = std::min(size, kMaxFrame);
  if (size <= Size()) return;
  const int steps = (size + kGrowthDelta - 1) / kGrowthDelta;
  slots_.resize(std::min(steps * kGrowthDelta, kMaxFrame));
}

ObjectBase* ObjectArray::Add(std::unique_ptr<ObjectBase> point) {
  if (!point) return nullptr;
  if (point->frame < static_cast<std::uint32_t>(kLowerBound) ||
      point->frame > static_cast<std::uint32_t>(kMaxFrame)) {
    return nullptr;
  }
  const int frame = static_cast<int>(point->frame);
  GrowTo(frame - kLowerBound + 1);
  auto& slot = slots_[frame - kLowerBound];
  if (!slot) ++count_;
  slot = std::move(point);
  return slot.get();
}

void ObjectArray::Remove(long frame) {
  if (frame < kLowerBound || frame > LastIndex()) return;
  auto& slot = slots_[frame - kLowerBound];
  if (slot) {
    slot.reset();
    --count_;
  }
}

void ObjectArray::Clear() {
  for (auto& slot : slots_) slot.reset();
  count_ = 0;
}

ObjectSequence::ObjectSequence(std::int32_t number, int size) : ObjectArray(size), number(number) {}

ObjectSequence::ObjectSequence(const ObjectSequence& other, std::int32_t number)
    : ObjectArray(other.Size()), number(number) {
  for (int f = kLowerBound; f <= other.LastIndex(); ++f) {
    if (const ObjectBase* p = other.ItemAt(f)) {
      Add(std::make_unique<ObjectBase>(p->frame, p->x, p->y, p->z));
    }
  }
}

ObjectBase* ObjectSequence::AddPoint(long frame, float x, float y, float z) {
  if (frame < kLowerBound || frame > kMaxFrame) return nullptr;
  return AddObject(std::make_unique<ObjectBase>(static_cast<std::uint32_t>(frame), x, y, z));
}
