#include "app/send_outcome.h"

namespace {
QString characters(qsizetype count)
{
    return count == 1 ? QStringLiteral("1 character") : QStringLiteral("%1 characters").arg(count);
}
} // namespace

QString sendOutcomeText(const SendOutcome &outcome)
{
    const QString part = QStringLiteral("%1 of %2").arg(outcome.sent).arg(characters(outcome.total));
    switch (outcome.end) {
    case SendOutcome::End::Sent: {
        const QString sent =
            QStringLiteral("Sent %1 in %2 s").arg(characters(outcome.sent)).arg(outcome.seconds, 0, 'f', 1);
        return outcome.reason.isEmpty() ? sent : sent + QStringLiteral(", then the port closed: ") + outcome.reason;
    }
    case SendOutcome::End::Stopped:
        return QStringLiteral("Stopped after ") + part;
    case SendOutcome::End::Failed:
        break;
    }
    const QString failed = QStringLiteral("Failed after ") + part;
    return outcome.reason.isEmpty() ? failed : failed + QStringLiteral(": ") + outcome.reason;
}
