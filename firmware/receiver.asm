; Voxcel's reference receiver for the PIC16F877A at 18.432 MHz.
;
; Takes pictures as Voxcel sends them: the parameter prefix ("*", target,
; buffer size in two hex digits, start address in four, "0" and the PIC
; delay in hex), then pieces of buffer-size lower-case hex digits, each
; behind the wait text. Any character that is not a hex digit between two
; pieces is wait text, so any wait text without hex digits works.
;
; Each piece is gathered in RAM and stored when its last digit arrives,
; to the KS0108 display or to the 24LC256 EEPROM; the receiver is not read
; meanwhile, so the pause Voxcel makes before each wait text must cover
; that time, less the two characters the USART holds.
;
; A picture ends after 1024 bytes, at a new "*", or after 2 s of silence.
; One status line answers each: "OK 1024" (or "OK 512", a 128 x 32 picture
; ended by "*" or silence), otherwise "ERR <bytes> O<overruns>
; F<framing errors> B<bad characters> N<EEPROM bytes not acknowledged>".
;
; Assemble with gpasm; -D BAUD=2400 or -D BAUD=1200 for the slower lines.

        list    p=16f877a
        radix   dec
        errorlevel -302                 ; banks are selected where needed
        #include <p16f877a.inc>
        __config _HS_OSC & _WDT_OFF & _PWRTE_ON & _BOREN_ON & _LVP_OFF & _CPD_OFF & _WRT_OFF & _DEBUG_OFF & _CP_OFF
        #include "board.inc"

        org     0
        goto    start

start
        clrf    PORTB
        clrf    PORTC
        clrf    PORTD
        banksel TRISB
        clrf    TRISB
        clrf    TRISD
        movlw   b'10011000'             ; RX, SDA, SCL in; TX and RC0 out
        movwf   TRISC
        movlw   0x06                    ; PORTA digital
        movwf   ADCON1
        banksel PORTB
        call    serial_init
        call    i2c_init
        call    lcd_init
        clrf    pictures

; Between pictures: everything up to the next "*" is ignored.
idle
        call    next_char
        btfss   rx_kind, KIND_STAR
        goto    idle

new_picture
        clrf    count_hi
        clrf    count_lo
        clrf    overruns_hi
        clrf    overruns_lo
        clrf    framing_hi
        clrf    framing_lo
        clrf    bad_hi
        clrf    bad_lo
        clrf    nacks_hi
        clrf    nacks_lo
        ; The target: "0" the display, "1" the EEPROM.
        call    next_char
        movf    rx_char, w
        xorlw   '0'
        btfsc   STATUS, Z
        goto    have_target
        xorlw   '0' ^ '1'
        btfss   STATUS, Z
        goto    prefix_broken
have_target
        movf    rx_val, w
        movwf   target
        ; The buffer: an even number of digits, 2 to 128.
        call    prefix_byte
        btfsc   STATUS, C
        goto    prefix_broken
        movwf   buf_len
        btfsc   STATUS, Z
        goto    prefix_broken
        btfsc   buf_len, 0
        goto    prefix_broken
        sublw   128
        btfss   STATUS, C
        goto    prefix_broken
        ; The start address.
        call    prefix_byte
        btfsc   STATUS, C
        goto    prefix_broken
        movwf   addr_hi
        call    prefix_byte
        btfsc   STATUS, C
        goto    prefix_broken
        movwf   addr_lo
        ; The delay: "0", then one or two hex digits, ended by the first
        ; character that is none: the wait text's.
        call    next_char
        movf    rx_char, w
        xorlw   '0'
        btfss   STATUS, Z
        goto    prefix_broken
        clrf    pic_delay
        clrf    digits
delay_digit
        call    next_char
        btfss   rx_kind, KIND_UPPER
        goto    delay_ended
        swapf   pic_delay, w
        andlw   0xF0
        iorwf   rx_val, w
        movwf   pic_delay
        incf    digits, f
        movlw   3                       ; more than two: not a delay field
        xorwf   digits, w
        btfss   STATUS, Z
        goto    delay_digit
        goto    prefix_broken
delay_ended
        movf    digits, f
        btfsc   STATUS, Z
        goto    prefix_broken
        movf    rx_kind, w
        andlw   (1 << KIND_STAR) | (1 << KIND_SILENCE)
        btfss   STATUS, Z
        goto    prefix_broken

