#pragma once

// ErrorMessage and QuestionMessage: every error and question the program puts to the user.
// Caption and text are string-table ids; the text is a printf-style format of the arguments
// (numbers, C strings or std::string), formatted without any length limit.

#include <string>

#include "platform/message_service.h"
#include "platform/strings.h"

// Shows the formatted message with the error picture; returns 1 (OK).
int ShowErrorMessage(const std::string& caption, const std::string& text);
// Shows the formatted question; returns 6 (Yes), 7 (No) or 2 (Cancel, also for Esc).
int ShowQuestionMessage(const std::string& caption, const std::string& text);

template <typename... A>
int ErrorMessage(int captionId, int textId, const A&... args) {
  return ShowErrorMessage(std::string(platform::LoadString(captionId)),
                          platform::FormatString(textId, args...));
}

template <typename... A>
int QuestionMessage(int captionId, int textId, const A&... args) {
  return ShowQuestionMessage(std::string(platform::LoadString(captionId)),
                             platform::FormatString(textId, args...));
}
