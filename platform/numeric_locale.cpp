#include "platform/numeric_locale.h"

#include <clocale>

namespace platform {

void UseCNumericLocale() { std::setlocale(LC_NUMERIC, "C"); }

}  // namespace platform
