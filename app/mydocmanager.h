#pragma once

// MyDocManager: turns files into documents. It owns the commands that open image sequences and
// document files, close the active document, change the presettings of new object sequences,
// step and play the frames of the active document and add its current image to a clip video.
// It chooses the image-sequence reader by a file's extension.

#include <memory>
#include <string>

#include "base/filename.h"
#include "platform/commands.h"

class FrameSequence;
class Resource;

class MyDocManager : public platform::CommandTarget {
 public:
  MyDocManager();

  const platform::CommandTable& Commands() const override;

  void CmLoadImageSequence();
  void CmLoadMultipleSequences();
  void CmClose();
  void CmPresettings();
  void CmPlayer(int id);
  void CmAddToClipVideo();
  void CePlayer(platform::CommandEnabler& ce);
  void CeClose(platform::CommandEnabler& ce);
  void CeAddToClipVideo(platform::CommandEnabler& ce);
  void CeNever(platform::CommandEnabler& ce) { ce.Enable(false); }

  // One playback step while the message queue is empty; true asks for more idle time.
  bool IdlePlay();

  // Opens file as a document (no dialog): the work of Load Image Sequence after the choice.
  // Returns the document, or null when loading failed (the reason was shown).
  Resource* LoadDocument(const FileName& file);

  // Any open document (or only doc) holds a sequence of this path.
  static bool IsSequenceLoaded(const std::string& path);
  static bool IsSequenceInDocument(const std::string& path, const Resource& doc);
  // Makes, opens and adds the sequence of file to doc (with its view); false when it could not
  // be opened.
  static bool AddSequence(Resource& doc, const FileName& file, bool fromList);

  int LastFilterIndex() const { return lastFilterIndex_; }

 private:
  // Makes the window of a loaded document; null when its set-up did not complete.
  Resource* OpenWindow(std::unique_ptr<Resource> doc);
  // The active document with more than one frame, whose frames the player may step.
  Resource* PlayableDocument() const;
  void StepTo(Resource& doc, int frame);

  int lastFilterIndex_ = 1;
};

// The reader object for a file by its kind (not opened).
std::unique_ptr<FrameSequence> MakeFrameSequence(const FileName& file, bool fromList,
                                                 Resource* document);
