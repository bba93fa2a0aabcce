// ASCII object files: the reader's lines and its faulty input, import into a multi-camera
// project, a file growing while it is read, names made safe, export and import back, the
// export's question before it replaces files and its refusal of two files on one name, and the
// clipboard text of "Copy Sequence".

#include "objects/asciiobj.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "base/textformat.h"
#include "common/test_document.h"
#include "objects/docaccess.h"
#include "objects/resobjseq.h"
#include "objects/subobjseq.h"
#include "objects/ui/objectimport.h"
#include "objects_test_util.h"
#include "platform/files.h"
#include "platform/message_service.h"
#include "platform/ui/choosers.h"

namespace {

using testing::HasSubstr;

struct Project {
  TestDocument doc;
  FrameSequence* left;
  FrameSequence* right;
  Project()
      : left(doc.AddFrameSequence(new TestVideo("/tmp/left.avi", 640, 480, 50))),
        right(doc.AddFrameSequence(new TestVideo("/tmp/right.avi", 640, 480, 50))) {}
  SubObjectSequence& Sub(FrameSequence* v, const ResObjectSequence* s) {
    return *objdoc::SubsOf(*v).Find(s->number);
  }
};

struct ReadCase {
  const char* name;
  std::string text;
  int filed;                                          // lines filed
  std::vector<std::tuple<int, float, float>> points;  // frame, x, y
  const char* message;                                // part of the message shown, or null
};

class AsciiReader : public testing::TestWithParam<ReadCase> {};

TEST_P(AsciiReader, FilesItsLinesAndReportsTheFirstFault) {
  const ReadCase& c = GetParam();
  TempDir dir("ascii_read");
  const std::string file = dir.Write("track.p00", c.text);
  Project p;
  ResObjectSequence* s = p.doc.ObjectSequences()->NewSequence(seqflag::kNewSequence);
  SubObjectSequence& sub = p.Sub(p.left, s);
  platform::RecordingMessageService messages;
  TextInFile in(file);
  EXPECT_EQ(ascii::ReadObjects(sub, in, file, p.left->Frames()), c.filed);
  for (auto [frame, x, y] : c.points) {
    const ObjectBase* point = sub.ItemAt(frame);
    ASSERT_NE(point, nullptr) << "frame " << frame;
    EXPECT_FLOAT_EQ(point->x, x);
    EXPECT_FLOAT_EQ(point->y, y);
  }
  EXPECT_EQ(sub.Count(), static_cast<int>(c.points.size()));
  if (c.message) {
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_THAT(messages.shown[0].text, HasSubstr(c.message));
  } else {
    EXPECT_TRUE(messages.shown.empty()) << messages.shown[0].text;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, AsciiReader,
    testing::Values(
        ReadCase{"Semicolons", "0;12.5;40.25\n", 1, {{1, 12.5f, 40.25f}}, nullptr},
        ReadCase{"WhiteSpaceSeparates", "4 1.0 2.0\n", 1, {{5, 1.0f, 2.0f}}, nullptr},
        ReadCase{"LaterLineOfAFrameWins", "2 1 1\n2 3 4\n", 2, {{3, 3.0f, 4.0f}}, nullptr},
        ReadCase{"NoTrailingNewline", "0 1 2\n1 3 4", 2, {{1, 1, 2}, {2, 3, 4}}, nullptr},
        ReadCase{"TextEndsTheReading", "0 1 2\nend\n", 1, {{1, 1, 2}}, nullptr},
        ReadCase{"MissingSeparator", "0 1 2\n1x3 4\n", 1, {{1, 1, 2}}, "no column seperation"},
        ReadCase{"EarlyEnd", "0 1 2\n1 3", 1, {{1, 1, 2}}, "reached unexpectedly"},
        ReadCase{"EarlyEndAfterASeparator", "0 1 2\n1 3 ", 1, {{1, 1, 2}}, "reached unexpectedly"},
        ReadCase{
            "FrameBelowOne", "0 1 2\n-1 3 4\n5 5 5\n", 1, {{1, 1, 2}}, "in line 2 the frame -1"},
        ReadCase{"FrameBeyondAnyArray",
                 "0 1 2\n99999999999 3 4\n",
                 1,
                 {{1, 1, 2}},
                 "in line 2 the frame 99999999999"},
        // The video has 50 frames: 49 is its last, 50 lies beyond it.
        ReadCase{"LastFrameOfTheVideo", "49 1 2\n", 1, {{50, 1, 2}}, nullptr},
        ReadCase{"FrameBeyondTheVideo",
                 "0 1 2\n50 3 4\n",
                 1,
                 {{1, 1, 2}},
                 "in line 2 the frame 50, which lies outside the frames 0 to 49 of its video"},
        ReadCase{"CoordinatesAtTheLimit", "0 -1048576 1048576\n", 1, {{1, -1048576, 1048576}},
                 nullptr},
        ReadCase{"CoordinateNoViewCanDraw",
                 "0 1 2\n1 1000000000000000 4\n",
                 1,
                 {{1, 1, 2}},
                 "in line 2 a point at (1e+15, 4), farther than 1048576 pixels from the image "
                 "origin. The lines before it were read."},
        ReadCase{"CoordinateBeyondAnyFloat",
                 "0 1 2\n1 3 " + std::string(400, '9') + "\n",
                 1,
                 {{1, 1, 2}},
                 "farther than 1048576 pixels"}),
    [](const auto& info) { return info.param.name; });

TEST(AsciiImport, FillsTheFirstSequenceEmptyInThisVideoThenNewOnesAndReportsEmptyFiles) {
  TempDir dir("ascii_import");
  Project p;
  ResObjectSequences& all = *p.doc.ObjectSequences();
  // Sequence 0 is tracked in the left camera: it keeps its points. Sequence 1 is tracked in the
  // right camera only: its left sub-sequence is empty and takes the first file.
  ResObjectSequence* leftTracked = all.NewSequence(seqflag::kNewSequence);
  p.Sub(p.left, leftTracked).AddPoint(1, 7, 7);
  ResObjectSequence* rightOnly = all.NewSequence(seqflag::kNewSequence);
  p.Sub(p.right, rightOnly).AddPoint(1, 10, 10);
  const std::string a = dir.Write("knee.p07", "0 1 2\n");
  dir.Write("knee.n07", "Knee\n10 20 30\n");
  const std::string b = dir.Write("hip.p02", "0 5 6\n");
  dir.Write("hip.n02", "Hip\n1 2 3\n");
  const std::string empty = dir.Write("empty.p03", "no points here\n");
  platform::RecordingMessageService messages;

  EXPECT_EQ(ascii::Import(p.doc, *p.left, {a, b, empty}), 2);

  EXPECT_EQ(p.Sub(p.left, leftTracked).Count(), 1);
  EXPECT_FLOAT_EQ(p.Sub(p.left, leftTracked).ItemAt(1)->x, 7.0f);
  EXPECT_FLOAT_EQ(p.Sub(p.left, rightOnly).ItemAt(1)->x, 1.0f);
  EXPECT_FLOAT_EQ(p.Sub(p.right, rightOnly).ItemAt(1)->x, 10.0f);
  EXPECT_EQ(rightOnly->name, "Object 1") << "a reused sequence keeps its name";
  ResObjectSequence* created = all.Find(2, seqmask::kAll);
  ASSERT_NE(created, nullptr);
  EXPECT_FLOAT_EQ(p.Sub(p.left, created).ItemAt(1)->x, 5.0f);
  EXPECT_EQ(created->name, "Hip") << "a new sequence takes its description";
  EXPECT_EQ(all.Find(3, seqmask::kAll), nullptr) << "the empty file's sequence is dropped";
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_THAT(messages.shown[0].text, HasSubstr("empty.p03 does not contain any objects"));
}

// The progress is told how far the import is; stopping it keeps every whole point read, reads
// no further file, and still recomputes the document.
TEST(AsciiImport, StopsBetweenTwoLinesWhenTheProgressSaysSo) {
  TempDir dir("ascii_stop");
  Project p;
  std::string lines;
  for (int f = 0; f < 3 * ascii::kProgressLines; ++f)
    lines += std::to_string(f % 50) + " " + std::to_string(f) + ".5 1\n";
  const std::string first = dir.Write("long.p00", lines);
  const std::string second = dir.Write("next.p01", "0 1 2\n");
  std::vector<double> told;
  const int updates = p.doc.viewUpdates;
  EXPECT_EQ(ascii::Import(p.doc, *p.left, {first, second},
                          [&told](double done) {
                            told.push_back(done);
                            return told.size() < 2;
                          }),
            1);
  ASSERT_EQ(told.size(), 2u);
  EXPECT_GT(told[0], 0.0);
  EXPECT_LT(told[0], told[1]);
  EXPECT_LT(told[1], 0.5) << "the first of two files is not done yet";
  const ResObjectSequence* s = p.doc.ObjectSequences()->Find(0, seqmask::kAll);
  ASSERT_NE(s, nullptr);
  const SubObjectSequence& sub = p.Sub(p.left, s);
  // Lines 1 to 2 * kProgressLines - 1 were read: every frame holds its last whole line.
  EXPECT_EQ(sub.Count(), 50);
  const int lastRead = 2 * ascii::kProgressLines - 2;
  EXPECT_FLOAT_EQ(sub.ItemAt(lastRead % 50 + 1)->x, lastRead + 0.5f);
  EXPECT_EQ(p.doc.ObjectSequences()->Find(1, seqmask::kAll), nullptr) << "no further file";
  EXPECT_EQ(p.doc.viewUpdates, updates + 1);
}

// The command: the open dialog titled and filtered for point files, starting in the video's
// folder; its files are read into the video's sequences, and a cancelled choice reads nothing.
TEST(ObjectImport, AsksForPointFilesAndReadsThemIntoTheSequence) {
  TempDir dir("object_import");
  Project p;
  const std::string file = dir.Write("knee.p04", "0 1 2\n3 4 5\n");
  platform::ScriptedChoosers choosers;
  choosers.fileAnswers = {QString::fromStdString(file)};
  EXPECT_EQ(ObjectImport(*p.left, nullptr).Import(), 1);
  ASSERT_EQ(choosers.asked.size(), 1u);
  EXPECT_EQ(choosers.asked[0].title, "Import object sequences");
  EXPECT_EQ(choosers.asked[0].filter, "Object sequences (*.p?\?);;All files (*.*)");
  EXPECT_EQ(choosers.asked[0].start.toStdString(), p.left->GetFileName().Dir());
  const ResObjectSequence* s = p.doc.ObjectSequences()->Find(0, seqmask::kAll);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(p.Sub(p.left, s).Count(), 2);

  EXPECT_EQ(ObjectImport(*p.left, nullptr).Import(), 0);
  EXPECT_EQ(choosers.asked.size(), 2u);
  EXPECT_EQ(p.doc.ObjectSequences()->Count(), 1);
}

TEST(AsciiExport, ImportsBackWithTheSamePointsNamesAndColours) {
  TempDir dir("ascii_roundtrip");
  Project source;
  ResObjectSequences& all = *source.doc.ObjectSequences();
  ResObjectSequence* knee = all.NewSequence(seqflag::kNewSequence);
  knee->name = "Knee/left";
  knee->SetColor(Rgb(200, 10, 30));
  ResObjectSequence* hip = all.NewSequence(seqflag::kNewSequence);
  hip->name = "Hip";
  hip->SetColor(Rgb(1, 2, 3));
  source.Sub(source.left, knee).AddPoint(1, 12.125f, 40.5f);
  source.Sub(source.left, knee).AddPoint(30, 600.75f, 1.25f);
  source.Sub(source.left, hip).AddPoint(2, 3.5f, 4.5f);
  auto items = ascii::ExportList(source.doc);
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].fileName, "Knee_left.p00");
  // A file number typed other than the sequence's: the description goes under the file's number.
  items[1].fileName = "Hip.p07";
  ASSERT_TRUE(ascii::Export(*source.left, dir.Path().string(), items));
  EXPECT_TRUE(platform::FileExists(dir.File("Knee_left.n00")));
  EXPECT_TRUE(platform::FileExists(dir.File("Hip.n07")));
  EXPECT_FALSE(platform::FileExists(dir.File("Hip.n01")));

