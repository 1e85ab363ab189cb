#pragma once

#include "serial/port_layer.h"
#include "support/pty_pair.h"

#include <memory>
#include <vector>

// Passes everything on to a real port and notes when each character was
// handed over, i.e. when output() returned. A pause before a character is
// then measured from that moment to the character's arrival at the PIC's
// end: a true lower bound, whatever the kernel does with the bytes around.
// Behind a session, read handedOver only once the window shows the send
// ended.
class StampingPort : public PortLayer
{
public:
    explicit StampingPort(PortLayer &inner) : inner_(inner) {}
    explicit StampingPort(std::unique_ptr<PortLayer> inner) : owned_(std::move(inner)), inner_(*owned_) {}
    bool isOpen() const override { return inner_.isOpen(); }
    void setOpen(bool open) override { inner_.setOpen(open); }
    qint16 commPort() const override { return inner_.commPort(); }
    void setCommPort(qint16 port) override { inner_.setCommPort(port); }
    QString settings() const override { return inner_.settings(); }
    void setSettings(const QString &settings) override { inner_.setSettings(settings); }
    void output(char ch) override
    {
        inner_.output(ch);
        handedOver.push_back(PtyPair::Clock::now());
    }
    QString input() override { return inner_.input(); }
    LineDuration characterTime() const override { return inner_.characterTime(); }
    bool drain(LineTime deadline) override { return inner_.drain(deadline); }

    std::vector<PtyPair::Clock::time_point> handedOver;

private:
    std::unique_ptr<PortLayer> owned_;
    PortLayer &inner_;
};
