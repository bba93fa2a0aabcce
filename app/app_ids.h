#pragma once

// Ids of the application frame's dialogs, controls and texts.
namespace ids {
inline constexpr int kErrorDialog = 20010;     // caption "Error"
inline constexpr int kQuestionDialog = 20011;  // caption "Question"
inline constexpr int kMessageText = 20012;
inline constexpr int kErrorPicture = 1453;
inline constexpr int kQuestionPicture = 1454;
}  // namespace ids
