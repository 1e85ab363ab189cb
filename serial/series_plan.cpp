#include "serial/series_plan.h"

#include "serial/param_prefix.h"
#include "text/decimal_text.h"

namespace {

constexpr int LastAddress = 0xFFFF;
constexpr int DefaultHoldMs = 500;

QString notAnAddress(const QString &text)
{
    return QStringLiteral("The start address \"%1\" is not an address from 0 to 65535").arg(text);
}

} // namespace

int seriesPictureBytes(bool eepromMode, bool halfHeight)
{
    return eepromMode && halfHeight ? 512 : 1024;
}

std::optional<std::vector<int>> planEepromAddresses(const QString &startAddressText, int frames, int pictureBytes,
                                                    QString *error)
{
    const std::optional<double> typed = parseDecimal(startAddressText);
    const std::optional<long long> start = typed ? roundHalfEven(*typed, 0, LastAddress) : std::nullopt;
    if (!start) {
        *error = notAnAddress(startAddressText);
        return std::nullopt;
    }
    const long long end = *start + static_cast<long long>(frames) * pictureBytes - 1;
    if (end > LastAddress) {
        *error = QStringLiteral("%1 pictures of %2 bytes from address %3 would end at %4, past 65535: "
                                "at most %5 fit from there")
                     .arg(frames)
                     .arg(pictureBytes)
                     .arg(*start)
                     .arg(end)
                     .arg((LastAddress + 1 - *start) / pictureBytes);
        return std::nullopt;
    }
    std::vector<int> addresses;
    for (int k = 0; k < frames; ++k)
        addresses.push_back(static_cast<int>(*start) + k * pictureBytes);
    return addresses;
}

std::optional<QStringList> seriesPrefixes(bool eepromMode, qint16 picBuffer, const QString &startAddressText,
                                          qint16 picDelay, int frames, int pictureBytes, QString *error)
{
    std::vector<QString> addressTexts(static_cast<std::size_t>(frames), startAddressText);
    if (eepromMode) {
        const std::optional<std::vector<int>> addresses =
            planEepromAddresses(startAddressText, frames, pictureBytes, error);
        if (!addresses)
            return std::nullopt;
        for (std::size_t k = 0; k < addresses->size(); ++k)
            addressTexts[k] = QString::number((*addresses)[k]);
    }
    QStringList prefixes;
    for (const QString &address : addressTexts) {
        const std::optional<QString> prefix = buildParamPrefix(eepromMode, picBuffer, address, picDelay);
        if (!prefix) {
            *error = notAnAddress(address);
            return std::nullopt;
        }
        prefixes << *prefix;
    }
    return prefixes;
}

int defaultSeriesHoldMs(const std::vector<int> &frameDelaysMs)
{
    for (int delay : frameDelaysMs)
        if (delay > 0)
            return delay;
    return DefaultHoldMs;
}

LineDuration seriesSendTime(const SeriesSendPlan &plan, LineDuration characterTime, int frame, qsizetype sent,
                            int loopsDone)
{
    const int frames = static_cast<int>(plan.texts.size());
    const int rounds = plan.loops > 0 ? plan.loops - loopsDone : 1;
    LineDuration round{};
    LineDuration rest{};
    for (int k = 0; k < frames; ++k) {
        const LineDuration paced = pacedSendTime(plan.texts[k], plan.waitText, plan.delayMs, characterTime);
        round += paced;
        if (k > frame)
            rest += paced;
        else if (k == frame)
            rest += pacedSendTime(plan.texts[k], plan.waitText, plan.delayMs, characterTime, sent);
    }
    const auto hold = std::chrono::milliseconds(plan.holdMs);
    // A hold follows every frame but the series' last.
    const int holdsLeft = std::max(0, rounds * frames - frame - 1);
    return rest + (rounds - 1) * round + holdsLeft * hold;
}

QString seriesStopMessage(const SeriesSendResult &result)
{
    return QStringLiteral("Transmission stopped at frame %1, after %2 of its %3 characters")
        .arg(result.frame + 1)
        .arg(result.last.sent)
        .arg(result.last.total);
}

SeriesSendResult sendSeriesPaced(const SeriesSendPlan &plan, PortLayer &port, const PacingHooks &hooks,
                                 const SeriesProgress &progress)
{
    SeriesSendResult result;
    const int frames = static_cast<int>(plan.texts.size());
    for (int loop = 0; plan.loops <= 0 || loop < plan.loops; ++loop) {
        for (int frame = 0; frame < frames; ++frame) {
            result.frame = frame;
            result.loop = loop;
            if (loop + frame > 0 && plan.holdMs > 0)
                hooks.sleep(hooks.clock() + std::chrono::milliseconds(plan.holdMs));
            if (hooks.stopRequested && hooks.stopRequested()) {
                result.last = {PacedSendResult::End::Stopped, 0, plan.texts[frame].size(), {}};
                return result;
            }
            result.last = sendPaced({plan.texts[frame], plan.waitText, plan.delayMs}, port, hooks,
                                    [&progress, frame, loop](qsizetype sent, qsizetype total) {
                                        if (progress)
                                            progress(frame, loop, sent, total);
                                    });
            if (result.last.end != PacedSendResult::End::Sent)
                return result;
            // The device went away after this frame: the series fails at
            // the next one, for that reason, unless this was the last.
            const bool lastOfAll = plan.loops > 0 && loop + 1 == plan.loops && frame + 1 == frames;
            if (!result.last.goneAfterEnd.isEmpty() && !lastOfAll) {
                result.frame = (frame + 1) % frames;
                result.loop += frame + 1 == frames ? 1 : 0;
                result.last = {
                    PacedSendResult::End::PortLost, 0, plan.texts[result.frame].size(), result.last.goneAfterEnd, {}};
                return result;
            }
        }
        if (frames == 0)
            break;
    }
    return result;
}
