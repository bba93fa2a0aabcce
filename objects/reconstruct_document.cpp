// The reconstruction operations of a camera that need its document: they gather the document's
// calibrated cameras and the image points an object sequence has in them, and hand them to the
// reconstruction of calibration/reconstruct.h.

#include <vector>

#include "base/document.h"
#include "calibration/calibrat.h"
#include "calibration/reconstruct.h"
#include "objects/docaccess.h"
#include "objects/resobjseq.h"
#include "objects/subobjseq.h"
#include "sequences/framesequence.h"

namespace {

// The calibrated cameras of the document that hold a point of sequence number at the frame,
// except the one left out.
std::vector<CameraView> ViewsOf(const Document& doc, int number, int frame,
                                const Calibration* leaveOut) {
  std::vector<CameraView> views;
  for (int i = 0; i < doc.SequenceCount(); ++i) {
    FrameSequence* video = doc.Sequence(i);
    if (video == leaveOut || !video->IsCalibrated()) continue;
    const ObjectBase* p = PointWithValue(objdoc::SubsOf(*video).Find(number), frame);
    if (p) views.push_back({&video->camera, &video->result, p->x, p->y});
  }
  return views;
}

}  // namespace

void Projection::CameraRay(double c[3], double d[3], int k, float x, float y,
                           const Document& doc) const {
  if (k < 0 || k >= doc.SequenceCount()) return;
  const FrameSequence* video = doc.Sequence(k);
  ::CameraRay(video->camera, video->result, x, y, c, d);
}

void Projection::ReconstructSequence3D(float out[3], const ResObjectSequence& sequence, int frame,
                                       const Document& doc, const ResObjectSequences&) const {
  const std::vector<CameraView> views = ViewsOf(doc, sequence.number, frame, nullptr);
  if (views.size() >= 2) ReconstructPoint3D(views, out);
}

int Projection::EpipolarLine(float point[2], float direction[2], const Document& doc) const {
  const Calibration& self = AsCalibration();
  auto* mutableDoc = const_cast<Document*>(&doc);
  ResObjectSequences* all = mutableDoc->ObjectSequences();
  const ResObjectSequence* current = all ? all->GetCurrent() : nullptr;
  if (!current || !self.IsCalibrated()) return 0;
  const std::vector<CameraView> views = ViewsOf(doc, current->number, doc.CurrentFrame(), &self);
  if (views.size() != 1) return 0;
  return EpipolarLineOfView(views.front(), self.result, point, direction) ? 1 : 0;
}
