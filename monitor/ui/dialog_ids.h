#pragma once
// Control identifiers of the monitor's dialogs (templates 105, 108 and 109 of NmxRC.dll).
// Shared by the dialog code and the library's .rc source, so plain preprocessor definitions.

// Add-port dialog (109)
#define IDC_NEW_PORT_NAME   201

// Labels that only receive the dialog font; 1030 and 1031 also carry the texts of dialogs 108
// and 109.
#define IDC_LABEL_FIRST     1030
#define IDC_LABEL_SECOND    1031
#define IDC_LABEL_SMTP      1032
#define IDC_LABEL_NOTIFY    1033
#define IDC_GROUP_DEST      1034
#define IDC_GROUP_SENDER    1035
#define IDC_GROUP_NOTIFY    1036
#define IDC_GROUP_JOBS      1037
#define IDC_LABEL_VERSION   1038
#define IDC_LABEL_DATE      1039
#define IDC_GROUP_ABOUT     1040
#define IDC_UNNUMBERED_TEXT (-1) // the product name in dialog 105; its device context makes the font

// Notice dialog (108)
#define IDC_NOTICE_DONT_SHOW 1029

// Port configuration dialog (105)
#define IDC_SERV_ADDR       1000
#define IDC_NOTIFICATION    1002
#define IDC_NOTIFY_ADDR     1003
#define IDC_SMTP_ADDR       1004
#define IDC_USER_ADDR       1005
#define IDC_ADDRESS_BOOK    1008
#define IDC_RELOAD          1011
#define IDC_PART_SW         1014
#define IDC_PART_LIMIT      1015
#define IDC_SHOW_SW         1025
#define IDC_CHECK_MAIL_SW   1027
#define IDC_VERSION_TEXT    1041
#define IDC_DATE_TEXT       1044
#define IDC_COPYRIGHT_TEXT  1045
#define IDC_NOTIFY_ADDR_LABEL 1047
#define IDC_PART_LIMIT_LABEL  1048
#define IDC_PART_LIMIT_UNIT   1049
#define IDC_HELP_BUTTON     9
#define IDC_SMTP_PORT       1050
#define IDC_SMTP_SECURITY   1051
#define IDC_SMTP_USER       1052
#define IDC_SMTP_PASSWORD   1053 // masked; holds a placeholder, never the password, while one is stored
#define IDC_PASSWORD_STATE  1054
#define IDC_LABEL_SMTP_PORT 1055
#define IDC_LABEL_SECURITY  1056
#define IDC_LABEL_SMTP_USER 1057
#define IDC_LABEL_SMTP_PASSWORD 1058