  Project target;
  platform::RecordingMessageService messages;
  ASSERT_EQ(
      ascii::Import(target.doc, *target.left, {dir.File("Knee_left.p00"), dir.File("Hip.p07")}), 2);
  EXPECT_TRUE(messages.shown.empty());
  for (const ResObjectSequence* original : {knee, hip}) {
    const ResObjectSequence* copy =
        target.doc.ObjectSequences()->Find(original->number, seqmask::kAll);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->name, original->name);
    EXPECT_EQ(copy->color, original->color);
    const SubObjectSequence& a = source.Sub(source.left, original);
    const SubObjectSequence& b = target.Sub(target.left, copy);
    ASSERT_EQ(a.Count(), b.Count());
    for (int f = 1; f <= a.LastIndex(); ++f) {
      ASSERT_EQ(a.ItemAt(f) != nullptr, b.ItemAt(f) != nullptr) << f;
      if (!a.ItemAt(f)) continue;
      EXPECT_NEAR(a.ItemAt(f)->x, b.ItemAt(f)->x, 0.0005) << f;
      EXPECT_NEAR(a.ItemAt(f)->y, b.ItemAt(f)->y, 0.0005) << f;
    }
  }
}

TEST(CopySequence, GivesAHeaderAndOneTabSeparatedRowPerFrame) {
  TestDocument doc;
  doc.AddFrameSequence(new TestVideo("/tmp/one.avi", 64, 48, 3));
  ResObjectSequences& all = *doc.ObjectSequences();
  EXPECT_FALSE(ascii::CanCopyOrExport(doc));
  ResObjectSequence* a = all.NewSequence(seqflag::kNewSequence);
  a->name = "Toe";
  ResObjectSequence* b = all.NewSequence(seqflag::kNewSequence);
  b->name = "Heel";
  a->AddPoint(1, 1.5f, 2.25f, 0);
  b->AddPoint(3, -4, 5, 6);
  all.DeleteSequence(all.NewSequence(seqflag::kNewSequence)->number);
  EXPECT_EQ(ascii::CopySequenceText(doc),
            "Frame\tToe x\tToe y\tToe z\tHeel x\tHeel y\tHeel z\n"
            "1\t1.500\t2.250\t0.000\t\t\t\n"
            "2\t\t\t\t\t\t\n"
            "3\t\t\t\t-4.000\t5.000\t6.000\n");
}

