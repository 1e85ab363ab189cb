#include "app/port_menu.h"

#include "app/prompts.h"
#include "app/window_look.h"

#include <QAction>
#include <QMenu>

PortMenu::PortMenu(QMenu *menu, Prompts &prompts, QObject *parent) : QObject(parent), menu_(menu), prompts_(prompts)
{
    connect(menu_, &QMenu::aboutToShow, this, &PortMenu::refresh);
    // Something to show (and to reach by keys) before the first opening.
    menu_->addAction(QStringLiteral("Com1"));
}

void PortMenu::refresh()
{
    listed_ = listSerialDevices();
    menu_->clear();
    // The submenus are the menu's children, which clear() leaves.
    qDeleteAll(menu_->findChildren<QMenu *>(Qt::FindDirectChildrenOnly));
    for (int portNumber = 1; portNumber <= 2; ++portNumber) {
        const PortDevice current = currentDevice(portNumber);
        QMenu *portMenu = menu_->addMenu(QStringLiteral("Com%1: %2").arg(portNumber).arg(current.path));
        portMenu->setObjectName(QStringLiteral("mnuPortCom%1").arg(portNumber));
        fillPort(portMenu, portNumber, current);
    }
    emit portDevicesChanged(currentDevices());
}

PortDevice PortMenu::currentDevice(int portNumber) const
{
    return portDevice(portNumber, [this] { return listed_; });
}

QStringList PortMenu::currentDevices() const
{
    return {currentDevice(1).path, currentDevice(2).path};
}

void PortMenu::fillPort(QMenu *portMenu, int portNumber, const PortDevice &current)
{
    const bool fixed = current.source == PortSource::Environment;
    if (fixed)
        portMenu->addAction(QStringLiteral("Set by %1 for this run").arg(portDeviceVariable(portNumber)));
    bool currentListed = false;
    for (const SerialDevice &device : std::as_const(listed_)) {
        QAction *entry = portMenu->addAction(deviceLabel(device));
        entry->setCheckable(true);
        entry->setChecked(device.path == current.path);
        currentListed = currentListed || entry->isChecked();
        connect(entry, &QAction::triggered, this, [this, portNumber, path = device.path] { assign(portNumber, path); });
    }
    if (listed_.isEmpty())
        portMenu->addAction(QStringLiteral("No serial devices found"))->setEnabled(false);
    if (!currentListed) {
        // A typed path, or one the system does not list now.
        QAction *entry = portMenu->addAction(current.path);
        entry->setCheckable(true);
        entry->setChecked(true);
    }
    portMenu->addSeparator();
    QAction *other = named(portMenu->addAction(QStringLiteral("Other Device...")), "mnuOtherDevice");
    connect(other, &QAction::triggered, this,
            [this, portNumber, path = current.path] { askOtherDevice(portNumber, path); });
    if (fixed)
        for (QAction *entry : portMenu->actions())
            entry->setEnabled(false);
}

void PortMenu::assign(int portNumber, const QString &path)
{
    storeAssignment(portNumber, assignmentFor(path, listed_));
    emit portDevicesChanged(currentDevices());
}

void PortMenu::askOtherDevice(int portNumber, const QString &current)
{
    const QString path = prompts_
                             .ask(QStringLiteral("The serial device for Com%1, such as /dev/ttyUSB0").arg(portNumber),
                                  QStringLiteral("Other Device"), current)
                             .trimmed();
    if (!path.isEmpty())
        assign(portNumber, path);
}
