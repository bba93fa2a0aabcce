// Object-sequence files: record round trips, a saved and reloaded project, version discovery,
// damaged files, a bounded random-mutation run of the reader, and the question a save asks
// before it replaces files the document did not read or that changed since.

#include "objects/osfile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <random>

#include "base/defaults.h"
#include "common/question_service.h"
#include "common/test_document.h"
#include "objects/docaccess.h"
#include "objects/resobjseq.h"
#include "objects/stickfigure.h"
#include "objects/subobjseq.h"
#include "objects_test_util.h"
#include "platform/files.h"
#include "platform/message_service.h"

namespace {

osfile::FileRecord SampleRecord() {
  osfile::FileRecord f;
  f.modelFile = "../models/body.abm";
  osfile::SubRecord a;
  a.number = 0;
  a.res = osfile::ResRecord{"Hip", 0x101, 25205, 63, 47, osfile::ColorRecord{7, 9, 11, 0x00FF8040}};
  a.tmpl = osfile::TemplateRecord{25, 19, 1, -2, 3};
  a.lastIndex = 100;
  a.points = {{1, 1.5f, 2.5f, 0}, {50, kMissingCoordinate, 3, 0}, {100, 640, 480, 0}};
  osfile::SubRecord b;
  b.number = 7;
  b.res = osfile::ResRecord{"", 0x103, 25208, 3, 3, osfile::ColorRecord{0, 1, 1, 0}};
  b.tmpl = osfile::TemplateRecord{3, 3, 0, 0, 0};
  b.lastIndex = 0;
  f.sequences = {a, b};
  osfile::AngleRecord angle;
  angle.name = "knee";
  angle.numbers[0] = 0;
  angle.numbers[1] = angle.numbers[2] = 7;
  angle.numbers[3] = 0;
  angle.swap1 = true;
  angle.swap2 = false;
  f.figure = osfile::FigureRecord{12, {{0x0000FF, 0, 7}}, {angle}};
  return f;
}

TEST(ObjectSequenceFileTest, RecordsComeBackFieldByField) {
  const osfile::FileRecord f = SampleRecord();
  const std::string bytes = osfile::Encode(f);
  const auto back = osfile::Decode(bytes);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(*back, f);
  // Record bodies as the format fixes them: an empty slot is one u32 0, so a sequence of 100
  // slots with three points takes 2 + 100 u32 values and three 16-byte points.
  EXPECT_NE(bytes.find(std::string("\x01\x00\x00\x00\x64\x00\x00\x00\x01\x00\x00\x00", 12)),
            std::string::npos);
}

// A one-byte change of every kind a damaged file shows is refused as a whole.
TEST(ObjectSequenceFileTest, DamagedFilesDecodeToNothing) {
  const std::string good = osfile::Encode(SampleRecord());
  for (std::size_t n = 0; n < good.size(); ++n) {
    ASSERT_FALSE(osfile::Decode(good.substr(0, n)).has_value()) << "truncated at " << n;
  }
  EXPECT_FALSE(osfile::Decode(good + "x").has_value());

  const auto patched = [&](const osfile::FileRecord& f, const std::string& from,
                           const std::string& to) {
    std::string bytes = osfile::Encode(f);
    const auto at = bytes.find(from);
    EXPECT_NE(at, std::string::npos) << "pattern not found";
    if (at != std::string::npos) bytes.replace(at, from.size(), to);
    return osfile::Decode(bytes);
  };
  const auto u32 = [](std::uint32_t v) {
    return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 24)};
  };
  // The slot count of sequence 0 far beyond the bytes in the file.
  EXPECT_FALSE(
      patched(SampleRecord(), u32(1) + u32(100) + u32(1), u32(1) + u32(0x7FFFFFF0) + u32(1)));
  // A point filed under another frame than its slot.
  EXPECT_FALSE(patched(SampleRecord(), u32(50) + u32(50), u32(50) + u32(51)));
  // A template without pixels.
  EXPECT_FALSE(patched(SampleRecord(), u32(25) + u32(19), u32(0) + u32(19)));
  // A class version this program does not know.
  osfile::FileRecord f = SampleRecord();
  EXPECT_FALSE(patched(f, std::string("SubObjectSequences") + u32(4),
                       std::string("SubObjectSequences") + u32(5)));
  // Two sub-sequences of one number, and a sequence number beyond the signed range.
  f.sequences[1].number = 0;
  EXPECT_FALSE(osfile::Decode(osfile::Encode(f)).has_value());
  f = SampleRecord();
  f.figure->connections[0].second = -1;
  EXPECT_FALSE(osfile::Decode(osfile::Encode(f)).has_value());
  // Older class versions stay readable: a stick figure of version 3 has no swap flags.
  f = SampleRecord();
  std::string bytes = osfile::Encode(f);
  const std::string v4 = std::string("StickFigure") + u32(4);
  bytes.replace(bytes.find(v4), v4.size(), std::string("StickFigure") + u32(3));
  // Version 3 ends the angle after its numbers; the two swap words left over are skipped.
  const auto old = osfile::Decode(bytes);
  ASSERT_TRUE(old.has_value());
  EXPECT_FALSE(old->figure->angles[0].swap1.has_value());
  EXPECT_EQ(old->figure->angles[0].name, "knee");
  // A colour descriptor of version 1 has no colour: the sequence keeps its own.
  const auto oldColour =
      patched(SampleRecord(), u32(47) + u32(4) + u32(7), u32(47) + u32(1) + u32(7));
  ASSERT_TRUE(oldColour.has_value());
  EXPECT_EQ(oldColour->sequences[0].res->color->style, 7);
  EXPECT_FALSE(oldColour->sequences[0].res->color->color.has_value());
  ResObjectSequences all(nullptr);
  SubObjectSequences video;
  ResObjectSequence* s = all.GetOrCreate(0);
  const ColorValue own = s->color;
  osfile::Apply(*oldColour, video, all);
  EXPECT_EQ(s->color, own);
  EXPECT_EQ(s->style, 7);
  EXPECT_EQ(s->name, "Hip");
}

