#pragma once

// The entries of the Window menu's list of open windows, as an MDI frame writes them: the
// window's number (from 1, in the order the windows were opened) and its title. The first nine
// numbers are the entries' keys; an "&" of a title shows as itself.

#include <string>

std::string WindowListEntry(int number, const std::string& title);
