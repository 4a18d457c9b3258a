// Control ids of the demo's dialogs (step_dialog.rc and their procedures).
#pragma once

#define IDC_SMOOTH   101
#define IDC_SHADOW   102
#define IDC_LEFT     103
#define IDC_RIGHT    104
#define IDC_UP       105
#define IDC_FRAMES   106
#define IDC_NAME     107
#define IDC_TABS         110
#define IDC_SPEED        111
#define IDC_SPEED_EDIT   112
#define IDC_PART         113
#define IDC_FRAMES_SPIN  114
#define IDC_SEED         115
#define IDC_SEED_SPIN    116
#define IDC_LABEL_SPEED  117
#define IDC_LABEL_PART   118
#define IDC_LABEL_FRAMES 119
#define IDC_LABEL_SEED   120
#define IDC_LABEL_TITLE  121
#define IDC_GROUP_DIR    122
#define IDC_GROUP_LOOK   123
#define IDC_LABEL_PRESETS    124
#define IDC_PRESETS          125
#define IDC_LABEL_CATEGORIES 126
#define IDC_CATEGORIES       127
#define IDC_LABEL_FORMAT     128
#define IDC_FORMAT           129
#define IDC_PREVIEW          130
#define IDC_LIGHT            131
#define IDC_LABEL_LIGHT_X    132
#define IDC_LIGHT_X          133
#define IDC_LABEL_LIGHT_Y    134
#define IDC_LIGHT_Y          135
#define IDC_LABEL_LIGHT_Z    136
#define IDC_LIGHT_Z          137
#define IDC_LABEL_LIGHT      138

// The gallery of button, static and edit kinds.
#define IDC_KIND_CHECK     201
#define IDC_KIND_3STATE    202
#define IDC_KIND_RADIO1    203
#define IDC_KIND_RADIO2    204
#define IDC_KIND_DISABLED  205
#define IDC_KIND_PUSHLIKE  206
#define IDC_KIND_PUSH      207
