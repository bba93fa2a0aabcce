#include "objects/asciiobj.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <map>
#include <sstream>

#include "base/document.h"
#include "base/messages.h"
#include "base/savefile.h"
#include "base/textformat.h"
#include "base/unitsorigin.h"
#include "objects/docaccess.h"
#include "objects/osfile.h"
#include "objects/resobjseq.h"
#include "objects/subobjseq.h"
#include "platform/files.h"
#include "platform/linereader.h"
#include "platform/numbers.h"
#include "sequences/framesequence.h"

namespace ascii {
namespace {

constexpr std::size_t kMaxDescriptionName = 1000;
constexpr std::size_t kMaxColourLine = 100;
constexpr int kUnexpectedEnd = 31063;
constexpr int kExportTitle = 31237, kReplaceQuestion = 31238, kSharedName = 31239;
constexpr int kPointsKind = 31240, kDescriptionKind = 31241, kNameRefusedTitle = 31242;

std::string TwoDigits(const char* prefix, int number) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%s%02d", prefix, number);
  return buffer;
}

// The first ordinary sequence, in number order, whose sub-sequence in this video holds no point.
ResObjectSequence* EmptyInVideo(const Document& doc, const SubObjectSequences& subs) {
  SequenceIterator it(*doc.ObjectSequences(), seqmask::kOrdinary);
  for (ResObjectSequence* s = it.Current(); s; s = it.Next()) {
    const SubObjectSequence* sub = subs.Find(s->number);
    if (!sub || sub->Count() == 0) return s;
  }
  return nullptr;
}

// A number of the text for a message: long double holds more than any double.
double AsDouble(long double v) {
  constexpr long double kMax = std::numeric_limits<double>::max();
  return static_cast<double>(std::clamp(v, -kMax, kMax));
}

bool Drawable(long double coordinate) {
  return std::fabs(coordinate) <= static_cast<long double>(osfile::kMaxPixels);
}

std::string Cell(float value, const TextFormat& format) {
  if (value == kMissingValue) return {};
  std::string text = platform::FormatFixed(value, format.precision);
  if (format.decimal != '.')
    if (auto point = text.find('.'); point != std::string::npos) text[point] = format.decimal;
  return text;
}

// A separator and the number after it; a line that ends before its number is reported.
bool SeparatorThenNumber(TextInFile& in, long double& value, const std::string& fileName) {
  if (!in.SkipDelimiter()) return false;
  if (in.eof()) {
    ErrorMessage(kIoErrorCaption, kUnexpectedEnd, fileName);
    return false;
  }
  return static_cast<bool>(in.ReadNumber(value));
}

// A file the export writes: a sequence's points, or its description beside them.
struct ExportFile {
  std::string path;
  const ResObjectSequence* sequence;
  bool description;
};

// Points then description for every item with a sequence and a name, in the items' order.
std::vector<ExportFile> ExportFiles(const std::string& folder,
                                    const std::vector<ExportItem>& items) {
  std::vector<ExportFile> files;
  for (const ExportItem& item : items) {
    if (!item.sequence || item.fileName.empty()) continue;
    const std::string path = FileInFolder(folder, item.fileName);
    const int number = NumberOfExtension(path);
    files.push_back({path, item.sequence, false});
    files.push_back({DescriptionFileName(path, number >= 0 ? number : item.sequence->number),
                     item.sequence, true});
  }
  return files;
}

// The name the system gives the file: a path ends at its first zero byte.
std::string_view SystemName(const std::string& path) {
  return std::string_view(path).substr(0, path.find('\0'));
}

std::string Describe(const ExportFile& file) {
  return platform::FormatString(file.description ? kDescriptionKind : kPointsKind,
                                file.sequence->name);
}

// True, after a message naming both, when two files of the export would have one name: the
// later would replace the earlier.
bool ReportSharedName(const std::vector<ExportFile>& files) {
  std::map<std::string_view, const ExportFile*> seen;
  for (const ExportFile& file : files) {
    const auto [at, added] = seen.emplace(SystemName(file.path), &file);
    if (added) continue;
    ErrorMessage(kNameRefusedTitle, kSharedName, std::string(at->first), Describe(*at->second),
                 Describe(file));
    return true;
  }
  return false;
}

// Asks once, listing the files of the export that exist already; true when none does or the
// user chose to replace them.
bool MayReplaceExisting(const std::string& folder, const std::vector<ExportFile>& files) {
  std::string existing;
  for (const ExportFile& file : files)
    if (platform::FileExists(file.path)) existing += file.path + "\n";
  return existing.empty() ||
         QuestionMessage(kExportTitle, kReplaceQuestion, folder, existing) == platform::kIdYes;
}

}  // namespace

