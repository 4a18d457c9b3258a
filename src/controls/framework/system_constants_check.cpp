// Compiled in the Windows builds only: every constant of the portable
// system_constants.h and the portable rectangle equal the system's own.
#include <windows.h>
#include <commctrl.h>  // the trackbar's styles and codes

#include <cstddef>

#include "controls/framework/geometry.h"
#include "controls/framework/system_constants.h"

namespace kelmard {
namespace sys {

static_assert(kWsTabStop == WS_TABSTOP && kWsGroup == WS_GROUP && kWsDisabled == WS_DISABLED, "window styles");

static_assert(kBsTypeMask == BS_TYPEMASK && kBsPushButton == BS_PUSHBUTTON && kBsDefPushButton == BS_DEFPUSHBUTTON &&
                  kBsCheckBox == BS_CHECKBOX && kBsAutoCheckBox == BS_AUTOCHECKBOX &&
                  kBsRadioButton == BS_RADIOBUTTON && kBs3State == BS_3STATE && kBsAuto3State == BS_AUTO3STATE &&
                  kBsGroupBox == BS_GROUPBOX && kBsAutoRadioButton == BS_AUTORADIOBUTTON &&
                  kBsOwnerDraw == BS_OWNERDRAW,
              "button types");
static_assert(kBsLeftText == BS_LEFTTEXT && kBsIcon == BS_ICON && kBsBitmap == BS_BITMAP && kBsLeft == BS_LEFT &&
                  kBsRight == BS_RIGHT && kBsCenter == BS_CENTER && kBsTop == BS_TOP && kBsBottom == BS_BOTTOM &&
                  kBsVCenter == BS_VCENTER && kBsPushLike == BS_PUSHLIKE && kBsMultiLine == BS_MULTILINE &&
                  kBsNotify == BS_NOTIFY,
              "button styles");
static_assert(kBstUnchecked == BST_UNCHECKED && kBstChecked == BST_CHECKED && kBstIndeterminate == BST_INDETERMINATE &&
                  kBstPushed == BST_PUSHED && kBstFocus == BST_FOCUS,
              "button answers");
static_assert(kDlgcDefPushButton == DLGC_DEFPUSHBUTTON && kDlgcUndefPushButton == DLGC_UNDEFPUSHBUTTON &&
                  kDlgcRadioButton == DLGC_RADIOBUTTON && kDlgcStatic == DLGC_STATIC && kDlgcButton == DLGC_BUTTON,
              "dialog codes");

static_assert(kSsTypeMask == SS_TYPEMASK && kSsLeft == SS_LEFT && kSsCenter == SS_CENTER && kSsRight == SS_RIGHT &&
                  kSsSimple == SS_SIMPLE && kSsLeftNoWordWrap == SS_LEFTNOWORDWRAP,
              "static kinds");
static_assert(kSsNoPrefix == SS_NOPREFIX && kSsCenterImage == SS_CENTERIMAGE && kSsSunken == SS_SUNKEN &&
                  kSsEllipsisMask == SS_ELLIPSISMASK && kSsEndEllipsis == SS_ENDELLIPSIS &&
                  kSsPathEllipsis == SS_PATHELLIPSIS && kSsWordEllipsis == SS_WORDELLIPSIS,
              "static styles");

static_assert(kDsSetFont == DS_SETFONT, "dialog styles");

static_assert(kDtTop == DT_TOP && kDtLeft == DT_LEFT && kDtCenter == DT_CENTER && kDtRight == DT_RIGHT &&
                  kDtVCenter == DT_VCENTER && kDtBottom == DT_BOTTOM && kDtWordBreak == DT_WORDBREAK &&
                  kDtSingleLine == DT_SINGLELINE && kDtNoPrefix == DT_NOPREFIX &&
                  kDtPathEllipsis == DT_PATH_ELLIPSIS && kDtEndEllipsis == DT_END_ELLIPSIS &&
                  kDtWordEllipsis == DT_WORD_ELLIPSIS,
              "DrawText flags");

static_assert(kTbsVert == TBS_VERT && kTbLineUp == TB_LINEUP && kTbLineDown == TB_LINEDOWN &&
                  kTbPageUp == TB_PAGEUP && kTbPageDown == TB_PAGEDOWN && kTbThumbPosition == TB_THUMBPOSITION &&
                  kTbThumbTrack == TB_THUMBTRACK && kTbTop == TB_TOP && kTbBottom == TB_BOTTOM &&
                  kTbEndTrack == TB_ENDTRACK,
              "trackbar styles and scroll codes");
static_assert(kVkPrior == VK_PRIOR && kVkNext == VK_NEXT && kVkEnd == VK_END && kVkHome == VK_HOME &&
                  kVkLeft == VK_LEFT && kVkUp == VK_UP && kVkRight == VK_RIGHT && kVkDown == VK_DOWN,
              "the slider's keys");
static_assert(kUdsWrap == UDS_WRAP && kUdsSetBuddyInt == UDS_SETBUDDYINT && kUdsAlignRight == UDS_ALIGNRIGHT &&
                  kUdsAlignLeft == UDS_ALIGNLEFT && kUdsAutoBuddy == UDS_AUTOBUDDY && kUdsArrowKeys == UDS_ARROWKEYS &&
                  kUdsHorz == UDS_HORZ && kDlgcWantArrows == DLGC_WANTARROWS,
              "up-down styles");
static_assert(kTcsBottom == TCS_BOTTOM && kTcsForceIconLeft == TCS_FORCEICONLEFT &&
                  kTcsForceLabelLeft == TCS_FORCELABELLEFT && kTcsRaggedRight == TCS_RAGGEDRIGHT,
              "tab control styles");
static_assert(kLbsNotify == LBS_NOTIFY && kLbsSort == LBS_SORT && kLbsNoRedraw == LBS_NOREDRAW &&
                  kLbsMultipleSel == LBS_MULTIPLESEL && kLbsOwnerDrawFixed == LBS_OWNERDRAWFIXED &&
                  kLbsOwnerDrawVariable == LBS_OWNERDRAWVARIABLE && kLbsNoIntegralHeight == LBS_NOINTEGRALHEIGHT &&
                  kLbsMultiColumn == LBS_MULTICOLUMN && kLbsExtendedSel == LBS_EXTENDEDSEL &&
                  kLbsDisableNoScroll == LBS_DISABLENOSCROLL && kLbsNoData == LBS_NODATA && kLbsNoSel == LBS_NOSEL &&
                  kLbsComboBox == LBS_COMBOBOX && kVkSpace == VK_SPACE && kVkF4 == VK_F4,
              "list box styles and keys");

static_assert(kCbsSimple == CBS_SIMPLE && kCbsDropDown == CBS_DROPDOWN && kCbsDropDownList == CBS_DROPDOWNLIST &&
                  kCbsAutoHScroll == CBS_AUTOHSCROLL && kCbsOemConvert == CBS_OEMCONVERT && kCbsSort == CBS_SORT &&
                  kCbsNoIntegralHeight == CBS_NOINTEGRALHEIGHT && kCbsDisableNoScroll == CBS_DISABLENOSCROLL &&
                  kCbsUpperCase == CBS_UPPERCASE && kCbsLowerCase == CBS_LOWERCASE,
              "combo box styles");
static_assert(kEsUpperCase == ES_UPPERCASE &&
                  kEsLowerCase == ES_LOWERCASE && kEsAutoHScroll == ES_AUTOHSCROLL && kEsNoHideSel == ES_NOHIDESEL &&
                  kEsOemConvert == ES_OEMCONVERT,
              "the combo's list and edit styles");
static_assert(kWsChild == WS_CHILD && kWsVisible == WS_VISIBLE && kWsClipSiblings == WS_CLIPSIBLINGS &&
                  kWsBorder == WS_BORDER && kWsVScroll == WS_VSCROLL && kWsHScroll == WS_HSCROLL &&
                  kWsThickFrame == WS_THICKFRAME,
              "window styles of the combo's children");
static_assert(kCbGetEditSel == CB_GETEDITSEL && kCbLimitText == CB_LIMITTEXT && kCbSetEditSel == CB_SETEDITSEL &&
                  kCbAddString == CB_ADDSTRING && kCbDeleteString == CB_DELETESTRING && kCbDir == CB_DIR &&
                  kCbGetCount == CB_GETCOUNT && kCbGetCurSel == CB_GETCURSEL && kCbGetLbText == CB_GETLBTEXT &&
                  kCbGetLbTextLen == CB_GETLBTEXTLEN && kCbInsertString == CB_INSERTSTRING &&
                  kCbResetContent == CB_RESETCONTENT && kCbFindString == CB_FINDSTRING &&
                  kCbSelectString == CB_SELECTSTRING && kCbSetCurSel == CB_SETCURSEL &&
                  kCbShowDropDown == CB_SHOWDROPDOWN && kCbGetItemData == CB_GETITEMDATA &&
                  kCbSetItemData == CB_SETITEMDATA && kCbGetDroppedControlRect == CB_GETDROPPEDCONTROLRECT &&
                  kCbSetItemHeight == CB_SETITEMHEIGHT && kCbGetItemHeight == CB_GETITEMHEIGHT &&
                  kCbSetExtendedUi == CB_SETEXTENDEDUI && kCbGetExtendedUi == CB_GETEXTENDEDUI &&
                  kCbGetDroppedState == CB_GETDROPPEDSTATE && kCbFindStringExact == CB_FINDSTRINGEXACT &&
                  kCbSetLocale == CB_SETLOCALE && kCbGetLocale == CB_GETLOCALE && kCbGetTopIndex == CB_GETTOPINDEX &&
                  kCbSetTopIndex == CB_SETTOPINDEX && kCbGetHorizontalExtent == CB_GETHORIZONTALEXTENT &&
                  kCbSetHorizontalExtent == CB_SETHORIZONTALEXTENT && kCbGetDroppedWidth == CB_GETDROPPEDWIDTH &&
                  kCbSetDroppedWidth == CB_SETDROPPEDWIDTH && kCbInitStorage == CB_INITSTORAGE,
              "combo box messages");
static_assert(kLbAddString == LB_ADDSTRING && kLbInsertString == LB_INSERTSTRING &&
                  kLbDeleteString == LB_DELETESTRING && kLbResetContent == LB_RESETCONTENT &&
                  kLbSetCurSel == LB_SETCURSEL && kLbGetCurSel == LB_GETCURSEL && kLbGetText == LB_GETTEXT &&
                  kLbGetTextLen == LB_GETTEXTLEN && kLbGetCount == LB_GETCOUNT && kLbSelectString == LB_SELECTSTRING &&
                  kLbDir == LB_DIR && kLbGetTopIndex == LB_GETTOPINDEX && kLbFindString == LB_FINDSTRING &&
                  kLbGetHorizontalExtent == LB_GETHORIZONTALEXTENT &&
                  kLbSetHorizontalExtent == LB_SETHORIZONTALEXTENT && kLbSetTopIndex == LB_SETTOPINDEX &&
                  kLbGetItemData == LB_GETITEMDATA && kLbSetItemData == LB_SETITEMDATA &&
                  kLbSetItemHeight == LB_SETITEMHEIGHT && kLbGetItemHeight == LB_GETITEMHEIGHT &&
                  kLbFindStringExact == LB_FINDSTRINGEXACT && kLbSetLocale == LB_SETLOCALE &&
                  kLbGetLocale == LB_GETLOCALE && kLbInitStorage == LB_INITSTORAGE,
              "list box messages the combo passes on");
static_assert(kCbnSelChange == CBN_SELCHANGE && kCbnDblClk == CBN_DBLCLK && kCbnSetFocus == CBN_SETFOCUS &&
                  kCbnKillFocus == CBN_KILLFOCUS && kCbnEditChange == CBN_EDITCHANGE &&
                  kCbnEditUpdate == CBN_EDITUPDATE && kCbnDropDown == CBN_DROPDOWN && kCbnCloseUp == CBN_CLOSEUP &&
                  kCbnSelEndOk == CBN_SELENDOK && kCbnSelEndCancel == CBN_SELENDCANCEL,
              "combo box notifications");
static_assert(kDlgcWantMessage == DLGC_WANTMESSAGE && kDlgcWantChars == DLGC_WANTCHARS && kVkReturn == VK_RETURN &&
                  kVkEscape == VK_ESCAPE,
              "the combo's dialog codes and keys");

}  // namespace sys

// The portable rectangle is laid out as RECT, so the two convert field by field.
static_assert(sizeof(Rect) == sizeof(RECT) && offsetof(Rect, left) == offsetof(RECT, left) &&
                  offsetof(Rect, top) == offsetof(RECT, top) && offsetof(Rect, right) == offsetof(RECT, right) &&
                  offsetof(Rect, bottom) == offsetof(RECT, bottom),
              "Rect and RECT");

}  // namespace kelmard
