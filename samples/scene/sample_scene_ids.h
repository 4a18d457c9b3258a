// Resource and control ids of the sample scene's settings dialog.
#pragma once
#define IDD_SETTINGS   100
#define IDC_SOFTNESS   101  // trackbar: the edge's softness, 0-100
#define IDC_SHADOW     102  // check box: a shadow under the title
#define IDC_TITLE      103  // edit: the title's text
#define IDC_HELPBUTTON 104  // push button: the help topic
#define HELP_TOPIC     101  // the help topic of the settings (in FxHelp.RFH)
