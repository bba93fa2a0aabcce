#include "objects/objectarray.h"

#include <gtest/gtest.h>

#include "objects/resobjseq.h"

namespace {

// The smallest concrete sequence: a project sequence without a document.
struct Fixture : ::testing::Test {
  ResObjectSequences all{nullptr};
  ResObjectSequence& s = *all.NewSequence(seqflag::kNewSequence);
};

using ObjectArrayTest = Fixture;

TEST_F(ObjectArrayTest, GrowsInWholeStepsAndReplacesThePointOfAFrame) {
  ASSERT_EQ(s.Size(), 1);  // no document: one slot
  ASSERT_NE(s.AddPoint(25, 1, 2), nullptr);
  EXPECT_EQ(s.Size(), 30);  // slot 25 exists, rounded up to the growth step
  EXPECT_EQ(s.Count(), 1);
  ObjectBase* replacement = s.AddPoint(25, 7, 8);
  EXPECT_EQ(s.Count(), 1);
  EXPECT_EQ(s.ItemAt(25), replacement);
  EXPECT_FLOAT_EQ(s.ItemAt(25)->x, 7);
  s.AddPoint(3, 0, 0);
  EXPECT_EQ(s.Size(), 30);
  EXPECT_EQ(s.Count(), 2);

  s.RemoveObject(4);  // empty frame: nothing changes
  EXPECT_EQ(s.Count(), 2);
  s.RemoveObject(1000);  // beyond the array: nothing changes, no growth
  EXPECT_EQ(s.Size(), 30);
  s.RemoveObject(25);
  EXPECT_EQ(s.ItemAt(25), nullptr);
  EXPECT_EQ(s.Count(), 1);
}

TEST_F(ObjectArrayTest, RefusesFramesBelowOneAndBeyondTheLimit) {
  EXPECT_EQ(s.AddPoint(0, 1, 1), nullptr);
  EXPECT_EQ(s.AddPoint(-3, 1, 1), nullptr);
  EXPECT_EQ(s.Add(std::make_unique<ObjectBase>(0xFFFFFFFFu, 1.f, 1.f)), nullptr);
  EXPECT_EQ(s.Add(std::make_unique<ObjectBase>(ObjectArray::kMaxFrame + 1u, 1.f, 1.f)), nullptr);
  EXPECT_EQ(s.Add(nullptr), nullptr);
  EXPECT_EQ(s.Count(), 0);
  EXPECT_EQ(s.Size(), 1);
  EXPECT_EQ(s.ItemAt(0), nullptr);
  EXPECT_EQ(s.ItemAt(-1), nullptr);
  EXPECT_EQ(s.ItemAt(2), nullptr);
}

TEST_F(ObjectArrayTest, CopyTakesThePointsAndTheNewNumber) {
  s.AddPoint(2, 1, 2, 3);
  s.AddPoint(12, kMissingCoordinate, 5);
  struct Copy : ObjectSequence {
    using ObjectSequence::ObjectSequence;
    ObjectBase* AddObject(std::unique_ptr<ObjectBase> p) override { return Add(std::move(p)); }
    void RemoveObject(long f) override { Remove(f); }
    void SetFlags(std::uint32_t) override {}
    void ClearFlags(std::uint32_t) override {}
    int HorizontalLimit() const override { return 0; }
    int VerticalLimit() const override { return 0; }
    void SetModified() override {}
    void MakeCurrent() override {}
    Document* GetDocument() const override { return nullptr; }
  } copy(s, 42);
  EXPECT_EQ(copy.number, 42);
  EXPECT_EQ(copy.Count(), 2);
  EXPECT_NE(copy.ItemAt(2), s.ItemAt(2));
  EXPECT_FLOAT_EQ(copy.ItemAt(2)->z, 3);
  EXPECT_EQ(copy.ItemAt(12)->x, kMissingCoordinate);
  EXPECT_FALSE(copy.ItemAt(12)->HasValue());
}

}  // namespace