// A file that grows while it is read (another program still writing it) is read to its end; the
// progress stays within 0 to 1 although the reader passes the size the file had at opening.
TEST(AsciiImport, ProgressStaysWithinItsRangeWhileTheFileGrows) {
  TempDir dir("ascii_growing");
  Project p;
  const auto lines = [](int from, int to) {
    std::string text;
    for (int f = from; f < to; ++f)
      text += std::to_string(f % 50) + " " + std::to_string(f) + " 1\n";
    return text;
  };
  const int first = 2 * ascii::kProgressLines, total = 20 * ascii::kProgressLines;
  const std::string file = dir.Write("growing.p00", lines(0, first));
  std::vector<double> told;
  EXPECT_EQ(ascii::Import(p.doc, *p.left, {file},
                          [&](double done) {
                            if (told.empty())
                              std::ofstream(file, std::ios::app) << lines(first, total);
                            told.push_back(done);
                            return true;
                          }),
            1);
  ASSERT_GT(told.size(), 10u);
  for (double done : told) {
    EXPECT_GE(done, 0.0);
    EXPECT_LE(done, 1.0);
  }
  const SubObjectSequence& sub = p.Sub(p.left, p.doc.ObjectSequences()->Find(0, seqmask::kAll));
  EXPECT_FLOAT_EQ(sub.ItemAt((total - 1) % 50 + 1)->x, total - 1.0f) << "the last line was read";
}

