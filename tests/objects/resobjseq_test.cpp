#include "objects/resobjseq.h"

#include <gtest/gtest.h>

#include "objects/stickfigure.h"

namespace {

TEST(SequenceMaskTest, ASequencePassesWhenItHasNoFlagOutsideTheMask) {
  struct Case {
    std::uint32_t flags, mask;
    bool passes;
  };
  const Case cases[] = {
      {0x101, seqmask::kOrdinary, true},     {0x103, seqmask::kOrdinary, true},
      {0x105, seqmask::kOrdinary, false},    {0x004, seqmask::kDeleted, true},
      {0x006, seqmask::kDeleted, true},      {0x101, seqmask::kDeleted, false},
      {0x208, seqmask::kModelResults, true}, {0x480, seqmask::kModelResults, true},
      {0x1000, seqmask::kOrdinary, false},   {0x1000, seqmask::kAll, true},
      {0x000, seqmask::kTrackedOnly, true},  {0x001, seqmask::kTrackedOnly, true},
      {0x101, seqmask::kTrackedOnly, false}, {0x102, seqmask::kPaintAll, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PassesMask(c.flags, c.mask), c.passes) << std::hex << c.flags << " " << c.mask;
  }
}

struct ProjectSequences : ::testing::Test {
  ResObjectSequences all{nullptr};
  ResObjectSequence* Make() { return all.NewSequence(seqflag::kNewSequence); }
};

TEST_F(ProjectSequences, NumbersNamesAndTheIteratorFollowTheMask) {
  ResObjectSequence* s0 = Make();
  EXPECT_EQ(s0->number, 0);
  EXPECT_EQ(s0->name, "Object 0");
  EXPECT_EQ(all.CurrentNumber(), 0);
  all.DeleteSequence(0);
  ResObjectSequence* s1 = Make();
  EXPECT_EQ(s1->number, 1);  // deleted sequences keep their numbers
  ResObjectSequence* s2 = Make();
  s2->flags = 0x208;
  for (int i = 3; i < 123; ++i) Make();
  EXPECT_EQ(all.Find(122, seqmask::kAll)->name, "Object 122");

  EXPECT_EQ(all.Find(0, seqmask::kOrdinary), nullptr);
  EXPECT_EQ(all.Find(0, seqmask::kAll), s0);
  EXPECT_EQ(all.CountDeleted(), 1);

  SequenceIterator it(all, seqmask::kModelResults);
  EXPECT_EQ(it.Current(), s2);
  EXPECT_EQ(it.Next(), nullptr);
  EXPECT_EQ(it.Current(), nullptr);
  EXPECT_EQ(it.Restart(), s2);

  std::vector<int> ordinary;
  for (SequenceIterator o(all, seqmask::kOrdinary); ResObjectSequence* s = o.Current(); o.Next()) {
    ordinary.push_back(s->number);
  }
  ASSERT_EQ(ordinary.size(), 121u);
  EXPECT_EQ(ordinary[0], 1);
  EXPECT_EQ(ordinary[1], 3);
}

TEST_F(ProjectSequences, CurrentSequenceAfterDeletesHidingAndRemoval) {
  ResObjectSequence* a = Make();
  ResObjectSequence* b = Make();
  ResObjectSequence* c = Make();
  EXPECT_EQ(all.GetCurrent(), c);
  all.DeleteSequence(-1);  // the current one
  EXPECT_TRUE(c->IsDeleted());
  EXPECT_FALSE(c->flags & seqflag::kPresent);
  EXPECT_EQ(all.GetCurrent(), a);
  a->SetFlags(seqflag::kHidden);
  EXPECT_EQ(all.GetCurrent(), b);
  all.Restore(c);
  EXPECT_EQ(c->flags, seqflag::kNewSequence);
  EXPECT_EQ(all.GetCurrent(), c);
  all.RemoveSequence(b);
  all.RemoveSequence(nullptr);
  EXPECT_EQ(all.Find(1, seqmask::kAll), nullptr);
  all.DeleteSequence(2);
  EXPECT_EQ(all.GetCurrent(), nullptr);  // only a hidden and a deleted one are left
  EXPECT_EQ(all.CurrentNumber(), -1);
  all.Undelete();  // one deleted: restored at once
  EXPECT_EQ(all.GetCurrent(), c);
}

TEST_F(ProjectSequences, UndeleteOfSeveralAsksWhichAndEveryChangeMarksTheProjectModified) {
  ResObjectSequence* a = Make();
  ResObjectSequence* b = Make();
  all.DeleteSequence(0);
  all.DeleteSequence(1);
  all.Undelete();  // several and no dialog: nothing restored
  EXPECT_EQ(all.CountDeleted(), 2);
  SetUndeleteChooser([b](ResObjectSequences&) { return b; });
  all.Undelete();
  SetUndeleteChooser(nullptr);
  EXPECT_TRUE(a->IsDeleted());
  EXPECT_FALSE(b->IsDeleted());

  for (auto change : {+[](ResObjectSequence& s) { s.ClearFlags(seqflag::kTracked); },
                      +[](ResObjectSequence& s) { s.ClearFlags(seqflag::kHidden); },
                      +[](ResObjectSequence& s) { s.SetFlags(seqflag::kHidden); }}) {
    all.SetModified(false);
    change(*b);
    EXPECT_TRUE(all.IsModified());
  }
}

TEST(ConvertOldFlagsTest, BodyModelResultsComeBackAsResultsFromAFile) {
  const std::pair<std::uint32_t, std::uint32_t> cases[] = {
      {0x000, 0x100},  {0x001, 0x101}, {0x002, 0x102},  {0x003, 0x103},  {0x005, 0x005},
      {0x105, 0x005},  {0x007, 0x007}, {0x008, 0x1000}, {0x408, 0x1000}, {0x010, 0x1000},
      {0x480, 0x1000}, {0x101, 0x101}, {0x103, 0x103},  {0x208, 0x1000},
  };
  ResObjectSequences all(nullptr);
  ResObjectSequence* s = all.NewSequence(0);
  for (const auto& [stored, loaded] : cases) {
    s->flags = stored;
    s->ConvertOldFlags();
    EXPECT_EQ(s->flags, loaded) << std::hex << stored;
  }
}

}  // namespace
