#pragma once
#include <windows.h>

class SmtpSocket;
class SessionHost;

// The base64 text of a spool file, kept in a temporary file beside it (its name with ".m"
// appended) between the preparation of a mail and its data phase.

// Encodes the whole spool file into the encoded file. Reports its failures (741, 743, 713).
bool PrepareEncodedAttachment(const WCHAR* spoolFile);

// Writes the attachment part's header lines and the encoded file in lines of 75 characters,
// then deletes the file. True only when every line was written; a read failure of the
// encoded file fails the step too, so that a cut-short attachment never counts as sent.
bool SendEncodedAttachment(SmtpSocket& socket, SessionHost& host, const WCHAR* spoolFile);

// Deletes the encoded file if it is still there (the mail was abandoned before its data).
void RemoveEncodedAttachment(const WCHAR* spoolFile);
