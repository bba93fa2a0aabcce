// Writes the starting inputs of the fuzz targets, made by the program's own writers where it has
// one (settings, clip videos, bitmaps, camera files, calibration data, document files, object
// sequences, number files, the installer's backup) and as the files users bring where it only
// reads them or they come from elsewhere (models, calibration data and document lists written on
// Windows, camera lists).
//   make_seeds folder      writes folder/<target>/<name>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/clipvideo.h"
#include "app/sequencelist.h"
#include "base/defaults.h"
#include "base/profile.h"
#include "calibration/calibrat.h"
#include "common/test_document.h"
#include "installer/backup.h"
#include "objects/asciiobj.h"
#include "objects/objects_test_util.h"
#include "objects/osfile.h"
#include "objects/subobjseq.h"
#include "platform/files.h"
#include "sequences/dib.h"

namespace fs = std::filesystem;

namespace {

fs::path g_out;

std::string Target(const char* target) {
  fs::create_directories(g_out / target);
  return (g_out / target).string();
}

void Put(const char* target, const char* name, const std::string& bytes) {
  platform::WriteFileAtomically(Target(target) + "/" + name, bytes);
}

std::string Read(const std::string& path) {
  std::string bytes;
  platform::ReadWholeFile(path, bytes);
  return bytes;
}

void Settings() {
  const std::string path = Target("settings") + "/Zorvat-Player.INI";
  AnaProfile profile(path.c_str());
  g_Profile = &profile;
  DefaultValueStruct defaults;
  defaults.ResetToDefaultValues();
  defaults.Save();
  profile.WriteString(key::kSection, key::kInitialPath, "/home/user/clips");
  g_Profile = nullptr;
}

// A clip video of grey and one of colour frames: descriptions and frame files.
void ClipVideos(const fs::path& work) {
  for (int bytesPerPixel : {1, 3}) {
    const FileName source((work / ("take" + std::to_string(bytesPerPixel) + ".avi")).string());
    std::vector<std::uint8_t> pixels(6 * 4 * bytesPerPixel);
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(i * 7);
    ClipAppend done;
    for (int f = 0; f < 3; ++f) {
      AppendClipFrame(source, 25.0f, {6, 4, bytesPerPixel, pixels.data()}, done, nullptr);
    }
    const ClipVideoFiles files = ClipVideoNames(source);
    const std::string name = bytesPerPixel == 1 ? "grey" : "colour";
    Put("description", (name + ".dsc").c_str(), Read(files.dsc));
    Put("frame_file", name.c_str(), Read(files.dsc) + std::string(1, '\0') + Read(files.bld));
  }
}

void Bitmaps() {
  for (int bits : {1, 8, 24}) {
    CDIB dib;
    dib.Create(5, 3, bits);
    Put("bitmap", ("depth" + std::to_string(bits) + ".bmp").c_str(), dib.FileBytes());
  }
}

void CalibrationFiles(const fs::path& work) {
  Calibration camera;
  camera.cameraFile = FileName((work / "camera.cam").string());
  camera.WriteCameraFile();
  Put("calibration", "camera.cam", Read(camera.cameraFile.Path()));
  std::string model = "# model\nX Y Z\n";
  for (int i = 0; i < 12; ++i) {
    model += std::to_string(i % 4 * 50) + " " + std::to_string(i / 4 * 40) + " 0\n";
  }
  Put("calibration", "model.cmo", model);
  // As the program writes it, after a calibration of a placed model.
  std::ofstream(work / "model.cmo") << model;
  camera.SetImageSize(1.0, 1.0, 320, 240);
  camera.SetCalibrationFile((work / "written.cdc").string());
  camera.SetModelFile((work / "model.cmo").string());
  camera.SetCalibrationImage((work / "frame.bld").string());
  for (int i = 0; i < camera.points.count; i += 2) camera.points.used[i] = 1;
  camera.result.f = 12.5;
  camera.SetFlag(kFlagCalibrated | kFlagFullOptimized, true);
  camera.WriteCalibrationFile();
  Put("calibration", "written.cdc", Read(camera.calibrationFile.Path()));
  Put("calibration", "calibration.cdc",
      "CALIB_IMAGE: frame.bld\r\nCAMERA: camera.cam\r\nMODEL: model.cmo\r\nCalibrated: 1\r\n"
      "sx: 1.01\r\nf: 12.5\r\nkappa1: -0.004\r\nTx: -100\r\nTy: 50\r\nTz: 1500\r\n"
      "Rx: 0.3\r\nRy: -0.2\r\nRz: 0.1\r\nPOINT_1: 120.5 88\r\nPROJPOINT_1: 100 100\r\n");
}

void DocumentLists(const fs::path& work) {
  const FileName written((work / "written.rsc").string());
  FileSnapshot none;
  WriteDocumentFile(written,
                    {"Long jump",
                     {FileName((work / "cams/a.bld").string()), FileName("/data/b.avi")},
                     {FileName((work / "a.cdc").string()), FileName()}},
                    none);
  Put("document_list", "written.rsc", Read(written.Path()));
  Put("document_list", "project.rsc",
      "# a project\r\nDESCRIPTION: Long jump\r\nSEQUENCES: 2\r\nSEQUENCE_1: cams\\a.bld\r\n"
      "SEQUENCE_2: b.avi\r\nCALIB_DATA_1: a.cdc\r\n");
  Put("document_list", "cameras.par", "CAMERAS: 2\nCAM_1: a.bld\nCAM_2: b.bld\n");
}

void ObjectSequences() {
  osfile::FileRecord file;
  file.modelFile = "../models/body.abm";
  osfile::SubRecord sub;
  sub.res = osfile::ResRecord{"Hip", 0x101, 25205, 63, 47, osfile::ColorRecord{7, 9, 11, 0xFF8040}};
  sub.tmpl = osfile::TemplateRecord{25, 19, 1, -2, 3};
  sub.lastIndex = 4;
  sub.points = {{1, 1.5f, 2.5f, 0}, {3, 640, 480, 0}};
  osfile::SubRecord other = sub;
  other.number = 3;
  file.sequences = {sub, other};
  osfile::AngleRecord angle;
  angle.name = "knee";
  angle.numbers[1] = angle.numbers[2] = 3;
  angle.swap1 = angle.swap2 = true;
  file.figure = osfile::FigureRecord{12, {{0xFF, 0, 3}}, {angle}};
  Put("object_sequences", "walk.OS", osfile::Encode(file));
}

// The export of a project's sequences: a point file and a description per sequence.
void AsciiObjects(const fs::path& work) {
  TestDocument doc(FileName((work / "walk.rsc").string()));
  FrameSequence* video =
      doc.AddFrameSequence(new TestVideo((work / "walk.avi").string(), 320, 240, 10));
  ResObjectSequence* knee = doc.ObjectSequences()->NewSequence(seqflag::kNewSequence);
  knee->name = "Knee";
  SubObjectSequence* points = objdoc::SubsOf(*video).Find(knee->number);
  for (int frame = 1; frame <= 4; ++frame) points->AddPoint(frame, 10.5f * frame, 240 - frame);
  const std::vector<ascii::ExportItem> items = ascii::ExportList(doc);
  ascii::Export(*video, work.string(), items);
  const std::string file = (work / items[0].fileName).string();
  const std::string description = ascii::DescriptionFileName(file, knee->number);
  // The first byte answers the question about decimal commas.
  Put("ascii_objects", "knee",
      std::string(1, '\0') + Read(description) + std::string(1, '\0') + Read(file));
  Put("ascii_objects", "commas",
      std::string(1, '\0') + "Hip\n1 2 3\n" + std::string(1, '\0') + "0 1,5 2,25\n1 3,0 4\n");
}

void InstallerBackup(const fs::path& work) {
  const std::string path = (work / "backup").string();
  ostrelink::WriteBackup(path,
                         {{"zorvat.desktop", ".bld", "imageviewer.desktop", "imageviewer.desktop"},
                          {"zorvat.desktop", "application/x-zorvat-vraw", "", ""}},
                         0700);
  Put("installer_backup", "backup", Read(path));
}

// Acquisition data as a recording system writes it: a binary and an ASCII channel, each with
// its description (order byte, description, zero byte, samples).
void AcquisitionData() {
  std::string binary;
  for (int i = 0; i < 64; ++i) {
    const int sample = (i * 997) & 0xFFFF;
    binary += static_cast<char>(sample & 0xFF);
    binary += static_cast<char>(sample >> 8);
  }
  const std::string zero(1, '\0');
  Put("daq", "binary", std::string(1, '\0') +
                           "DAQ_SPF: 4\nDAQ_FORMAT: BINARY\nDAQ_POLARITY: BI\n" + zero + binary);
  std::string text;
  for (int i = 0; i < 40; ++i) text += std::to_string(i * 12.5 - 100) + "\n";
  Put("daq", "ascii", std::string(1, '\1') +
                          "Rate\ndaq_spf: 0.5\ndaq_format: ASCII\ndaq_polarity: UNI\n" + zero +
                          text);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  g_out = argv[1];
  const fs::path work = g_out / "work";
  fs::create_directories(work);
  // Saving the defaults writes the colour map beside the settings: into the work folder.
  ::setenv("XDG_CONFIG_HOME", work.c_str(), 1);
  Settings();
  ClipVideos(work);
  Bitmaps();
  CalibrationFiles(work);
  DocumentLists(work);
  ObjectSequences();
  AsciiObjects(work);
  InstallerBackup(work);
  AcquisitionData();
  fs::remove_all(work);
  return 0;
}
