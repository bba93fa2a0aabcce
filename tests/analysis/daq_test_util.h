#pragma once

// The import's open dialogs as a test answers them.

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "analysis/import/daqimport.h"

// Answers the import's open dialogs from queues (an empty queue cancels) and keeps where they
// started.
struct ScriptedDaqDialogs : DaqFileDialogs {
  std::optional<std::string> ChooseDataFile(const std::string& start) override {
    dataStarts.push_back(start);
    return Next(data);
  }
  std::optional<std::string> ChooseDescriptionFile(const std::string& start) override {
    descriptionStarts.push_back(start);
    return Next(descriptions);
  }
  static std::optional<std::string> Next(std::deque<std::optional<std::string>>& q) {
    if (q.empty()) return std::nullopt;
    auto a = q.front();
    q.pop_front();
    return a;
  }
  std::deque<std::optional<std::string>> data, descriptions;
  std::vector<std::string> dataStarts, descriptionStarts;
};