; The pieces.
piece_start
        clrf    digits
        movlw   PIECE_BUF
        movwf   FSR
data_char
        call    next_char
        btfsc   rx_kind, KIND_LOWER
        goto    data_digit
        btfsc   rx_kind, KIND_STAR
        goto    ended_by_star
        btfsc   rx_kind, KIND_SILENCE
        goto    ended_by_silence
        ; Wait text between pieces; inside one, a bad character.
        movf    digits, f
        btfss   STATUS, Z
        call    count_bad
        goto    data_char
data_digit
        btfsc   digits, 0
        goto    data_low
        swapf   rx_val, w
        movwf   half
        goto    data_counted
data_low
        movf    rx_val, w
        iorwf   half, w
        movwf   INDF
        incf    FSR, f
data_counted
        incf    digits, f
        movf    digits, w
        xorwf   buf_len, w
        btfss   STATUS, Z
        goto    data_char
        call    store_piece
        movlw   PICTURE_BYTES_HI
        subwf   count_hi, w
        btfss   STATUS, C
        goto    piece_start
        call    send_status
        goto    idle

ended_by_star
        call    store_piece
        call    send_status
        goto    new_picture

ended_by_silence
        call    store_piece
        call    send_status
        goto    idle

prefix_broken
        call    count_bad
        call    send_status
        btfsc   rx_kind, KIND_STAR
        goto    new_picture
        goto    idle

; prefix_byte: two upper-case hex digits into W (Z when 0); carry set
; when a character was not one (rx_kind tells what it was).
prefix_byte
        call    next_char
        btfss   rx_kind, KIND_UPPER
        goto    pb_broken
        swapf   rx_val, w
        movwf   half
        call    next_char
        btfss   rx_kind, KIND_UPPER
        goto    pb_broken
        movf    rx_val, w
        iorwf   half, w
        bcf     STATUS, C
        return
pb_broken
        bsf     STATUS, C
        return

; store_piece: stores the whole bytes gathered since the piece began.
store_piece
        movlw   PIECE_BUF
        subwf   FSR, w
        movwf   nbytes
        btfsc   STATUS, Z
        return
        bsf     PORTC, BUSY_PIN
        movf    target, f
        btfsc   STATUS, Z
        call    lcd_store
        movf    target, f
        btfss   STATUS, Z
        call    ee_store
        movf    nbytes, w
        addwf   count_lo, f
        btfsc   STATUS, C
        incf    count_hi, f
        bcf     PORTC, BUSY_PIN
        movlw   PIECE_BUF
        movwf   FSR
        clrf    digits
        return

; send_status: the picture's status line into the ring.
send_status
        incf    pictures, f
        movf    overruns_hi, w
        iorwf   overruns_lo, w
        iorwf   framing_hi, w
        iorwf   framing_lo, w
        iorwf   bad_hi, w
        iorwf   bad_lo, w
        iorwf   nacks_hi, w
        iorwf   nacks_lo, w
        iorwf   count_lo, w
        btfss   STATUS, Z
        goto    status_error
        movf    count_hi, w
        xorlw   PICTURE_BYTES_HI
        btfsc   STATUS, Z
        goto    status_ok
        xorlw   PICTURE_BYTES_HI ^ HALF_PICTURE_HI
        btfss   STATUS, Z
        goto    status_error
status_ok
        movlw   'O'
        call    tx_put
        movlw   'K'
        call    tx_put
        call    print_count
        goto    status_end
status_error
        movlw   'E'
        call    tx_put
        movlw   'R'
        call    tx_put
        movlw   'R'
        call    tx_put
        call    print_count
        movlw   overruns_hi
        movwf   FSR
        movlw   ' '
        call    tx_put
        movlw   'O'
        call    print_counter
        movlw   ' '
        call    tx_put
        incf    FSR, f
        movlw   'F'
        call    print_counter
        movlw   ' '
        call    tx_put
        incf    FSR, f
        movlw   'B'
        call    print_counter
        movlw   ' '
        call    tx_put
        incf    FSR, f
        movlw   'N'
        call    print_counter
status_end
        movlw   '\r'
        call    tx_put
        movlw   '\n'
        goto    tx_put

print_count
        movlw   ' '
        call    tx_put
        movf    count_hi, w
        movwf   num_hi
        movf    count_lo, w
        movwf   num_lo
        goto    print_number

        #include "serial_line.inc"
        #include "ks0108.inc"
        #include "eeprom_24lc256.inc"

        end
