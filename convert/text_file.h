#pragma once

#include <QString>

// The converted text as a source file for application code: the text with
// blanks trimmed from both ends, then CR LF, as 8-bit characters. Written
// through a temporary file, so a failure leaves any old file as it was.
// Returns the description of the failure, or an empty text on success.
QString writeHexFile(const QString &text, const QString &fileName);

inline constexpr char HexFileDefaultName[] = "test.asm";
