#pragma once

// The open dialogs of the acquisition-data import: the data file ("Open import data", *.daq)
// and, when none lies beside it, its description ("Open descriptor import data", *.dqs).

#include "analysis/import/daqimport.h"

class QWidget;

class QtDaqFileDialogs : public DaqFileDialogs {
 public:
  explicit QtDaqFileDialogs(QWidget* parent) : parent_(parent) {}
  std::optional<std::string> ChooseDataFile(const std::string& startFolder) override;
  std::optional<std::string> ChooseDescriptionFile(const std::string& startFolder) override;

 private:
  std::optional<std::string> Choose(int filter, int title, const char* ext,
                                    const std::string& startFolder);
  QWidget* parent_;
};