// Mutates valid files at random for a bounded time: the reader must never crash, read outside
// its input or claim memory beyond what the input can describe.
TEST(ObjectSequenceFileTest, RandomMutationsNeverBreakTheReader) {
  osfile::FileRecord big = SampleRecord();
  for (int i = 0; i < 20; ++i) {
    osfile::SubRecord s = big.sequences[0];
    s.number = 100 + i;
    big.sequences.push_back(s);
  }
  const std::vector<std::string> seeds = {osfile::Encode(SampleRecord()), osfile::Encode(big),
                                          osfile::Encode(osfile::FileRecord{})};
  std::mt19937 rng(20261210);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  int runs = 0, decoded = 0;
  ResObjectSequences all(nullptr);
  SubObjectSequences video;
  while (std::chrono::steady_clock::now() < deadline) {
    std::string bytes = seeds[rng() % seeds.size()];
    const int edits = 1 + static_cast<int>(rng() % 4);
    for (int e = 0; e < edits && !bytes.empty(); ++e) {
      const std::size_t at = rng() % bytes.size();
      switch (rng() % 5) {
        case 0:
          bytes[at] = static_cast<char>(bytes[at] ^ (1 << (rng() % 8)));
          break;
        case 1:
          bytes[at] = static_cast<char>(rng());
          break;
        case 2: {
          const std::uint32_t v = (rng() % 2) ? rng() : (0xFFFFFFFFu - rng() % 4);
          for (int k = 0; k < 4 && at + k < bytes.size(); ++k)
            bytes[at + k] = static_cast<char>(v >> (8 * k));
          break;
        }
        case 3:
          bytes.resize(at);
          break;
        default:
          bytes.insert(at, bytes.substr(at, rng() % 16));
          break;
      }
    }
    // An exact-size heap copy, so a read past the end is a read outside the allocation.
    const std::unique_ptr<char[]> copy(new char[bytes.size()]);
    std::copy(bytes.begin(), bytes.end(), copy.get());
    const auto file = osfile::Decode(std::string_view(copy.get(), bytes.size()));
    if (file) {
      ++decoded;
      osfile::Apply(*file, video, all);
    }
    ++runs;
  }
  EXPECT_GT(runs, 1000);
  RecordProperty("runs", runs);
  RecordProperty("decoded", decoded);
}

