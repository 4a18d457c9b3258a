// The system's constants that the controls' portable rules need: window,
// button, static and dialog styles, DrawText flags, button answers and
// dialog codes, with the platform's values but without <windows.h>.
// system_constants_check.cpp (compiled in the Windows builds) checks each
// against the system's own header. A new control adds the constants its rules
// read here, and their checks there.
#pragma once
#include <cstdint>

namespace kelmard {
namespace sys {

using Bits = std::uint32_t;

// Window styles.
constexpr Bits kWsTabStop = 0x00010000, kWsGroup = 0x00020000, kWsDisabled = 0x08000000;

// Button styles: the type in the low four bits, then content and alignment.
constexpr Bits kBsTypeMask = 0x0F;
constexpr Bits kBsPushButton = 0, kBsDefPushButton = 1, kBsCheckBox = 2, kBsAutoCheckBox = 3, kBsRadioButton = 4,
               kBs3State = 5, kBsAuto3State = 6, kBsGroupBox = 7, kBsAutoRadioButton = 9, kBsOwnerDraw = 11;
constexpr Bits kBsLeftText = 0x20, kBsIcon = 0x40, kBsBitmap = 0x80;
constexpr Bits kBsLeft = 0x100, kBsRight = 0x200, kBsCenter = 0x300;  // kBsCenter is also the horizontal mask
constexpr Bits kBsTop = 0x400, kBsBottom = 0x800, kBsVCenter = 0xC00;  // kBsVCenter is also the vertical mask
constexpr Bits kBsPushLike = 0x1000, kBsMultiLine = 0x2000, kBsNotify = 0x4000;

// Button answers (BM_GETCHECK, BM_GETSTATE) and the values of BM_SETCHECK.
constexpr Bits kBstUnchecked = 0, kBstChecked = 1, kBstIndeterminate = 2, kBstPushed = 4, kBstFocus = 8;

// Dialog codes (WM_GETDLGCODE).
constexpr Bits kDlgcDefPushButton = 0x10, kDlgcUndefPushButton = 0x20, kDlgcRadioButton = 0x40,
               kDlgcStatic = 0x100, kDlgcButton = 0x2000;

// Static styles: the kind in the low five bits.
constexpr Bits kSsTypeMask = 0x1F;
constexpr Bits kSsLeft = 0x00, kSsCenter = 0x01, kSsRight = 0x02, kSsSimple = 0x0B, kSsLeftNoWordWrap = 0x0C;
constexpr Bits kSsNoPrefix = 0x80, kSsCenterImage = 0x200, kSsSunken = 0x1000;
constexpr Bits kSsEllipsisMask = 0xC000, kSsEndEllipsis = 0x4000, kSsPathEllipsis = 0x8000, kSsWordEllipsis = 0xC000;

// Dialog styles.
constexpr Bits kDsSetFont = 0x40;

// DrawText flags.
constexpr Bits kDtTop = 0, kDtLeft = 0, kDtCenter = 0x1, kDtRight = 0x2, kDtVCenter = 0x4, kDtBottom = 0x8,
               kDtWordBreak = 0x10, kDtSingleLine = 0x20, kDtNoPrefix = 0x800, kDtPathEllipsis = 0x4000,
               kDtEndEllipsis = 0x8000, kDtWordEllipsis = 0x40000;

// Trackbar styles and the scroll codes of its WM_HSCROLL / WM_VSCROLL
// notifications; the keys the slider answers.
constexpr Bits kTbsVert = 0x2;
constexpr Bits kTbLineUp = 0, kTbLineDown = 1, kTbPageUp = 2, kTbPageDown = 3, kTbThumbPosition = 4,
               kTbThumbTrack = 5, kTbTop = 6, kTbBottom = 7, kTbEndTrack = 8;
constexpr Bits kVkPrior = 0x21, kVkNext = 0x22, kVkEnd = 0x23, kVkHome = 0x24, kVkLeft = 0x25, kVkUp = 0x26,
               kVkRight = 0x27, kVkDown = 0x28;
// Up-down (spin) styles and the dialog code of a spin that takes the arrow keys.
constexpr Bits kUdsWrap = 0x1, kUdsSetBuddyInt = 0x2, kUdsAlignRight = 0x4, kUdsAlignLeft = 0x8, kUdsAutoBuddy = 0x10,
               kUdsArrowKeys = 0x20, kUdsHorz = 0x40;
constexpr Bits kDlgcWantArrows = 0x1;
// Tab control styles.
constexpr Bits kTcsBottom = 0x2, kTcsForceIconLeft = 0x10, kTcsForceLabelLeft = 0x20, kTcsRaggedRight = 0x800;
// List box styles, the styles the system list keeps, and the keys the list reads.
constexpr Bits kLbsNotify = 0x1, kLbsSort = 0x2, kLbsNoRedraw = 0x4, kLbsMultipleSel = 0x8, kLbsOwnerDrawFixed = 0x10,
               kLbsOwnerDrawVariable = 0x20, kLbsNoIntegralHeight = 0x100, kLbsMultiColumn = 0x200,
               kLbsExtendedSel = 0x800, kLbsDisableNoScroll = 0x1000, kLbsNoData = 0x2000, kLbsNoSel = 0x4000,
               kLbsComboBox = 0x8000;
constexpr Bits kLbsSystemOnly = kLbsMultipleSel | kLbsOwnerDrawFixed | kLbsOwnerDrawVariable | kLbsMultiColumn |
                                kLbsExtendedSel | kLbsNoData;
constexpr Bits kVkSpace = 0x20, kVkF4 = 0x73;


// Combo box: its kinds and styles, the styles it gives its list and edit
// children, its messages and the list box messages they become, its
// notifications and the dialog code it answers while its list is open.
constexpr Bits kCbsSimple = 0x1, kCbsDropDown = 0x2, kCbsDropDownList = 0x3, kCbsKindMask = 0x3;
constexpr Bits kCbsAutoHScroll = 0x40, kCbsOemConvert = 0x80, kCbsSort = 0x100, kCbsNoIntegralHeight = 0x400,
               kCbsDisableNoScroll = 0x800, kCbsUpperCase = 0x2000, kCbsLowerCase = 0x4000;
constexpr Bits kEsUpperCase = 0x8, kEsLowerCase = 0x10, kEsAutoHScroll = 0x80, kEsNoHideSel = 0x100,
               kEsOemConvert = 0x400;
constexpr Bits kWsChild = 0x40000000, kWsVisible = 0x10000000, kWsClipSiblings = 0x04000000, kWsBorder = 0x00800000,
               kWsVScroll = 0x00200000, kWsHScroll = 0x00100000, kWsThickFrame = 0x00040000;
constexpr Bits kCbGetEditSel = 0x140, kCbLimitText = 0x141, kCbSetEditSel = 0x142, kCbAddString = 0x143,
               kCbDeleteString = 0x144, kCbDir = 0x145, kCbGetCount = 0x146, kCbGetCurSel = 0x147,
               kCbGetLbText = 0x148, kCbGetLbTextLen = 0x149, kCbInsertString = 0x14A, kCbResetContent = 0x14B,
               kCbFindString = 0x14C, kCbSelectString = 0x14D, kCbSetCurSel = 0x14E, kCbShowDropDown = 0x14F,
               kCbGetItemData = 0x150, kCbSetItemData = 0x151, kCbGetDroppedControlRect = 0x152,
               kCbSetItemHeight = 0x153, kCbGetItemHeight = 0x154, kCbSetExtendedUi = 0x155,
               kCbGetExtendedUi = 0x156, kCbGetDroppedState = 0x157, kCbFindStringExact = 0x158,
               kCbSetLocale = 0x159, kCbGetLocale = 0x15A, kCbGetTopIndex = 0x15B, kCbSetTopIndex = 0x15C,
               kCbGetHorizontalExtent = 0x15D, kCbSetHorizontalExtent = 0x15E, kCbGetDroppedWidth = 0x15F,
               kCbSetDroppedWidth = 0x160, kCbInitStorage = 0x161;
constexpr Bits kLbAddString = 0x180, kLbInsertString = 0x181, kLbDeleteString = 0x182, kLbResetContent = 0x184,
               kLbSetCurSel = 0x186, kLbGetCurSel = 0x188, kLbGetText = 0x189, kLbGetTextLen = 0x18A,
               kLbGetCount = 0x18B, kLbSelectString = 0x18C, kLbDir = 0x18D, kLbGetTopIndex = 0x18E,
               kLbFindString = 0x18F, kLbGetHorizontalExtent = 0x193, kLbSetHorizontalExtent = 0x194,
               kLbSetTopIndex = 0x197, kLbGetItemData = 0x199, kLbSetItemData = 0x19A, kLbSetItemHeight = 0x1A0,
               kLbGetItemHeight = 0x1A1, kLbFindStringExact = 0x1A2, kLbSetLocale = 0x1A5, kLbGetLocale = 0x1A6,
               kLbInitStorage = 0x1A8;
constexpr Bits kCbnSelChange = 1, kCbnDblClk = 2, kCbnSetFocus = 3, kCbnKillFocus = 4, kCbnEditChange = 5,
               kCbnEditUpdate = 6, kCbnDropDown = 7, kCbnCloseUp = 8, kCbnSelEndOk = 9, kCbnSelEndCancel = 10;
constexpr Bits kDlgcWantMessage = 0x4, kDlgcWantChars = 0x80;
constexpr Bits kVkReturn = 0x0D, kVkEscape = 0x1B;

}  // namespace sys
}  // namespace kelmard
