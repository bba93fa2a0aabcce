#pragma once

// The shape every save shares: the file is replaced through the atomic writer, and when that
// fails the user is told which file was not written and why, through the program's messages.

#include <string>
#include <string_view>

// Replaces path by bytes (platform::WriteFileAtomically); false after ReportFailedWrite.
bool SaveFile(const std::string& path, std::string_view bytes);

// Shows "Input/output error" for path: the writer's message (it names the file and the cause),
// or, where the writer gave none (no file name to write to), the general "can not be written"
// text naming path.
void ReportFailedWrite(const std::string& path, const std::string& writerError);
