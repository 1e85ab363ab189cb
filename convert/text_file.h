#pragma once

#include <QString>

// The converted text as a source file for application code: the text with
// blanks trimmed from both ends, then CR LF, as 8-bit characters. Saved
// with replaceFile(): a failure (a full disk, a file-size limit) leaves any
// old file as it was. Returns the reason of the failure, or an empty text
// on success.
QString writeHexFile(const QString &text, const QString &fileName);

inline constexpr char HexFileDefaultName[] = "test.asm";
