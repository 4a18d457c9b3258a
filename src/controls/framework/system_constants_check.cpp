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

}  // namespace sys

// The portable rectangle is laid out as RECT, so the two convert field by field.
static_assert(sizeof(Rect) == sizeof(RECT) && offsetof(Rect, left) == offsetof(RECT, left) &&
                  offsetof(Rect, top) == offsetof(RECT, top) && offsetof(Rect, right) == offsetof(RECT, right) &&
                  offsetof(Rect, bottom) == offsetof(RECT, bottom),
              "Rect and RECT");

}  // namespace kelmard
