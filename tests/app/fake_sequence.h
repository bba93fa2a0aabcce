#pragma once

// An image sequence of a given size, rate and length whose frames are never read from a file,
// with a view that records the notifications it gets.

#include <QObject>

#include <utility>
#include <vector>

#include "platform/events.h"
#include "sequences/framesequence.h"

class RecordingView : public QObject {
 public:
  bool event(QEvent* e) override {
    if (auto* m = platform::AsMessage(e)) {
      notifications.emplace_back(static_cast<int>(m->wParam), static_cast<int>(m->lParam));
      m->result = 1;
      return true;
    }
    return QObject::event(e);
  }
  std::vector<std::pair<int, int>> notifications;  // (code, argument)
};

class FakeSequence : public FrameSequence {
 public:
  FakeSequence(const std::string& name, int frames, float fps, int width = 64, int height = 48)
      : FrameSequence(nullptr) {
    fileName = FileName(name);
    fsData.frames = frames;
    fsData.framesPerSecond = fps;
    fsData.width = width;
    fsData.height = height;
    recorder = new RecordingView;
    view = recorder;
  }
  ~FakeSequence() override { delete recorder; }
  bool Open() override { return true; }
  void Close() override {}
  const CDIB* ReadFrame(int, bool) override { return nullptr; }
  bool IsCurrentFrame(int) const override { return false; }
  FileName& GetFileName() override { return fileName; }
  bool CanClose() override { return canClose; }
  void PreparePalette() override {}

  bool canClose = true;
  RecordingView* recorder;
};