void WriteObjects(const ObjectArray& sequence, TextOutFile& out) {
  for (int frame = ObjectArray::kLowerBound; frame <= sequence.LastIndex(); ++frame) {
    const ObjectBase* p = sequence.ItemAt(frame);
    if (!p) continue;
    out.WriteText(std::to_string(frame - 1)).WriteDelimiter();
    out.WriteNumber(p->x).WriteDelimiter().WriteNumber(p->y).WriteText("\n");
  }
}

int ReadObjects(ObjectSequence& sequence, TextInFile& in, const std::string& fileName,
                int lastFrame, const ReadProgress& progress) {
  lastFrame = std::clamp(lastFrame, ObjectArray::kLowerBound, ObjectArray::kMaxFrame);
  int filed = 0;
  for (int lines = 1; in; ++lines) {
    if (progress && lines % kProgressLines == 0 && !progress(in)) break;
    long long n = 0;
    if (!in.ReadInteger(n)) break;  // the end of the lines, or no number: not an error
    const int line = in.Line();
    long double x = 0, y = 0;
    if (!SeparatorThenNumber(in, x, fileName) || !SeparatorThenNumber(in, y, fileName)) break;
    const long long frame = n + 1;
    if (frame < ObjectArray::kLowerBound || frame > lastFrame) {
      ErrorMessage(kIoErrorCaption, kFrameOutOfRange, fileName, line, n, lastFrame - 1);
      break;
    }
    if (!Drawable(x) || !Drawable(y)) {
      ErrorMessage(kIoErrorCaption, kPointTooFar, fileName, line, AsDouble(x), AsDouble(y),
                   osfile::kMaxPixels);
      break;
    }
    sequence.AddObject(std::make_unique<Object>(
        static_cast<std::uint32_t>(frame), static_cast<float>(x), static_cast<float>(y), 0.0f));
    ++filed;
  }
  return filed;
}

bool WriteDescription(const ResObjectSequence& s, const std::string& fileName) {
  std::ostringstream text;
  text << s.name << '\n'
       << int(RedOf(s.color)) << ' ' << int(GreenOf(s.color)) << ' ' << int(BlueOf(s.color))
       << '\n';
  return SaveFile(fileName, text.str());
}

bool ReadDescription(ResObjectSequence& s, const std::string& fileName) {
  platform::LineReader in(fileName);
  if (!in.IsOpen()) return false;
  std::string name;
  in.ReadLine(name, kMaxDescriptionName);
  name = SafeSequenceName(name);
  if (!name.empty()) s.name = name;
  // The colour line; a file that goes on past it is not read further.
  std::string colour;
  in.ReadLine(colour, kMaxColourLine);
  int r = 0, g = 0, b = 0;
  if (std::istringstream(colour) >> r >> g >> b)
    s.SetColor(Rgb(static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
                   static_cast<std::uint8_t>(b)));
  return true;
}

std::string DefaultFileName(const ResObjectSequence& s) {
  std::string name = s.name;
  for (char& c : name)
    if (c == '/') c = '_';
  return name + TwoDigits(".p", s.number);
}

int NumberOfExtension(const std::string& fileName) {
  const std::string ext = FileName(fileName).Ext();
  if (ext.size() < 3) return -1;
  int number = 0;
  for (std::size_t i = 2; i < ext.size(); ++i) {
    if (ext[i] < '0' || ext[i] > '9' || number > 9999) return -1;
    number = number * 10 + (ext[i] - '0');
  }
  return number;
}

std::string DescriptionFileName(const std::string& pointFile, int number) {
  FileName name(pointFile);
  name.SetExtension(TwoDigits("n", number));
  return name.Path();
}

