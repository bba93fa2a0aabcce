#pragma once
// The association backup: one file per installed product that records, per replaced
// association, the application now in charge, the item, the former application and that
// application's owner. Text in UTF-16 little-endian after a byte-order mark, one line
// "%s = %s = %s = %s\n" per association. Restoring reads it back once and deletes it.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ostrelink {

struct BackupLine {
  std::string newProgId;  // the default right after installation
  std::string item;       // ".ext" or a MIME type
  std::string oldProgId;  // the default before installation
  std::string owner;      // the application that owned oldProgId
};

// "<stateRoot>/Vantorel/Pakmerion/Default Programs/<productCode>"; nothing when the product
// code is empty, ".", "..", or holds "/" or a control character (it must stay one file name).
std::optional<std::string> BackupPath(const std::string& stateRoot, std::string_view productCode);

std::string FormatBackupLine(const BackupLine& line);

// Exactly four fields separated by "=", each trimmed; nothing otherwise.
std::optional<BackupLine> ParseBackupLine(std::string_view line);

// U+FEFF and the text as UTF-16LE. Invalid UTF-8 bytes become U+FFFD.
std::string EncodeBackup(std::string_view utf8Text);
// UTF-16LE bytes (after the mark) as UTF-8; unpaired surrogates and an odd last byte become U+FFFD.
std::string DecodeUtf16Le(std::string_view bytes);

// Lines split at "\n"; the empty text after the last "\n" is no line.
std::vector<std::string> SplitBackupLines(std::string_view text);

// The existing backup text with the new lines: a new line replaces an existing one of the same
// item, other existing lines keep their place, further new lines follow.
std::string MergeBackupText(std::string_view existingText, const std::vector<BackupLine>& lines);

// Writes the lines into the backup at path, merged with what the file already holds, readable
// and writable by its owner only. Missing folders are created with folderMode; when the writing
// fails the folders made by this call are removed again. Returns 0 or a negated errno value.
int WriteBackup(const std::string& path, const std::vector<BackupLine>& lines, unsigned folderMode);

}  // namespace ostrelink
