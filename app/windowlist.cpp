#include "app/windowlist.h"

std::string WindowListEntry(int number, const std::string& title) {
  std::string text = number >= 1 && number <= 9 ? "&" : "";
  text += std::to_string(number) + " ";
  for (char c : title) {
    if (c == '&') text += '&';  // doubled, so that it is no key
    text += c;
  }
  return text;
}
