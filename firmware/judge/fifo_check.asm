; The judge's check of gpsim's receive FIFO: at 9600 baud it waits for a
; character, stays busy while a second one arrives, then reads RCREG twice.
; A real PIC16F877A reads the two characters in the order they came.

        list    p=16f877a
        radix   dec
        errorlevel -302
        #include <p16f877a.inc>
        __config _HS_OSC & _WDT_OFF & _PWRTE_ON & _LVP_OFF

        cblock  0x20
        first_read
        second_read
        outer
        inner
        endc

        org     0
        banksel TRISC
        bcf     TRISC, 6
        movlw   29                      ; 9600 baud at 18.432 MHz
        movwf   SPBRG
        movlw   b'00100000'
        movwf   TXSTA
        banksel RCSTA
        movlw   b'10010000'
        movwf   RCSTA
        clrf    first_read
        clrf    second_read
wait_first
        btfss   PIR1, RCIF
        goto    wait_first
        movlw   10                      ; 10 x 768 cycles: 1.6 characters
        movwf   outer
busy
        clrf    inner
busy_inner
        decfsz  inner, f
        goto    busy_inner
        decfsz  outer, f
        goto    busy
        movf    RCREG, w
        movwf   first_read
        movf    RCREG, w
        movwf   second_read
done
        goto    done
        end
