#include "objects/osfile.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <fstream>
#include <limits>
#include <set>

#include "base/document.h"
#include "base/messages.h"
#include "base/savefile.h"
#include "objects/bodymodel.h"
#include "objects/docaccess.h"
#include "objects/objects_ids.h"
#include "objects/osguard.h"
#include "objects/resobjseq.h"
#include "objects/stickfigure.h"
#include "objects/subobjseq.h"
#include "platform/files.h"
#include "platform/pstream/pstream.h"
#include "sequences/framesequence.h"

namespace osfile {

namespace {

using platform::pstream::Reader;
using platform::pstream::Writer;

// Larger than any version a project has, so that the first video sets the common highest one.
constexpr int kNoVersionYet = 1000000;
// Bytes of an array slot without a point.
constexpr std::size_t kSlotBytes = 4;

VersionChooser& Chooser() {
  static VersionChooser chooser;
  return chooser;
}

constexpr std::uint32_t kMaxNumber =
    static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max());

bool ReadNumber(Reader& r, std::int32_t& n) {
  std::uint32_t u = 0;
  if (!r.U32(u)) return false;
  if (u > kMaxNumber) {
    r.Fail();
    return false;
  }
  n = static_cast<std::int32_t>(u);
  return true;
}

// --- writing ---

void WriteColor(Writer& w, const ColorRecord& c) {
  w.U32(kClassVersion);
  w.I32(c.style);
  w.I32(c.width);
  w.I32(c.height);
  w.U32(c.color.value_or(0));
}

void WriteRes(Writer& w, const ResRecord& res) {
  w.String(res.name);
  w.U32(res.flags);
  w.U32(res.algorithm);
  w.I32(res.horizontalLimit);
  w.I32(res.verticalLimit);
  WriteColor(w, res.color.value_or(ColorRecord{}));
}

void WriteSub(Writer& w, const SubRecord& sub) {
  w.Pointer(&sub.res, kResSequenceClass, kClassVersion,
            [&](Writer& body) { WriteRes(body, sub.res.value_or(ResRecord{})); });
  const TemplateRecord t = sub.tmpl.value_or(TemplateRecord{});
  w.U32(kClassVersion);
  for (std::int32_t v : {t.width, t.height, t.shape, t.xOffset, t.yOffset}) w.I32(v);
  const std::int32_t last = std::max(sub.lastIndex, 0);
  w.U32(ObjectArray::kLowerBound);
  w.U32(static_cast<std::uint32_t>(last));
  auto p = sub.points.begin();
  for (std::int32_t i = ObjectArray::kLowerBound; i <= last; ++i) {
    while (p != sub.points.end() && p->frame < static_cast<std::uint32_t>(i)) ++p;
    if (p != sub.points.end() && p->frame == static_cast<std::uint32_t>(i)) {
      w.U32(static_cast<std::uint32_t>(i));
      w.U32(p->frame);
      w.F32(p->x);
      w.F32(p->y);
      w.F32(p->z);
    } else {
      w.U32(0);
    }
  }
}

void WriteFigure(Writer& w, const FigureRecord& f) {
  w.U32(f.arcRadius);
  w.U32(static_cast<std::uint32_t>(f.connections.size()));
  for (const auto& c : f.connections) {
    w.U32(c.color);
    w.I32(c.first);
    w.I32(c.second);
  }
  w.U32(static_cast<std::uint32_t>(f.angles.size()));
  for (const auto& a : f.angles) {
    w.String(std::string_view(a.name.value_or(std::string())));
    for (std::int32_t n : a.numbers) w.I32(n);
    w.U32(a.swap1.value_or(false) ? 1 : 0);
    w.U32(a.swap2.value_or(false) ? 1 : 0);
  }
}

// --- reading ---

struct Decoder {
  std::deque<ResRecord> resRecords;  // stable addresses for back-references
  std::deque<FigureRecord> figures;