struct Project : ::testing::Test {
  TempDir dir{"osfile"};
  std::unique_ptr<TestDocument> doc;
  std::vector<TestVideo*> videos;

  void Open(std::vector<std::pair<std::string, bool>> names) {
    videos.clear();
    doc = std::make_unique<TestDocument>(FileName(dir.File("project.rsc")));
    for (const auto& [name, colour] : names) {
      videos.push_back(new TestVideo(dir.File(name), 320, 240, 30, colour));
      doc->AddFrameSequence(videos.back());
    }
  }
  ResObjectSequences& All() { return *doc->ObjectSequences(); }
  SubObjectSequences& Subs(int i) { return objdoc::SubsOf(*videos[i]); }
  void Touch(const std::string& name) {
    ASSERT_TRUE(platform::WriteFileAtomically(dir.File(name), "x"));
  }
};

TEST_F(Project, SavedProjectLoadsBackFieldByField) {
  Open({{"walk.avi", false}, {"walk2.avi", true}, {"top.bld", false}});
  ResObjectSequence* a = All().NewSequence(seqflag::kNewSequence);
  ResObjectSequence* b = All().NewSequence(seqflag::kNewSequence);
  ResObjectSequence* c = All().NewSequence(seqflag::kNewSequence);
  ResObjectSequence* gone = All().NewSequence(seqflag::kNewSequence);
  a->name = "Hip with a long name that no fixed buffer would hold";
  a->algorithm = algorithm::kCrossCorrelation;
  a->horizontalLimit = 41;
  b->SetFlags(seqflag::kHidden);
  b->ClearFlags(seqflag::kTracked);
  *static_cast<ColorDescr*>(c) = ColorDescr(Rgb(10, 20, 30), 5, 7, kMarkerStar);
  for (int v = 0; v < 3; ++v) {
    for (ResObjectSequence* s : {a, b, c, gone}) {
      SubObjectSequence* sub = Subs(v).Find(s->number);
      sub->AddPoint(1 + v, 10.25f * s->number, 20.5f + v);
      sub->AddPoint(29, kMissingCoordinate, 3);
    }
  }
  Subs(1).Find(a->number)->SetSize(9, 11);
  Subs(1).Find(a->number)->xOffset = -4;
  Subs(2).Find(c->number)->shape = kTemplateCircle;
  StickFigure& figure = All().Figure();
  figure.arcRadius = 17;
  SequencePair* ab = figure.Connect(a, b, Rgb(1, 2, 3));
  SequencePair* bc = figure.Connect(b, c, Rgb(4, 5, 6));
  figure.Connect(c, gone, Rgb(7, 8, 9));
  AngleSequencePair* angle = figure.CreateAngle(ab, bc, std::string("knee"));
  angle->swap1 = true;
  angle->swap2 = true;
  All().DeleteSequence(gone->number);

  platform::RecordingMessageService messages;
  ASSERT_TRUE(All().SaveAll());
  EXPECT_FALSE(All().IsModified());
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_TRUE(platform::FileExists(dir.File("walk.OS")));
  EXPECT_TRUE(platform::FileExists(dir.File("top.OS")));

  // Keep what was saved, then load it into a fresh document over the same videos.
  std::vector<osfile::FileRecord> saved;
  for (int v = 0; v < 3; ++v) saved.push_back(osfile::Collect(Subs(v), All()));
  Open({{"walk.avi", false}, {"walk2.avi", true}, {"top.bld", false}});
  All().LoadVersion();
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_FALSE(All().IsModified());
  EXPECT_EQ(All().Count(), 3);  // the deleted sequence was not saved
  for (int v = 0; v < 3; ++v) {
    const osfile::FileRecord loaded = osfile::Collect(Subs(v), All());
    EXPECT_EQ(loaded.sequences, saved[v].sequences) << v;
    EXPECT_EQ(loaded.figure, saved[v].figure) << v;
    EXPECT_EQ(loaded.modelFile, saved[v].modelFile) << v;
  }

  const ResObjectSequence* la = All().Find(0, seqmask::kAll);
  EXPECT_EQ(la->name, "Hip with a long name that no fixed buffer would hold");
  EXPECT_EQ(All().Find(1, seqmask::kAll)->flags, seqflag::kPresent | seqflag::kHidden);
  EXPECT_EQ(All().Find(2, seqmask::kAll)->style, kMarkerStar);
  EXPECT_EQ(Subs(1).Find(0)->width, 9);
  EXPECT_TRUE(Subs(1).Find(0)->isColor);
  EXPECT_EQ(Subs(1).Find(0)->ItemAt(29)->x, kMissingCoordinate);
  EXPECT_EQ(All().Figure().ConnectionCount(), 2u);
  ASSERT_EQ(All().Figure().AngleCount(), 1u);
  const AngleSequencePair* back = All().Figure().NextAngle(nullptr, true);
  EXPECT_EQ(back->name, "knee");
  EXPECT_TRUE(back->swap1 && back->swap2);
  EXPECT_FALSE(back->autoOrient);
  EXPECT_EQ(All().Figure().arcRadius, 17u);
  EXPECT_EQ(All().GetCurrent()->number, 0);
}

