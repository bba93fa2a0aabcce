#pragma once

// Ids of the application frame's dialogs, controls and texts.
namespace ids {
inline constexpr int kErrorDialog = 20010;     // caption "Error"
inline constexpr int kQuestionDialog = 20011;  // caption "Question"
inline constexpr int kMessageText = 20012;
inline constexpr int kErrorPicture = 1453;
inline constexpr int kQuestionPicture = 1454;
}  // namespace ids

// Commands of the main menu, toolbar and accelerators (one id serves the action, its bitmap,
// its status text and its help context).
namespace cmd {
inline constexpr int kHelpContents = 2001;
inline constexpr int kHowToUse = 2002;
inline constexpr int kContextHelp = 2003;
inline constexpr int kAbout = 2009;
inline constexpr int kExit = 24310;
inline constexpr int kLoadMultiple = 24331;
inline constexpr int kLoadImageSequence = 24332;
inline constexpr int kPrint = 24337;
inline constexpr int kPrinterSetup = 24338;
// The print preview's buttons.
inline constexpr int kPreviewPrevious = 24500, kPreviewNext = 24501, kPreviewExit = 24505;
inline constexpr int kClose = 24339;
inline constexpr int kPageSetup = 24342;
inline constexpr int kLoadConfiguration = 24350;
inline constexpr int kSaveConfiguration = 24351;
inline constexpr int kCascade = 24361;
inline constexpr int kTile = 24362;
inline constexpr int kArrangeIcons = 24364;
inline constexpr int kCloseAll = 24365;
inline constexpr int kSmartTile = 24367;
inline constexpr int kZoomIn = 24368;
inline constexpr int kZoomOut = 24369;
inline constexpr int kSetFit = 24370;
inline constexpr int kOriginUnits = 24372;
inline constexpr int kRedockToolbar = 24373;
inline constexpr int kPlay = 25001;
inline constexpr int kStop = 25002;
inline constexpr int kNextFrame = 25003;
inline constexpr int kPreviousFrame = 25004;
inline constexpr int kLastFrame = 25005;
inline constexpr int kFirstFrame = 25006;
inline constexpr int kFilter = 25010;
inline constexpr int kGamma = 25011;
inline constexpr int kCalibration = 25012;
inline constexpr int kDocumentFiles = 25013;
inline constexpr int kZoomLayout = 25014;
inline constexpr int kOnlyActualObjects = 25071;
inline constexpr int kObjectsAllFrames = 25072;
inline constexpr int kConnectionsAndAngles = 25073;
inline constexpr int kConnections = 25074;
inline constexpr int kCentersOfMass = 25075;
inline constexpr int kShowDialogs = 25076;
inline constexpr int kInfo = 25077;
inline constexpr int kDevCaps = 25078;
inline constexpr int kAbortBitmap = 25090;
inline constexpr int kCancel = 25091;
inline constexpr int kAddToClipVideo = 25095;
inline constexpr int kNewObjectSequence = 25101;
inline constexpr int kDeleteObjectSequence = 25102;
inline constexpr int kUndelete = 25103;
inline constexpr int kSetObject = 25105;
inline constexpr int kDeleteObject = 25106;
inline constexpr int kSmartObjectPosition = 25107;
inline constexpr int kEditObjectSequence = 25108;
inline constexpr int kObjectEditor = 25109;
inline constexpr int kSaveObjects = 25110;
inline constexpr int kSaveAsNew = 25111;
inline constexpr int kLoadObjects = 25112;
inline constexpr int kExport = 25113;
inline constexpr int kImport = 25114;
inline constexpr int kSelectObjectModel = 25116;
inline constexpr int kEditPositionModel = 25117;
inline constexpr int kInsertInList = 25118;
inline constexpr int kDeleteObjectModel = 25119;
inline constexpr int kPresetting = 25120;
inline constexpr int kCopySequence = 25121;
inline constexpr int kTrackToEnd = 25200;
inline constexpr int kTrackNext = 25201;
inline constexpr int kTrackBack = 25202;
inline constexpr int kTrackToBegin = 25203;
inline constexpr int kAnalyzeXt = 25301;
inline constexpr int kAnalyzeYt = 25304;
inline constexpr int kAnalyzeZt = 25307;
inline constexpr int kAnalyzeYx = 25310;
inline constexpr int kAnalyzeLast = 25358;
inline constexpr int kStickFigure = 25360;
inline constexpr int kReticules = 25379;
inline constexpr int kFrameNumbers = 25381;
}  // namespace cmd

// The main window and its parts.
namespace ids {
inline constexpr int kMainMenu = 100;  // menu and accelerator table of the main window
inline constexpr int kAppIcon = 1003;
inline constexpr int kHelpCursor = 24000;
inline constexpr int kToolbarWindow = 32041;
inline constexpr int kFrameSlider = 22224;
inline constexpr int kFrameField = 12345;
inline constexpr int kStatusFrame = 1;        // status-bar text gadget of the frame number
inline constexpr int kStatusText2 = 2;        // status-bar text gadget of the second text
inline constexpr int kStatusMessage = 30000;  // the hint area
inline constexpr int kAboutDialog = 20000;
inline constexpr int kAboutPicture1 = 1450;
inline constexpr int kAboutPicture2 = 1451;
inline constexpr int kAboutVersion = 20001;
inline constexpr int kAboutFileVersion = 20002;
inline constexpr int kAboutCopyright = 20003;
inline constexpr int kAboutSpecialBuild = 20004;
inline constexpr int kAboutSpare = 20005;

// Texts of the shell.
inline constexpr int kAppName = 3001;            // "Zorvatrack"
inline constexpr int kToolbarCaption = 3200;     // "Zorvatrack Toolbar"
inline constexpr int kStatusFrameFormat = 3201;  // "Frame: %d"
inline constexpr int kAboutCaption = 3220;       // "Info"
inline constexpr int kAboutVersionText = 3221;   // "Version"
inline constexpr int kAboutLine = 3222;    // "Automatic tracking of objects in image sequences."
inline constexpr int kAboutFormat = 3223;  // "%s PLAYER %s %s"
inline constexpr int kHelpCaption = 3230;  // "Zorvatrack Help"

// The document's frame-change message (WM_GOTOFRAME); its first parameter is the frame number.
inline constexpr int kMsgGoToFrame = 26000;
}  // namespace ids