// Names from a description file keep no control characters: a zero byte would cut the file
// names the export makes of them short, so that the description replaced the points.
TEST(AsciiImport, DescriptionNamesLoseTheirControlCharacters) {
  struct Row {
    std::string nameLine;
    std::string name;
  };
  const Row rows[] = {
      {std::string("A\0", 2), "A"},
      {"Kn\001ee\177\t", "Knee"},
      {std::string("\0\x1b", 2), "Object 0"},  // nothing left: the sequence keeps its own name
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TempDir dir("ascii_name");
    Project p;
    dir.Write("walk.n01", row.nameLine + "\n10 20 30\n");
    platform::RecordingMessageService messages;
    ASSERT_EQ(ascii::Import(p.doc, *p.left, {dir.Write("walk.p01", "0 1 2\n4 5 6\n")}), 1);
    ResObjectSequence* s = p.doc.ObjectSequences()->Find(0, seqmask::kAll);
    EXPECT_EQ(s->name, row.name);
    EXPECT_EQ(s->color, Rgb(10, 20, 30));

    // Exported, the points and the description are two files that import back.
    const std::filesystem::path out = dir.Path() / "out";
    std::filesystem::create_directory(out);
    ASSERT_TRUE(ascii::Export(*p.left, out.string(), ascii::ExportList(p.doc)));
    EXPECT_TRUE(messages.shown.empty());
    Project back;
    ASSERT_EQ(ascii::Import(back.doc, *back.left, {(out / (row.name + ".p00")).string()}), 1);
    const ResObjectSequence* copy = back.doc.ObjectSequences()->Find(0, seqmask::kAll);
    EXPECT_EQ(copy->name, row.name);
    EXPECT_EQ(back.Sub(back.left, copy).Count(), 2);
  }
}