  // A colour descriptor of version 0 has no fields: out stays empty.
  bool ReadColor(Reader& r, std::optional<ColorRecord>& out) {
    std::uint32_t version = 0;
    if (r.FormatVersion() != 0 && !r.U32(version)) return false;
    if (version > kClassVersion) {
      r.Fail();
      return false;
    }
    if (version == 0) return true;
    ColorRecord c;
    if (!(r.I32(c.style) && r.I32(c.width) && r.I32(c.height))) return false;
    if (version >= 2) {
      std::uint32_t color = 0;
      if (!r.U32(color)) return false;
      c.color = color;
    }
    out = c;
    return true;
  }

  void* ReadRes(Reader& r, std::uint32_t version) {
    if (version > kClassVersion) return nullptr;
    ResRecord& res = resRecords.emplace_back();
    res.hasBody = version >= 1;
    if (res.hasBody &&
        !(r.String(res.name) && r.U32(res.flags) && r.U32(res.algorithm) &&
          r.I32(res.horizontalLimit) && r.I32(res.verticalLimit) && ReadColor(r, res.color))) {
      return nullptr;
    }
    return &res;
  }

  bool ReadTemplate(Reader& r, std::optional<TemplateRecord>& out) {
    std::uint32_t version = 0;
    if (!r.U32(version)) return false;
    if (version > kClassVersion) {
      r.Fail();
      return false;
    }
    if (version == 0) return true;
    TemplateRecord t;
    if (!(r.I32(t.width) && r.I32(t.height) && r.I32(t.shape) && r.I32(t.xOffset) &&
          r.I32(t.yOffset))) {
      return false;
    }
    if (t.width < 1 || t.height < 1 || t.width > kMaxTemplateSide || t.height > kMaxTemplateSide) {
      r.Fail();
      return false;
    }
    out = t;
    return true;
  }

  bool ReadArray(Reader& r, SubRecord& sub) {
    std::uint32_t first = 0, last = 0;
    if (!r.U32(first) || !r.U32(last)) return false;
    // Every slot takes at least one field, so a count beyond the bytes left is damage.
    if (first != static_cast<std::uint32_t>(ObjectArray::kLowerBound) || last + 1 < first ||
        last > static_cast<std::uint32_t>(ObjectArray::kMaxFrame) ||
        (last - first + 1) > r.Remaining() / kSlotBytes) {
      r.Fail();
      return false;
    }
    sub.lastIndex = static_cast<std::int32_t>(last);
    for (std::uint32_t i = first; i <= last && last != 0; ++i) {
      std::uint32_t index = 0;
      if (!r.U32(index)) return false;
      if (index == 0) continue;
      Point p;
      if (index != i || !r.U32(p.frame) || !r.F32(p.x) || !r.F32(p.y) || !r.F32(p.z)) {
        r.Fail();
        return false;
      }
      if (p.frame != i) {
        r.Fail();
        return false;
      }
      sub.points.push_back(p);
    }
    return true;
  }

  bool ReadSub(Reader& r, std::uint32_t version, SubRecord& sub) {
    if (version > kClassVersion) return false;
    if (version == 0) return true;
    bool isNull = false;
    auto* res = static_cast<ResRecord*>(r.Pointer(
        kResSequenceClass, [this](Reader& rr, std::uint32_t v) { return ReadRes(rr, v); }, isNull));
    if (!isNull && !res) return false;
    // A record without body leaves the project's sequence as it is.
    if (res && res->hasBody) sub.res = *res;
    return ReadTemplate(r, sub.tmpl) && ReadArray(r, sub);
  }