TEST_F(Project, HighestVersionStopsAtTheFirstGap) {
  Open({{"walk.avi", false}, {"run.avi", false}});
  EXPECT_EQ(Subs(0).HighestVersion(), -1);
  Touch("walk_1.OS");
  EXPECT_EQ(Subs(0).HighestVersion(), -1);  // no walk.OS
  Touch("walk.OS");
  Touch("walk_3.OS");
  EXPECT_EQ(Subs(0).HighestVersion(), 1);
  Touch("walk_2.OS");
  EXPECT_EQ(Subs(0).HighestVersion(), 3);
  Touch("RUN.os");  // written on a system that ignores case
  EXPECT_EQ(Subs(1).HighestVersion(), 0);
  EXPECT_EQ(osfile::FileNameOf(FileName(dir.File("walk.avi")), 2).NameExt(), "walk_2.OS");
}

TEST_F(Project, VersionChoiceAndDamagedOrMissingFiles) {
  Open({{"walk.avi", false}, {"run.avi", false}});
  ResObjectSequence* s = All().NewSequence(seqflag::kNewSequence);
  Subs(0).Find(s->number)->AddPoint(2, 5, 6);
  Subs(1).Find(s->number)->AddPoint(3, 7, 8);
  ASSERT_TRUE(All().SaveAll());
  std::string walk, run;
  ASSERT_TRUE(platform::ReadWholeFile(dir.File("walk.OS"), walk));
  ASSERT_TRUE(platform::ReadWholeFile(dir.File("run.OS"), run));
  for (const char* extra : {"walk_1.OS", "walk_2.OS"}) {
    ASSERT_TRUE(platform::WriteFileAtomically(dir.File(extra), walk));
  }
  int asked = -1;
  osfile::SetVersionChooser([&](int highest) -> std::optional<int> {
    asked = highest;
    return std::nullopt;
  });
  // walk has 0..2, run only 0: no question, version 0.
  Open({{"walk.avi", false}, {"run.avi", false}});
  All().LoadVersion();
  EXPECT_EQ(asked, -1);
  EXPECT_EQ(All().selectedVersion, 0);
  ASSERT_NE(Subs(1).Find(0), nullptr);
  EXPECT_NE(Subs(1).Find(0)->ItemAt(3), nullptr);

  // Both have 0..1: the question, and cancelling it loads nothing.
  ASSERT_TRUE(platform::WriteFileAtomically(dir.File("run_1.OS"), run));
  Open({{"walk.avi", false}, {"run.avi", false}});
  All().LoadVersion();
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(All().Count(), 0);

  // A damaged file reports and loads nothing of itself; the other video's file loads.
  osfile::SetVersionChooser(nullptr);
  std::string damaged = run;
  damaged.resize(damaged.size() - 3);
  ASSERT_TRUE(platform::WriteFileAtomically(dir.File("run_1.OS"), damaged));
  platform::RecordingMessageService messages;
  Open({{"walk.avi", false}, {"run.avi", false}});
  All().LoadVersion();
  EXPECT_EQ(All().selectedVersion, 1);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].caption, "Input/output error");
  EXPECT_EQ(messages.shown[0].text, "The file " + dir.File("run_1.OS") +
                                        " is damaged or is no object-sequence file.\n\n"
                                        "The file is not loaded.");
  ASSERT_NE(Subs(0).Find(0), nullptr);
  EXPECT_NE(Subs(0).Find(0)->ItemAt(2), nullptr);
  EXPECT_EQ(Subs(1).Find(0)->Count(), 0);  // an empty sub-sequence of the project's sequence

  // A video without any file: version -1, every video opens "%s.OS", the missing one reports.
  messages.shown.clear();
  Open({{"walk.avi", false}, {"jump.avi", false}});
  EXPECT_FALSE(All().AllFilesExist());
  All().LoadVersion();
  EXPECT_EQ(All().selectedVersion, -1);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.shown[0].text.find("jump.OS"), std::string::npos);
  EXPECT_EQ(All().Count(), 1);
}