int Import(Document& doc, FrameSequence& video, const std::vector<std::string>& files,
           const ImportProgress& progress) {
  ResObjectSequences* all = doc.ObjectSequences();
  if (!all) return 0;
  SubObjectSequences& subs = objdoc::SubsOf(video);
  const int lastFrame = video.Frames() > 0 ? video.Frames() : ObjectArray::kMaxFrame;
  int filled = 0;
  bool stopped = false;
  for (std::size_t i = 0; i < files.size() && !stopped; ++i) {
    const std::string& file = files[i];
    ResObjectSequence* target = EmptyInVideo(doc, subs);
    const bool created = target == nullptr;
    if (created) target = all->NewSequence(seqflag::kNewSequence);
    if (!target) continue;
    SubObjectSequence* sub = subs.Find(target->number);
    if (!sub) sub = subs.Add(target->number);
    TextInFile in(file);
    if (!in) continue;  // a file that does not open gives nothing; its sequence stays empty
    ReadProgress step;
    if (progress)
      step = [&](const TextInFile& reading) {
        // The size is the one at opening: a file that grows meanwhile is read past it.
        const double inFile =
            std::min(static_cast<double>(reading.Position()) /
                         static_cast<double>(std::max<std::uint64_t>(reading.Size(), 1)),
                     1.0);
        stopped = !progress((static_cast<double>(i) + inFile) / static_cast<double>(files.size()));
        return !stopped;
      };
    ReadObjects(*sub, in, file, lastFrame, step);
    if (sub->Count() == 0) {
      ErrorMessage(kIoErrorCaption, kNoObjects, file);
      if (created) all->RemoveSequence(target);
      continue;
    }
    ++filled;
    if (created)
      if (int n = NumberOfExtension(file); n >= 0)
        ReadDescription(*target, DescriptionFileName(file, n));
  }
  doc.RecalcObjectSequences(0);
  doc.UpdateViews();
  return filled;
}

std::vector<ExportItem> ExportList(Document& doc) {
  std::vector<ExportItem> items;
  if (!doc.ObjectSequences()) return items;
  SequenceIterator it(*doc.ObjectSequences(), seqmask::kOrdinary);
  for (ResObjectSequence* s = it.Current(); s; s = it.Next())
    items.push_back({s, DefaultFileName(*s)});
  return items;
}

std::string FileInFolder(const std::string& folder, const std::string& fileName) {
  return FileName(folder.empty() || folder.back() == '/' ? folder : folder + '/', fileName).Path();
}

bool Export(FrameSequence& video, const std::string& folder, const std::vector<ExportItem>& items) {
  const std::vector<ExportFile> files = ExportFiles(folder, items);
  if (ReportSharedName(files) || !MayReplaceExisting(folder, files)) return false;
  bool allWritten = true, pointsWritten = false;
  const SubObjectSequences& subs = objdoc::SubsOf(video);
  for (const ExportFile& file : files) {
    if (file.description) {
      // A description only beside the points it describes.
      if (pointsWritten && !WriteDescription(*file.sequence, file.path)) allWritten = false;
      continue;
    }
    TextOutFile out(file.path);
    if (const SubObjectSequence* sub = subs.Find(file.sequence->number)) WriteObjects(*sub, out);
    pointsWritten = out.Close();
    if (!pointsWritten) {
      ReportFailedWrite(file.path, out.Error());
      allWritten = false;
    }
  }
  return allWritten;
}

std::string CopySequenceText(Document& doc) {
  if (!CanCopyOrExport(doc)) return {};
  TextFormat format;
  std::vector<ResObjectSequence*> columns;
  SequenceIterator it(*doc.ObjectSequences(), seqmask::kOrdinary);
  for (ResObjectSequence* s = it.Current(); s; s = it.Next()) columns.push_back(s);
  std::string text = "Frame";
  for (const ResObjectSequence* s : columns)
    for (const char* axis : {" x", " y", " z"}) text += '\t' + s->name + axis;
  text += '\n';
  const float fps = doc.GetFramesPerSecond();
  for (int frame = 1; frame <= doc.MaxFrameCount(); ++frame) {
    text += std::to_string(frame);
    for (const ResObjectSequence* s : columns) {
      const ObjectBase* p = s->ItemAt(frame);
      const bool has = p && p->HasValue();
      for (float v :
           {has ? p->x : kMissingValue, has ? p->y : kMissingValue, has ? p->z : kMissingValue})
        text += '\t' + Cell(v == kMissingValue ? v : g_UnitsOrigin.ToUnit(v, -1, fps), format);
    }
    text += '\n';
  }
  return text;
}

bool CanCopyOrExport(const Document& doc) {
  return doc.ObjectSequences() &&
         SequenceIterator(*doc.ObjectSequences(), seqmask::kOrdinary).Current() != nullptr;
}

}  // namespace ascii
