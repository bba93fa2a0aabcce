#include "analysis/ui/daqdialogs.h"

#include "platform/strings.h"
#include "platform/ui/choosers.h"

std::optional<std::string> QtDaqFileDialogs::Choose(int filter, int title, const char* ext,
                                                    const std::string& startFolder) {
  platform::FileChoice choice;
  choice.title = QString::fromUtf8(platform::LoadString(title));
  choice.filter = platform::QtFileFilter(platform::LoadString(filter));
  choice.start = QString::fromStdString(startFolder);
  choice.defaultExt = ext;
  std::optional<QString> chosen = platform::GetChoosers().OpenFileName(parent_, choice);
  if (!chosen || chosen->isEmpty()) return std::nullopt;
  return chosen->toStdString();
}

std::optional<std::string> QtDaqFileDialogs::ChooseDataFile(const std::string& startFolder) {
  return Choose(daq_ids::kDataFilter, daq_ids::kDataTitle, "DAQ", startFolder);
}

std::optional<std::string> QtDaqFileDialogs::ChooseDescriptionFile(
    const std::string& startFolder) {
  return Choose(daq_ids::kDescriptionFilter, daq_ids::kDescriptionTitle, "DQS", startFolder);
}
