; mishaps.asm: what a run stops at, one mishap for each answer. The add-in asks the system for an
; event (DS_EVENT_MESSAGE_GET) and makes the mishap its result names:
;   0  none: it leaves through DS_ADDIN_TERMINATE, as an add-in should
;   1  it writes into its own code, which stays in flash on the handheld
;   2  it jumps outside its code, into the system's memory at $0038
;   3  it halts, and no interrupt comes to wake it
;   4  it returns from its entry point instead of leaving
; Run it with an answer:  echo '$002A 2' >jump.answers; mobrin-cli run mishaps.rex --answers jump.answers
        org $8000
start:  ld hl,$002A             ; DS_EVENT_MESSAGE_GET
        ld ($C000),hl
        rst $10
        ld a,($C00E)            ; its result
        ld (mishap),a           ; kept in the add-in's data
        ld a,(mishap)
        cp 1
        jr z,poke
        cp 2
        jp z,$0038
        cp 3
        jr z,stop
        cp 4
        ret z
leave:  ld hl,$0042             ; DS_ADDIN_TERMINATE
        ld ($C000),hl
        rst $10
poke:   ld (start),a
        jr leave
stop:   halt
mishap: equ $F000
