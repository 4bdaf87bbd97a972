; hello.asm: counts the letters of its message, shows it and leaves; the handheld runs it from $8000
        org $8000
start:  ld hl,message
        ld b,0
count:  ld a,(hl)
        or a
        jr z,show
        inc b
        inc hl
        jr count
show:   ld hl,0                 ; a system call takes its arguments from $C002 on:
        ld ($C002),hl           ;   0, 0, the message and its length
        ld ($C004),hl
        ld hl,message
        ld ($C006),hl
        ld l,b
        ld h,0
        ld ($C008),hl
        ld hl,$0066             ; and its number at $C000: DS_TEXT_OUT
        ld ($C000),hl
        rst $10                 ; calls the system
        ld hl,$0042             ; DS_ADDIN_TERMINATE: the add-in's way out
        ld ($C000),hl
        rst $10
message:
        db "Hello, REX", 0
