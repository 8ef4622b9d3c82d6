#pragma once
#include "monitor/mail/print_job_mail.h"

// Mails the job's file to every recipient of its list, each over a connection of its own. True
// when at least one mail went out completely and no connection failure or deleted job stopped
// the delivery.
BOOL SendPrintJob(const PrintJobMail& job);
