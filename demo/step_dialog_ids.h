// Control ids of the effect's settings dialog (step_dialog.rc and its procedure).
#pragma once

#define IDC_SMOOTH   101
#define IDC_SHADOW   102
#define IDC_LEFT     103
#define IDC_RIGHT    104
#define IDC_UP       105
#define IDC_FRAMES   106
#define IDC_NAME     107
