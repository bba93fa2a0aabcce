// Acquisition data: the .DAQ/.DQS reader, the imported curve on the frame axis, and the list
// with its own ordinate.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <deque>
#include <filesystem>

#include "analysis/plot/axes.h"
#include "analysis/import/daqimport.h"
#include "analysis/import/importliste.h"
#include "analysis/units.h"
#include "analysis_test_util.h"
#include "common/peak_memory.h"
#include "common/settings_fixture.h"
#include "common/temp_dir.h"
#include "daq_test_util.h"
#include "platform/message_service.h"
#include "platform/numbers.h"
#include "platform/strings.h"

namespace {

std::string Binary(std::initializer_list<int> samples) {
  std::string bytes;
  for (int s : samples) {
    bytes.push_back(static_cast<char>(s & 0xFF));
    bytes.push_back(static_cast<char>((s >> 8) & 0xFF));
  }
  return bytes;
}

std::string Text(int id) { return std::string(platform::LoadString(id)); }

struct DaqTest : TempSettings {
  // A list with one import of the pair, computed with the order; null when it was dropped.
  ImportZeichnen* Import(const std::string& data, int order = 0) {
    dialogs.data.push_back(data);
    ImportZeichnen* i = list.AddImport(1, kPenSolid, true, dialogs);
    if (i) list.ComputeAll(order);
    return i;
  }
  std::vector<float> Values(const ImportZeichnen& i) {
    return std::vector<float>(i.Values(), i.Values() + i.LastSample());
  }
  std::vector<std::string> Shown() {
    std::vector<std::string> texts;
    for (const auto& m : messages.shown) texts.push_back(m.text);
    return texts;
  }

