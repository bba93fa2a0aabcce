#include "platform/pstream/pstream.h"

#include <cstring>

namespace platform::pstream {

namespace {

constexpr std::uint8_t kNullPointer = 0x00;
constexpr std::uint8_t kObjectRecord = 0x01;
constexpr std::uint8_t kBackReference = 0x02;

void PutU32(std::string& out, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

}  // namespace

Writer::Writer() {
  bytes_.append(kMagic, sizeof kMagic);
  U32(kFormatVersion);
}

void Writer::U8(std::uint8_t v) { bytes_.push_back(static_cast<char>(v)); }

void Writer::U32(std::uint32_t v) {
  const std::size_t at = bytes_.size();
  bytes_.resize(at + 4);
  PutU32(bytes_, at, v);
}

void Writer::F32(float v) {
  std::uint32_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  U32(bits);
}

void Writer::String(const std::optional<std::string>& s) {
  if (!s) {
    U32(kNoString);
    return;
  }
  String(std::string_view(*s));
}

void Writer::String(std::string_view s) {
  U32(static_cast<std::uint32_t>(s.size()));
  bytes_.append(s);
}

void Writer::Object(const void* identity, std::string_view className, std::uint32_t version,
                    const std::function<void(Writer&)>& body) {
  const std::uint32_t id = nextId_++;
  if (identity) ids_.emplace(identity, id);
  U8(kObjectRecord);
  String(className);
  U32(version);
  U32(id);
  const std::size_t lengthAt = bytes_.size();
  U32(0);
  body(*this);
  PutU32(bytes_, lengthAt, static_cast<std::uint32_t>(bytes_.size() - lengthAt - 4));
}

void Writer::Pointer(const void* identity, std::string_view className, std::uint32_t version,
                     const std::function<void(Writer&)>& body) {
  if (!identity) {
    U8(kNullPointer);
    return;
  }
  if (auto it = ids_.find(identity); it != ids_.end()) {
    U8(kBackReference);
    U32(it->second);
    return;
  }
  Object(identity, className, version, body);
}

Reader::Reader(std::string_view bytes) : bytes_(bytes), limit_(bytes.size()) {
  const char* p = nullptr;
  if (!Take(sizeof kMagic, p) || std::memcmp(p, kMagic, sizeof kMagic) != 0) {
    good_ = false;
    return;
  }
  std::uint32_t version = 0;
  if (!U32(version) || version < 1 || version > kFormatVersion) {
    good_ = false;
    return;
  }
  formatVersion_ = version;
}

bool Reader::Take(std::size_t n, const char*& p) {
  if (!good_ || n > limit_ - pos_) {
    good_ = false;
    return false;
  }
  p = bytes_.data() + pos_;
  pos_ += n;
  return true;
}

bool Reader::U8(std::uint8_t& v) {
  const char* p = nullptr;
  if (!Take(1, p)) return false;
  v = static_cast<std::uint8_t>(*p);
  return true;
}

bool Reader::U32(std::uint32_t& v) {
  const char* p = nullptr;
  if (!Take(4, p)) return false;
  std::uint32_t r = 0;
  for (int i = 0; i < 4; ++i)
    r |= static_cast<std::uint32_t>(static_cast<unsigned char>(p[i])) << (8 * i);
  v = r;
  return true;
}

bool Reader::I32(std::int32_t& v) {
  std::uint32_t u = 0;
  if (!U32(u)) return false;
  v = static_cast<std::int32_t>(u);
  return true;
}

bool Reader::F32(float& v) {
  std::uint32_t bits = 0;
  if (!U32(bits)) return false;
  std::memcpy(&v, &bits, sizeof v);
  return true;
}

bool Reader::String(std::optional<std::string>& s) {
  std::uint32_t length = 0;
  if (!U32(length)) return false;
  if (length == kNoString) {
    s.reset();
    return true;
  }
  const char* p = nullptr;
  if (!Take(length, p)) return false;
  s.emplace(p, length);
  return true;
}

void* Reader::Object(std::string_view className,
                     const std::function<void*(Reader&, std::uint32_t)>& body) {
  std::uint8_t tag = 0;
  if (!U8(tag)) return nullptr;
  if (tag != kObjectRecord) {
    good_ = false;
    return nullptr;
  }
  return ObjectAfterTag(className, body);
}

void* Reader::Pointer(std::string_view className,
                      const std::function<void*(Reader&, std::uint32_t)>& body, bool& isNull) {
  isNull = false;
  std::uint8_t tag = 0;
  if (!U8(tag)) return nullptr;
  switch (tag) {
    case kNullPointer:
      isNull = true;
      return nullptr;
    case kBackReference: {
      std::uint32_t id = 0;
      if (!U32(id)) return nullptr;
      // Only an object whose record is complete can be referred to, and only as its own class.
      if (id >= objects_.size() || !objects_[id].object || objects_[id].className != className) {
        good_ = false;
        return nullptr;
      }
      return objects_[id].object;
    }
    case kObjectRecord:
      return ObjectAfterTag(className, body);
    default:
      good_ = false;
      return nullptr;
  }
}

void* Reader::ObjectAfterTag(std::string_view className,
                             const std::function<void*(Reader&, std::uint32_t)>& body) {
  std::optional<std::string> name;
  std::uint32_t version = 0, id = 0, length = 0;
  if (!String(name) || !U32(version) || !U32(id) || !U32(length)) return nullptr;
  // Ids run in the order the records start, so a reader can tell a damaged one.
  if (!name || *name != className || id != objects_.size() || length > limit_ - pos_) {
    good_ = false;
    return nullptr;
  }
  objects_.push_back({*name, nullptr});
  const std::size_t outerLimit = limit_;
  const std::size_t end = pos_ + length;
  limit_ = end;
  void* object = body(*this, version);
  limit_ = outerLimit;
  if (!good_ || !object) {
    good_ = false;
    return nullptr;
  }
  // Fields a newer writer appended are skipped.
  pos_ = end;
  objects_[id].object = object;
  return object;
}

}  // namespace platform::pstream
