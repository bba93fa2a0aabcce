#pragma once

// Ids of the video sequence: its messages and the AVI properties and frame-rate dialogs.
namespace aviid {

inline constexpr int kErrorCaption = 31035;  // "Error in AVI-File"
inline constexpr int kCannotOpen = 31036;
inline constexpr int kCorrupt = 31037;
inline constexpr int kNoHandler = 31038;
inline constexpr int kNoFormat = 31040;
inline constexpr int kNoDecompressor = 31041;
inline constexpr int kUndecodable = 31034;  // the decoder shows no picture for the first frame
inline constexpr int kTooLarge = 31048;  // the frame size exceeds what a working bitmap holds
inline constexpr int kNoMemory = 31049;  // memory ran out while opening
inline constexpr int kDeclaredTooLarge = 31039;  // the stream declares more than the reader takes
inline constexpr int kCounting = 31045;          // status: the frames are being counted
inline constexpr int kReadingDamaged = 31047;    // status: a cut file's damaged frames are decoded

// "AVI Properties"
inline constexpr int kPropertiesDialog = 20200;
inline constexpr int kFileGroup = 20201;
inline constexpr int kDescription = 20202;
inline constexpr int kSize = 20203;
inline constexpr int kDepth = 20204;
inline constexpr int kFrames = 20205;
inline constexpr int kRate = 20206;
inline constexpr int kFirstFrame = 20207;
inline constexpr int kTrueColour = 20208;
inline constexpr int kGreyscale = 20209;
inline constexpr int kModeNone = 20210;  // 20210 + half-frame mode
inline constexpr int kModeSimple = 20211;
inline constexpr int kModeAspect = 20212;
inline constexpr int kModeCorrect = 20213;
inline constexpr int kModeInterpolate = 20214;
inline constexpr int kPreview = 20215;
inline constexpr int kPreviewBar = 20216;
inline constexpr int kUseStartPosition = 20217;
inline constexpr int kChangeRate = 20218;
inline constexpr int kOddFirst = 101;
inline constexpr int kPropertiesHelp = 35021;

// "Frequence in original AVI-File"
inline constexpr int kRateDialog = 20230;
inline constexpr int kStreamRate = 20231;
inline constexpr int kRateEdit = 20232;
inline constexpr int kRateHelp = 35020;

}  // namespace aviid