  void* ReadFigure(Reader& r, std::uint32_t version) {
    if (version > kClassVersion) return nullptr;
    FigureRecord& f = figures.emplace_back();
    if (version == 0) return &f;
    std::uint32_t count = 0;
    if (!r.U32(f.arcRadius) || !r.U32(count)) return nullptr;
    for (std::uint32_t i = 0; i < count; ++i) {
      ConnectionRecord c;
      if (!r.U32(c.color) || !ReadNumber(r, c.first) || !ReadNumber(r, c.second)) return nullptr;
      f.connections.push_back(c);
    }
    if (!r.U32(count)) return nullptr;
    for (std::uint32_t i = 0; i < count; ++i) {
      AngleRecord a;
      if (!r.String(a.name)) return nullptr;
      for (std::int32_t& n : a.numbers) {
        if (!ReadNumber(r, n)) return nullptr;
      }
      if (version >= 4) {
        std::uint32_t s1 = 0, s2 = 0;
        if (!r.U32(s1) || !r.U32(s2)) return nullptr;
        a.swap1 = s1 != 0;
        a.swap2 = s2 != 0;
      }
      f.angles.push_back(std::move(a));
    }
    return &f;
  }

  bool ReadRoot(Reader& r, std::uint32_t version, FileRecord& file) {
    if (version > kClassVersion) return false;
    if (version >= 3) {
      std::uint32_t modelFlag = 0;
      if (!r.U32(modelFlag) || modelFlag > 1) return false;
      if (modelFlag == 1) {
        std::optional<std::string> name;
        if (!r.String(name) || !name) return false;
        file.modelFile = std::move(name);
      }
    }
    if (version >= 1) {
      std::uint32_t count = 0;
      if (!r.U32(count)) return false;
      std::set<std::int32_t> numbers;
      for (std::uint32_t i = 0; i < count; ++i) {
        SubRecord sub;
        if (!ReadNumber(r, sub.number) || !numbers.insert(sub.number).second) return false;
        void* ok = r.Object(kSubSequenceClass, [&](Reader& rr, std::uint32_t v) -> void* {
          return ReadSub(rr, v, sub) ? &sub : nullptr;
        });
        if (!ok) return false;
        file.sequences.push_back(std::move(sub));
      }
    }
    if (version == 0) return true;
    bool isNull = false;
    auto* figure = static_cast<FigureRecord*>(r.Pointer(
        kStickFigureClass, [this](Reader& rr, std::uint32_t v) { return ReadFigure(rr, v); },
        isNull));
    if (!isNull && !figure) return false;
    if (figure) file.figure = *figure;
    return true;
  }
};

// --- values the program can use ---

bool Drawable(float coordinate) {
  return coordinate == kMissingCoordinate ||
         (std::isfinite(coordinate) && std::fabs(coordinate) <= static_cast<float>(kMaxPixels));
}

bool Within(std::int32_t v, std::int32_t low, std::int32_t high) { return v >= low && v <= high; }

bool SizesDrawable(const SubRecord& sub) {
  if (sub.tmpl && !(Within(sub.tmpl->xOffset, -kMaxPixels, kMaxPixels) &&
                    Within(sub.tmpl->yOffset, -kMaxPixels, kMaxPixels))) {
    return false;
  }
  if (!sub.res) return true;
  if (!Within(sub.res->horizontalLimit, 0, kMaxPixels) ||
      !Within(sub.res->verticalLimit, 0, kMaxPixels)) {
    return false;
  }
  const auto& c = sub.res->color;
  return !c || (Within(c->width, 0, kMaxMarkerSide) && Within(c->height, 0, kMaxMarkerSide));
}

std::string VideoPathWithoutExtension(const FileName& video) {
  return video.Folder() + video.Name();
}

bool CanOpen(const std::string& path) {
  const std::string found = platform::FindFileIgnoringCase(path);
  if (found.empty()) return false;
  std::ifstream in(found, std::ios::binary);
  return in.is_open();
}

}  // namespace

void SetVersionChooser(VersionChooser chooser) { Chooser() = std::move(chooser); }

FileName FileNameOf(const FileName& video, int version) {
  const std::string base = VideoPathWithoutExtension(video);
  if (version <= 0) return FileName(base + ".OS");
  return FileName(platform::Format("%s_%d.OS", base, version));
}

