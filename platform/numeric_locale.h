#pragma once

namespace platform {

// Puts the process back on the C numeric locale. QApplication adopts the desktop's locale, in
// which printf and scanf would write and read "0,495"; call this right after making it.
void UseCNumericLocale();

}  // namespace platform
