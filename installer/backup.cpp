#include "installer/backup.h"

#include "installer/file_util.h"
#include "installer/text_util.h"

#include <sys/stat.h>

#include <cerrno>

namespace ostrelink {
namespace {

constexpr std::string_view kBackupFolders = "/Vantorel/Pakmerion/Default Programs/";
constexpr std::string_view kByteOrderMark = "\xFF\xFE";
constexpr size_t kMarkSize = 2;
constexpr mode_t kBackupMode = 0600;
constexpr char32_t kReplacement = 0xFFFD;
constexpr size_t kBackupFields = 4;

void AppendUtf16(std::string* out, char32_t c) {
  auto unit = [out](char32_t u) {
    out->push_back(static_cast<char>(u & 0xFF));
    out->push_back(static_cast<char>((u >> 8) & 0xFF));
  };
  if (c >= 0x10000) {
    c -= 0x10000;
    unit(0xD800 + (c >> 10));
    unit(0xDC00 + (c & 0x3FF));
  } else {
    unit(c);
  }
}

void AppendUtf8(std::string* out, char32_t c) {
  if (c < 0x80) {
    out->push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (c >> 6)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (c >> 12)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (c >> 18)));
    out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

// Decodes one UTF-8 sequence at text[*pos], advancing *pos; malformed input gives U+FFFD and
// skips one byte.
char32_t NextUtf8(std::string_view text, size_t* pos) {
  const unsigned char lead = static_cast<unsigned char>(text[*pos]);
  size_t length = 0;
  char32_t c = 0;
  char32_t minimum = 0;
  if (lead < 0x80) {
    ++*pos;
    return lead;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2, c = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, c = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, c = lead & 0x07, minimum = 0x10000;
  } else {
    ++*pos;
    return kReplacement;
  }
  if (*pos + length > text.size()) {
    ++*pos;
    return kReplacement;
  }
  for (size_t i = 1; i < length; ++i) {
    const unsigned char next = static_cast<unsigned char>(text[*pos + i]);
    if ((next & 0xC0) != 0x80) {
      ++*pos;
      return kReplacement;
    }
    c = (c << 6) | (next & 0x3F);
  }
  if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
    ++*pos;
    return kReplacement;
  }
  *pos += length;
  return c;
}

bool IsSafeFileName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (char c : name) {
    if (c == '/' || static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return false;
  }
  return true;
}

}  // namespace

std::optional<std::string> BackupPath(const std::string& stateRoot, std::string_view productCode) {
  if (!IsSafeFileName(productCode)) return std::nullopt;
  return stateRoot + std::string(kBackupFolders) + std::string(productCode);
}

std::string FormatBackupLine(const BackupLine& line) {
  return line.newProgId + " = " + line.item + " = " + line.oldProgId + " = " + line.owner + "\n";
}

std::optional<BackupLine> ParseBackupLine(std::string_view line) {
  const std::vector<std::string> fields = Split(line, '=');
  if (fields.size() != kBackupFields) return std::nullopt;
  return BackupLine{Trim(fields[0]), Trim(fields[1]), Trim(fields[2]), Trim(fields[3])};
}

std::string EncodeBackup(std::string_view utf8Text) {
  std::string bytes(kByteOrderMark);
  for (size_t pos = 0; pos < utf8Text.size();) AppendUtf16(&bytes, NextUtf8(utf8Text, &pos));
  return bytes;
}

std::string DecodeUtf16Le(std::string_view bytes) {
  std::string text;
  auto unitAt = [bytes](size_t i) -> char32_t {
    return static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8);
  };
  size_t i = 0;
  for (; i + 1 < bytes.size(); i += 2) {
    const char32_t unit = unitAt(i);
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size()) {
      const char32_t low = unitAt(i + 2);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendUtf8(&text, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        i += 2;
        continue;
      }
    }
    AppendUtf8(&text, (unit >= 0xD800 && unit <= 0xDFFF) ? kReplacement : unit);
  }
  if (i < bytes.size()) AppendUtf8(&text, kReplacement);
  return text;
}

std::vector<std::string> SplitBackupLines(std::string_view text) {
  std::vector<std::string> lines = Split(text, '\n');
  if (lines.back().empty()) lines.pop_back();
  return lines;
}

std::string MergeBackupText(std::string_view existingText, const std::vector<BackupLine>& lines) {
  std::string merged;
  for (const std::string& old : SplitBackupLines(existingText)) {
    const std::optional<BackupLine> parsed = ParseBackupLine(old);
    bool replaced = false;
    for (const BackupLine& line : lines)
      replaced = replaced || (parsed && parsed->item == line.item);
    if (!replaced) merged += old + "\n";
  }
  for (const BackupLine& line : lines) merged += FormatBackupLine(line);
  return merged;
}

int WriteBackup(const std::string& path, const std::vector<BackupLine>& lines,
                unsigned folderMode) {
  std::string existing;
  const int readRc = ReadWholeFile(path, &existing);
  // An unreadable backup is kept as it is: replacing it would lose the former handlers.
  if (readRc != 0 && readRc != -ENOENT) return readRc;
  const std::string existingText = existing.size() > kMarkSize
                                       ? DecodeUtf16Le(std::string_view(existing).substr(kMarkSize))
                                       : std::string();
  std::vector<std::string> created;
  if (const int rc = MakeFolders(ParentOf(path), folderMode, &created); rc != 0) return rc;
  const int rc = ReplaceFile(path, EncodeBackup(MergeBackupText(existingText, lines)), kBackupMode);
  if (rc != 0) RemoveFolders(created);
  return rc;
}

}  // namespace ostrelink