std::string Encode(const FileRecord& file) {
  Writer w;
  w.Object(&file, kSubSequencesClass, kClassVersion, [&](Writer& body) {
    body.U32(file.modelFile ? 1 : 0);
    if (file.modelFile) body.String(std::string_view(*file.modelFile));
    body.U32(static_cast<std::uint32_t>(file.sequences.size()));
    for (const auto& sub : file.sequences) {
      body.I32(sub.number);
      body.Object(&sub, kSubSequenceClass, kClassVersion, [&](Writer& b) { WriteSub(b, sub); });
    }
    if (file.figure) {
      body.Pointer(&*file.figure, kStickFigureClass, kClassVersion,
                   [&](Writer& b) { WriteFigure(b, *file.figure); });
    } else {
      body.Pointer(nullptr, kStickFigureClass, kClassVersion, {});
    }
  });
  return w.Bytes();
}

std::optional<FileRecord> Decode(std::string_view bytes) {
  Reader r(bytes);
  if (!r.Good()) return std::nullopt;
  Decoder decoder;
  FileRecord file;
  void* root = r.Object(kSubSequencesClass, [&](Reader& rr, std::uint32_t v) -> void* {
    return decoder.ReadRoot(rr, v, file) ? &file : nullptr;
  });
  // Bytes after the root record mean the file is not what it claims to be.
  if (!root || !r.AtEnd()) return std::nullopt;
  return file;
}

bool ReportUnusableValues(const FileRecord& file, const std::string& path) {
  for (const SubRecord& sub : file.sequences) {
    if (sub.number > ResObjectSequences::kMaxNumber) {
      ErrorMessage(objects_ids::kIoErrorCaption, objects_ids::kNumberTooLarge, path, sub.number,
                   ResObjectSequences::kMaxNumber);
      return true;
    }
    if (!SizesDrawable(sub)) {
      ErrorMessage(objects_ids::kIoErrorCaption, objects_ids::kSizesCannotBeDrawn, path,
                   sub.number);
      return true;
    }
    for (const Point& p : sub.points) {
      if (!Drawable(p.x) || !Drawable(p.y) || !(std::isfinite(p.z) || p.z == kMissingCoordinate)) {
        ErrorMessage(objects_ids::kIoErrorCaption, objects_ids::kPointCannotBeDrawn, path,
                     static_cast<double>(p.x), static_cast<double>(p.y), p.frame, kMaxPixels);
        return true;
      }
    }
  }
  return false;
}

FileRecord Collect(const SubObjectSequences& video, const ResObjectSequences& all) {
  FileRecord file;
  const Document* doc = all.GetDocument();
  const FrameSequence* owner = video.Owner();
  if (doc && owner && BodyModel::Of(doc).IsLoaded()) {
    FileName videoName = owner->fileName;
    file.modelFile = doc->ModelFileName().RelativeTo(videoName);
  }
  for (SequenceIterator it(all, seqmask::kOrdinary); const ResObjectSequence* s = it.Current();
       it.Next()) {
    const SubObjectSequence* sub = video.Find(s->number);
    if (!sub) continue;
    SubRecord rec;
    rec.number = s->number;
    rec.res = ResRecord{s->name,
                        s->flags,
                        s->algorithm,
                        s->horizontalLimit,
                        s->verticalLimit,
                        ColorRecord{s->style, s->markerWidth, s->markerHeight,
                                    // Colours are stored as plain RGB.
                                    s->color & 0x00FFFFFFu}};
    rec.tmpl = TemplateRecord{sub->width, sub->height, sub->shape, sub->xOffset, sub->yOffset};
    rec.lastIndex = sub->LastIndex();
    for (int f = ObjectArray::kLowerBound; f <= sub->LastIndex(); ++f) {
      if (const ObjectBase* p = sub->ItemAt(f)) rec.points.push_back({p->frame, p->x, p->y, p->z});
    }
    file.sequences.push_back(std::move(rec));
  }
  const StickFigure& figure = all.Figure();
  FigureRecord f;
  f.arcRadius = figure.arcRadius;
  // Oldest first: the reader puts each new item in front, so the order survives the file.
  const auto& connections = figure.AllConnections();
  for (auto it = connections.rbegin(); it != connections.rend(); ++it) {
    const auto& c = *it;
    if (c->HasDeletedEnd()) continue;
    f.connections.push_back({c->color.color & 0x00FFFFFFu, c->first->number, c->second->number});
  }
  const auto& angles = figure.AllAngles();
  for (auto it = angles.rbegin(); it != angles.rend(); ++it) {
    const auto& a = *it;
    if (a->HasDeletedSequence()) continue;
    AngleRecord rec;
    rec.name = a->name.value_or(std::string());
    for (int i = 0; i < 4; ++i) rec.numbers[i] = a->SequenceAt(i + 1)->number;
    rec.swap1 = a->swap1;
    rec.swap2 = a->swap2;
    f.angles.push_back(std::move(rec));
  }
  file.figure = std::move(f);
  return file;
}