TEST_F(Project, AFailedSaveIsReportedAndKeepsTheProjectModified) {
  Open({{"walk.avi", false}, {"run.avi", false}});
  All().NewSequence(seqflag::kNewSequence);
  ASSERT_TRUE(All().SaveAll());
  std::string before;
  ASSERT_TRUE(platform::ReadWholeFile(dir.File("walk.OS"), before));
  // run.OS cannot be replaced: a folder stands in its place.
  std::filesystem::remove(dir.File("run.OS"));
  std::filesystem::create_directories(dir.File("run.OS") + "/keep");
  All().NewSequence(seqflag::kNewSequence);
  platform::RecordingMessageService messages;
  EXPECT_FALSE(All().SaveAll());
  EXPECT_TRUE(All().IsModified());
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].caption, "Input/output error");
  EXPECT_NE(messages.shown[0].text.find("run.OS"), std::string::npos);
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("run.OS") + "/keep"));
  std::string after;
  ASSERT_TRUE(platform::ReadWholeFile(dir.File("walk.OS"), after));
  EXPECT_NE(after, before);  // the other video's file was written
  const auto walk = osfile::Decode(after);
  ASSERT_TRUE(walk.has_value());
  EXPECT_EQ(walk->sequences.size(), 2u);
}

}  // namespace

namespace {

using Folder = std::map<std::string, std::string>;

// Every file of the folder by name, with its bytes.
Folder FilesIn(const std::filesystem::path& folder) {
  Folder files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    std::string bytes;
    EXPECT_TRUE(platform::ReadWholeFile(entry.path().string(), bytes));
    files[entry.path().filename().string()] = bytes;
  }
  return files;
}

// What became of the files since this document last read or wrote them.
enum class History { kNeverLoaded, kUnchanged, kOtherDocument, kOtherProgram, kDeleted };