  testutil::TempDir dir{"daq"};
  ScriptedDaqDialogs dialogs;
  ImportListe list;
  platform::RecordingMessageService messages;
};

// One valid pair per format; each row breaks one field and expects the import dropped with its
// message.
TEST_F(DaqTest, BadInputTableDropsTheImportWithItsMessage) {
  struct Format {
    const char* word;
    std::string data;
  };
  const Format formats[] = {{"BINARY", Binary({10, 20, 30})}, {"ASCII", "10\n20\n30\n"}};
  struct Row {
    const char* what;
    std::string description;  // %F stands for the format word
    int text;                 // 0: the import is read
    bool namesDescription;
  };
  const std::string good = "DAQ_SPF: 2\nDAQ_FORMAT: %F\nDAQ_POLARITY: BI\n";
  const Row rows[] = {
      {"valid", good, 0, false},
      {"keys anywhere, any case", "header\nxdaq_polarity: UNI  daq_format:\t%F daq_spf:\n2", 0,
       false},
      {"rate missing", "DAQ_FORMAT: %F\nDAQ_POLARITY: BI\n", daq_ids::kNoRate, true},
      {"rate zero", "DAQ_SPF: 0\nDAQ_FORMAT: %F\nDAQ_POLARITY: BI\n", daq_ids::kNoAbscissaSizing,
       false},
      {"rate negative", "DAQ_SPF: -4\nDAQ_FORMAT: %F\nDAQ_POLARITY: BI\n",
       daq_ids::kNoAbscissaSizing, false},
      {"rate no number", "DAQ_SPF: fast\nDAQ_FORMAT: %F\nDAQ_POLARITY: BI\n",
       daq_ids::kNoAbscissaSizing, false},
      {"rate at the end", "DAQ_FORMAT: %F\nDAQ_POLARITY: BI\nDAQ_SPF:", daq_ids::kNoAbscissaSizing,
       false},
      {"format missing", "DAQ_SPF: 2\nDAQ_POLARITY: BI\n", daq_ids::kNoFormat, true},
      {"format word in lower case", "DAQ_SPF: 2\nDAQ_FORMAT: ascii\nDAQ_POLARITY: BI\n",
       daq_ids::kNoFormat, true},
      {"polarity missing", "DAQ_SPF: 2\nDAQ_FORMAT: %F\n", daq_ids::kNoSign, true},
  };
  for (const Format& f : formats) {
    for (const Row& row : rows) {
      SCOPED_TRACE(std::string(f.word) + ": " + row.what);
      messages.shown.clear();
      list.Clear();
      std::string description = row.description;
      if (const std::size_t at = description.find("%F"); at != std::string::npos)
        description.replace(at, 2, f.word);
      const std::string data = dir.Write("run.daq", f.data);
      const std::string dqs = dir.Write("run.DQS", description);
      ImportZeichnen* i = Import(data);
      if (row.text == 0) {
        ASSERT_NE(i, nullptr);
        EXPECT_TRUE(messages.shown.empty()) << Shown()[0];
        EXPECT_EQ(Values(*i), (std::vector<float>{10, 20, 30}));
        EXPECT_FLOAT_EQ(i->FramesPerSample(), 0.5f);
        continue;
      }
      EXPECT_EQ(i, nullptr);
      EXPECT_TRUE(list.Empty());
      ASSERT_EQ(messages.shown.size(), 1u);
      EXPECT_EQ(messages.shown[0].caption, Text(32000));
      const std::string expected = row.namesDescription
                                       ? platform::FormatString(row.text, dqs)
                                       : Text(row.text);
      EXPECT_EQ(messages.shown[0].text, expected);
    }
  }
}

TEST_F(DaqTest, FilesThatCannotBeOpenedOrChosen) {
  const std::string data = dir.Write("walk.daq", "1\n2\n");
  // No description beside it: the dialog asks; cancel gives 32040.
  EXPECT_EQ(Import(data), nullptr);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, Text(daq_ids::kNoAbscissaSizing));
  // A chosen description that does not open: 32033 with its name.
  messages.shown.clear();
  dialogs.descriptions.push_back(dir.File("gone.dqs"));
  EXPECT_EQ(Import(data), nullptr);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, platform::FormatString(32033, dir.File("gone.dqs")));
  // A chosen description that opens is read, and its folder is where the next choice starts.
  messages.shown.clear();
  const std::string dqs = dir.Write("other/any.txt", "DAQ_SPF: 1 DAQ_FORMAT: ASCII DAQ_POLARITY: x");
  dialogs.descriptions.push_back(dqs);
  ImportZeichnen* i = Import(data);
  ASSERT_NE(i, nullptr);
  EXPECT_FALSE(i->Bipolar());
  EXPECT_EQ(Values(*i), (std::vector<float>{1, 2}));
  // A cancelled data choice asks nothing more and says nothing.
  messages.shown.clear();
  EXPECT_EQ(list.AddImport(1, kPenSolid, true, dialogs), nullptr);
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(dialogs.descriptionStarts.size(), 3u);
  list.Clear();
  dialogs.data.push_back(data);
  dialogs.descriptions.push_back(dqs);
  ImportZeichnen* gone = list.AddImport(1, kPenSolid, true, dialogs);
  ASSERT_NE(gone, nullptr);
  EXPECT_EQ(dialogs.descriptionStarts.back(), dir.Path().string() + "/other/");
  EXPECT_EQ(dialogs.dataStarts.back(), dir.Path().string() + "/");
  std::filesystem::remove(data);
  // The data file is gone by the time it is read: 32033 with its name, and no curve.
  messages.shown.clear();
  list.ComputeAll(0);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, platform::FormatString(32033, data));
  EXPECT_FALSE(gone->IsValid());
  EXPECT_FALSE(gone->IsImported());
}

TEST_F(DaqTest, TheDescriptionBesideIsFoundWhateverItsCase) {
  struct Case {
    const char* data;
    std::vector<const char*> besides;
    const char* found;  // null: none
  };
  const Case cases[] = {
      {"a.daq", {"a.dqs"}, "a.dqs"},
      {"b.DAQ", {"b.Dqs"}, "b.Dqs"},
      {"c.daq", {"c.dqs", "c.DQS"}, "c.DQS"},
      {"d.daq", {"d.Dqs", "d.dqs"}, "d.dqs"},
      {"e.daq", {"E.dqs", "e.dqs.bak", "e.dq"}, nullptr},
      {"f", {"f.DQS"}, "f.DQS"},
  };
  for (const Case& c : cases) {
    testutil::TempDir folder("daqcase");
    for (const char* b : c.besides) folder.Write(b, "");
    const auto found = DaqImport::FindDescriptionBeside(folder.File(c.data));
    if (!c.found) {
      EXPECT_FALSE(found) << c.data;
      continue;
    }
    ASSERT_TRUE(found) << c.data;
    EXPECT_EQ(*found, folder.File(c.found));
  }
}