void Apply(const FileRecord& file, SubObjectSequences& video, ResObjectSequences& all) {
  video.Clear();
  for (const SubRecord& rec : file.sequences) {
    ResObjectSequence* s = all.GetOrCreate(rec.number);
    if (rec.res) {
      s->name = SafeSequenceName(rec.res->name.value_or(std::string()));
      s->flags = rec.res->flags;
      s->algorithm = rec.res->algorithm;
      s->horizontalLimit = rec.res->horizontalLimit;
      s->verticalLimit = rec.res->verticalLimit;
      s->ConvertOldFlags();
      if (rec.res->color) {
        s->style = rec.res->color->style;
        s->markerWidth = rec.res->color->width;
        s->markerHeight = rec.res->color->height;
        if (rec.res->color->color) s->color = *rec.res->color->color;
      }
    }
    SubObjectSequence* sub = video.Find(rec.number);
    if (!sub) sub = video.Add(rec.number);
    if (rec.tmpl) {
      sub->SetSize(rec.tmpl->width, rec.tmpl->height);
      sub->shape = rec.tmpl->shape;
      sub->xOffset = rec.tmpl->xOffset;
      sub->yOffset = rec.tmpl->yOffset;
      sub->work = Template::kInitialWork;
    }
    sub->GrowTo(rec.lastIndex);
    for (const Point& p : rec.points) {
      sub->AddObject(std::make_unique<ObjectBase>(p.frame, p.x, p.y, p.z));
    }
  }
  // Every project sequence keeps a sub-sequence in every video.
  for (const auto& s : all.Sequences()) {
    if (!video.Find(s->number)) video.Add(s->number);
  }
  if (!file.figure) return;
  StickFigure& figure = all.Figure();
  figure.arcRadius = file.figure->arcRadius;
  for (const ConnectionRecord& c : file.figure->connections) {
    figure.Connect(all.Find(c.first, seqmask::kAll), all.Find(c.second, seqmask::kAll), c.color);
  }
  for (const AngleRecord& a : file.figure->angles) {
    ResObjectSequence* s[4];
    for (int i = 0; i < 4; ++i) s[i] = all.Find(a.numbers[i], seqmask::kAll);
    SequencePair* p = figure.FindConnection(s[0], s[1]);
    SequencePair* q = figure.FindConnection(s[2], s[3]);
    if (!p || !q || !s[0] || !s[2]) continue;
    AngleSequencePair* angle = figure.CreateAngle(p, q, a.name);
    if (angle && a.swap1 && a.swap2) {
      angle->swap1 = *a.swap1;
      angle->swap2 = *a.swap2;
      angle->autoOrient = false;
    }
  }
}

}  // namespace osfile

int SubObjectSequences::HighestVersion() const {
  if (!owner_) return -1;
  int version = -1;
  while (osfile::CanOpen(osfile::FileNameOf(owner_->GetFileName(), version + 1).Path())) ++version;
  return version;
}

