#include "base/analysislinks.h"

#include <algorithm>
#include <vector>

namespace {
std::vector<AnalysisLink*>& Links() {
  static std::vector<AnalysisLink*> links;
  return links;
}
}  // namespace

void RegisterAnalysisLink(AnalysisLink* link) {
  if (link) Links().push_back(link);
}

void UnregisterAnalysisLink(AnalysisLink* link) {
  auto& links = Links();
  links.erase(std::remove(links.begin(), links.end(), link), links.end());
}

void ForEachAnalysisLink(unsigned serial, const std::function<void(AnalysisLink&)>& f) {
  // A window may close itself while it is called: walk a copy.
  std::vector<AnalysisLink*> links = Links();
  for (AnalysisLink* link : links) {
    auto& now = Links();
    if (std::find(now.begin(), now.end(), link) == now.end()) continue;
    if (link->DocumentSerial() == serial) f(*link);
  }
}