struct SaveRow {
  const char* name;
  History history;
  // The files the question lists, each with what it holds; none: no question.
  std::vector<std::pair<std::string, std::string>> asked;
};

}  // namespace

// Walk and run each carry a file with one object of three points, saved by an earlier document.
// This document then adds an object and saves, after the files went through the row's history,
// and the user gives each answer in turn.
TEST_F(Project, SaveAsksBeforeReplacingFilesItDidNotReadOrThatChanged) {
  const SaveRow rows[] = {
      {"never loaded",
       History::kNeverLoaded,
       {{"walk.OS", "objects: 1, points: 3"}, {"run.OS", "objects: 1, points: 3"}}},
      {"loaded and unchanged", History::kUnchanged, {}},
      {"changed by another document",
       History::kOtherDocument,
       {{"walk.OS", "objects: 2, points: 4"}, {"run.OS", "objects: 2, points: 3"}}},
      {"changed by another program", History::kOtherProgram, {{"run.OS", "objects: 0, points: 0"}}},
      {"deleted since loading", History::kDeleted, {}},
  };
  const std::pair<const char*, std::vector<std::string>> videos[] = {
      {"walk.avi", {"walk.OS", "walk_1.OS"}}, {"run.avi", {"run.OS", "run_1.OS"}}};
  for (const SaveRow& row : rows) {
    for (const int answer : {platform::kIdYes, platform::kIdNo, platform::kIdCancel}) {
      SCOPED_TRACE(std::string(row.name) + ", answer " + std::to_string(answer));
      for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        std::filesystem::remove_all(entry.path());
      platform::RecordingMessageService messages;
      Open({{"walk.avi", false}, {"run.avi", false}});
      ResObjectSequence* earlier = All().NewSequence(seqflag::kNewSequence);
      for (int frame : {1, 2, 3}) Subs(0).Find(earlier->number)->AddPoint(frame, 5, 6);
      for (int frame : {4, 5, 6}) Subs(1).Find(earlier->number)->AddPoint(frame, 7, 8);
      ASSERT_TRUE(All().SaveAll());

      Open({{"walk.avi", false}, {"run.avi", false}});
      if (row.history != History::kNeverLoaded) All().LoadVersion();
      if (row.history == History::kOtherDocument) {
        TestDocument other(FileName(dir.File("other.rsc")));
        TestVideo* walk = new TestVideo(dir.File("walk.avi"), 320, 240, 30, false);
        other.AddFrameSequence(walk);
        other.AddFrameSequence(new TestVideo(dir.File("run.avi"), 320, 240, 30, false));
        other.ObjectSequences()->LoadVersion();
        ResObjectSequence* theirs = other.ObjectSequences()->NewSequence(seqflag::kNewSequence);
        objdoc::SubsOf(*walk).Find(theirs->number)->AddPoint(9, 1, 1);
        ASSERT_TRUE(other.ObjectSequences()->SaveAll());
      } else if (row.history == History::kOtherProgram) {
        ASSERT_TRUE(platform::WriteFileAtomically(dir.File("run.OS"), osfile::Encode({})));
      } else if (row.history == History::kDeleted) {
        std::filesystem::remove(dir.File("walk.OS"));
      }
      ResObjectSequence* mine = All().NewSequence(seqflag::kNewSequence);
      Subs(0).Find(mine->number)->AddPoint(7, 3, 4);
      std::vector<std::string> ours;
      for (int v = 0; v < 2; ++v) ours.push_back(osfile::Encode(osfile::Collect(Subs(v), All())));
      Folder expected = FilesIn(dir.Path());
      ASSERT_TRUE(messages.shown.empty());

      messages.answers = {answer};
      const bool saved = All().SaveAll();

      const bool asked = !row.asked.empty();
      ASSERT_EQ(messages.shown.size(), asked ? 1u : 0u);
      const int outcome = asked ? answer : platform::kIdYes;
      if (asked) {
        const std::string& text = messages.shown[0].text;
        EXPECT_EQ(messages.shown[0].caption, "Replace object-sequence files");
        const std::string reason = row.history == History::kNeverLoaded
                                       ? "not loaded by this document; written "
                                       : "changed since this document read or wrote it; written ";
        for (const auto& video : videos) {
          const std::string& file = video.second[0];
          const auto listed = std::find_if(row.asked.begin(), row.asked.end(),
                                           [&](const auto& a) { return a.first == file; });
          const std::size_t at = text.find(dir.File(file) + "\n    ");
          ASSERT_EQ(at != std::string::npos, listed != row.asked.end()) << text;
          if (at == std::string::npos) continue;
          // The file's own line: why it is asked about, when it was written, what it holds.
          const std::size_t from = text.find('\n', at) + 1;
          const std::string line = text.substr(from, text.find('\n', from) - from);
          EXPECT_THAT(line, testing::StartsWith("    " + reason));
          EXPECT_THAT(line, testing::EndsWith("; " + listed->second + "."));
        }
        EXPECT_NE(text.find("new version 1 (walk_1.OS, run_1.OS)"), std::string::npos) << text;
      }
      if (outcome != platform::kIdCancel) {
        for (int v = 0; v < 2; ++v)
          expected[videos[v].second[outcome == platform::kIdNo]] = ours[v];
      }
      EXPECT_EQ(saved, outcome != platform::kIdCancel);
      EXPECT_EQ(All().IsModified(), outcome == platform::kIdCancel);
      EXPECT_EQ(All().selectedVersion, outcome == platform::kIdNo ? 1 : 0);
      EXPECT_EQ(FilesIn(dir.Path()), expected);
      // What it wrote is this document's own: the next save asks nothing.
      if (saved) {
        Subs(1).Find(mine->number)->AddPoint(8, 1, 2);
        EXPECT_TRUE(All().SaveAll());
        EXPECT_EQ(messages.shown.size(), asked ? 1u : 0u);
      }
    }
  }
}