TEST_F(DaqTest, SamplesAreReadAsTheFormatAndPolaritySay) {
  // Seven bytes: three samples, the last byte left over.
  const std::string bytes = Binary({0xFFFF, 0x8000, 0x0102}) + "\x7F";
  dir.Write("s.daq", bytes);
  dir.Write("s.DQS", "DAQ_SPF: 1 DAQ_FORMAT: BINARY DAQ_POLARITY: BI");
  ImportZeichnen* bi = Import(dir.File("s.daq"));
  ASSERT_NE(bi, nullptr);
  EXPECT_EQ(Values(*bi), (std::vector<float>{-1, -32768, 258}));
  dir.Write("u.daq", bytes);
  dir.Write("u.DQS", "DAQ_SPF: 1 DAQ_FORMAT: BINARY DAQ_POLARITY: UNI");
  ImportZeichnen* uni = Import(dir.File("u.daq"));
  ASSERT_NE(uni, nullptr);
  EXPECT_EQ(Values(*uni), (std::vector<float>{65535, 32768, 258}));

  // ASCII: letters read as 0, blank lines and leading blanks are passed over, a line is one
  // value however long, and numbers beyond a float are 0 as well.
  dir.Write("a.daq", "  1.5\nabc\n\n\n   -2e1\n42" + std::string(150, ' ') + "9\n1e39\n3");
  dir.Write("a.DQS", "DAQ_SPF: 1 DAQ_FORMAT: ASCII DAQ_POLARITY: BI");
  ImportZeichnen* a = Import(dir.File("a.daq"));
  ASSERT_NE(a, nullptr);
  const std::vector<float> v = Values(*a);
  ASSERT_EQ(v.size(), 6u);
  EXPECT_EQ(v[0], 1.5f);
  EXPECT_EQ(v[1], 0.0f);
  EXPECT_EQ(v[2], -20.0f);
  EXPECT_EQ(v[3], 42.0f);
  EXPECT_EQ(v[4], 0.0f);
  EXPECT_EQ(v[5], 3.0f);
  EXPECT_TRUE(messages.shown.empty());
}

// A binary file of 2^31 samples (sparse: it takes no room) is refused before anything is
// allocated, with the count and the limit.
TEST_F(DaqTest, AFileBeyondTheSampleLimitIsRefusedNamingCountAndLimit) {
  dir.Write("huge.DQS", "DAQ_SPF: 1 DAQ_FORMAT: BINARY DAQ_POLARITY: BI");
  const std::string huge = dir.Write("huge.daq", "");
  std::filesystem::resize_file(huge, std::uintmax_t{1} << 32);
  const testutil::PeakMemory peak;
  ImportZeichnen* refused = Import(huge);
  ASSERT_NE(refused, nullptr);
  EXPECT_FALSE(refused->IsValid());
  EXPECT_FALSE(refused->IsImported());
  EXPECT_EQ(refused->LastSample(), 0);
  if (peak.Available()) EXPECT_LT(peak.GrowthBytes(), 32 << 20);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].caption, Text(32000));
  EXPECT_EQ(messages.shown[0].text,
            "The file " + huge + " holds 2147483648 samples; at most 67108864 fit in memory."
            "\n\nThe data are not imported.");
}

// Values near the largest float and a rate of one sample in a million frames put pixels far
// beyond any int: they are clipped, never converted out of range.
TEST_F(DaqTest, HugeValuesAndTinyRatesDrawClippedAndHitNothingFar) {
  dir.Write("far.daq", "3e21\n-3e21\n1\n3e38\n");
  dir.Write("far.DQS", "DAQ_SPF: 0.000001 DAQ_FORMAT: ASCII DAQ_POLARITY: BI");
  ImportZeichnen* i = Import(dir.File("far.daq"));
  ASSERT_NE(i, nullptr);
  // 20 pixels a frame, 20 million a sample; one pixel per unit.
  PlotMapping map;
  map.x0 = 40;
  map.y0 = 200;
  map.sx = 20.0f;
  map.sy = -1.0f;
  for (bool connect : {true, false}) {
    RecordingPlotCanvas canvas;
    i->SetStyle(1, kPenSolid, connect, false, false);
    i->Draw(canvas, map);
    std::vector<int> coordinates;
    for (const PlotCall& c : canvas.calls) coordinates.insert(coordinates.end(), c.v.begin(), c.v.end());
    ASSERT_FALSE(coordinates.empty()) << connect;
    for (int v : coordinates) EXPECT_LE(std::abs(v), platform::kPixelLimit);
    for (int limit : {platform::kPixelLimit, -platform::kPixelLimit})
      EXPECT_NE(std::find(coordinates.begin(), coordinates.end(), limit), coordinates.end())
          << limit;
  }
  EXPECT_TRUE(i->HitTest(1.0f, 3e21f, map.sx, map.sy));
  EXPECT_FALSE(i->HitTest(1.5f, 0.0f, map.sx, map.sy));
}

