#include "platform/commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> calls;

class View : public platform::CommandTarget {
 public:
  const platform::CommandTable& Commands() const override;
  void CmZoom() { calls.push_back("view zoom"); }
  void CePlay(platform::CommandEnabler& ce) { ce.Enable(playEnabled); }
  bool playEnabled = false;
};

class Document : public platform::CommandTarget {
 public:
  const platform::CommandTable& Commands() const override;
  void CmZoom() { calls.push_back("document zoom"); }
  void CmPlay() { calls.push_back("document play"); }
  void CmAnalysis(int id) { calls.push_back("analysis " + std::to_string(id)); }
  void CeSave(platform::CommandEnabler& ce) {
    ce.SetCheck(platform::CommandEnabler::kChecked);
    ce.SetText("Save now");
  }
  void CmSave() { calls.push_back("document save"); }
};

// A document kind that adds one command and keeps its base's.
class PlanarDocument : public Document {
 public:
  const platform::CommandTable& Commands() const override;
  void CmPlanar() { calls.push_back("planar"); }
};

constexpr platform::CommandEntry kViewEntries[] = {
    platform::Command<&View::CmZoom>(100),
    platform::Enabler<&View::CePlay>(200),
};
const platform::CommandTable kViewTable{kViewEntries};
const platform::CommandTable& View::Commands() const { return kViewTable; }

constexpr platform::CommandEntry kDocumentEntries[] = {
    platform::Command<&Document::CmZoom>(100),
    platform::Command<&Document::CmPlay>(200),
    platform::CommandRange<&Document::CmAnalysis>(300, 358),
    platform::Command<&Document::CmSave, &Document::CeSave>(400),
};
const platform::CommandTable kDocumentTable{kDocumentEntries};
const platform::CommandTable& Document::Commands() const { return kDocumentTable; }

constexpr platform::CommandEntry kPlanarEntries[] = {
    platform::Command<&PlanarDocument::CmPlanar>(500),
};
const platform::CommandTable kPlanarTable{kPlanarEntries, &kDocumentTable};
const platform::CommandTable& PlanarDocument::Commands() const { return kPlanarTable; }

class Commands : public testing::Test {
 protected:
  void SetUp() override { calls.clear(); }
  View view;
  PlanarDocument document;
};

TEST_F(Commands, FirstTargetInTheChainHandles) {
  EXPECT_TRUE(platform::RouteCommand({&view, &document}, 100));
  EXPECT_TRUE(platform::RouteCommand({nullptr, &document}, 100));
  EXPECT_TRUE(platform::RouteCommand({&view, &document}, 200));  // the view only enables it
  EXPECT_TRUE(platform::RouteCommand({&view, &document}, 357));
  EXPECT_TRUE(platform::RouteCommand({&view, &document}, 500));
  EXPECT_FALSE(platform::RouteCommand({&view, &document}, 999));
  EXPECT_EQ(calls, (std::vector<std::string>{"view zoom", "document zoom", "document play",
                                             "analysis 357", "planar"}));
}

TEST_F(Commands, EnablersDecideAndUnhandledCommandsAreGreyed) {
  platform::CommandChain chain{&view, &document};
  EXPECT_FALSE(platform::QueryCommand(chain, 200).enabled);  // the view's enabler wins
  view.playEnabled = true;
  EXPECT_TRUE(platform::QueryCommand(chain, 200).enabled);
  EXPECT_TRUE(platform::QueryCommand({&document}, 200).enabled);  // handled, no enabler
  EXPECT_FALSE(platform::QueryCommand(chain, 999).enabled);        // nobody handles it
  EXPECT_FALSE(platform::QueryCommand({&view}, 300).enabled);
  auto save = platform::QueryCommand(chain, 400);
  EXPECT_TRUE(save.enabled);
  EXPECT_EQ(save.check, platform::CommandEnabler::kChecked);
  EXPECT_EQ(save.text, "Save now");
  EXPECT_TRUE(calls.empty()) << "enabling must not run handlers";
}

}  // namespace
