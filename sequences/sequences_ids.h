#pragma once

// Ids of the image-sequence subsystem: message texts, dialogs, controls and commands.
namespace seqid {

// Description files.
inline constexpr int kDscErrorCaption = 31000;  // "Error in DSC-file"
inline constexpr int kDscCannotOpen = 31001;
inline constexpr int kDscBadUnits = 31002;
inline constexpr int kDscBadResolution = 31003;
inline constexpr int kDscZeroRate = 31004;
inline constexpr int kDscMissingResolution = 31005;
inline constexpr int kDscMissingRate = 31006;
inline constexpr int kDscBadAspect = 31007;
inline constexpr int kDscFrameTooLarge = 31008;

// Frame files.
inline constexpr int kFrameFileErrorCaption = 31090;  // "Error in frame file"
inline constexpr int kFrameFileCannotOpen = 31091;
inline constexpr int kFrameFileTooShort = 31092;
inline constexpr int kFrameFileNoMemory = 31093;

// Raw camera files.
inline constexpr int kRawErrorCaption = 31042;  // "Error in BLD-File"
inline constexpr int kRawCannotOpen = 31043;
inline constexpr int kRawDamaged = 31044;

// Colour reduction: the set-up dialog, the progress dialog and its tasks.
inline constexpr int kColReduceSetupDialog = 20130;  // "Color Reduction"
inline constexpr int kColReduceFrom = 20131;
inline constexpr int kColReduceTo = 20132;
inline constexpr int kColReduceEvery = 20133;
inline constexpr int kColReducePopularity = 20135;
inline constexpr int kColReduceMedianCut = 20136;
inline constexpr int kColReduceHelpContext = 35001;
inline constexpr int kColReduceDialog = 20140;  // "Color Reduction"
inline constexpr int kColReduceFileName = 20141;
inline constexpr int kColReduceTask = 20143;
inline constexpr int kColReduceGauge = 20144;
inline constexpr int kColReduceHistogramTask = 20145;
inline constexpr int kColReduceMedianCutTask = 20146;
inline constexpr int kColReducePopularityTask = 20147;
inline constexpr int kColReduceTableTask = 20148;

// Image filters: the radio buttons of the filter dialog.
inline constexpr int kFilterOriginal = 20301;
inline constexpr int kFilterGreyScaleStretch = 20302;
inline constexpr int kFilterLowPass = 20303;
inline constexpr int kFilterHighPass = 20304;
inline constexpr int kFilterContrastEnhancement = 20305;
inline constexpr int kFilterSobel = 20306;
inline constexpr int kFilterPrewitt = 20307;
inline constexpr int kFilterRobertsCross = 20308;
inline constexpr int kFilterMedian = 20309;
inline constexpr int kFilterErosion = 20310;
inline constexpr int kFilterDilatation = 20311;
inline constexpr int kFilterMop8 = 20312;
inline constexpr int kFilterMop16 = 20313;
inline constexpr int kFilterMop24 = 20314;

// Filter dialog.
inline constexpr int kFilterDialog = 20300;  // "Filtering the Sequence"
inline constexpr int kFilterPaintDelay = 20315;
inline constexpr int kFilterHelpContext = 35004;

// Gamma dialog.
inline constexpr int kGammaDialog = 20350;  // "Gamma Correction"
inline constexpr int kGammaRedBar = 20351;
inline constexpr int kGammaGreenBar = 20352;
inline constexpr int kGammaBlueBar = 20353;
inline constexpr int kGammaRedText = 20354;
inline constexpr int kGammaGreenText = 20355;
inline constexpr int kGammaBlueText = 20356;
inline constexpr int kGammaKeepTogether = 20357;
inline constexpr int kGammaLinear = 20358;
inline constexpr int kGammaReset = 20359;
inline constexpr int kGammaSaveDefault = 20360;

// The window message of commands; its first parameter is the command id.
inline constexpr int kWmCommand = 273;
// The command a window gets after a filter or gamma change: prepare and repaint the image.
inline constexpr int kCmRefreshImage = 24371;

}  // namespace seqid
