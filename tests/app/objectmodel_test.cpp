// The document and the object-model library: loading, connecting, handing points over and
// taking the results back, and releasing the model with the document.
#include <gtest/gtest.h>

#include "app/resource.h"
#include "fake_sequence.h"
#include "objects/objects_ids.h"
#include "objects/resobjseq.h"
#include "objects/stickfigure.h"
#include "objects/subobjseq.h"
#include "platform/library.h"
#include "platform/message_service.h"

namespace {

class ObjectModel : public testing::Test {
 protected:
  void SetUp() override {
    library_ = std::make_unique<platform::Library>(ZORVAT_FAKE_OBJECTMODEL);
    ASSERT_TRUE(library_->IsLoaded()) << library_->Error();
  }
  void TearDown() override { SetObjectModelLibrary(nullptr); }
  int Released() { return library_->Function<int (*)()>("Fake_Released")(); }

  platform::RecordingMessageService messages_;
  std::unique_ptr<platform::Library> library_;
};

TEST_F(ObjectModel, WithoutTheLibraryNothingHappens) {
  Resource doc(FileName("/d/run.bld"), false);
  doc.AddFrameSequence(new FakeSequence("/d/run.bld", 5, 25.0f));
  EXPECT_FALSE(doc.LoadObjectModel());
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(messages_.shown[0].caption, "Object Model Warning");
  ResObjectSequence* result = doc.ObjectSequences()->NewSequence(0x208);
  doc.UpdateObjectModel(0);
  EXPECT_EQ(result->ItemAt(1), nullptr);
}

TEST_F(ObjectModel, PointsGoToTheModelAndResultsComeBack) {
  SetObjectModelLibrary(library_.get());
  const int releasedBefore = Released();
  {
    Resource doc(FileName("/d/run.bld"), false);
    doc.AddFrameSequence(new FakeSequence("/d/run.bld", 3, 25.0f));
    ResObjectSequences& list = *doc.ObjectSequences();
    ResObjectSequence* hip = list.NewSequence(seqflag::kNewSequence);
    ResObjectSequence* knee = list.NewSequence(seqflag::kNewSequence);
    ASSERT_EQ(hip->number, 0);
    ASSERT_TRUE(doc.LoadObjectModel());
    EXPECT_FALSE(doc.LoadObjectModel());  // one model at a time
    EXPECT_EQ(messages_.shown.back().text,
              "The Document contains Object Model objects, but an Object Model is still loaded. "
              "The Object Model information can not be used.");
    doc.ConnectModelObjects();
    EXPECT_EQ(list.Count(), 2 + 10);  // five results for the segment, five for the body
    // The model's connection of object 0 with object 1, once.
    list.Figure().FirstConnection();
    ASSERT_NE(list.Figure().CurrentConnection(), nullptr);
    EXPECT_EQ(list.Figure().CurrentFirstSequence()->number +
                  list.Figure().CurrentSecondSequence()->number,
              1);
    EXPECT_FALSE(list.Figure().NextConnection());
    hip->AddObject(std::make_unique<ObjectBase>(2, 10.0f, 20.0f, 0.0f));
    knee->AddObject(std::make_unique<ObjectBase>(2, 30.0f, 40.0f, 0.0f));
    knee->AddObject(std::make_unique<ObjectBase>(3, 3.4028235e38f, 1.0f, 0.0f));  // no value
    doc.UpdateObjectModel(0);
    ResObjectSequence* body = nullptr;
    SequenceIterator it(list, seqmask::kAll);
    for (ResObjectSequence* s = it.Current(); s; s = it.Next())
      if (s->flags == 0x208 && s->number >= 7) body = s;  // the whole body's centre of mass
    ASSERT_NE(body, nullptr);
    ASSERT_NE(body->ItemAt(2), nullptr);
    EXPECT_FLOAT_EQ(body->ItemAt(2)->x, 20.0f);
    EXPECT_FLOAT_EQ(body->ItemAt(2)->y, 30.0f);
    EXPECT_EQ(body->ItemAt(3), nullptr);    // the missing coordinate was taken back
    messages_.answers = {platform::kIdNo};  // do not save the changed sequences
    EXPECT_TRUE(doc.CanClose());
    EXPECT_EQ(Released(), releasedBefore);  // a later document may still cancel Exit
  }
  EXPECT_EQ(Released(), releasedBefore + 1);
}

}  // namespace

namespace {

TEST_F(ObjectModel, SelectingAModelMakesItsObjectsAndDeletingTakesThemAway) {
  Resource doc(FileName("/d/run.bld"), false);
  doc.AddFrameSequence(new FakeSequence("/d/run.bld", 3, 25.0f));
  EXPECT_FALSE(doc.CanSelectObjectModel()) << "greyed without the library";
  doc.CmSelectObjectModel();
  EXPECT_EQ(doc.ObjectSequences()->Count(), 0);

  SetObjectModelLibrary(library_.get());
  ResObjectSequences& list = *doc.ObjectSequences();
  ResObjectSequence* own = list.NewSequence(seqflag::kNewSequence);  // number 0
  ASSERT_TRUE(doc.CanSelectObjectModel());
  EXPECT_FALSE(doc.CanDeleteObjectModel());
  doc.CmSelectObjectModel();
  EXPECT_EQ(doc.ModelId(), 3u);
  EXPECT_FALSE(doc.CanSelectObjectModel()) << "one model at a time";
  EXPECT_EQ(list.Count(), 1 + 2 + 10);

  messages_.answers = {platform::kIdNo};
  doc.CmDeleteObjectModel();
  EXPECT_EQ(doc.ModelId(), 3u) << "nothing happens unless the user confirms";
  messages_.answers = {platform::kIdYes};
  doc.CmDeleteObjectModel();
  EXPECT_EQ(doc.ModelId(), 0u);
  EXPECT_EQ(messages_.shown.back().caption, "Object Model Confirmation");
  // The model's objects (1 and 2) and every result go; the user's own sequence stays.
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Sequences().front().get(), own);
  messages_.answers = {platform::kIdNo};
}

}  // namespace
