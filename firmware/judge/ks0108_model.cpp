#include "firmware/judge/ks0108_model.h"

namespace {

// E must stay high 450 ns and a cycle take 1000 ns; an instruction cycle
// of the 18.432 MHz PIC is 217 ns.
constexpr qint64 LeastHighCycles = 3;
constexpr qint64 LeastPeriodCycles = 5;

} // namespace

void Ks0108Model::replay(const std::vector<RegisterWrite> &writes)
{
    int control = 0;
    int data = 0;
    qint64 rose = -LeastPeriodCycles;
    qint64 lastRise = -LeastPeriodCycles;
    for (const RegisterWrite &write : writes) {
        if (write.reg == QLatin1String("portd")) {
            data = write.value;
            continue;
        }
        if (write.reg != QLatin1String("portb"))
            continue;
        const int before = control;
        control = write.value;
        if (!(control & ResetLow)) {
            for (Controller &controller : controllers_)
                controller = Controller{controller.ram};
            continue;
        }
        if (!(before & Enable) && (control & Enable)) {
            if (write.cycle - lastRise < LeastPeriodCycles && faults_.size() < 5)
                faults_ << QStringLiteral("E rose again after %1 cycles at cycle %2")
                               .arg(write.cycle - lastRise)
                               .arg(write.cycle);
            rose = lastRise = write.cycle;
        } else if ((before & Enable) && !(control & Enable)) {
            if (write.cycle - rose < LeastHighCycles && faults_.size() < 5)
                faults_ << QStringLiteral("E high for %1 cycles at cycle %2").arg(write.cycle - rose).arg(write.cycle);
            latch(before, data);
        }
    }
}

void Ks0108Model::latch(int control, int data)
{
    if (control & ReadWrite) {
        if (faults_.size() < 5)
            faults_ << QStringLiteral("a read; the firmware only writes");
        return;
    }
    for (int i = 0; i < 2; ++i) {
        if (!(control & (i == 0 ? ChipSelect1 : ChipSelect2)))
            continue;
        Controller &controller = controllers_[i];
        if (control & DataOrInstruction) {
            controller.ram[controller.page][controller.column] = static_cast<unsigned char>(data);
            controller.column = (controller.column + 1) % 64;
        } else if ((data & 0xFE) == 0x3E) {
            controller.on = data & 1;
        } else if ((data & 0xC0) == 0x40) {
            controller.column = data & 0x3F;
        } else if ((data & 0xF8) == 0xB8) {
            controller.page = data & 7;
        } else if ((data & 0xC0) == 0xC0) {
            controller.startLine = data & 0x3F;
        }
    }
}

QByteArray Ks0108Model::shownBytes() const
{
    QByteArray bytes;
    for (int page = 0; page < 8; ++page) {
        for (int column = 0; column < 128; ++column)
            bytes.append(static_cast<char>(controllers_[column / 64].ram[page][column % 64]));
    }
    return bytes;
}

QStringList Ks0108Model::faults() const
{
    QStringList all = faults_;
    for (int i = 0; i < 2; ++i) {
        if (!controllers_[i].on)
            all << QStringLiteral("controller %1 is off").arg(i + 1);
        if (controllers_[i].startLine != 0)
            all << QStringLiteral("controller %1 starts at line %2").arg(i + 1).arg(controllers_[i].startLine);
    }
    return all;
}