bool SubObjectSequences::HasVersion() const {
  const Document* doc = GetDocument();
  const ResObjectSequences* all = doc ? doc->ObjectSequences() : nullptr;
  return HighestVersion() >= (all ? all->selectedVersion : 0);
}

bool SubObjectSequences::LoadVersion() {
  Document* doc = GetDocument();
  ResObjectSequences* all = doc ? doc->ObjectSequences() : nullptr;
  if (!all || !owner_) return false;
  const FileName name = osfile::FileNameOf(owner_->GetFileName(), all->selectedVersion);
  const std::string found = platform::FindFileIgnoringCase(name.Path());
  std::string bytes;
  if (found.empty() || !platform::ReadWholeFile(found, bytes)) {
    ErrorMessage(objects_ids::kIoErrorCaption, objects_ids::kFileCannotBeOpened, name.Path());
    return false;
  }
  // A file that opened but does not decode is told apart from a missing one.
  std::optional<osfile::FileRecord> file = osfile::Decode(bytes);
  if (!file) {
    ErrorMessage(objects_ids::kIoErrorCaption, objects_ids::kFileDamaged, found);
    return false;
  }
  if (osfile::ReportUnusableValues(*file, name.Path())) return false;
  if (file->modelFile) {
    const FileName model = FileName::ResolveAgainst(owner_->GetFileName(), *file->modelFile);
    if (!all->modelFile.IsNull() && !(all->modelFile == model)) {
      ErrorMessage(objects_ids::kModelConflictCaption, objects_ids::kModelConflictText);
    } else {
      all->modelFile = model;
    }
    all->bodyModelFlag = true;
  }
  osfile::Apply(*file, *this, *all);
  onDisk.Take(name.Path());
  return true;
}

bool ResObjectSequences::AllFilesExist() const {
  const int videos = objdoc::VideoCount(document_);
  for (int i = 0; i < videos; ++i) {
    if (!objdoc::SubsOf(*objdoc::Video(document_, i)).HasVersion()) return false;
  }
  return videos > 0;
}

bool ResObjectSequences::SaveAll() {
  if (!osfile::ConfirmSaveVersion(*this)) return false;
  bool saved = true;
  for (int i = 0; i < objdoc::VideoCount(document_); ++i) {
    FrameSequence* video = objdoc::Video(document_, i);
    SubObjectSequences& subs = objdoc::SubsOf(*video);
    const std::string bytes = osfile::Encode(osfile::Collect(subs, *this));
    const FileName name = osfile::FileNameOf(video->GetFileName(), std::max(selectedVersion, 0));
    if (SaveFile(name.Path(), bytes))
      subs.onDisk.Wrote(name.Path(), bytes);
    else
      saved = false;
  }
  if (document_) document_->WriteObjectModel();
  if (saved) modified_ = false;
  return saved;
}

void ResObjectSequences::LoadVersion() {
  const int videos = objdoc::VideoCount(document_);
  if (videos == 0) return;
  int version = osfile::kNoVersionYet;
  for (int i = 0; i < videos; ++i) {
    version = std::min(version, objdoc::SubsOf(*objdoc::Video(document_, i)).HighestVersion());
  }
  if (version > 0 && osfile::Chooser()) {
    const std::optional<int> chosen = osfile::Chooser()(version);
    if (!chosen) return;
    version = std::clamp(*chosen, 0, version);
  }
  bodyModelFlag = false;
  modelFile = FileName();
  selectedVersion = version;
  for (int i = 0; i < videos; ++i) objdoc::SubsOf(*objdoc::Video(document_, i)).LoadVersion();
  if (bodyModelFlag && document_) {
    // The files name the model: the document loads it and connects its objects.
    if (!modelFile.IsNull()) document_->SetModelFileName(modelFile);
    if (document_->LoadObjectModel()) document_->ConnectModelObjects();
    ApplyModelDefaults(BodyModel::Of(document_), nullptr);
  }
  if (document_) document_->RecalcObjectSequences(0);
  modified_ = false;
  GetCurrent();
}
