#pragma once
// Identifiers of the address book's resource library pelmoraRC.dll. Shared by the program and
// the library's .rc source, so it must stay plain preprocessor definitions.

// Strings
#define IDS_APP_TITLE            101 // main window title; caption of every message box
#define IDS_HINT_NEW_PERSONAL    103 // status hints of the toolbar buttons 100, 101, 102, 103, 108
#define IDS_HINT_NEW_GROUP       104
#define IDS_HINT_EDIT            105
#define IDS_HINT_DELETE          106
#define IDS_HINT_FIND            107
#define IDS_COLUMN_NAME          109 // headers of columns 2, 3 and 4
#define IDS_COLUMN_ADDRESS       110
#define IDS_COLUMN_NOTE          111
#define IDS_TIP_NEW_PERSONAL     112 // tooltips of the toolbar buttons 100, 101, 102, 103, 108
#define IDS_TIP_NEW_GROUP        113
#define IDS_TIP_EDIT             114
#define IDS_TIP_DELETE           115
#define IDS_TIP_FIND             116
#define IDS_HINT_ADD             124 // status hints of the recipient box buttons 105, 106, 107
#define IDS_HINT_REMOVE          125
#define IDS_HINT_SEND            126
#define IDS_NOT_FOUND            127
#define IDS_PERSONAL_NAME_EMPTY  128
#define IDS_GROUP_NAME_EMPTY     129
#define IDS_PERSONAL_NAME_TAKEN  135
#define IDS_GROUP_NAME_TAKEN     136
#define IDS_BUTTON_ADD           137 // captions of the recipient box buttons
#define IDS_BUTTON_REMOVE        138
#define IDS_BUTTON_SEND          139
#define IDS_TARGET_TITLE         140 // must equal the caption of the monitor's port settings dialog
#define IDS_TARGET_MISSING       143
#define IDS_SAVE_FAILED          150 // one %s: the file's path
#define IDS_LIST_FULL            151 // no more entries of a kind can be referenced
#define IDS_HANDOVER_PATH_LONG   152 // one %s: the path

// Menus and accelerators
#define IDM_CONTEXT              109
#define IDM_MAIN                 110
#define IDA_MAIN                 112

// Commands of the main window (menus, accelerators, toolbar)
#define CMD_NEW_PERSONAL         100
#define CMD_NEW_GROUP            101
#define CMD_ADD_RECIPIENT        102
#define CMD_EDIT                 103
#define CMD_NOTHING              104
#define CMD_DELETE               105
#define CMD_FIND                 109
#define CMD_EXIT                 110
#define CMD_HELP                 111
#define CMD_ABOUT                112
#define CMD_SORT_BY_NAME         301
#define CMD_SORT_BY_ADDRESS      302

// Child windows of the main window
#define IDC_MAIN_LIST            200
#define IDC_TOOL_NEW_PERSONAL    100 // toolbar buttons
#define IDC_TOOL_NEW_GROUP       101
#define IDC_TOOL_EDIT            102
#define IDC_TOOL_DELETE          103
#define IDC_TOOL_FIND            108
#define IDC_RECIPIENT_ADD        105 // recipient box
#define IDC_RECIPIENT_REMOVE     106
#define IDC_RECIPIENT_SEND       107
#define IDC_RECIPIENT_LIST       201

// Bitmaps: toolbar buttons, three each (enabled, pressed, disabled), then the list icons
#define IDB_TOOL_NEW_PERSONAL    100
#define IDB_TOOL_NEW_GROUP       103
#define IDB_TOOL_EDIT            106
#define IDB_TOOL_DELETE          109
#define IDB_TOOL_FIND            115
#define IDB_PERSON               118 // 22 x 16
#define IDB_GROUP                119
#define IDC_COLUMN_RESIZE        121 // cursor
#define IDI_APP                  122

// Dialogs
#define IDD_FIND                 102
#define IDD_GROUP_EDITOR         103
#define IDD_PERSONAL_EDITOR      105
#define IDD_MEMBER_CHOOSER       106
#define IDD_ABOUT                107

// Personal editor (105)
#define IDC_PERSONAL_NAME        100
#define IDC_PERSONAL_ADDRESS     101
#define IDC_PERSONAL_DETAIL1     102
#define IDC_PERSONAL_DETAIL2     103
#define IDC_PERSONAL_DETAIL3     104
#define IDC_PERSONAL_NOTE        105
// Group editor (103)
#define IDC_GROUP_NAME           100
#define IDC_GROUP_MEMBERS        101
#define IDC_GROUP_CHOOSE         102
#define IDC_GROUP_EDIT_MEMBER    103
#define IDC_GROUP_REMOVE_MEMBER  104
#define IDC_GROUP_NOTE           105
// Member chooser (106)
#define IDC_CHOOSER_ENTRIES      100
#define IDC_CHOOSER_CHOSEN       101
#define IDC_CHOOSER_ADD          102
#define IDC_CHOOSER_REMOVE       103
// Find (102)
#define IDC_FIND_NAMES           101
#define IDC_FIND_ADDRESSES       102
#define IDC_FIND_TEXT            103
// About (107)
#define IDC_ABOUT_VERSION        100
#define IDC_ABOUT_DATE           101
#define IDC_ABOUT_COPYRIGHT      401
// Labels and frames of the templates that only receive the dialog font
#define IDC_LABEL1               1001
#define IDC_LABEL2               1002
#define IDC_LABEL4               1004
#define IDC_LABEL5               1005
#define IDC_LABEL6               1006
#define IDC_LABEL7               1007
#define IDC_LABEL8               1008