TEST_F(DaqTest, SamplesLieOnTheFrameAxisByTheRate) {
  dir.Write("r.daq", "0\n1\n2\n3\n4\n5\n6\n7\n8\n");
  dir.Write("r.dqs", "daq_spf: 4\nDAQ_FORMAT: ASCII\nDAQ_POLARITY: BI\n");
  ImportZeichnen* i = Import(dir.File("r.daq"));
  ASSERT_NE(i, nullptr);
  EXPECT_FLOAT_EQ(i->FramesPerSample(), 0.25f);
  EXPECT_FLOAT_EQ(i->SampleToFrame(5, 1), i->SampleToFrame(1, 1) + 1);
  EXPECT_FLOAT_EQ(i->FrameToSample(2, 1), 5);
  // The nearest sample's value; beyond the samples on either side (and far beyond) none.
  const std::pair<float, float> at[] = {{1, 0},    {1.1f, 0},     {1.2f, 1},
                                        {3, 8},    {3.12f, 8},    {3.13f, M},
                                        {0.8f, M}, {-1e30f, M},   {1e30f, M},
                                        {M, M}};
  for (auto [frame, value] : at) EXPECT_EQ(i->ValueAt(frame, 1), value) << frame;
  // The list spans frames 1 to 3 and values 0 to 8.
  const auto frames = list.FrameRange();
  ASSERT_TRUE(frames);
  EXPECT_FLOAT_EQ(frames->first, 1);
  EXPECT_FLOAT_EQ(frames->second, 3);
  EXPECT_EQ(list.Min(), 0);
  EXPECT_EQ(list.Max(), 8);

  // A window of a derivative derives its imports as well.
  const std::pair<int, int> orders[] = {{quantity::kX, 0},       {quantity::kY1, 1},
                                        {quantity::kZ2, 2},      {quantity::kYOverX, 0},
                                        {quantity::kDistance1, 1}, {quantity::kAngle + 5, 2},
                                        {quantity::kResultingAcceleration, 2},
                                        {quantity::kForceMagnitude, 0}};
  for (auto [code, order] : orders) EXPECT_EQ(ImportOrderOf(code), order) << code;

  // A derivative keeps its samples where they were recorded.
  ImportListe derived;
  dialogs.data.push_back(dir.File("r.daq"));
  ImportZeichnen* d = derived.AddImport(1, kPenSolid, true, dialogs);
  ASSERT_NE(d, nullptr);
  derived.ComputeAll(1);
  ASSERT_TRUE(d->IsValid());
  const int first = d->FirstSample();
  EXPECT_GE(first, 1);
  EXPECT_FLOAT_EQ(d->ValueAt(d->SampleToFrame(static_cast<float>(first), 1), 1), 1.0f);
}

TEST_F(DaqTest, ScaleFillsThePlotAndSurvivesAFlatChannel) {
  dir.Write("z.daq", "0\n0\n0\n");
  dir.Write("z.dqs", "DAQ_SPF: 1 DAQ_FORMAT: ASCII DAQ_POLARITY: BI");
  ASSERT_NE(Import(dir.File("z.daq")), nullptr);
  list.ComputeScale(400, 200, -2.0f);
  EXPECT_TRUE(std::isfinite(list.Scale()));
  EXPECT_LT(list.Scale(), 0);
  EXPECT_FLOAT_EQ(list.ToWindowOrdinate(0, -2, 10), 10);
  EXPECT_TRUE(std::isfinite(list.FromWindowOrdinate(12, -2, 10)));

  ImportListe ranged;
  dir.Write("g.daq", "-5\n15\n");
  dir.Write("g.dqs", "DAQ_SPF: 1 DAQ_FORMAT: ASCII DAQ_POLARITY: BI");
  dialogs.data.push_back(dir.File("g.daq"));
  ASSERT_NE(ranged.AddImport(1, kPenSolid, true, dialogs), nullptr);
  ranged.ComputeAll(0);
  // 400 pixels over 20 units; the window has 4 pixels a unit from its minimum 100.
  ranged.ComputeScale(400, 200, 4.0f);
  EXPECT_FLOAT_EQ(ranged.Scale(), 20.0f);
  EXPECT_FLOAT_EQ(ranged.ToWindowOrdinate(-5, 4, 100), 100);
  EXPECT_FLOAT_EQ(ranged.Top(4, 100), 200);
  EXPECT_FLOAT_EQ(ranged.FromWindowOrdinate(150, 4, 100), 5);
}

