#include "platform/pstream/pstream.h"

#include <gtest/gtest.h>

namespace {

using platform::pstream::Reader;
using platform::pstream::Writer;

struct Thing {
  std::uint32_t value = 0;
};

// Writes a record holding a pointer to `shared` twice and one more field.
std::string TwoPointers(const Thing& shared, std::uint32_t extraField = 0, bool extra = false) {
  Writer w;
  w.Object(nullptr, "Root", 1, [&](Writer& b) {
    for (int i = 0; i < 2; ++i) {
      b.Pointer(&shared, "Thing", 2, [&](Writer& t) {
        t.U32(shared.value);
        if (extra) t.U32(extraField);  // what a newer writer might add
      });
    }
    b.Pointer(nullptr, "Thing", 2, {});
    b.String(std::string_view("tail"));
  });
  return w.Bytes();
}

struct Read {
  std::vector<Thing> things;
  std::vector<void*> pointers;
  std::optional<std::string> tail;
  bool ok = false;
};

Read ReadTwoPointers(const std::string& bytes) {
  Read out;
  out.things.reserve(8);
  Reader r(bytes);
  void* root = r.Object("Root", [&](Reader& rr, std::uint32_t) -> void* {
    for (int i = 0; i < 3; ++i) {
      bool isNull = false;
      out.pointers.push_back(rr.Pointer(
          "Thing",
          [&](Reader& t, std::uint32_t version) -> void* {
            if (version != 2) return nullptr;
            Thing& thing = out.things.emplace_back();
            return t.U32(thing.value) ? &thing : nullptr;
          },
          isNull));
      if (!isNull && !out.pointers.back()) return nullptr;
    }
    return rr.String(out.tail) ? &out : nullptr;
  });
  out.ok = root != nullptr && r.AtEnd();
  return out;
}

TEST(PersistentStreamTest, RepeatedPointersComeBackAsOneObject) {
  const Read in = ReadTwoPointers(TwoPointers(Thing{77}));
  ASSERT_TRUE(in.ok);
  ASSERT_EQ(in.things.size(), 1u);
  EXPECT_EQ(in.things[0].value, 77u);
  EXPECT_EQ(in.pointers[0], in.pointers[1]);
  EXPECT_EQ(in.pointers[2], nullptr);
  EXPECT_EQ(in.tail, "tail");
}

TEST(PersistentStreamTest, FieldsANewerWriterAppendedAreSkipped) {
  const Read in = ReadTwoPointers(TwoPointers(Thing{5}, 0xABCDEF, true));
  ASSERT_TRUE(in.ok);
  EXPECT_EQ(in.things[0].value, 5u);
  EXPECT_EQ(in.tail, "tail");
}

TEST(PersistentStreamTest, DamagedFramingFailsForGood) {
  const std::string good = TwoPointers(Thing{1});
  // Every truncation fails.
  for (std::size_t n = 0; n < good.size(); ++n) {
    EXPECT_FALSE(ReadTwoPointers(good.substr(0, n)).ok) << n;
  }
  std::string badMagic = good;
  badMagic[0] = 'X';
  EXPECT_FALSE(ReadTwoPointers(badMagic).ok);
  std::string newerFormat = good;
  newerFormat[4] = static_cast<char>(platform::pstream::kFormatVersion + 1);
  EXPECT_FALSE(ReadTwoPointers(newerFormat).ok);

  // A string longer than its record, and a record longer than the stream.
  Writer w;
  w.U32(1000);
  Reader r(w.Bytes());
  std::optional<std::string> s;
  EXPECT_FALSE(r.String(s));
  EXPECT_FALSE(r.Good());
  std::uint32_t v = 0;
  EXPECT_FALSE(r.U32(v));

  // A back-reference to an object of another class.
  Writer mixed;
  mixed.Object(nullptr, "Root", 1, [&](Writer& b) {
    b.Pointer(&v, "Other", 1, [](Writer& o) { o.U32(3); });
    b.Pointer(&v, "Other", 1, {});
  });
  Reader mr(mixed.Bytes());
  int other = 0;
  void* root = mr.Object("Root", [&](Reader& rr, std::uint32_t) -> void* {
    bool isNull = false;
    if (!rr.Pointer(
            "Other",
            [&](Reader& o, std::uint32_t) -> void* {
              std::uint32_t x;
              return o.U32(x) ? &other : nullptr;
            },
            isNull)) {
      return nullptr;
    }
    return rr.Pointer(
        "Thing", [](Reader&, std::uint32_t) -> void* { return nullptr; }, isNull);
  });
  EXPECT_EQ(root, nullptr);
  EXPECT_FALSE(mr.Good());
}

}  // namespace
