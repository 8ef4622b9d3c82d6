#pragma once
#include "monitor/core/messages.h"

class MessageStream;

// The base64 text of a spool file, kept in a temporary file beside it (its name with ".m"
// appended) between the preparation of a mail and its data phase.

// Encodes the whole spool file into the encoded file, in large blocks. Reports its failures
// (741, 743, 713, and 739 when the blocks cannot be had) to the messages' target.
bool PrepareEncodedAttachment(const WCHAR* spoolFile, MessageTarget& messages);

// Adds the attachment part's header lines and the encoded file, read in large blocks, in lines
// of 75 characters to the message stream, then deletes the file. True only when every line
// was taken by the stream; a read failure of the encoded file fails the step too, so that a
// cut-short attachment never counts as sent.
bool SendEncodedAttachment(MessageStream& stream, const WCHAR* spoolFile, MessageTarget& messages);

// Deletes the encoded file if it is still there (the mail was abandoned before its data).
void RemoveEncodedAttachment(const WCHAR* spoolFile);
