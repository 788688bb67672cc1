#pragma once

#include <QObject>
#include <QtGlobal>

// The enumerations the standard controls and windows publish. They live in a Qt meta-namespace
// so form descriptions can name their values; the values are brought into the global namespace
// below, where the class library's types live. Q_PROPERTY declarations name the types
// qualified (framework::TAlignment) so the property system finds them.
namespace framework {
Q_NAMESPACE

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
Q_ENUM_NS(TAlignment)

enum TTextLayout { tlTop, tlCenter, tlBottom };
Q_ENUM_NS(TTextLayout)

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
Q_ENUM_NS(TAlign)

enum TCursor {
    crSizeAll = -22,
    crHandPoint = -21,
    crHelp = -20,
    crAppStart = -19,
    crNo = -18,
    crSQLWait = -17,
    crMultiDrag = -16,
    crVSplit = -15,
    crHSplit = -14,
    crNoDrop = -13,
    crDrag = -12,
    crHourGlass = -11,
    crUpArrow = -10,
    crSizeWE = -9,
    crSizeNWSE = -8,
    crSizeNS = -7,
    crSizeNESW = -6,
    crIBeam = -4,
    crCross = -3,
    crArrow = -2,
    crNone = -1,
    crDefault = 0,
};
Q_ENUM_NS(TCursor)

enum TMouseButton { mbLeft, mbRight, mbMiddle };
Q_ENUM_NS(TMouseButton)

enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };
Q_ENUM_NS(TShapeType)

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
Q_ENUM_NS(TBevelShape)

enum TBevelStyle { bsLowered, bsRaised };
Q_ENUM_NS(TBevelStyle)

enum TPanelBevel { bvNone, bvLowered, bvRaised, bvSpace };
Q_ENUM_NS(TPanelBevel)

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
Q_ENUM_NS(TFormBorderStyle)

enum TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};
Q_ENUM_NS(TPosition)

enum TFormStyle { fsNormal, fsStayOnTop };
Q_ENUM_NS(TFormStyle)

enum TWindowState { wsNormal, wsMinimized, wsMaximized };
Q_ENUM_NS(TWindowState)

// Keys and buttons held during a mouse or key event.
enum TShiftFlag : unsigned {
    ssShift = 0x01,
    ssAlt = 0x02,
    ssCtrl = 0x04,
    ssLeft = 0x08,
    ssRight = 0x10,
    ssMiddle = 0x20,
    ssDouble = 0x40,
};

} // namespace framework

using framework::TAlign;
using framework::TAlignment;
using framework::TBevelShape;
using framework::TBevelStyle;
using framework::TCursor;
using framework::TFormBorderStyle;
using framework::TFormStyle;
using framework::TMouseButton;
using framework::TPanelBevel;
using framework::TPosition;
using framework::TShapeType;
using framework::TShiftFlag;
using framework::TTextLayout;
using framework::TWindowState;
using enum framework::TAlignment;
using enum framework::TTextLayout;
using enum framework::TAlign;
using enum framework::TCursor;
using enum framework::TMouseButton;
using enum framework::TShapeType;
using enum framework::TBevelShape;
using enum framework::TBevelStyle;
using enum framework::TPanelBevel;
using enum framework::TFormBorderStyle;
using enum framework::TPosition;
using enum framework::TFormStyle;
using enum framework::TWindowState;
using enum framework::TShiftFlag;

// A set of TShiftFlag values.
using TShiftState = unsigned;
