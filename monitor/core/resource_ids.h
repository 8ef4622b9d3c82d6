#pragma once
// Identifiers of the monitor's resource library NmxRC.dll. Shared by the monitor code and the
// library's .rc source, so it must stay plain preprocessor definitions.

// Strings
#define IDS_BAD_PORT_NAME        501 // one %s: the name
#define IDS_PORT_EXISTS          502 // one %s: the name
#define IDS_PORT_NAME_CAPTION    700
#define IDS_NOTICE_REGISTRY      701
#define IDS_MESSAGE_CAPTION      702
#define IDS_PART_SIZE_RANGE      705
#define IDS_MONITOR_NAME         706
#define IDS_NO_JOB_INFO          708
#define IDS_ENCODED_WRITE        713
#define IDS_LARGE_JOB            715
#define IDS_LARGE_JOB_CAPTION    716
#define IDS_SERVER_REFUSED       717
#define IDS_SOCKET_START         723
#define IDS_TIMER_START          724
#define IDS_NETWORK_IO           725
#define IDS_SERVER_UNRESOLVED    726 // one %s: the server
#define IDS_SOCKET_CREATE        727
#define IDS_CONNECT_FAILED       728
#define IDS_NOTIFY_NONE          734
#define IDS_NOTIFY_COMPLETION    735
#define IDS_NOTIFY_FAILURE       736
#define IDS_NOTIFY_ALWAYS        737
#define IDS_OUT_OF_MEMORY        739
#define IDS_NO_PRINTER_HANDLE    740
#define IDS_FILE_OPEN            741
#define IDS_NOT_PREPARED         742
#define IDS_SPOOL_READ           743
#define IDS_SPLIT_JOB            744 // %u KB, %u KB a part, %u parts
#define IDS_SETTINGS_NOT_SAVED   745
// The secure modes; each names the server with its first %s.
#define IDS_BAD_SECURITY_SETTINGS 760
#define IDS_STARTTLS_NOT_OFFERED  761
#define IDS_STARTTLS_REFUSED      762 // %s the server, %s its reply
#define IDS_TLS_HANDSHAKE         763
#define IDS_CERT_UNTRUSTED        764
#define IDS_CERT_EXPIRED          765
#define IDS_CERT_OTHER_NAME       766
#define IDS_CERT_NOT_PINNED       767
#define IDS_LOGIN_NOT_OFFERED     768
#define IDS_LOGIN_REFUSED         769 // %s the server, %s the user, %s the reply
#define IDS_SIZE_LIMIT            770 // %s the server, %lu KB limit, %lu KB mail, %lu KB a part
#define IDS_PASSWORD_UNREADABLE   771
#define IDS_SECURITY_NONE         772 // 772 to 774: the security modes 0 to 2, as the dialog lists them
#define IDS_SECURITY_STARTTLS     773
#define IDS_SECURITY_TLS          774
#define IDS_PASSWORD_STORED       775
#define IDS_NO_PASSWORD           776
#define IDS_SMTP_PORT_RANGE       777
#define IDS_SIZE_LIMIT_NO_PARTS   778 // %s the server, %lu KB limit, %lu KB mail
// A job's status text in the queue, where the user who printed could not be told.
#define IDS_QUEUE_MESSAGE_DROPPED 779 // %s the message that was not shown
#define IDS_QUEUE_NOT_CONFIRMED   780
#define IDS_QUEUE_UNANSWERED      781

// Dialogs
#define IDD_PORT_CONFIG 105
#define IDD_NOTICE      108
#define IDD_ADD_PORT    109
