#pragma once
// Result codes of the association store and the backup file, logged as signed decimals. 0 is
// success; a failed file operation gives its errno value negated; the rest are our own.

namespace ostrelink {

inline constexpr int kOk = 0;
// No default application for the type, or no MIME type known for the extension.
inline constexpr int kErrNoAssociation = -1001;
// No installed desktop file has this id.
inline constexpr int kErrAppNotInstalled = -1002;
// An application id, extension, MIME type or product code that would corrupt a file or a path.
inline constexpr int kErrInvalidName = -1003;
// The default was written, but a list of higher precedence names another application.
inline constexpr int kErrShadowed = -1004;
// Per-user scope without a home folder: nowhere to keep the user's settings.
inline constexpr int kErrNoHome = -1005;

}  // namespace ostrelink
