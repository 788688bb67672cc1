#pragma once

#include <QFlags>
#include <QObject>

// The enumerations and sets the browse edits and the folder dialog publish. They live in a Qt
// meta-namespace so form descriptions can name their values, and are brought into the global
// namespace below. Q_PROPERTY declarations name the types qualified (controls::TOpenOptions).
namespace controls {
Q_NAMESPACE

// How the edit draws its border. bmWindows: the platform's sunken client edge around the client
// area; bmFlat: a one-pixel frame the edit draws inside its client area; bmNone: no border.
enum TEditBevelMode { bmNone, bmWindows, bmFlat };
Q_ENUM_NS(TEditBevelMode)

// The class library's file-open dialog options.
enum TOpenOption : unsigned {
    ofReadOnly = 1u << 0,
    ofOverwritePrompt = 1u << 1,
    ofHideReadOnly = 1u << 2,
    ofNoChangeDir = 1u << 3,
    ofShowHelp = 1u << 4,
    ofNoValidate = 1u << 5,
    ofAllowMultiSelect = 1u << 6,
    ofExtensionDifferent = 1u << 7,
    ofPathMustExist = 1u << 8,
    ofFileMustExist = 1u << 9,
    ofCreatePrompt = 1u << 10,
    ofShareAware = 1u << 11,
    ofNoReadOnlyReturn = 1u << 12,
    ofNoTestFileCreate = 1u << 13,
    ofNoNetworkButton = 1u << 14,
    ofNoLongNames = 1u << 15,
    ofOldStyleDialog = 1u << 16,
    ofNoDereferenceLinks = 1u << 17,
    ofEnableIncludeNotify = 1u << 18,
    ofEnableSizing = 1u << 19,
    ofDontAddToRecent = 1u << 20,
    ofForceShowHidden = 1u << 21,
};
Q_DECLARE_FLAGS(TOpenOptions, TOpenOption)
Q_FLAG_NS(TOpenOptions)

enum TBrowseDlgOption : unsigned {
    doBrowseForComputer = 1u << 0,
    doBrowseForPrinter = 1u << 1,
    doDontGoBelowDomain = 1u << 2,
    doReturnFileSysAncestors = 1u << 3,
    doReturnFileSysDirs = 1u << 4,
    doStatusText = 1u << 5,
    doShowFiles = 1u << 6,
    doAllowEdit = 1u << 7,
    doShowPath = 1u << 8,
    doEnableOK = 1u << 9,
};
Q_DECLARE_FLAGS(TBrowseDlgOptions, TBrowseDlgOption)
Q_FLAG_NS(TBrowseDlgOptions)

// The root of the folder browser, valued by the platform's special-folder numbers.
// bfoDesktopExpanded is no folder number at all: the dialog keeps its default root.
enum TSystemFolders {
    bfoDesktop = 0,
    bfoInternet = 1,
    bfoPrograms = 2,
    bfoControlPanel = 3,
    bfoPrinters = 4,
    bfoPersonal = 5,
    bfoFavorites = 6,
    bfoStartup = 7,
    bfoRecent = 8,
    bfoSendto = 9,
    bfoRecycleBin = 10,
    bfoStartMenu = 11,
    bfoDesktopDirectory = 16,
    bfoMyComputer = 17,
    bfoNetwork = 18,
    bfoNetworkNeighborhood = 19,
    bfoFonts = 20,
    bfoTemplates = 21,
    bfoCommonStartMenu = 22,
    bfoCommonPrograms = 23,
    bfoCommonStartup = 24,
    bfoCommonDesktopDirectory = 25,
    bfoAppData = 26,
    bfoPrintHood = 27,
    bfoAltStartup = 29,
    bfoCommonAltstartup = 30,
    bfoCommonFavorites = 31,
    bfoInternetChache = 32,
    bfoCookies = 33,
    bfoHistory = 34,
    bfoDesktopExpanded = 0xFEFE,
};
Q_ENUM_NS(TSystemFolders)

// Where the folder browser places itself within its target rectangle.
enum TDlgPosition {
    bpCustom,
    bpTopLeft,
    bpTopCenter,
    bpTopRight,
    bpCenterLeft,
    bpCenter,
    bpCenterRight,
    bpBottomLeft,
    bpBottomCenter,
    bpBottomRight
};
Q_ENUM_NS(TDlgPosition)

// The rectangle the folder browser is placed in.
enum TDlgPosRel { brScreen, brScreenWorkArea, brMainForm, brActiveWindow };
Q_ENUM_NS(TDlgPosRel)

} // namespace controls

Q_DECLARE_OPERATORS_FOR_FLAGS(controls::TOpenOptions)
Q_DECLARE_OPERATORS_FOR_FLAGS(controls::TBrowseDlgOptions)

using controls::TBrowseDlgOption;
using controls::TBrowseDlgOptions;
using controls::TDlgPosition;
using controls::TDlgPosRel;
using controls::TEditBevelMode;
using controls::TOpenOption;
using controls::TOpenOptions;
using controls::TSystemFolders;
using enum controls::TEditBevelMode;
using enum controls::TOpenOption;
using enum controls::TBrowseDlgOption;
using enum controls::TSystemFolders;
using enum controls::TDlgPosition;
using enum controls::TDlgPosRel;