// Another document saves while "Replace object-sequence files" is open: Yes covers the version
// the user was shown, so the newer one is asked about before it is replaced.
TEST_F(Project, AFileWrittenWhileTheQuestionIsOpenIsAskedAboutAgain) {
  const struct {
    const char* name;
    std::deque<int> answers;
    bool replaced;
  } rows[] = {{"Yes, then Yes", {platform::kIdYes, platform::kIdYes}, true},
              {"Yes, then Cancel", {platform::kIdYes, platform::kIdCancel}, false}};
  const std::string theirs = osfile::Encode({});
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
      std::filesystem::remove_all(entry.path());
    testutil::QuestionService questions;
    Open({{"walk.avi", false}});
    All().NewSequence(seqflag::kNewSequence);
    ASSERT_TRUE(All().SaveAll());
    Open({{"walk.avi", false}});  // never loaded: the save asks
    ResObjectSequence* mine = All().NewSequence(seqflag::kNewSequence);
    Subs(0).Find(mine->number)->AddPoint(7, 3, 4);
    const std::string ours = osfile::Encode(osfile::Collect(Subs(0), All()));
    questions.answers = row.answers;
    questions.whileAsked = {
        [&] { ASSERT_TRUE(platform::WriteFileAtomically(dir.File("walk.OS"), theirs)); }};

    EXPECT_EQ(All().SaveAll(), row.replaced);

    ASSERT_EQ(questions.Questions(), 2);
    EXPECT_THAT(questions.shown[1].text, testing::HasSubstr("objects: 0, points: 0."));
    std::string onDisk;
    ASSERT_TRUE(platform::ReadWholeFile(dir.File("walk.OS"), onDisk));
    EXPECT_EQ(onDisk, row.replaced ? ours : theirs);
    EXPECT_EQ(All().IsModified(), !row.replaced);
  }
}
