// Preloaded into gpsim 0.31, this replaces the read of the USART's receive
// register. gpsim keeps the two-deep FIFO as the newest byte (value) and
// the one before it (oldest_value), but its pop moves the older byte into
// value before the read, so with two bytes waiting the second read returns
// the first byte again. Here a read takes the older byte while two wait,
// and the only one otherwise.
//
// Built with -fno-access-control: the FIFO's fields are private.

#include <gpsim/uart.h>

void _RCREG::pop()
{
    if (fifo_sp == 0)
        return;
    if (--fifo_sp == 0)
        mUSART->clear_rcif();
}

unsigned int _RCREG::get()
{
    const unsigned int byte = fifo_sp == 2 ? oldest_value : value.get();
    pop();
    return byte;
}
