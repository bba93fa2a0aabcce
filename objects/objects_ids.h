#pragma once

// Ids of the object subsystem: string-table entries, dialogs and the flag bits and masks of the
// project's object sequences.

#include <cstdint>

namespace objects_ids {

// Messages.
inline constexpr int kIoErrorCaption = 31050;      // "Input/output error"
inline constexpr int kFileCannotBeOpened = 31060;  // "The file %s can not be opened."
inline constexpr int kFileDamaged = 31083;         // "The file %s is damaged or is no ..."
inline constexpr int kPointCannotBeDrawn = 31061;
inline constexpr int kSizesCannotBeDrawn = 31069;
inline constexpr int kNumberTooLarge = 31068;
inline constexpr int kModelWarningCaption = 31150;
inline constexpr int kModelObjectsNotInFrame = 31151;
inline constexpr int kModelConflictCaption = 31156;
inline constexpr int kModelConflictText = 31157;

// The object-sequence version dialog.
// The dialog and its caption share the id; the controls' ids are the dialog's own.
inline constexpr int kLoadVersionDialog = 1600;
inline constexpr int kLoadVersionCaption = 1600;
inline constexpr int kLoadVersionText = 1601;
inline constexpr int kLoadVersionLabel = 1602;
inline constexpr int kLoadVersionEdit = 1603;

}  // namespace objects_ids

// Flag bits of a ResObjectSequence.
namespace seqflag {
inline constexpr std::uint32_t kTracked = 0x001;
inline constexpr std::uint32_t kHidden = 0x002;
inline constexpr std::uint32_t kDeleted = 0x004;
inline constexpr std::uint32_t kCenterOfMass = 0x008;
inline constexpr std::uint32_t kImpulse = 0x010;
inline constexpr std::uint32_t kForce = 0x020;
inline constexpr std::uint32_t kMomentOfMomentum = 0x040;
inline constexpr std::uint32_t kTorsion = 0x080;
inline constexpr std::uint32_t kPresent = 0x100;
inline constexpr std::uint32_t kCenterOfMassKind = 0x200;
inline constexpr std::uint32_t kSegmentKind = 0x400;
inline constexpr std::uint32_t kModelResultFromFile = 0x1000;

inline constexpr std::uint32_t kNewSequence = kPresent | kTracked;  // 0x101
}  // namespace seqflag

// Masks of SequenceIterator and ResObjectSequences::Find: a sequence passes when it has no flag
// outside the mask.
namespace seqmask {
inline constexpr std::uint32_t kAll = 0xFFFF;
inline constexpr std::uint32_t kOrdinary = 0x103;  // neither deleted nor a body-model result
inline constexpr std::uint32_t kDeleted = 0x007;
inline constexpr std::uint32_t kModelResults = 0x6F8;
inline constexpr std::uint32_t kTrackedOnly = 0x001;
inline constexpr std::uint32_t kPaintAll = 0x30B;  // hidden and centre-of-mass sequences too
}  // namespace seqmask

inline bool PassesMask(std::uint32_t flags, std::uint32_t mask) { return (flags & mask) == flags; }
