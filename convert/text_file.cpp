#include "convert/text_file.h"

#include "text/file_save.h"
#include "text/text_rules.h"

QString writeHexFile(const QString &text, const QString &fileName)
{
    return replaceFile(fileName, trimBlanks(text).toLatin1() + "\r\n");
}
