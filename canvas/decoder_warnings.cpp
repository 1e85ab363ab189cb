#include "canvas/decoder_warnings.h"

#include <QByteArray>

#include <cstdarg>
#include <cstdio>
#include <mutex>
#ifdef Q_OS_UNIX
#include <dlfcn.h>
#include <unistd.h>
#endif

namespace {

// Pictures are read on several threads at once (a series imports on its
// own): each thread's reading takes what is said on that thread, and the
// handler, installed once, passes everything else on.
thread_local DecoderWarnings *activeWarnings = nullptr;
QtMessageHandler outsideReadings = nullptr;
std::once_flag handlerInstalled;
bool takingStandardError = false;

// libtiff's messages as they would be printed: "module: text".
QString tiffMessage(const char *module, const char *format, va_list arguments)
{
    char text[512];
    std::vsnprintf(text, sizeof text, format, arguments);
    QString message = QString::fromLocal8Bit(text);
    // Qt's TIFF reader opens every file under the name "foo", which
    // libtiff then puts into its messages.
    if (message.startsWith(QLatin1String("foo: ")))
        message.remove(0, 5);
    return module ? QString::fromLocal8Bit(module) + QStringLiteral(": ") + message : message;
}

void tiffSaid(const char *module, const char *format, va_list arguments)
{
    QMessageLogger(nullptr, 0, nullptr, "libtiff").warning("%s", qPrintable(tiffMessage(module, format, arguments)));
}

// libtiff prints straight to standard error unless given handlers. Qt's
// TIFF reader gives it none and loads it only with the reader, so its
// handlers are set here once it is loaded; the program is not linked to it.
void routeTiffMessages()
{
#ifdef Q_OS_UNIX
    static std::mutex routing;
    static bool routed = false;
    const std::lock_guard<std::mutex> lock(routing);
    if (routed)
        return;
    using Handler = void (*)(const char *, const char *, va_list);
    using SetHandler = Handler (*)(Handler);
    for (const char *name : {"libtiff.so.6", "libtiff.so.5"}) {
        void *library = dlopen(name, RTLD_LAZY | RTLD_NOLOAD);
        if (!library)
            continue;
        const auto setError = reinterpret_cast<SetHandler>(dlsym(library, "TIFFSetErrorHandler"));
        const auto setWarning = reinterpret_cast<SetHandler>(dlsym(library, "TIFFSetWarningHandler"));
        if (setError && setWarning) {
            setError(tiffSaid);
            setWarning(tiffSaid);
            routed = true;
        }
        dlclose(library); // the reader still holds it
        return;
    }
#endif
}

} // namespace

DecoderWarnings::DecoderWarnings() : outer_(activeWarnings)
{
    std::call_once(handlerInstalled, [] { outsideReadings = qInstallMessageHandler(&DecoderWarnings::take); });
    activeWarnings = this;
    routeTiffMessages();
#ifdef Q_OS_UNIX
    if (takingStandardError) {
        std::fflush(stderr);
        char name[] = "/tmp/voxcel-decoder-XXXXXX";
        standardErrorCopy_ = mkstemp(name);
        if (standardErrorCopy_ >= 0) {
            unlink(name);
            savedStandardError_ = dup(STDERR_FILENO);
            dup2(standardErrorCopy_, STDERR_FILENO);
        }
    }
#endif
}

DecoderWarnings::~DecoderWarnings()
{
#ifdef Q_OS_UNIX
    if (savedStandardError_ >= 0) {
        std::fflush(stderr);
        dup2(savedStandardError_, STDERR_FILENO);
        close(savedStandardError_);
    }
    if (standardErrorCopy_ >= 0)
        close(standardErrorCopy_);
#endif
    activeWarnings = outer_;
}

void DecoderWarnings::takeStandardError(bool take)
{
    takingStandardError = take;
}

QString DecoderWarnings::standardErrorSoFar() const
{
#ifdef Q_OS_UNIX
    if (standardErrorCopy_ >= 0) {
        std::fflush(stderr);
        char text[512];
        const ssize_t size = pread(standardErrorCopy_, text, sizeof text, 0);
        if (size > 0)
            return QString::fromLocal8Bit(text, size).section(QLatin1Char('\n'), 0, 0);
    }
#endif
    return QString();
}

QString DecoderWarnings::reason() const
{
    QString first = said_.isEmpty() ? standardErrorSoFar() : said_.constFirst();
    first = first.simplified();
    if (first.isEmpty())
        return QString();
    if (first.endsWith(QLatin1Char('.')))
        first.chop(1);
    constexpr int Longest = 160;
    return first.size() > Longest ? first.left(Longest - 3) + QStringLiteral("...") : first;
}

void DecoderWarnings::take(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (!activeWarnings) {
        if (outsideReadings)
            outsideReadings(type, context, text);
        return;
    }
    // Whatever is said during a reading comes from the decoders; only the
    // image readers' own warnings say the picture is incomplete.
    activeWarnings->said_ << text;
    if (context.category && QByteArray(context.category).startsWith("qt.gui.imageio"))
        ++activeWarnings->count_;
}

QString withDecoderReason(const QString &refusal, const DecoderWarnings &warnings)
{
    const QString reason = warnings.reason();
    return reason.isEmpty() ? refusal : QStringLiteral("%1 (%2)").arg(refusal, reason);
}
