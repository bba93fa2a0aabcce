#include "app/documentfiles.h"

#include <utility>

#include "app/resource.h"
#include "base/messages.h"
#include "calibration/calibrat.h"
#include "platform/files.h"
#include "platform/message_service.h"
#include "sequences/framesequence.h"

namespace {

constexpr int kUnsavedTitle = 31107, kUnsavedQuestion = 31108;

CalibrationFileAsker& Asker() {
  static CalibrationFileAsker asker;
  return asker;
}

// Names the calibration data file of a camera that has none; false when no name was given.
bool EnsureCalibrationFileName(FrameSequence& camera, int number) {
  if (camera.Has(kFlagCalibrationFile) && !camera.calibrationFile.IsNull()) return true;
  FileName suggestion = camera.fileName;
  suggestion.SetExtension("cdc");
  std::optional<std::string> name = Asker() ? Asker()(number, suggestion.Path()) : std::nullopt;
  if (!name || name->empty()) return false;
  // Only the name: the record is what is to be written, whatever a file of that name holds.
  camera.calibrationFile = FileName(*name);
  camera.SetFlag(kFlagCalibrationFile, true);
  return true;
}

}  // namespace

DocumentFileRecord DocumentFileRecordOf(const Resource& document) {
  DocumentFileRecord record;
  record.description = document.Caption();
  for (int i = 0; i < document.SequenceCount(); ++i) {
    const FrameSequence& s = *document.Sequence(i);
    record.sequences.push_back(s.fileName);
    record.calibrationData.push_back(s.Has(kFlagCalibrationFile) ? s.calibrationFile : FileName());
  }
  return record;
}

bool HasDocumentFile(const Resource& document) {
  return !document.DocumentName().IsNull() && platform::FileExists(document.DocumentName().Path());
}

bool CalibrationsChanged(const Resource& document) {
  for (int i = 0; i < document.SequenceCount(); ++i)
    if (document.Sequence(i)->CalibrationDataChanged()) return true;
  return false;
}

bool DocumentFileChanged(const Resource& document) {
  if (!HasDocumentFile(document)) return false;
  const Resource::DocumentFileState& saved = document.SavedDocumentFile();
  return !saved.onDisk.IsOf(document.DocumentName().Path()) ||
         saved.held != DocumentFileRecordOf(document);
}

void NoteDocumentFileRead(Resource& document) {
  Resource::DocumentFileState& saved = document.SavedDocumentFile();
  saved.held = DocumentFileRecordOf(document);
  if (document.DocumentName().IsNull())
    saved.onDisk.Clear();
  else
    saved.onDisk.Take(document.DocumentName().Path());
}

FileSave SaveDocumentFile(Resource& document) {
  // An existing document file that would say what it says is left alone, comments and all.
  if (HasDocumentFile(document) && !DocumentFileChanged(document)) return FileSave::kWritten;
  Resource::DocumentFileState& saved = document.SavedDocumentFile();
  const DocumentFileRecord record = DocumentFileRecordOf(document);
  const FileSave result = WriteDocumentFile(document.DocumentName(), record, saved.onDisk);
  if (result == FileSave::kWritten) saved.held = record;
  return result;
}

bool WriteDocumentFile(Resource& document) {
  return SaveDocumentFile(document) == FileSave::kWritten;
}

CalibrationFileAsker SetCalibrationFileAsker(CalibrationFileAsker asker) {
  return std::exchange(Asker(), std::move(asker));
}

bool SaveDocumentFiles(Resource& document) {
  // Another program's version kept at the user's choice is no failure: the user decided.
  bool all = true;
  for (int i = 0; i < document.SequenceCount(); ++i) {
    FrameSequence& camera = *document.Sequence(i);
    if (!camera.CalibrationDataChanged()) continue;
    if (!EnsureCalibrationFileName(camera, i + 1) ||
        camera.WriteCalibrationFile() == FileSave::kFailed)
      all = false;
  }
  // After the calibrations, so that it names the data files they were written to.
  if (DocumentFileChanged(document) && SaveDocumentFile(document) == FileSave::kFailed)
    all = false;
  return all;
}

bool AskSaveDocumentFiles(Resource& document) {
  if (!CalibrationsChanged(document) && !DocumentFileChanged(document)) return true;
  switch (QuestionMessage(kUnsavedTitle, kUnsavedQuestion, document.Caption())) {
    case platform::kIdYes:
      return SaveDocumentFiles(document);
    case platform::kIdNo:
      return true;
    default:
      return false;
  }
}
