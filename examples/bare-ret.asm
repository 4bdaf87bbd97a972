; bare-ret.asm: the first hello.asm, which ends with a bare `ret`. On the handheld that returns to
; nowhere: add-ins leave through DS_ADDIN_TERMINATE. mobrin-cli run stops it at the `ret`.
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
