#pragma once

// Persistent streams: the framing of the program's binary object files. A stream starts with a
// header (the magic "ZVPS" and the stream's format version). Inside it every persistent class
// writes its own record body with little-endian fields; the stream wraps each object in a record
// that names its class, carries the class version and the body's length, so that
//   - a reader checks that a record is of the class it expects and hands the version to the
//     class, which reads the fields of that version (older versions stay readable);
//   - a body can never be read beyond its own length, and bytes a newer writer appended to a
//     body are skipped;
//   - an object written twice through pointer records is stored once: the second pointer is a
//     back-reference to the first, and a reader gets the same object back.
//
// Record bytes:
//   object record   u8 0x01, string class name, u32 class version, u32 object id,
//                   u32 body length, body
//   pointer record  u8 0x00 (null), u8 0x02 u32 object id (back-reference), or an object record
//   string          u32 length and the bytes, or u32 0xFFFFFFFF for no string
//
// A reader fails for good at the first field that does not fit (truncated or damaged input):
// every later read answers false and leaves its output untouched.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace platform::pstream {

inline constexpr char kMagic[4] = {'Z', 'V', 'P', 'S'};
// The format version this library writes; readers accept 1 up to it.
inline constexpr std::uint32_t kFormatVersion = 1;
inline constexpr std::uint32_t kNoString = 0xFFFFFFFFu;

class Writer {
 public:
  Writer();

  void U8(std::uint8_t v);
  void U32(std::uint32_t v);
  void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }
  void F32(float v);
  // A length-prefixed string; std::nullopt writes the "no string" mark.
  void String(const std::optional<std::string>& s);
  void String(std::string_view s);

  // An object record of class className at version; body writes the fields.
  void Object(const void* identity, std::string_view className, std::uint32_t version,
              const std::function<void(Writer&)>& body);
  // A pointer record: null, a back-reference to an object already written, or the object record.
  void Pointer(const void* identity, std::string_view className, std::uint32_t version,
               const std::function<void(Writer&)>& body);

  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
  std::unordered_map<const void*, std::uint32_t> ids_;
  std::uint32_t nextId_ = 0;
};

class Reader {
 public:
  // Checks the header; a stream without it, or of a newer format, fails at once.
  explicit Reader(std::string_view bytes);

  bool Good() const { return good_; }
  void Fail() { good_ = false; }
  std::uint32_t FormatVersion() const { return formatVersion_; }
  // Bytes left in the current record (or the stream).
  std::size_t Remaining() const { return good_ ? limit_ - pos_ : 0; }
  // True at the end of the whole stream.
  bool AtEnd() const { return good_ && pos_ == bytes_.size(); }

  bool U8(std::uint8_t& v);
  bool U32(std::uint32_t& v);
  bool I32(std::int32_t& v);
  bool F32(float& v);
  bool String(std::optional<std::string>& s);

  // Reads an object record of class className: body gets the class version and returns the
  // object it made (its identity for later back-references), or null to fail the stream.
  // Returns that object, or null when the stream failed.
  void* Object(std::string_view className,
               const std::function<void*(Reader&, std::uint32_t version)>& body);
  // Reads a pointer record: sets isNull for a null pointer and returns null; returns the object
  // of a back-reference (which must be of class className) or of an object record read by body.
  void* Pointer(std::string_view className,
                const std::function<void*(Reader&, std::uint32_t version)>& body, bool& isNull);

 private:
  bool Take(std::size_t n, const char*& p);
  void* ObjectAfterTag(std::string_view className,
                       const std::function<void*(Reader&, std::uint32_t)>& body);

  std::string_view bytes_;
  std::size_t pos_ = 0;
  std::size_t limit_ = 0;
  bool good_ = true;
  std::uint32_t formatVersion_ = 0;
  struct Known {
    std::string className;
    void* object;
  };
  std::vector<Known> objects_;  // by object id
};

}  // namespace platform::pstream
