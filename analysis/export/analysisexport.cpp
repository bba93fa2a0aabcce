#include "analysis/export/analysisexport.h"

#include <algorithm>

#include "analysis/series/anlwinobjseq.h"
#include "analysis/curves/curvelists.h"
#include "analysis/quantity.h"
#include "analysis/units.h"
#include "base/document.h"
#include "base/savefile.h"
#include "base/textformat.h"
#include "base/unitsorigin.h"
#include "objects/resobjseq.h"
#include "objects/stickfigure.h"
#include "platform/strings.h"

namespace analysis_export {

namespace {

constexpr int kOfferedWithoutModel = 29;

// One column: its name and its values by frame - 1 in internal units (missing where none).
struct Column {
  std::string name;
  std::vector<float> values;
};

std::vector<float> Copy(const float* values, int n) {
  return values && n > 0 ? std::vector<float>(values, values + n) : std::vector<float>{};
}

template <class Curve>
int CurveFrames(const Curve& c) {
  return std::max(c.LastFrame(), 0);
}

// The columns of one quantity for the sequence.
std::vector<Column> ColumnsOf(Document& doc, ResObjectSequence& s, int code,
                              const std::string& caption) {
  if (SeriesSlotOf(code)) {
    AnlWinObjectSequence entry(&s, 1, 0, true, false);
    entry.GetStatistics(code);
    return {{caption, Copy(entry.SelectArray(code), entry.FrameCount())}};
  }
  const std::optional<CurveParameters> p = CurveParametersOf(code);
  if (!p) return {};
  std::vector<Column> columns;
  switch (p->kind) {
    case CurveKind::kResultant: {
      ResultierendeZeichnen curve(&s, 1, 0, true);
      curve.Compute(p->order, p->mode);
      columns.push_back({caption, Copy(curve.Values(), CurveFrames(curve))});
      break;
    }
    case CurveKind::kDistance:
      for (const auto& pair : doc.ObjectSequences()->Figure().AllConnections()) {
        if (pair->HasDeletedEnd() || !pair->Touches(&s)) continue;
        DistanzZeichnen curve(pair->first, pair->second, 1, 0, true);
        curve.Compute(p->order);
        const ResObjectSequence* other = pair->first == &s ? pair->second : pair->first;
        columns.push_back(
            {caption + " " + other->name, Copy(curve.Values(), CurveFrames(curve))});
      }
      break;
    case CurveKind::kAngle: {
      const StickFigure& figure = doc.ObjectSequences()->Figure();
      for (AngleSequencePair* a = figure.NextAngle(nullptr, false); a;
           a = figure.NextAngle(a, false)) {
        bool member = false;
        for (int i = 1; i <= 4; ++i) member = member || a->SequenceAt(i) == &s;
        if (!member) continue;
        WinkelZeichnen curve(a, 1, 0, true);
        curve.Compute(p->order, p->plane);
        columns.push_back({caption + " " + a->name.value_or("Angle"),
                           Copy(curve.Values(), CurveFrames(curve))});
      }
      break;
    }
  }
  return columns;
}

// A header field never holds the delimiter, so the header has as many columns as each line.
std::string HeaderField(std::string name, char delimiter) {
  std::replace(name.begin(), name.end(), delimiter, '_');
  return name;
}

}  // namespace

std::string DefaultFileName(const ResObjectSequence& sequence) {
  std::string name = sequence.name;
  std::replace(name.begin(), name.end(), '/', '_');
  return name + platform::Format(".u%02d", sequence.number);
}

std::vector<Item> ExportList(Document& doc) {
  std::vector<Item> items;
  SequenceIterator it(*doc.ObjectSequences(), seqmask::kPaintAll);
  for (ResObjectSequence* s = it.Current(); s; s = it.Next())
    items.push_back({s, DefaultFileName(*s)});
  return items;
}

int OfferedQuantities(const Document& doc, bool libraryLoaded) {
  return libraryLoaded && doc.ModelId() != 0 ? quantity::kCount : kOfferedWithoutModel;
}

void WriteSequence(Document& doc, ResObjectSequence& sequence, const std::vector<int>& codes,
                   const UnitsOrigin& units, TextOutFile& out) {
  struct Converted {
    AnlWinUnits units;
    Column column;
  };
  std::vector<Converted> columns;
  std::size_t frames = 0;
  for (int code : codes) {
    AnlWinUnits u;
    u.Set(code, units, &doc);
    for (Column& c : ColumnsOf(doc, sequence, code, u.OrdinateUnitCaption())) {
      frames = std::max(frames, c.values.size());
      columns.push_back({u, std::move(c)});
    }
  }
  out.WriteText("Frame");
  for (const Converted& c : columns) {
    out.WriteDelimiter();
    out.WriteText(HeaderField(c.column.name, out.delimiter));
  }
  out.WriteText("\n");
  for (std::size_t i = 0; i < frames; ++i) {
    out.WriteText(std::to_string(i + 1));
    for (const Converted& c : columns) {
      out.WriteDelimiter();
      const float v = i < c.column.values.size() ? c.column.values[i] : kMissingValue;
      if (v != kMissingValue) out.WriteNumber(c.units.OrdinateToUnit(v));
    }
    out.WriteText("\n");
  }
}

bool Export(Document& doc, const std::string& folder, const std::vector<Item>& items,
            const std::vector<int>& codes, const UnitsOrigin& units) {
  bool allWritten = true;
  for (const Item& item : items) {
    if (!item.sequence || item.fileName.empty()) continue;
    const std::string path = ascii::FileInFolder(folder, item.fileName);
    TextOutFile out(path);
    WriteSequence(doc, *item.sequence, codes, units, out);
    if (!out.Close()) {
      ReportFailedWrite(path, out.Error());
      allWritten = false;
    }
  }
  return allWritten;
}

}  // namespace analysis_export
