#pragma once

#include "serial/port_devices.h"

#include <QObject>

class Prompts;
class QMenu;

// The Port menu: which device Com1 and Com2 stand for. Each has a submenu
// with every serial device the system reports (the one in use checked) and
// "Other Device..." for a typed path. The list is made afresh each time the
// menu opens; a choice is remembered per user, and takes effect at the next
// Open. A port set by its environment variable keeps it for the run.
class PortMenu : public QObject
{
    Q_OBJECT
public:
    PortMenu(QMenu *menu, Prompts &prompts, QObject *parent);

signals:
    // The devices of Com1 and Com2 as they stand now.
    void portDevicesChanged(const QStringList &devices);

private:
    void refresh();
    PortDevice currentDevice(int portNumber) const;
    QStringList currentDevices() const;
    void fillPort(QMenu *portMenu, int portNumber, const PortDevice &current);
    void assign(int portNumber, const QString &path);
    void askOtherDevice(int portNumber, const QString &current);

    QMenu *menu_;
    Prompts &prompts_;
    QList<SerialDevice> listed_;
};
