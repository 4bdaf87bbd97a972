; SPDX-License-Identifier: GPL-3.0-or-later
; The start of the test programs as an add-in starts: at $8000, the stack at the top of
; memory; the initialised variables copied from the code area, then main, then the call that
; leaves the add-in.
	.module crt0
	.globl	_main
	.area	_CODE
init:
	ld	sp,#0xFFFF
	call	gsinit
	call	_main
	ld	hl,#0x0042
	ld	(0xC000),hl
	rst	0x10
	ret
	; The order of the areas: the initial values follow the code, RAM from --data-loc.
	.area	_INITIALIZER
	.area	_GSINIT
	.area	_GSFINAL
	.area	_DATA
	.area	_INITIALIZED
	.area	_BSEG
	.area	_BSS
	.area	_HEAP
	.area	_GSINIT
gsinit::
	ld	bc,#l__INITIALIZER
	ld	a,b
	or	a,c
	jr	Z,gsinit_next
	ld	de,#s__INITIALIZED
	ld	hl,#s__INITIALIZER
	ldir
gsinit_next:
	.area	_GSFINAL
	ret
