; hello.asm: counts the letters of its message; the handheld runs it from $8000
        org $8000
start:  ld hl,message
        ld b,0
count:  ld a,(hl)
        or a
        jr z,done
        inc b
        inc hl
        jr count
done:   ld a,b
        ret
message:
        db "Hello, REX", 0
