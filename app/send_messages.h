#pragma once

#include <QString>

// The window's texts around a transmission.
inline const QString OpenPortFirstText = QStringLiteral("Please, open Comm Port first.");
inline const QString CheckSettingsText = QStringLiteral("Error - Check Settings!");
// Multi-line messages join their lines with LF then CR.
inline const QString PasteAndSendQuestion = QStringLiteral("Are you sure?") + QStringLiteral("\n\r") +
                                            QStringLiteral("Anything in the clipboard will be sent immediately");