TEST_F(DaqTest, ColoursAreTakenFromTheTableAndTheSearchEndsWhenAllAreUsed) {
  dir.Write("c.daq", "1\n2\n");
  dir.Write("c.dqs", "DAQ_SPF: 1 DAQ_FORMAT: ASCII DAQ_POLARITY: BI");
  ImportZeichnen* first = Import(dir.File("c.daq"));
  ImportZeichnen* second = Import(dir.File("c.daq"));
  ASSERT_TRUE(first && second);
  EXPECT_EQ(first->ColorIndex(), 1);
  EXPECT_EQ(second->ColorIndex(), 2);
  EXPECT_EQ(second->GetColor(), PredefinedObjectColor(2));
  // The window uses colours 2 and 3: the search moves on to the next free one.
  const ColorValue two = PredefinedObjectColor(2), three = PredefinedObjectColor(3);
  list.ChooseFreeColor(*second, [&](ColorValue c) { return c == two || c == three; });
  EXPECT_EQ(second->ColorIndex(), 4);
  // Every colour in use: one pass, then the import keeps what it had.
  int asked = 0;
  list.ChooseFreeColor(*second, [&](ColorValue) { return ++asked, true; });
  EXPECT_EQ(second->ColorIndex(), 4);
  EXPECT_EQ(asked, PredefinedObjectColorCount() + 1);
}

// The imported ordinate on the axes: the range takes in the imported frames, and while the
// imported curve is selected the ordinate is labelled with imported values and has no caption.
TEST_F(DaqTest, AxesWidenTheRangeAndLabelTheSelectedImportsOrdinate) {
  dir.Write("x.daq", "100000\n300000\n200000\n5000000\n");
  dir.Write("x.dqs", "DAQ_SPF: 0.5 DAQ_FORMAT: ASCII DAQ_POLARITY: BI");
  ASSERT_NE(Import(dir.File("x.daq")), nullptr);
  AnlWinUnits units;
  units.Set(quantity::kX, UnitsOrigin{}, nullptr);
  AnlWinAxes axes(units);
  axes.textGap = 24;
  axes.xMin = 1, axes.xMax = 5, axes.yMin = 10, axes.yMax = 20;
  axes.imports = &list;
  RecordingPlotCanvas canvas;
  axes.LayoutPlotArea(canvas, 800, 600, true);
  axes.ExtendRangeByImport();
  EXPECT_EQ(axes.xMin, 1);
  EXPECT_EQ(axes.xMax, 7);  // sample 4 lies at frame 7
  axes.LayoutPlotArea(canvas, 800, 600, true);
  // The imported range fills the window's ordinate.
  const PlotMapping map = axes.ImportMapping();
  // (to the pixel: the two mappings round in float and double)
  EXPECT_NEAR(map.PixelY(100000), axes.ValueToPixelY(10), 1);
  EXPECT_NEAR(map.PixelY(5000000), axes.ValueToPixelY(20), 1);
  EXPECT_NEAR(map.PixelX(1), axes.ValueToPixelX(1), 1);

  axes.DrawAxes(canvas, AxisColors{});
  EXPECT_TRUE(canvas.Text("10.000"));
  EXPECT_FALSE(canvas.Text("100000.000"));
  EXPECT_TRUE(canvas.Text(units.OrdinateUnitCaption()));
  canvas.calls.clear();
  axes.importSelected = true;
  axes.LayoutPlotArea(canvas, 800, 600, true);
  // The margin makes room for the wider imported labels.
  EXPECT_EQ(axes.xMargin, 7 * static_cast<int>(std::string("5000000.000").size()) + 24);
  axes.DrawAxes(canvas, AxisColors{});
  EXPECT_TRUE(canvas.Text("100000.000"));
  EXPECT_TRUE(canvas.Text("5000000.000"));
  EXPECT_FALSE(canvas.Text("10.000"));
  EXPECT_FALSE(canvas.Text(units.OrdinateUnitCaption()));

  // A window without an ordinate range of its own takes the imported data's height.
  AnlWinAxes empty(units);
  empty.xMin = empty.xMax = 1;
  empty.yMin = empty.yMax = 0;
  empty.imports = &list;
  empty.LayoutPlotArea(canvas, 800, 600, false);
  empty.ExtendRangeByImport();
  EXPECT_GT(empty.yMax, empty.yMin);
  EXPECT_EQ(empty.xMax, 7);
}

}  // namespace