struct FolderFiles : std::map<std::string, std::string> {
  explicit FolderFiles(const std::filesystem::path& folder) {
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      std::string bytes;
      EXPECT_TRUE(platform::ReadWholeFile(entry.path().string(), bytes));
      (*this)[entry.path().filename().string()] = bytes;
    }
  }
};

// Camera 2 exported into the folder that holds camera 1's exports of the same default names:
// one question lists the files that exist; only Yes replaces them, and then with the files an
// export into an empty folder writes.
TEST(AsciiExport, AsksOnceBeforeReplacingFilesOfTheSameNames) {
  for (const int answer : {platform::kIdYes, platform::kIdNo, platform::kIdCancel}) {
    SCOPED_TRACE(answer);
    TempDir dir("ascii_replace");
    Project p;
    for (const char* name : {"Knee", "Hip"}) {
      ResObjectSequence* s = p.doc.ObjectSequences()->NewSequence(seqflag::kNewSequence);
      s->name = name;
      p.Sub(p.right, s).AddPoint(3, 1.5f, 2.5f);
    }
    const std::string folder = dir.Path().string();
    dir.Write("Knee.p00", "0 9 9\n");
    dir.Write("Knee.n00", "Knee\n1 1 1\n");
    dir.Write("Hip.n01", "Hip\n2 2 2\n");
    dir.Write("walk.avi", "camera 1");
    const FolderFiles before(dir.Path());
    const std::filesystem::path empty = dir.Path() / "empty";
    std::filesystem::create_directory(empty);
    ASSERT_TRUE(ascii::Export(*p.right, empty.string(), ascii::ExportList(p.doc)));
    const FolderFiles fresh(empty);
    std::filesystem::remove_all(empty);

    platform::RecordingMessageService messages;
    messages.answers = {answer};
    EXPECT_EQ(ascii::Export(*p.right, folder, ascii::ExportList(p.doc)),
              answer == platform::kIdYes);

    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, "Replace exported files");
    EXPECT_EQ(messages.shown[0].text,
              "These files exist already in the folder " + folder + ":\n" + dir.File("Knee.p00") +
                  "\n" + dir.File("Knee.n00") + "\n" + dir.File("Hip.n01") +
                  "\n\nDo you want them replaced by the export?\n\nYes: they are replaced.\n"
                  "No or Cancel: nothing is exported.");
    std::map<std::string, std::string> expected = before;
    for (const auto& [name, bytes] : fresh)
      if (answer == platform::kIdYes) expected[name] = bytes;
    EXPECT_EQ(FolderFiles(dir.Path()), expected);
  }
}

// Two files of one export on one name: the export refuses, naming both, and writes nothing.
TEST(AsciiExport, RefusesTwoOfItsFilesOnOneName) {
  struct Row {
    std::string knee, hip, message;
  };
  const Row rows[] = {
      {"a.p01", "a.p01", "the points of \"Knee\" and the points of \"Hip\""},
      {"a.p01", "a.n01", "the description of \"Knee\" and the points of \"Hip\""},
      // The system ends a name at a zero byte.
      {"a.p03", std::string("a.p03\0.p09", 10), "the points of \"Knee\" and the points of \"Hip\""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.message);
    TempDir dir("ascii_clash");
    Project p;
    std::vector<ascii::ExportItem> items;
    for (const char* name : {"Knee", "Hip"}) {
      ResObjectSequence* s = p.doc.ObjectSequences()->NewSequence(seqflag::kNewSequence);
      s->name = name;
      p.Sub(p.left, s).AddPoint(1, 1, 1);
      items.push_back({s, ""});
    }
    items[0].fileName = row.knee;
    items[1].fileName = row.hip;
    platform::RecordingMessageService messages;
    EXPECT_FALSE(ascii::Export(*p.left, dir.Path().string(), items));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, "File names of the export");
    EXPECT_THAT(messages.shown[0].text, HasSubstr(row.message));
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
  }
}

}  // namespace
