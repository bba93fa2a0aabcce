#include "app/unitsorigin.h"

UnitsOrigin g_UnitsOrigin;
